#include "diagram/SelectionManager.h"

#include <algorithm>

#include "metrics/Metric.h"
#include "model/Element.h"

namespace lumetra {

bool SelectionManager::isMetricSelected(const Metric* metric) const {
  if (!metric) return false;
  const std::string name = metric->getName();
  return std::any_of(metrics_.begin(), metrics_.end(), [&](const Metric* m) { return m->getName() == name; });
}

bool SelectionManager::isElementSelected(const ModelElement* element) const {
  if (!element || elements_.empty()) return false;
  const std::string& id = element->idRef();
  return std::any_of(elements_.begin(), elements_.end(), [&](const ModelElement* e) { return e->idRef() == id; });
}

void SelectionManager::clear() {
  elements_.clear();
  metrics_.clear();
}

void SelectionManager::toggleElement(ModelElement* element) {
  if (!element) return;
  const std::string& id = element->idRef();
  auto it = std::find_if(elements_.begin(), elements_.end(), [&](const ModelElement* e) { return e->idRef() == id; });
  if (it != elements_.end()) elements_.erase(it);
  else elements_.push_back(element);
}

void SelectionManager::toggleMetric(Metric* metric) {
  if (!metric) return;
  const std::string name = metric->getName();
  auto it = std::find_if(metrics_.begin(), metrics_.end(), [&](const Metric* m) { return m->getName() == name; });
  if (it != metrics_.end()) metrics_.erase(it);
  else metrics_.push_back(metric);
}

}  // namespace lumetra
