#include "bench/draw/GeneratedModel.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include "areas/AreaVisualizerInner.h"
#include "bench/load/SyntheticXmi.h"
#include "metrics/Metric.h"
#include "modelfiles/ModelLoader.h"
#include "settings/SettingsStore.h"

namespace lumetra {

namespace {

DiagramElement* addShape(Diagram* d, ModelElement* m, float x, float y, float w, float h) {
  auto* shape = new DiagramElement("S" + m->getId(), new VisualElementLayout("Default", new Vec2(x, y),
                                                                             new Vec2(x + w, y + h)));
  shape->setModelElement(m);
  shape->setAppearance(makeDefaultAppearance());
  d->addElement(shape);
  return shape;
}

}  // namespace

bool loadSynthetic(GeneratedModel& model, int classes) {
  const std::string file =
      (std::filesystem::temp_directory_path() / ("generated-" + std::to_string(::getpid()) + ".xmi")).string();
  if (!bench::writeSyntheticXmi(file, {classes, 1})) return false;
  const LoadStatus status = loadModel(file, model.diagrams, model.pool);
  std::filesystem::remove(file);
  return status.ok() && !model.diagrams.empty();
}

void generate(GeneratedModel& model, int classes) {
  auto* diagram = new ClassDiagram("D", "Generated");
  model.diagrams.push_back(diagram);
  const int columns = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(classes)) * 1.25));
  for (int i = 0; i < classes; ++i) {
    const std::string id = "C" + std::to_string(i);
    Class* c = createClass(id, "Class" + std::to_string(i));
    for (int f = 0; f < 4; ++f) {
      c->addAttribute(createFeature("attribute", id + "A" + std::to_string(f), "field" + std::to_string(f), "int", "private"));
      c->addMethod(createFeature("method", id + "M" + std::to_string(f), "operation" + std::to_string(f) + "()", "", "public"));
    }
    model.pool.add(c);
    // Top-down file coordinates, as the readers deliver them.
    addShape(diagram, c, static_cast<float>(i % columns) * 160.0f, static_cast<float>(i / columns) * 130.0f, 110.0f, 90.0f);
  }
  for (int i = 1; i < classes; ++i) {
    const std::string self = "C" + std::to_string(i);
    const std::string other = "C" + std::to_string(i - 1);
    ModelElement* relation = nullptr;
    if (i % 2) {
      Association* a = createAssociation("R" + std::to_string(i), "uses");
      a->setFirstEnd(createAssociationEnd("R" + std::to_string(i) + "a", self, i % 3 ? "none" : "composite", "1", "false"));
      a->setSecondEnd(createAssociationEnd("R" + std::to_string(i) + "b", other, "none", "0 *", "true"));
      relation = a;
    } else {
      relation = createInheritance("R" + std::to_string(i), other, self);
    }
    model.pool.add(relation);
    addShape(diagram, relation, 0, 0, 0, 0);
  }
  runPostLoadPasses(model.diagrams);

  const char* painters[3] = {"3D Bar", "2D Bar", "2D Pie"};
  for (int k = 0; k < 3; ++k) {
    auto* metric = new IntegerMetric("M" + std::to_string(k), new Color(paletteColor(k + 1)), new Color(METRIC_OUTLINE));
    metric->setVisualizer(painters[k]);
    for (int i = 0; i < classes; ++i) metric->addValue("C" + std::to_string(i), (i * (k + 3)) % 50);
    metric->computeRange();
    model.metrics.add(metric);
    model.metrics.showMetric(metric->getName());
  }
  for (int a = 0; a < 3; ++a) {
    auto* area = new Area("Area" + std::to_string(a));
    area->setColor(new Color(a == 0 ? 0.0f : 1.0f, a == 1 ? 0.0f : 1.0f, a == 2 ? 0.0f : 1.0f, 1.0f));
    // 20 members, neighbours in the grid, spread over the diagram.
    const int start = (classes / 4) * (a + 1) - 10;
    for (int i = 0; i < 20; ++i) area->addElement("C" + std::to_string(std::clamp(start + i, 0, classes - 1)));
    model.areas.addArea(area);
    showArea(model.areas, diagram, area->getName());
  }
}

void generatedBox(GeneratedModel& model, Vec2& lo, Vec2& hi) {
  lo = Vec2(3.0e38f, 3.0e38f);
  hi = Vec2(-3.0e38f, -3.0e38f);
  for (DiagramElement* e : model.diagrams.front()->getElements()) {
    const VisualElementLayout* l = e->getCurrentLayout();
    if (!l || !l->getLowerLeft() || !l->getUpperRight()) continue;
    lo = Vec2(std::min(lo.x, l->getLowerLeft()->x), std::min(lo.y, l->getLowerLeft()->y));
    hi = Vec2(std::max(hi.x, l->getUpperRight()->x), std::max(hi.y, l->getUpperRight()->y));
  }
}

}  // namespace lumetra
