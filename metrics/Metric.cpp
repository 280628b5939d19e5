#include "metrics/Metric.h"

#include <stdexcept>

#include "metrics/MetricVisualizer.h"

namespace lumetra {

Color paletteColor(int index) {
  int entry = index % 16;
  if (entry < 0) entry += 16;
  return Color(METRIC_PALETTE[entry]);
}

namespace {

std::unique_ptr<Color> ownedOrBlack(Color* colour) {
  return std::unique_ptr<Color>(colour != nullptr ? colour : new Color());
}

template <typename T>
const MetricValue<T>& pairAt(const std::vector<MetricValue<T>>& values, std::size_t index) {
  if (index >= values.size()) throw std::out_of_range("invalid vector<T> subscript");
  return values[index];
}

}  // namespace

// ---- Metric ----

Metric::Metric(std::string name, Color* colour, Color* outlineColour)
    : name_(std::move(name)), colour_(ownedOrBlack(colour)), outlineColour_(ownedOrBlack(outlineColour)) {}

Metric::~Metric() = default;

std::string Metric::getVisualizerName() const { return painter_->getName(); }

bool Metric::installPainter(std::unique_ptr<MetricVisualizer> painter) {
  if (!painter) return false;
  painter_ = std::move(painter);
  return true;
}

// ---- IntegerMetric ----

IntegerMetric::IntegerMetric(std::string name, Color* colour, Color* outlineColour)
    : Metric(std::move(name), colour, outlineColour) {
  installPainter(std::make_unique<Default3DIntMetricVisualizer>());
}

bool IntegerMetric::hasValue(const std::string& elementId) const { return firstIndex_.count(elementId) != 0; }

std::string IntegerMetric::getValueText(const std::string& elementId) const {
  auto it = firstIndex_.find(elementId);
  if (it == firstIndex_.end()) return {};
  // Plain decimal, whatever locale the toolkit installed.
  return std::to_string(values_[it->second].value);
}

void IntegerMetric::drawGlyph(const std::string& elementId, const Vec2& corner1, const Vec2& corner2) {
  // Only integer painters are ever installed on an integer metric.
  auto* painter = static_cast<IntMetricVisualizer*>(getVisualizer());
  painter->draw(corner1, corner2, *getColor(), *getOutlineColor(), getValue(elementId), minimum_, maximum_);
}

void IntegerMetric::setVisualizer(const std::string& displayName) {
  installPainter(createIntMetricVisualizer(displayName));
}

void IntegerMetric::addValue(const std::string& elementId, int value) {
  firstIndex_.emplace(elementId, values_.size());
  values_.push_back({elementId, value});
}

int IntegerMetric::getValue(const std::string& elementId) const {
  auto it = firstIndex_.find(elementId);
  return it == firstIndex_.end() ? -1 : values_[it->second].value;
}

void IntegerMetric::computeRange() {
  minimum_ = 0;
  maximum_ = 0;
  if (!values_.empty()) {
    minimum_ = maximum_ = values_.front().value;
    for (const auto& pair : values_) {
      if (pair.value < minimum_) minimum_ = pair.value;
      if (pair.value > maximum_) maximum_ = pair.value;
    }
  }
  lowerBound_ = minimum_;
  upperBound_ = maximum_;
}

bool IntegerMetric::isWithinBounds(const std::string& elementId) const {
  auto it = firstIndex_.find(elementId);
  if (it == firstIndex_.end()) return false;
  int value = values_[it->second].value;
  return value >= lowerBound_ && value <= upperBound_;
}

const MetricValue<int>& IntegerMetric::getPair(std::size_t index) const { return pairAt(values_, index); }

// ---- BooleanMetric ----

BooleanMetric::BooleanMetric(std::string name, Color* colour, Color* outlineColour)
    : Metric(std::move(name), colour, outlineColour) {
  installPainter(std::make_unique<DefaultBoolMetricVisualizer>());
}

bool BooleanMetric::hasValue(const std::string& elementId) const { return firstIndex_.count(elementId) != 0; }

std::string BooleanMetric::getValueText(const std::string& elementId) const {
  auto it = firstIndex_.find(elementId);
  if (it == firstIndex_.end()) return {};
  return values_[it->second].value ? "true" : "false";
}

void BooleanMetric::drawGlyph(const std::string& elementId, const Vec2& corner1, const Vec2& corner2) {
  // Only boolean painters are ever installed on a boolean metric.
  auto* painter = static_cast<BoolMetricVisualizer*>(getVisualizer());
  painter->draw(corner1, corner2, *getColor(), *getOutlineColor(), getValue(elementId));
}

void BooleanMetric::setVisualizer(const std::string& displayName) {
  installPainter(createBoolMetricVisualizer(displayName));
}

void BooleanMetric::addValue(const std::string& elementId, bool value) {
  firstIndex_.emplace(elementId, values_.size());
  values_.push_back({elementId, value});
}

bool BooleanMetric::getValue(const std::string& elementId) const {
  auto it = firstIndex_.find(elementId);
  return it != firstIndex_.end() && values_[it->second].value;
}

const MetricValue<bool>& BooleanMetric::getPair(std::size_t index) const { return pairAt(values_, index); }

}  // namespace lumetra
