#pragma once
// The frame-wide selection: selected model elements and selected metrics.
// Shared by every painter (which highlights what is selected) and edited by
// the mouse handling. Elements compare by identifier and metrics by name, not
// by address, so a reloaded or duplicate object counts as the same one.

#include <vector>

#include "render/DiagramPainter.h"

namespace lumetra {

class ModelElement;
class Metric;

class SelectionManager {
 public:
  SelectionManager() = default;
  SelectionManager(const SelectionManager&) = delete;
  SelectionManager& operator=(const SelectionManager&) = delete;

  virtual bool isMetricSelected(const Metric* metric) const;
  virtual bool isElementSelected(const ModelElement* element) const;
  // Empties both collections.
  virtual void clear();
  // Removes the first selected element with the same identifier, or adds it.
  virtual void toggleElement(ModelElement* element);
  // Removes the first selected metric with the same name, or appends it.
  virtual void toggleMetric(Metric* metric);
  virtual ~SelectionManager() = default;

  const std::vector<ModelElement*>& selectedElements() const { return elements_; }
  const std::vector<Metric*>& selectedMetrics() const { return metrics_; }

  // What was selected at one moment, to tell later what a change flipped.
  struct Snapshot {
    std::vector<ModelElement*> elements;
    std::vector<Metric*> metrics;
  };
  Snapshot snapshot() const { return {elements_, metrics_}; }
  // The elements (by identifier) and metrics (by name) selected now and
  // not in before, or the other way round; one entry each. Reads the
  // elements and metrics of before, which must still exist.
  SelectionChange changeSince(const Snapshot& before) const;

 private:
  std::vector<ModelElement*> elements_;  // not owned
  std::vector<Metric*> metrics_;         // not owned
};

}  // namespace lumetra
