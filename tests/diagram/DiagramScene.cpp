#include "tests/diagram/DiagramScene.h"

namespace lumetra::test {

DiagramElement* DiagramScene::addShape(ModelElement* model, Vec2 lo, Vec2 hi) {
  auto* shape = new DiagramElement("shape-" + model->getId(),
                                   new VisualElementLayout("Default", new Vec2(lo), new Vec2(hi)));
  shape->setModelElement(model);
  shape->setAppearance(makeDefaultAppearance());
  diagram_->addElement(shape);
  return shape;
}

Class* DiagramScene::addClass(const std::string& id, const std::string& name, Vec2 lo, Vec2 hi, Color fill) {
  Class* c = createClass(id, name);
  pool_.add(c);
  addShape(c, lo, hi)->getAppearance()->fillColour = fill;
  return c;
}

Interface* DiagramScene::addInterface(const std::string& id, const std::string& name, Vec2 lo, Vec2 hi) {
  Interface* i = createInterface(id, name);
  pool_.add(i);
  addShape(i, lo, hi)->getAppearance()->fillColour = kLightYellow;
  return i;
}

Association* DiagramScene::addAssociation(const std::string& id, const std::string& first, const std::string& second,
                                          const std::string& firstAggregation,
                                          const std::string& secondAggregation, Vec2 labelLo, Vec2 labelHi) {
  Association* a = createAssociation(id, "");
  a->setFirstEnd(createAssociationEnd(id + "-1", first, firstAggregation, "", "false"));
  a->setSecondEnd(createAssociationEnd(id + "-2", second, secondAggregation, "", "false"));
  pool_.add(a);
  addShape(a, labelLo, labelHi);
  return a;
}

Inheritance* DiagramScene::addInheritance(const std::string& id, const std::string& parent, const std::string& child) {
  Inheritance* g = createInheritance(id, parent, child);
  pool_.add(g);
  addShape(g, {0.0f, 0.0f}, {0.0f, 0.0f});
  return g;
}

IntegerMetric* makeBarMetric(const std::string& name, Color colour,
                             std::initializer_list<std::pair<std::string, int>> values) {
  auto* metric = new IntegerMetric(name, new Color(colour), new Color(METRIC_OUTLINE));
  metric->setVisualizer("2D Bar");
  metric->setTransparency(1.0f);
  for (const auto& [id, value] : values) metric->addValue(id, value);
  metric->computeRange();
  return metric;
}

}  // namespace lumetra::test
