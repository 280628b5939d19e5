#pragma once
// The plane geometry of relation ends: arrowheads, aggregation diamonds,
// selection bands and upright text angles. Diagram units, y up, angles in
// radians counter-clockwise.

#include <array>
#include <cmath>

#include "model/Vec2.h"

namespace lumetra {

inline Vec2 rotate(Vec2 v, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  return {v.x * c - v.y * s, v.x * s + v.y * c};
}

// An angle for text along a line, turned by half a turn where needed so that
// the text never reads upside down: the result lies in [-pi/2, pi/2].
inline float uprightAngle(float angle) {
  constexpr float kPi = 3.14159265358979f;
  if (angle < -kPi / 2.0f) angle += kPi;
  if (angle > kPi / 2.0f) angle -= kPi;
  return angle;
}

// The diamond at end point p of a line heading along unit direction d (from
// p into the line): p, its two side corners and the inner tip 2 * size along
// d, closed at p again. The line continues from the inner tip (index 2).
inline std::array<Vec2, 5> diamondAt(Vec2 p, Vec2 d, float size, float angle) {
  const Vec2 outward = -size * d;
  return {p, p - rotate(outward, angle), p - 2.0f * outward, p - rotate(outward, -angle), p};
}

// The two barbs of an open arrowhead at p for a line heading along d.
inline std::array<Vec2, 2> arrowBarbs(Vec2 p, Vec2 d, float size, float angle) {
  const Vec2 outward = -size * d;
  return {p - rotate(outward, angle), p - rotate(outward, -angle)};
}

// The quadrilateral of half width w around the segment from a to b.
inline std::array<Vec2, 4> bandAround(Vec2 a, Vec2 b, float w) {
  const Vec2 along = b - a;
  const Vec2 u = Vec2(-along.y, along.x).normalized();
  return {b + w * u, a + w * u, a - w * u, b - w * u};
}

}  // namespace lumetra
