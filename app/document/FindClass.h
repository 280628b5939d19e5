#pragma once
// "&Find class...": the classes and interfaces of the shown diagram whose
// names contain what the user typed, to choose one from.

#include <string>
#include <vector>

namespace lumetra {

class Diagram;
class ModelElement;

struct ClassMatch {
  std::string name;
  ModelElement* element = nullptr;
};

// Every class and interface shown on the diagram (top-level shapes and the
// shapes inside composed ones) whose name contains part, ignoring case,
// sorted by name (names that start with part first); each model element
// once. An empty or blank part matches nothing.
std::vector<ClassMatch> findClasses(Diagram* diagram, const std::string& part);

}  // namespace lumetra
