#pragma once
// Where the glyph of one shown metric goes on an element box: the shown
// metrics share one grid of equal cells, filled row by row from the top
// (the row farthest from the lower corner), left to right.

#include "model/Vec2.h"

namespace lumetra {

struct GlyphLayoutParams {
  float areaSize = 1.0f;    // half-size of the glyph area, relative to the box's half-size
  Vec2 areaCentre{};        // centre of the glyph area relative to the box centre, in half-sizes
  bool useGlyphArea = true; // false: the whole box is the glyph area (the layout preview)
  float spacing = 0.025f;   // gap between cells as a fraction of the area's smaller side
};

struct GlyphRect {
  Vec2 corner1;  // lower corner
  Vec2 corner2;  // upper corner
};

// The cell of the metric at position index among count shown metrics inside
// the box lo..hi (diagram units, y up). Needs 0 <= index < count.
GlyphRect glyphCell(int index, int count, Vec2 lo, Vec2 hi, const GlyphLayoutParams& params);

}  // namespace lumetra
