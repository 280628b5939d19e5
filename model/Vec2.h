#pragma once
// Two 32-bit floats, x then y. Diagram space is y-up.

#include <cmath>

namespace lumetra {

struct Vec2 {
  float x = 0.0f;
  float y = 0.0f;

  constexpr Vec2() = default;
  constexpr Vec2(float px, float py) : x(px), y(py) {}

  constexpr Vec2 operator+(const Vec2& o) const { return {x + o.x, y + o.y}; }
  constexpr Vec2 operator-(const Vec2& o) const { return {x - o.x, y - o.y}; }
  constexpr Vec2 operator*(float s) const { return {x * s, y * s}; }
  constexpr Vec2 operator/(float s) const { return {x / s, y / s}; }
  Vec2& operator+=(const Vec2& o) { x += o.x; y += o.y; return *this; }
  Vec2& operator-=(const Vec2& o) { x -= o.x; y -= o.y; return *this; }
  Vec2& operator*=(float s) { x *= s; y *= s; return *this; }
  friend constexpr bool operator==(const Vec2&, const Vec2&) = default;

  float length() const { return std::sqrt(x * x + y * y); }
  // The unit vector in this direction; the zero vector stays zero.
  Vec2 normalized() const {
    float len = length();
    return len > 0.0f ? Vec2(x / len, y / len) : Vec2();
  }
};

inline constexpr Vec2 operator*(float s, const Vec2& v) { return v * s; }

}  // namespace lumetra
