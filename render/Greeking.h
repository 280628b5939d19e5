#pragma once

#include <array>

#include "model/Vec2.h"
#include "settings/Color.h"

namespace lumetra {

// Text too small to read is drawn as a bar over the middle half of its
// glyphs' box, along the text's own direction, at half the colour's alpha:
// about the quarter of the box that glyph strokes cover, so that a block of
// greeked lines shows the grey the text would. A bar thinner than a pixel is
// drawn one pixel thick with its alpha scaled by the bar's share of that
// pixel, which keeps that grey.
struct GreekedBar {
  bool drawn = false;  // false for an empty or not finite box
  // A triangle strip: low end bottom, low end top, high end bottom, high end top.
  std::array<Vec2, 4> corners;
  Color ink;
};

// low and high: the glyphs' box in font pixels; scale: world units per font
// pixel; the box is shifted by shift (world units), turned by angle
// (radians) and placed at position; pixelsPerUnit: the screen scale.
GreekedBar greekedBar(Vec2 low, Vec2 high, Vec2 position, float angle, float scale, Vec2 shift, float pixelsPerUnit,
                      Color color);

}  // namespace lumetra
