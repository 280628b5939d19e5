#include "diagram/GlyphLayout.h"

#include <cassert>
#include <cmath>

namespace lumetra {

GlyphRect glyphCell(int index, int count, Vec2 lo, Vec2 hi, const GlyphLayoutParams& params) {
  assert(count > 0 && index >= 0 && index < count && "glyphCell needs a shown metric");

  if (params.useGlyphArea) {
    const Vec2 c = (lo + hi) * 0.5f;
    const float bx = (hi.x - lo.x) / 2.0f;
    const float by = (hi.y - lo.y) / 2.0f;
    const float s = params.areaSize;
    const float u = params.areaCentre.x;
    const float v = params.areaCentre.y;
    const Vec2 newLo(c.x + (u - s) * bx, c.y + (v - s) * by);
    const Vec2 newHi(c.x + (u + s) * bx, c.y + (v + s) * by);
    lo = newLo;
    hi = newHi;
  }

  const int rows = static_cast<int>(std::floor(std::sqrt(static_cast<float>(count))));
  const int cols = static_cast<int>(std::ceil(static_cast<float>(count) / static_cast<float>(rows)));

  const float w = hi.x - lo.x + 1.0f;
  const float h = hi.y - lo.y + 1.0f;
  const float m = std::fmin(w, h);
  float sp = std::ceil(m * params.spacing);

  const float ch = (h - static_cast<float>(rows + 1) * sp) / static_cast<float>(rows);
  const float cw = (w - static_cast<float>(cols + 1) * sp) / static_cast<float>(cols);
  // The minimum gap applies to the placement only, not to the cell size.
  if (sp < 2.0f) sp = 2.0f;

  const int col = index % cols;
  const int row = rows - 1 - index / cols;
  const float fc = static_cast<float>(col);
  const float fr = static_cast<float>(row);

  GlyphRect r;
  r.corner1 = lo + Vec2(std::floor(fc * (sp + cw)) + sp, std::floor(fr * (ch + sp)) + sp);
  r.corner2 = lo + Vec2(std::floor(cw + fc * (sp + cw) - 1.0f) + sp, std::floor(fr * (ch + sp)) + sp + ch - 1.0f);
  return r;
}

}  // namespace lumetra
