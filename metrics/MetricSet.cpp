#include "metrics/MetricSet.h"

#include <algorithm>

#include "model/Checked.h"

namespace lumetra {

namespace {

std::vector<Metric*>::iterator findByName(std::vector<Metric*>& list, const std::string& name) {
  return std::find_if(list.begin(), list.end(), [&](Metric* m) { return m->getName() == name; });
}

}  // namespace

void MetricSet::add(Metric* metric) {
  if (metric != nullptr) loaded_.push_back(metric);
}

Metric* MetricSet::findMetric(const std::string& name) const {
  for (Metric* m : loaded_)
    if (m->getName() == name) return m;
  return nullptr;
}

Metric* MetricSet::getMetric(std::size_t index) const { return checkedAt(loaded_, index); }

void MetricSet::showMetric(const std::string& name) {
  for (Metric* m : loaded_)
    if (m->getName() == name) shown_.push_back(m);
}

void MetricSet::hideMetric(const std::string& name) {
  auto it = findByName(shown_, name);
  if (it != shown_.end()) shown_.erase(it);
}

Metric* MetricSet::findShownMetric(const std::string& name) const {
  for (Metric* m : shown_)
    if (m->getName() == name) return m;
  return nullptr;
}

int MetricSet::indexOfShownMetric(const std::string& name) const {
  for (std::size_t i = 0; i < shown_.size(); ++i)
    if (shown_[i]->getName() == name) return static_cast<int>(i);
  return -1;
}

Metric* MetricSet::getShownMetric(std::size_t index) const { return checkedAt(shown_, index); }

void MetricSet::removeMetric(const std::string& name) {
  hideMetric(name);
  auto it = findByName(loaded_, name);
  if (it == loaded_.end()) return;
  Metric* doomed = *it;
  loaded_.erase(it);
  // The metric may still be shown (shown twice, or a same-named one was hidden).
  shown_.erase(std::remove(shown_.begin(), shown_.end(), doomed), shown_.end());
  delete doomed;
}

void MetricSet::clear() {
  shown_.clear();
  deleteAll(loaded_);
}

void MetricSet::takeLoaded(MetricSet& other) {
  if (&other == this) return;
  loaded_.insert(loaded_.end(), other.loaded_.begin(), other.loaded_.end());
  other.loaded_.clear();
  other.shown_.clear();
}

}  // namespace lumetra
