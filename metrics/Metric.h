#pragma once
// The metric model: a named measurement attached to diagram elements, an
// integer or a boolean per element, with its colours, a transparency weight
// and the display name of the glyph painter that draws one value. The
// painters are made and kept by their registry (GlyphPainters.h); the metric
// draws through it and never includes the painters.
//
// Elements are referred to by model identifier only (exact, case-sensitive);
// a metric never points into the model. Values keep file order and
// duplicates; every look-up answers with the first pair of an identifier.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/Vec2.h"
#include "settings/Color.h"
#include "settings/Palette.h"

namespace lumetra {

class MetricVisualizer;

// The 16 default metric colours, packed 0xAARRGGBB (paletteColor gives entry
// index mod 16 as a colour).
inline constexpr const std::uint32_t (&METRIC_PALETTE)[16] = PALETTE;

// The outline colour every metric gets: black with alpha 221/255.
inline constexpr std::uint32_t METRIC_OUTLINE = 0xDD000000;

template <typename T>
struct MetricValue {
  std::string elementId;
  T value;
};

class Metric {
 public:
  // Takes ownership of both colours (null gets opaque black).
  Metric(std::string name, Color* colour, Color* outlineColour);
  Metric(const Metric&) = delete;
  Metric& operator=(const Metric&) = delete;

  virtual std::string getName() const { return name_; }
  virtual bool isSelected() const { return selected_; }
  virtual void setSelected(bool selected) { selected_ = selected; }
  virtual bool hasValue(const std::string& elementId) const = 0;
  // The first value of that element as text; empty when it has none.
  virtual std::string getValueText(const std::string& elementId) const = 0;
  // Draws this element's glyph in the rectangle corner1 (lower) - corner2 (upper).
  virtual void drawGlyph(const std::string& elementId, const Vec2& corner1, const Vec2& corner2) = 0;
  // The fill colour itself (not a copy); the metric keeps ownership.
  virtual Color* getColor() const { return colour_.get(); }
  virtual void setTransparency(float transparency) { transparency_ = transparency; }
  virtual float getTransparency() const { return transparency_; }
  // Swaps the glyph painter for the one of that display name. A name that is
  // not offered for this kind of metric keeps the current painter.
  virtual void setVisualizer(const std::string& displayName) = 0;
  virtual std::string getVisualizerName() const;
  virtual ~Metric();

  Color* getOutlineColor() const { return outlineColour_.get(); }
  // The glyph painter of the metric's kind, which every metric of that kind
  // shares (metrics/GlyphPainters.h).
  MetricVisualizer* getVisualizer() const;

 protected:
  // The display name of the glyph painter; the kinds check that it is one
  // of theirs.
  std::string glyph_;

 private:
  std::string name_;
  bool selected_ = false;
  std::unique_ptr<Color> colour_;
  std::unique_ptr<Color> outlineColour_;
  float transparency_ = 0.5f;
};

// A metric's values of type T in file order, each element's first value
// found by its identifier.
template <typename T>
class ValuedMetric : public Metric {
 public:
  using Metric::Metric;

  bool hasValue(const std::string& elementId) const override { return firstIndex_.count(elementId) != 0; }
  std::size_t getValueCount() const { return values_.size(); }
  // Pair i; throws std::out_of_range past the end.
  const MetricValue<T>& getPair(std::size_t index) const {
    if (index >= values_.size()) throw std::out_of_range("invalid vector<T> subscript");
    return values_[index];
  }

 protected:
  void append(const std::string& elementId, T value) {
    firstIndex_.emplace(elementId, values_.size());
    values_.push_back({elementId, value});
  }
  // The element's first pair, or null.
  const MetricValue<T>* firstPair(const std::string& elementId) const {
    auto it = firstIndex_.find(elementId);
    return it == firstIndex_.end() ? nullptr : &values_[it->second];
  }

  std::vector<MetricValue<T>> values_;
  std::unordered_map<std::string, std::size_t> firstIndex_;  // id -> first pair
};

// Integer values with their data range and the display bounds (a filter:
// values outside [lowerBound, upperBound] are not drawn; glyphs always scale
// between minimum and maximum).
//
// Measures with decimals (a coverage of 0.83, a ratio) are integer metrics
// too, stored as value x 10^scale: range, bounds, thresholds, glyphs and saved
// configurations then work alike for both, while the texts (hover boxes, the
// legend) show each value as the file wrote it.
class IntegerMetric : public ValuedMetric<int> {
 public:
  // Starts with the "3D Bar" painter.
  IntegerMetric(std::string name, Color* colour, Color* outlineColour);

  std::string getValueText(const std::string& elementId) const override;
  void drawGlyph(const std::string& elementId, const Vec2& corner1, const Vec2& corner2) override;
  void setVisualizer(const std::string& displayName) override;

  void addValue(const std::string& elementId, int value);
  // Makes room for that many values.
  void reserve(std::size_t count) {
    values_.reserve(count);
    firstIndex_.reserve(count);
  }
  // A value stored scaled, with the text the file wrote for it.
  void addValue(const std::string& elementId, int value, std::string written);
  // Stored values are the file's values x 10^exponent (0 for whole numbers;
  // negative for numbers too large for an int).
  void setScale(int exponent) { scale_ = exponent; }
  int getScale() const { return scale_; }
  // A stored value (a bound, the minimum) as text in the file's units:
  // 83 at scale 2 is "0.83".
  std::string formatValue(int stored) const;
  // The minimum and maximum as the file wrote them.
  std::string getMinimumText() const;
  std::string getMaximumText() const;
  // The first value of that element, or -1 when it has none.
  int getValue(const std::string& elementId) const;
  // Minimum and maximum over every pair, then bounds = range. Without any
  // value the range and the bounds are (0, 0).
  void computeRange();
  int getMinimum() const { return minimum_; }
  int getMaximum() const { return maximum_; }
  int getLowerBound() const { return lowerBound_; }
  int getUpperBound() const { return upperBound_; }
  void setLowerBound(int bound) { lowerBound_ = bound; }
  void setUpperBound(int bound) { upperBound_ = bound; }
  // Whether the element has a value inside the display bounds.
  bool isWithinBounds(const std::string& elementId) const;

 private:
  std::string textAt(std::size_t index) const;

  std::vector<std::string> written_;  // parallel to values_ once any text was given
  int scale_ = 0;
  std::size_t minimumIndex_ = 0;  // pairs holding the minimum and maximum
  std::size_t maximumIndex_ = 0;
  int minimum_ = 0;
  int maximum_ = 0;
  int lowerBound_ = 0;
  int upperBound_ = 0;
};

class BooleanMetric : public ValuedMetric<bool> {
 public:
  // Starts with the "Default Boolean" painter.
  BooleanMetric(std::string name, Color* colour, Color* outlineColour);

  std::string getValueText(const std::string& elementId) const override;
  void drawGlyph(const std::string& elementId, const Vec2& corner1, const Vec2& corner2) override;
  void setVisualizer(const std::string& displayName) override;

  void addValue(const std::string& elementId, bool value) { append(elementId, value); }
  // The first value of that element, or false when it has none.
  bool getValue(const std::string& elementId) const;
};

}  // namespace lumetra
