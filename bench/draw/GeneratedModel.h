#pragma once
// The generated class diagram the draw benchmarks time: a grid of classes
// with 4 attributes and 4 operations each, one association or
// generalization to the previous class, 3 shown integer metrics ("3D Bar",
// "2D Bar", "2D Pie") on every class and 3 inner areas of 20 neighbouring
// members, identified over the diagram. The diagram has no box of its own.

#include <vector>

#include "areas/Area.h"
#include "metrics/MetricSet.h"
#include "model/Model.h"

namespace lumetra {

struct GeneratedModel {
  ModelElementsPool pool;
  std::vector<Diagram*> diagrams;
  MetricSet metrics;
  AreaSet areas;
  ~GeneratedModel() {
    areas.clear();
    for (Diagram* d : diagrams) delete d;
  }
};

// Fills an empty model with one diagram of that many classes ("C0" ...).
void generate(GeneratedModel& model, int classes);

// Fills an empty model with the load benchmark's generated class diagram of
// that many classes ("C0" ..., 40 to a row), read through a temporary file
// as a user's file is; false when it cannot be written or read.
bool loadSynthetic(GeneratedModel& model, int classes);

// The box around every shape of the first diagram.
void generatedBox(GeneratedModel& model, Vec2& lo, Vec2& hi);

}  // namespace lumetra
