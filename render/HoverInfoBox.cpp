#include "render/HoverInfoBox.h"

#include <algorithm>

#include "render/GLPainter.h"
#include "settings/SettingsStore.h"

namespace lumetra {

namespace {

void measure(const std::string& text, float& w, float& h) {
  w = 0.0f;
  h = 0.0f;
  GLPainter::textSize(text, settings().getFloat("HoverInfo.FontSize"), w, h);
}

}  // namespace

Vec2 TextHoverInfoBox::size() const {
  const float sp = settings().getFloat("HoverInfo.Spacing");
  float w = 0.0f, h = 0.0f;
  measure(text_, w, h);
  return {2.0f * sp + w, 2.0f * sp + 2.0f * h};
}

Vec2 TextHoverInfoBox::placedCorner(int windowWidth, int windowHeight) const {
  const Vec2 extent = size();
  Vec2 corner = position_;
  // Right edge first, then the left one wins for a box wider than the window.
  corner.x = std::max(0.0f, std::min(corner.x, static_cast<float>(windowWidth) - extent.x));
  // The box hangs down from corner.y; keep its bottom at or above 0 and its
  // top at or below the window's top.
  corner.y = std::min(static_cast<float>(windowHeight), std::max(corner.y, extent.y));
  return corner;
}

void TextHoverInfoBox::draw(int windowWidth, int windowHeight) {
  const float sp = settings().getFloat("HoverInfo.Spacing");
  const float fontSize = settings().getFloat("HoverInfo.FontSize");
  float w = 0.0f, h = 0.0f;
  measure(text_, w, h);
  const Vec2 extent(2.0f * sp + w, 2.0f * sp + 2.0f * h);
  const Vec2 corner = placedCorner(windowWidth, windowHeight);
  const Vec2 lowerLeft(corner.x, corner.y - extent.y);
  const Vec2 upperRight(corner.x + extent.x, corner.y);

  GLPainter painter;
  painter.filledRect(lowerLeft, upperRight, background_);
  painter.rectOutline(lowerLeft, upperRight, settings().getColor("HoverInfo.ModelElement.OutlineColor"));
  painter.drawText(text_, {corner.x + sp, corner.y - (sp + h)}, fontSize, 0, Color(0.0f, 0.0f, 0.0f, 1.0f));
}

}  // namespace lumetra
