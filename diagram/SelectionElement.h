#pragma once
// What a pick finds under the pointer: entries for diagram elements and for
// metric glyphs, and the ordered list a pick returns.
//
// Entries point into the model and the metric set without owning them; the
// pick result owns its entries.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace lumetra {

class ModelElement;
class Metric;

class SelectionElement {
 public:
  virtual ~SelectionElement() = default;
};

// A drawn diagram element: its model element and the painter's label for it.
class ModelSelectionElement : public SelectionElement {
 public:
  ModelSelectionElement(ModelElement* modelElement, std::string label)
      : modelElement_(modelElement), label_(std::move(label)) {}

  ModelElement* getModelElement() const { return modelElement_; }
  std::string getLabel() const { return label_; }

 private:
  ModelElement* modelElement_;  // not owned
  std::string label_;
};

// A metric glyph: which metric, drawn on the element of which identifier.
class MetricSelection : public SelectionElement {
 public:
  MetricSelection(Metric* metric, std::string elementId) : metric_(metric), elementId_(std::move(elementId)) {}

  Metric* getMetric() const { return metric_; }
  std::string getElementId() const { return elementId_; }

 private:
  Metric* metric_;  // not owned
  std::string elementId_;
};

// The entries under the pointer, nearest first. Owns its entries.
class PickResult {
 public:
  void add(std::unique_ptr<SelectionElement> entry) { entries_.push_back(std::move(entry)); }
  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  SelectionElement* at(std::size_t index) const { return entries_.at(index).get(); }
  void clear() { entries_.clear(); }

  // The glyph entries, in result order.
  std::vector<MetricSelection*> metricHits() const;
  // The diagram element entries, in result order.
  std::vector<ModelSelectionElement*> elementHits() const;

 private:
  std::vector<std::unique_ptr<SelectionElement>> entries_;
};

}  // namespace lumetra
