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

Note* DiagramScene::addNote(const std::string& id, const std::string& text, Vec2 lo, Vec2 hi) {
  Note* n = createNote(id, text);
  pool_.add(n);
  addShape(n, lo, hi);
  return n;
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

Dependency* DiagramScene::addDependency(const std::string& id, const std::string& client, const std::string& supplier) {
  Dependency* d = createDependency(id, client, supplier, "");
  pool_.add(d);
  addShape(d, {0.0f, 0.0f}, {0.0f, 0.0f});
  return d;
}

Dependency* DiagramScene::addRelationShape(const std::string& id, const std::string& client,
                                           const std::string& supplier, Dependency::Kind kind) {
  Dummy* dummy = createDummy(id, "subject-" + id, "RealizeRelation");
  Dependency* relation = createDependency(id, client, supplier, "");
  relation->setKind(kind);
  dummy->setRelation(relation);
  pool_.add(dummy);
  addShape(dummy, {0.0f, 0.0f}, {0.0f, 0.0f});
  return relation;
}

PelkService* DiagramScene::addService(const std::string& id, const std::string& name, Vec2 lo, Vec2 hi) {
  PelkService* service = createPelkService(id, name);
  pool_.add(service);
  auto* shape = new ComposedDiagramElement("shape-" + id, new VisualElementLayout("Default", new Vec2(lo), new Vec2(hi)));
  shape->setModelElement(service);
  shape->setAppearance(makeDefaultAppearance());
  shape->getAppearance()->fillColour = Color(0.4f, 1.0f, 1.0f, 1.0f);
  diagram_->addElement(shape);
  return service;
}

PelkInterface* DiagramScene::addPort(const std::string& serviceId, const std::string& id, Vec2 lo, Vec2 hi) {
  PelkInterface* port = createPelkInterface(id, id, "provided", serviceId);
  pool_.add(port);
  auto* service = dynamic_cast<ComposedDiagramElement*>(diagram_->findElement(serviceId));
  auto child = std::make_unique<DiagramElement>("shape-" + id,
                                                new VisualElementLayout("Default", new Vec2(lo), new Vec2(hi)));
  child->setModelElement(port);
  child->setAppearance(makeDefaultAppearance());
  child->getAppearance()->fillColour = Color(1.0f, 1.0f, 1.0f, 1.0f);
  service->addChild(child.get());
  children_.push_back(std::move(child));
  return port;
}

PelkConnection* DiagramScene::addConnection(const std::string& id, PelkInterface* first, PelkInterface* second) {
  PelkConnection* connection = createPelkConnection(id);
  connection->setFirstEnd(first);
  connection->setSecondEnd(second);
  pool_.add(connection);
  addShape(connection, {0.0f, 0.0f}, {0.0f, 0.0f});
  return connection;
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
