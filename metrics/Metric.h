#pragma once
// The metric model: a named measurement attached to diagram elements, an
// integer or a boolean per element, with its colours, a transparency weight
// and the glyph painter that draws one value (MetricVisualizer.h, which only
// the code that talks to the painter includes).
//
// Elements are referred to by model identifier only (exact, case-sensitive);
// a metric never points into the model. Values keep file order and
// duplicates; every look-up answers with the first pair of an identifier.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/Vec2.h"
#include "settings/Color.h"

namespace lumetra {

class MetricVisualizer;

// The 16 default metric colours, packed 0xAARRGGBB.
inline constexpr std::uint32_t METRIC_PALETTE[16] = {
    0xDD000000, 0xFF7590AE, 0xFFB39169, 0xFF83A67F, 0xFF990000, 0xFFD1940C, 0xFF625B81, 0xFF5D7555,
    0xFFC1665A, 0xFFDF421E, 0xFF884631, 0xFF46A046, 0xFFADA7C8, 0xFFEED680, 0xFF494066, 0xFF807D74,
};

// Palette entry (index mod 16) as a colour; negative indices wrap as well.
Color paletteColor(int index);

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
  MetricVisualizer* getVisualizer() const { return painter_.get(); }

 protected:
  // Installs a painter; a null one leaves the current painter in place.
  // Returns whether it was installed.
  bool installPainter(std::unique_ptr<MetricVisualizer> painter);

 private:
  std::string name_;
  bool selected_ = false;
  std::unique_ptr<MetricVisualizer> painter_;  // never null after construction
  std::unique_ptr<Color> colour_;
  std::unique_ptr<Color> outlineColour_;
  float transparency_ = 0.5f;
};

// Integer values with their data range and the display bounds (a filter:
// values outside [lowerBound, upperBound] are not drawn; glyphs always scale
// between minimum and maximum).
class IntegerMetric : public Metric {
 public:
  // Starts with the "3D Bar" painter.
  IntegerMetric(std::string name, Color* colour, Color* outlineColour);

  bool hasValue(const std::string& elementId) const override;
  std::string getValueText(const std::string& elementId) const override;
  void drawGlyph(const std::string& elementId, const Vec2& corner1, const Vec2& corner2) override;
  void setVisualizer(const std::string& displayName) override;

  void addValue(const std::string& elementId, int value);
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
  std::size_t getValueCount() const { return values_.size(); }
  // Pair i; throws std::out_of_range past the end.
  const MetricValue<int>& getPair(std::size_t index) const;

 private:
  std::vector<MetricValue<int>> values_;
  std::unordered_map<std::string, std::size_t> firstIndex_;  // id -> first pair
  int minimum_ = 0;
  int maximum_ = 0;
  int lowerBound_ = 0;
  int upperBound_ = 0;
};

class BooleanMetric : public Metric {
 public:
  // Starts with the "Default Boolean" painter.
  BooleanMetric(std::string name, Color* colour, Color* outlineColour);

  bool hasValue(const std::string& elementId) const override;
  std::string getValueText(const std::string& elementId) const override;
  void drawGlyph(const std::string& elementId, const Vec2& corner1, const Vec2& corner2) override;
  void setVisualizer(const std::string& displayName) override;

  void addValue(const std::string& elementId, bool value);
  // The first value of that element, or false when it has none.
  bool getValue(const std::string& elementId) const;
  std::size_t getValueCount() const { return values_.size(); }
  // Pair i; throws std::out_of_range past the end.
  const MetricValue<bool>& getPair(std::size_t index) const;

 private:
  std::vector<MetricValue<bool>> values_;
  std::unordered_map<std::string, std::size_t> firstIndex_;  // id -> first pair
};

}  // namespace lumetra
