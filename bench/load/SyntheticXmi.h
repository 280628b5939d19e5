#pragma once
// Synthetic XMI class models for measuring the loader: n classes with five
// attributes and five operations each, n associations, n / 2
// generalizations, spread over one or several class diagrams that show
// every class and every relation.

#include <string>

namespace lumetra::bench {

struct SyntheticModel {
  int classes = 1000;
  int diagrams = 1;
};

// Writes the model to the file; false when the file cannot be written.
bool writeSyntheticXmi(const std::string& fileName, const SyntheticModel& model);

// Writes the model as UML2 XMI 2.x: the classes in packages of 100 inside
// one model, each with five attributes (library and class types, some
// with multiplicities) and five operations with a parameter and a return
// type, a generalization for every other class, the associations with
// owned ends, and one diagram-interchange diagram showing every class and
// every relation when model.diagrams is at least 1.
bool writeSyntheticUml2(const std::string& fileName, const SyntheticModel& model);

// Writes a metrics file for the model: three integer metrics on every class
// ("Lines of code", "Operations", "Coupling"), one boolean ("Public"), 20
// areas "Area 1" ... "Area 20" of 50 neighbouring classes each (fewer when
// the model is smaller) and one area "Large area" of the first 1,000
// classes. False when the file cannot be written.
bool writeSyntheticMetrics(const std::string& fileName, const SyntheticModel& model);

// Writes the model's first diagram as a Graphviz graph for `neato -n2`:
// every class a box at its place and size with its name and operation
// compartments as the viewer shows them (three operations, then "..."),
// every association and generalization of the diagram a straight line with
// its ends' markers and multiplicities. The drawing is padded to the aspect
// of width x height and scaled so that the picture is width x height pixels.
bool writeSyntheticDot(const std::string& fileName, const SyntheticModel& model, int width, int height);

}  // namespace lumetra::bench
