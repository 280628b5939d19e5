#pragma once
// 4x4 float matrices in the order glLoadMatrixf reads them.
//
// Points are row vectors: composing A-then-B is A*B, and elements 12, 13 and
// 14 hold the translation. Element (row r, column c) is m[r * 4 + c].

#include <array>

#include "render/Vec3.h"

namespace lumetra {

struct Matrix4 {
  std::array<float, 16> m{};  // all zero

  static Matrix4 zero() { return {}; }
  static Matrix4 identity();
  static Matrix4 translation(float x, float y, float z);
  static Matrix4 scale(float x, float y, float z);
  // Rotations by an angle in radians for row vectors.
  static Matrix4 rotationX(float radians);  // [5] cos, [6] sin, [9] -sin, [10] cos
  static Matrix4 rotationZ(float radians);  // [0] cos, [1] sin, [4] -sin, [5] cos
  // Left-handed look-at: the camera at eye looks at target with up roughly up.
  static Matrix4 lookAtLH(Vec3 eye, Vec3 target, Vec3 up);

  float& operator[](int i) { return m[static_cast<std::size_t>(i)]; }
  float operator[](int i) const { return m[static_cast<std::size_t>(i)]; }
  const float* data() const { return m.data(); }

  float determinant() const;
  // The inverse; a matrix whose determinant is not above 0.0005 inverts to
  // the identity.
  Matrix4 inverse() const;

  // The row vector (x, y, z, 1) times this matrix, divided by w when w is
  // neither 0 nor 1.
  Vec3 transformPoint(Vec3 p) const;

  friend Matrix4 operator*(const Matrix4& a, const Matrix4& b);
  friend bool operator==(const Matrix4&, const Matrix4&) = default;
};

}  // namespace lumetra
