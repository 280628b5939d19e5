#pragma once
// Three 32-bit floats, used for 3D glyph corners and camera vectors.

#include <cmath>

namespace lumetra {

struct Vec3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;

  constexpr Vec3() = default;
  constexpr Vec3(float px, float py, float pz) : x(px), y(py), z(pz) {}

  constexpr Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
  constexpr Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
  constexpr Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
  friend constexpr bool operator==(const Vec3&, const Vec3&) = default;

  float length() const { return std::sqrt(x * x + y * y + z * z); }
  // The unit vector in this direction; the zero vector stays zero.
  Vec3 normalized() const {
    float len = length();
    return len > 0.0f ? Vec3(x / len, y / len, z / len) : Vec3();
  }
};

inline constexpr float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline constexpr Vec3 cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

}  // namespace lumetra
