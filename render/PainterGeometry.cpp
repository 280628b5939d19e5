// GLPainter's plain 2D geometry: segment crossings, clipping a line to a box
// and the ends of dashes. No GL.

#include <cmath>
#include <vector>

#include "render/GLPainter.h"

namespace lumetra {

bool GLPainter::segmentIntersect(Vec2 a, Vec2 b, Vec2 c, Vec2 d, Vec2& out) {
  const float den = (d.y - c.y) * (b.x - a.x) - (d.x - c.x) * (b.y - a.y);
  if (den == 0.0f) return false;
  const float ua = ((d.x - c.x) * (a.y - c.y) - (d.y - c.y) * (a.x - c.x)) / den;
  const float ub = ((b.x - a.x) * (a.y - c.y) - (b.y - a.y) * (a.x - c.x)) / den;
  if (ua < 0.0f || ub < 0.0f || ua > 1.0f || ub > 1.0f) return false;
  out = a + (b - a) * ua;
  return true;
}

void GLPainter::clipToBox(Vec2 c0, Vec2 c1, Vec2 from, Vec2& to) {
  const Vec2 edges[4][2] = {
      {{c0.x, c0.y}, {c0.x, c1.y}},  // left
      {{c0.x, c1.y}, {c1.x, c1.y}},  // top
      {{c1.x, c1.y}, {c1.x, c0.y}},  // right
      {{c1.x, c0.y}, {c0.x, c0.y}},  // bottom
  };
  for (const auto& edge : edges) {
    Vec2 hit;
    if (segmentIntersect(from, to, edge[0], edge[1], hit)) {
      to = hit;
      return;
    }
  }
}

std::vector<Vec2> GLPainter::dashEnds(Vec2 p, Vec2 q, float dash, float gap) {
  std::vector<Vec2> ends;
  if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(q.x) || !std::isfinite(q.y)) return ends;
  float step = dash + gap;
  // In double: the length of a line across the float range overflows a float.
  const double dx = static_cast<double>(q.x) - p.x;
  const double dy = static_cast<double>(q.y) - p.y;
  const double length = std::sqrt(dx * dx + dy * dy);
  if (!(step > 0.0f)) {
    // No progress per dash: the loop would never end; the line is solid.
    if (length > 0.0) ends = {p, q};
    return ends;
  }
  // Ends absurdly far apart (a damaged model) would need more dashes than
  // any view can show: lengthen dashes and gaps alike instead.
  const double count = std::ceil(length / step);
  if (count > static_cast<double>(kMaxDashes)) {
    const double stretch = count / static_cast<double>(kMaxDashes);
    dash = static_cast<float>(dash * stretch);
    step = static_cast<float>(step * stretch);
  }
  if (!(length > 0.0)) return ends;
  const double ux = dx / length;
  const double uy = dy / length;
  ends.reserve(2 * static_cast<std::size_t>(std::fmin(count, static_cast<double>(kMaxDashes)) + 1.0));
  for (std::size_t i = 0;; ++i) {
    // Each start computed from its index: no drift, and no stall where a
    // float sum would stop growing.
    const double t = static_cast<double>(i) * step;
    if (!(t < length) || i > kMaxDashes) break;
    const Vec2 a(static_cast<float>(p.x + ux * t), static_cast<float>(p.y + uy * t));
    ends.push_back(a);
    ends.push_back(Vec2(static_cast<float>(p.x + ux * (t + dash)), static_cast<float>(p.y + uy * (t + dash))));
  }
  return ends;
}

}  // namespace lumetra
