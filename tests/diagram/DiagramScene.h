#pragma once
// Diagrams built in memory for the painter tests: classes, interfaces and
// relations with layouts in diagram units (y up), and metrics on them.

#include <memory>
#include <string>
#include <vector>

#include "metrics/Metric.h"
#include "metrics/MetricSet.h"
#include "model/Model.h"

namespace lumetra::test {

inline constexpr Color kLightYellow{1.0f, 1.0f, 0.8f, 1.0f};

class DiagramScene {
 public:
  DiagramScene() : diagram_(std::make_unique<ClassDiagram>("d1", "Scene")) {}

  Diagram* diagram() const { return diagram_.get(); }
  ModelElementsPool& pool() { return pool_; }

  // A class box lo..hi with no features and the default class colours.
  Class* addClass(const std::string& id, const std::string& name, Vec2 lo, Vec2 hi, Color fill = kLightYellow);
  Interface* addInterface(const std::string& id, const std::string& name, Vec2 lo, Vec2 hi);
  // A note (comment) shape lo..hi with the default appearance, as read.
  Note* addNote(const std::string& id, const std::string& text, Vec2 lo, Vec2 hi);
  // An association shape between two identifiers (which need not be shown).
  Association* addAssociation(const std::string& id, const std::string& first, const std::string& second,
                              const std::string& firstAggregation = "none",
                              const std::string& secondAggregation = "none", Vec2 labelLo = {},
                              Vec2 labelHi = {});
  Inheritance* addInheritance(const std::string& id, const std::string& parent, const std::string& child);
  Dependency* addDependency(const std::string& id, const std::string& client, const std::string& supplier);
  // A relation shape as read from a "RealizeRelation" or "DependencyRelation"
  // shape: a Dummy carrying the relation.
  Dependency* addRelationShape(const std::string& id, const std::string& client, const std::string& supplier,
                               Dependency::Kind kind);
  // A component service shown as a composed shape in light cyan.
  PelkService* addService(const std::string& id, const std::string& name, Vec2 lo, Vec2 hi);
  // A provided interface of a service, shown as a white marker inside the
  // service's shape.
  PelkInterface* addPort(const std::string& serviceId, const std::string& id, Vec2 lo, Vec2 hi);
  PelkConnection* addConnection(const std::string& id, PelkInterface* first, PelkInterface* second);
  // The shape showing a model element (first match).
  DiagramElement* shape(const std::string& modelId) const { return diagram_->findElement(modelId); }

 private:
  DiagramElement* addShape(ModelElement* model, Vec2 lo, Vec2 hi);

  ModelElementsPool pool_;
  std::unique_ptr<Diagram> diagram_;
  std::vector<std::unique_ptr<DiagramElement>> children_;  // composed shapes do not own theirs
};

// An integer metric drawn as a "2D Bar" in an opaque colour, fully opaque
// (transparency 1), with the given values; the range is computed.
IntegerMetric* makeBarMetric(const std::string& name, Color colour,
                             std::initializer_list<std::pair<std::string, int>> values);

}  // namespace lumetra::test
