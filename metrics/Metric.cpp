#include "metrics/Metric.h"

#include <stdexcept>

#include "metrics/GlyphPainters.h"

namespace lumetra {

namespace {

std::unique_ptr<Color> ownedOrBlack(Color* colour) {
  return std::unique_ptr<Color>(colour != nullptr ? colour : new Color());
}

}  // namespace

// ---- Metric ----

Metric::Metric(std::string name, Color* colour, Color* outlineColour)
    : name_(std::move(name)), colour_(ownedOrBlack(colour)), outlineColour_(ownedOrBlack(outlineColour)) {}

Metric::~Metric() = default;

std::string Metric::getVisualizerName() const { return glyph_; }

MetricVisualizer* Metric::getVisualizer() const { return glyphPainter(glyph_); }

// ---- IntegerMetric ----

IntegerMetric::IntegerMetric(std::string name, Color* colour, Color* outlineColour)
    : ValuedMetric(std::move(name), colour, outlineColour) {
  glyph_ = "3D Bar";
}

std::string IntegerMetric::getValueText(const std::string& elementId) const {
  auto it = firstIndex_.find(elementId);
  if (it == firstIndex_.end()) return {};
  return textAt(it->second);
}

std::string IntegerMetric::textAt(std::size_t index) const {
  if (index < written_.size() && !written_[index].empty()) return written_[index];
  return formatValue(values_[index].value);
}

std::string IntegerMetric::formatValue(int stored) const {
  // Plain decimal, whatever locale the toolkit installed.
  if (scale_ == 0 || stored == 0) return std::to_string(stored);
  if (scale_ < 0) return std::to_string(stored) + std::string(static_cast<std::size_t>(-scale_), '0');
  const long long magnitude = stored < 0 ? -static_cast<long long>(stored) : stored;
  std::string digits = std::to_string(magnitude);
  const auto places = static_cast<std::size_t>(scale_);
  if (digits.size() <= places) digits.insert(0, places + 1 - digits.size(), '0');
  std::string text = digits.substr(0, digits.size() - places);
  std::string fraction = digits.substr(digits.size() - places);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (!fraction.empty()) text += "." + fraction;
  return (stored < 0 ? "-" : "") + text;
}

std::string IntegerMetric::getMinimumText() const {
  return values_.empty() ? formatValue(minimum_) : textAt(minimumIndex_);
}

std::string IntegerMetric::getMaximumText() const {
  return values_.empty() ? formatValue(maximum_) : textAt(maximumIndex_);
}

void IntegerMetric::drawGlyph(const std::string& elementId, const Vec2& corner1, const Vec2& corner2) {
  drawIntGlyph(glyph_, corner1, corner2, *getColor(), *getOutlineColor(), getValue(elementId), minimum_, maximum_);
}

void IntegerMetric::setVisualizer(const std::string& displayName) {
  if (isIntGlyphName(displayName)) glyph_ = displayName;
}

void IntegerMetric::addValue(const std::string& elementId, int value) {
  append(elementId, value);
  if (!written_.empty()) written_.emplace_back();
}

void IntegerMetric::addValue(const std::string& elementId, int value, std::string written) {
  written_.resize(values_.size());
  written_.push_back(std::move(written));
  append(elementId, value);
}

int IntegerMetric::getValue(const std::string& elementId) const {
  const MetricValue<int>* pair = firstPair(elementId);
  return pair != nullptr ? pair->value : -1;
}

void IntegerMetric::computeRange() {
  minimum_ = 0;
  maximum_ = 0;
  minimumIndex_ = maximumIndex_ = 0;
  if (!values_.empty()) {
    minimum_ = maximum_ = values_.front().value;
    for (std::size_t i = 0; i < values_.size(); ++i) {
      if (values_[i].value < minimum_) minimum_ = values_[i].value, minimumIndex_ = i;
      if (values_[i].value > maximum_) maximum_ = values_[i].value, maximumIndex_ = i;
    }
  }
  lowerBound_ = minimum_;
  upperBound_ = maximum_;
}

bool IntegerMetric::isWithinBounds(const std::string& elementId) const {
  const MetricValue<int>* pair = firstPair(elementId);
  return pair != nullptr && pair->value >= lowerBound_ && pair->value <= upperBound_;
}

// ---- BooleanMetric ----

BooleanMetric::BooleanMetric(std::string name, Color* colour, Color* outlineColour)
    : ValuedMetric(std::move(name), colour, outlineColour) {
  glyph_ = "Default Boolean";
}

std::string BooleanMetric::getValueText(const std::string& elementId) const {
  const MetricValue<bool>* pair = firstPair(elementId);
  if (pair == nullptr) return {};
  return pair->value ? "true" : "false";
}

void BooleanMetric::drawGlyph(const std::string& elementId, const Vec2& corner1, const Vec2& corner2) {
  drawBoolGlyph(glyph_, corner1, corner2, *getColor(), *getOutlineColor(), getValue(elementId));
}

void BooleanMetric::setVisualizer(const std::string& displayName) {
  if (isBoolGlyphName(displayName)) glyph_ = displayName;
}

bool BooleanMetric::getValue(const std::string& elementId) const {
  const MetricValue<bool>* pair = firstPair(elementId);
  return pair != nullptr && pair->value;
}

}  // namespace lumetra
