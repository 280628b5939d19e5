#pragma once
// Every metric read so far ("loaded", owned, in reading order) and the ones
// the user chose to display ("shown", borrowed from loaded, in the order they
// were chosen). Names are compared exactly; the first match wins.

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "metrics/Metric.h"
#include "platform/NonCopyable.h"

namespace lumetra {

class MetricSet : NonCopyable {
 public:
  MetricSet() = default;
  ~MetricSet() { clear(); }

  // Appends to loaded and takes ownership (null is ignored).
  void add(Metric* metric);
  // The first loaded metric of that name, or null.
  Metric* findMetric(const std::string& name) const;
  std::size_t getMetricCount() const { return loaded_.size(); }
  // Throws std::out_of_range past the end.
  Metric* getMetric(std::size_t index) const;
  // Whether the metric is one of the loaded ones (compares addresses only).
  bool isLoaded(const Metric* metric) const {
    return std::find(loaded_.begin(), loaded_.end(), metric) != loaded_.end();
  }

  // Appends every loaded metric of that name to shown.
  void showMetric(const std::string& name);
  // Removes the first shown entry of that name.
  void hideMetric(const std::string& name);
  Metric* findShownMetric(const std::string& name) const;
  // Position of the first shown metric of that name, or -1.
  int indexOfShownMetric(const std::string& name) const;
  std::size_t getShownCount() const { return shown_.size(); }
  // Throws std::out_of_range past the end.
  Metric* getShownMetric(std::size_t index) const;
  const std::vector<Metric*>& getShownMetrics() const { return shown_; }

  // Removes the first shown entry of that name, then deletes the first loaded
  // metric of that name. Any shown entry still pointing at the deleted metric
  // is dropped as well, so shown never holds a dangling pointer.
  void removeMetric(const std::string& name);
  // Deletes every loaded metric and empties both lists.
  void clear();
  // Appends the other set's loaded metrics to this one's, taking them over;
  // the other set is left empty. For metrics read aside (on another thread)
  // and then handed to the set that painters already point at.
  void takeLoaded(MetricSet& other);
  // takeLoaded, except that a metric whose name was loaded before replaces
  // that one where it stands, in loaded and in shown: a file read again
  // brings new values, while the user's choices stay - whether it is shown,
  // its glyph kind, colour and transparency, and its thresholds (those left
  // at the old range's ends follow the new range).
  void mergeLoaded(MetricSet& other);

 private:
  std::vector<Metric*> loaded_;  // owned
  std::vector<Metric*> shown_;   // borrowed from loaded_
};

}  // namespace lumetra
