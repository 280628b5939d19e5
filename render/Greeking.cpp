#include "render/Greeking.h"

#include <cmath>

namespace lumetra {

GreekedBar greekedBar(Vec2 low, Vec2 high, Vec2 position, float angle, float scale, Vec2 shift, float pixelsPerUnit,
                      Color color) {
  GreekedBar bar;
  if (!(high.x > low.x) || !(high.y > low.y)) return bar;
  const float k = scale;
  float c = 1.0f;
  float s = 0.0f;
  if (angle != 0.0f) {
    c = std::cos(angle);
    s = std::sin(angle);
  }
  auto place = [&](float fx, float fy) {
    const float x = shift.x + k * fx;
    const float y = shift.y + k * fy;
    return Vec2(position.x + (c * x - s * y), position.y + (s * x + c * y));
  };
  const float middle = (low.y + high.y) * 0.5f;
  const float quarter = (high.y - low.y) * 0.25f;
  const float thickness = std::fabs(2.0f * quarter * k) * pixelsPerUnit;  // pixels
  bar.ink = color;
  bar.ink.a *= 0.5f;
  float half = quarter;
  if (!(thickness >= 1.0f)) {
    bar.ink.a *= thickness;
    half = 0.5f / std::fabs(k * pixelsPerUnit);  // half a pixel in font pixels
  }
  bar.corners = {place(low.x, middle - half), place(low.x, middle + half), place(high.x, middle - half),
                 place(high.x, middle + half)};
  bar.drawn = true;
  return bar;
}

}  // namespace lumetra
