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

Metric* MetricSet::findMetric(const std::string& name) const { return findNamed(loaded_, name); }

Metric* MetricSet::getMetric(std::size_t index) const { return checkedAt(loaded_, index); }

void MetricSet::showMetric(const std::string& name) {
  for (Metric* m : loaded_)
    if (m->getName() == name) shown_.push_back(m);
}

void MetricSet::hideMetric(const std::string& name) {
  auto it = findByName(shown_, name);
  if (it != shown_.end()) shown_.erase(it);
}

Metric* MetricSet::findShownMetric(const std::string& name) const { return findNamed(shown_, name); }

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

namespace {

// Carries the user's choices from a metric over to its new reading.
void keepChoices(const Metric& old, Metric& fresh) {
  fresh.setSelected(old.isSelected());
  fresh.setVisualizer(old.getVisualizerName());
  fresh.setTransparency(old.getTransparency());
  *fresh.getColor() = *old.getColor();
  const auto* oldRange = dynamic_cast<const IntegerMetric*>(&old);
  auto* newRange = dynamic_cast<IntegerMetric*>(&fresh);
  if (oldRange == nullptr || newRange == nullptr || oldRange->getScale() != newRange->getScale()) return;
  if (oldRange->getLowerBound() != oldRange->getMinimum()) newRange->setLowerBound(oldRange->getLowerBound());
  if (oldRange->getUpperBound() != oldRange->getMaximum()) newRange->setUpperBound(oldRange->getUpperBound());
}

}  // namespace

void MetricSet::mergeLoaded(MetricSet& other) {
  if (&other == this) return;
  const std::size_t before = loaded_.size();  // a file's own repeats all stay
  for (Metric* fresh : other.loaded_) {
    auto old = std::find_if(loaded_.begin(), loaded_.begin() + static_cast<std::ptrdiff_t>(before),
                            [&](const Metric* m) { return m->getName() == fresh->getName(); });
    if (old == loaded_.begin() + static_cast<std::ptrdiff_t>(before)) {
      loaded_.push_back(fresh);
      continue;
    }
    keepChoices(**old, *fresh);
    std::replace(shown_.begin(), shown_.end(), *old, fresh);
    delete *old;
    *old = fresh;
  }
  other.loaded_.clear();
  other.shown_.clear();
}

}  // namespace lumetra
