#include "diagram/SelectionManager.h"

#include <algorithm>
#include <string>
#include <unordered_map>

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

namespace {

// Keys present in exactly one of before and now, each once, in the order
// they are met (now first): a key toggled twice counts as unchanged.
template <typename T, typename KeyOf>
std::vector<T*> flipped(const std::vector<T*>& before, const std::vector<T*>& now, KeyOf keyOf) {
  std::unordered_map<std::string, int> seen;  // bit 1: before, bit 2: now
  std::vector<T*> order;
  for (int side = 0; side < 2; ++side)
    for (T* item : side == 0 ? now : before) {
      int& bits = seen[keyOf(item)];
      if (bits == 0) order.push_back(item);
      bits |= side == 0 ? 2 : 1;
    }
  std::vector<T*> out;
  for (T* item : order)
    if (seen[keyOf(item)] != 3) out.push_back(item);
  return out;
}

}  // namespace

SelectionChange SelectionManager::changeSince(const Snapshot& before) const {
  SelectionChange change;
  for (ModelElement* element :
       flipped(before.elements, elements_, [](const ModelElement* e) { return e->idRef(); }))
    change.elements.push_back(element);
  for (Metric* metric : flipped(before.metrics, metrics_, [](const Metric* m) { return m->getName(); }))
    change.metrics.push_back(metric->getName());
  return change;
}

}  // namespace lumetra
