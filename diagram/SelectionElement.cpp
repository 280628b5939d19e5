#include "diagram/SelectionElement.h"

namespace lumetra {

std::vector<MetricSelection*> PickResult::metricHits() const {
  std::vector<MetricSelection*> hits;
  for (const auto& entry : entries_)
    if (auto* m = dynamic_cast<MetricSelection*>(entry.get())) hits.push_back(m);
  return hits;
}

std::vector<ModelSelectionElement*> PickResult::elementHits() const {
  std::vector<ModelSelectionElement*> hits;
  for (const auto& entry : entries_)
    if (auto* e = dynamic_cast<ModelSelectionElement*>(entry.get())) hits.push_back(e);
  return hits;
}

}  // namespace lumetra
