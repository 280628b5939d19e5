#pragma once
// A small diagram for area tests: shapes with boxes in diagram units, each
// showing a model element the scene owns.

#include <memory>
#include <string>
#include <vector>

#include "model/Diagram.h"
#include "model/ScenarioElements.h"
#include "model/UmlElements.h"

namespace lumetra::test {

class AreaScene {
 public:
  // A shape with corners lo and hi showing `model` (taken over by the scene).
  DiagramElement* add(ModelElement* model, Vec2 lo, Vec2 hi) {
    models_.emplace_back(model);
    auto* shape = new DiagramElement(model->getId() + "-shape",
                                     new VisualElementLayout("Default", new Vec2(lo), new Vec2(hi)));
    shape->setModelElement(model);
    diagram.addElement(shape);
    return shape;
  }
  DiagramElement* addClass(const std::string& id, Vec2 lo, Vec2 hi) { return add(new Class(id, id), lo, hi); }
  // A second shape of an element already in the scene.
  DiagramElement* addView(ModelElement* model, Vec2 lo, Vec2 hi) {
    auto* shape = new DiagramElement(model->getId() + "-view",
                                     new VisualElementLayout("Default", new Vec2(lo), new Vec2(hi)));
    shape->setModelElement(model);
    diagram.addElement(shape);
    return shape;
  }

  // Gives the diagram its own box, from which painters take its size
  // (upper - lower + 1 each way).
  void setDiagramBox(Vec2 lo, Vec2 hi) {
    diagram.addLayout(new VisualElementLayout("Diagram", new Vec2(lo), new Vec2(hi)));
    diagram.selectLayout("Diagram");
  }

  ClassDiagram diagram{"diagram", "Scene"};

 private:
  std::vector<std::unique_ptr<ModelElement>> models_;
};

}  // namespace lumetra::test
