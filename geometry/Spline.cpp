#include "geometry/Spline.h"

namespace lumetra {

bool segmentSpline::locate(float t, std::size_t& index, float& u) const {
  const int n = static_cast<int>(segments_.size());
  // Truncation towards zero, clamped to the last segment; without segments
  // (or far below t = 0) there is no segment and the curve reads (0, 0).
  const float scaled = static_cast<float>(n) * t;
  if (n == 0 || !(scaled > -1.0f)) return false;  // also rejects NaN
  const int i = scaled >= static_cast<float>(n) ? n - 1 : static_cast<int>(scaled);
  index = static_cast<std::size_t>(i);
  u = static_cast<float>(n) * (t - static_cast<float>(i) / static_cast<float>(n));
  return true;
}

Vec2 segmentSpline::evaluate(float t) const {
  std::size_t i = 0;
  float u = 0.0f;
  if (!locate(t, i, u)) return Vec2();
  const Segment& s = segments_[i];
  return s.c3 * (u * u * u) + s.c2 * (u * u) + s.c1 * u + s.c0;
}

Vec2 segmentSpline::derivative(float t) const {
  std::size_t i = 0;
  float u = 0.0f;
  if (!locate(t, i, u)) return Vec2();
  const Segment& s = segments_[i];
  return s.c3 * (3.0f * u * u) + s.c2 * (2.0f * u) + s.c1;
}

void TCBSpline::setParameters(float tension, float continuity, float bias) {
  tension_ = tension;
  continuity_ = continuity;
  bias_ = bias;
}

void TCBSpline::addPoint(const Vec2& p) {
  if (pointCount_ >= 3) {
    const Vec2 p0 = previous_, p1 = current_, p2 = next_, p3 = p;
    const float t = tension_, c = continuity_, b = bias_;
    const Vec2 s = (p1 - p0) * ((1 - t) * (1 + c) * (1 + b) / 2) + (p2 - p1) * ((1 - t) * (1 - c) * (1 - b) / 2);
    const Vec2 e = (p2 - p1) * ((1 - t) * (1 - c) * (1 + b) / 2) + (p3 - p2) * ((1 - t) * (1 + c) * (1 - b) / 2);
    Segment segment;
    segment.c3 = p1 * 2.0f - p2 * 2.0f + s + e;
    segment.c2 = p1 * -3.0f + p2 * 3.0f - s * 2.0f - e;
    segment.c1 = s;
    segment.c0 = p1;
    appendSegment(segment);
  }
  previous_ = current_;
  current_ = next_;
  next_ = p;
  ++pointCount_;
}

}  // namespace lumetra
