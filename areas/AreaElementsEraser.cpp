#include "areas/AreaElementsEraser.h"

#include <GL/gl.h>

#include <cmath>

#include "areas/AreaVisualizer.h"
#include "model/Element.h"
#include "render/GLState.h"

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

// One halo side: the box edge (a, b) at full strength, the outer edge (c, d)
// transparent. Vertices go out in the order outer, edge, edge, outer.
void haloQuad(float ox0, float oy0, float ex0, float ey0, float ex1, float ey1, float ox1, float oy1) {
  glTexCoord2f(0.0f, 0.0f);
  glVertex2f(ox0, oy0);
  glTexCoord2f(0.0f, 1.0f);
  glVertex2f(ex0, ey0);
  glTexCoord2f(1.0f, 1.0f);
  glVertex2f(ex1, ey1);
  glTexCoord2f(1.0f, 0.0f);
  glVertex2f(ox1, oy1);
}

}  // namespace

void AreaElementsEraser::erase(const std::vector<DiagramElement*>& elements) {
  AttribGuard state(GL_ALL_ATTRIB_BITS);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_TEXTURE_2D);

  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glBegin(GL_QUADS);
  for (const DiagramElement* element : elements) {
    Box b;
    if (!boxOf(element, b)) continue;
    glVertex2f(b.x0, b.y0);
    glVertex2f(b.x0, b.y1);
    glVertex2f(b.x1, b.y1);
    glVertex2f(b.x1, b.y0);
  }
  glEnd();

  glEnable(GL_TEXTURE_2D);
  texture_.bind();
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  const float h = kHalo;
  glBegin(GL_QUADS);
  for (const DiagramElement* element : elements) {
    Box b;
    if (!boxOf(element, b)) continue;
    haloQuad(b.x0 - h, b.y1 + h, b.x0, b.y1, b.x0, b.y0, b.x0 - h, b.y0 - h);  // left
    haloQuad(b.x1 + h, b.y1 + h, b.x1, b.y1, b.x0, b.y1, b.x0 - h, b.y1 + h);  // top
    haloQuad(b.x1 + h, b.y0 - h, b.x1, b.y0, b.x1, b.y1, b.x1 + h, b.y1 + h);  // right
    haloQuad(b.x0 - h, b.y0 - h, b.x0, b.y0, b.x1, b.y0, b.x1 + h, b.y0 - h);  // bottom
  }
  glEnd();
}

}  // namespace lumetra
