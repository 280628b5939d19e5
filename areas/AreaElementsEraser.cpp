#include "areas/AreaElementsEraser.h"

#include <cmath>

#include "areas/AreaVisualizer.h"
#include "model/Element.h"
#include "render/FlatDrawState.h"
#include "render/FlatPrimitives.h"

namespace lumetra {

namespace {

constexpr int kSize = AlphaTexture::kSize;
// Rows from here on are fully opaque: the innermost tenth of the halo.
constexpr int kOpaqueRow = 230;

std::vector<std::uint8_t> rowsOf(const std::uint8_t (&row)[kSize]) {
  std::vector<std::uint8_t> texels(static_cast<std::size_t>(kSize) * kSize);
  for (int i = 0; i < kSize; ++i)
    for (int j = 0; j < kSize; ++j) texels[static_cast<std::size_t>(i) * kSize + j] = row[i];
  return texels;
}

}  // namespace

std::vector<std::uint8_t> makeEraserRampTexels() {
  std::uint8_t row[kSize];
  for (int i = 0; i < kSize; ++i) row[i] = static_cast<std::uint8_t>(i);
  return rowsOf(row);
}

std::vector<std::uint8_t> makeEraserSoftTexels(int softness) {
  const double k = AreaVisualizer::softnessExponent(softness);
  std::uint8_t row[kSize];
  for (int i = 0; i < kSize; ++i) {
    if (i >= kOpaqueRow) {
      row[i] = 255;
      continue;
    }
    double value = 255.0 * std::pow(static_cast<double>(i) / kOpaqueRow, k);
    if (!(value >= 0.0)) value = 0.0;
    if (value > 255.0) value = 255.0;
    row[i] = static_cast<std::uint8_t>(value);
  }
  return rowsOf(row);
}

AreaElementsEraser::AreaElementsEraser() { texture_.setTexels(makeEraserRampTexels()); }

void AreaElementsEraser::setSoftness(int softness) {
  texture_.setTexels(makeEraserSoftTexels(softness));
  exponent_ = AreaVisualizer::softnessExponent(softness);
  softness_ = softness;
  ++generation_;
}

float AreaElementsEraser::detailSize() const {
  // The fade (i / 230)^k over the halo changes by at most k / halo per unit
  // for k >= 1; below 1 it rises steeply at the halo's rim.
  return exponent_ >= 1.0f ? kHalo / exponent_ : 0.0f;
}

namespace {

struct Box {
  float x0, y0, x1, y1;
};

bool boxOf(const DiagramElement* element, Box& box) {
  const VisualElementLayout* layout = element != nullptr ? element->getCurrentLayout() : nullptr;
  if (layout == nullptr || layout->getLowerLeft() == nullptr || layout->getUpperRight() == nullptr) return false;
  box = {layout->getLowerLeft()->x, layout->getLowerLeft()->y, layout->getUpperRight()->x,
         layout->getUpperRight()->y};
  return true;
}

}  // namespace

void AreaElementsEraser::erase(const std::vector<DiagramElement*>& elements) {
  FlatDrawState state(Blend::Over);
  state.setTextured(false);
  setDrawColour(1.0f, 1.0f, 1.0f, 1.0f);
  {
    QuadBatch boxes;
    for (const DiagramElement* element : elements) {
      Box b;
      if (boxOf(element, b)) boxes.box(b.x0, b.y0, b.x1, b.y1);
    }
  }

  // One ramp quad per side: the box edge at full strength, the outer edge
  // transparent, vertices in the order outer, edge, edge, outer.
  state.useTexture(texture_);
  setDrawColour(1.0f, 1.0f, 1.0f, 1.0f);
  const float h = kHalo;
  QuadBatch halos;
  for (const DiagramElement* element : elements) {
    Box b;
    if (!boxOf(element, b)) continue;
    halos.ramp({b.x0 - h, b.y1 + h}, {b.x0, b.y1}, {b.x0, b.y0}, {b.x0 - h, b.y0 - h});  // left
    halos.ramp({b.x1 + h, b.y1 + h}, {b.x1, b.y1}, {b.x0, b.y1}, {b.x0 - h, b.y1 + h});  // top
    halos.ramp({b.x1 + h, b.y0 - h}, {b.x1, b.y0}, {b.x1, b.y1}, {b.x1 + h, b.y1 + h});  // right
    halos.ramp({b.x0 - h, b.y0 - h}, {b.x0, b.y0}, {b.x1, b.y0}, {b.x1 + h, b.y0 - h});  // bottom
  }
}

}  // namespace lumetra
