#include "render/Matrix4.h"

#include <cmath>

namespace lumetra {

Matrix4 Matrix4::identity() {
  Matrix4 r;
  r[0] = r[5] = r[10] = r[15] = 1.0f;
  return r;
}

Matrix4 Matrix4::translation(float x, float y, float z) {
  Matrix4 r = identity();
  r[12] = x;
  r[13] = y;
  r[14] = z;
  return r;
}

Matrix4 Matrix4::scale(float x, float y, float z) {
  Matrix4 r;
  r[0] = x;
  r[5] = y;
  r[10] = z;
  r[15] = 1.0f;
  return r;
}

namespace {

// A rotation in the plane of axes a and b (0 x, 1 y, 2 z), turning a
// towards b; the third axis stays.
Matrix4 planeRotation(int a, int b, float radians) {
  const float c = std::cos(radians), s = std::sin(radians);
  Matrix4 r = Matrix4::identity();
  r[a * 5] = c;
  r[a * 4 + b] = s;
  r[b * 4 + a] = -s;
  r[b * 5] = c;
  return r;
}

}  // namespace

Matrix4 Matrix4::rotationX(float radians) { return planeRotation(1, 2, radians); }

Matrix4 Matrix4::rotationZ(float radians) { return planeRotation(0, 1, radians); }

Matrix4 Matrix4::lookAtLH(Vec3 eye, Vec3 target, Vec3 up) {
  const Vec3 zaxis = (target - eye).normalized();
  const Vec3 xaxis = cross(up, zaxis).normalized();
  const Vec3 yaxis = cross(zaxis, xaxis);
  Matrix4 r;
  r[0] = xaxis.x;
  r[1] = yaxis.x;
  r[2] = zaxis.x;
  r[4] = xaxis.y;
  r[5] = yaxis.y;
  r[6] = zaxis.y;
  r[8] = xaxis.z;
  r[9] = yaxis.z;
  r[10] = zaxis.z;
  r[12] = -dot(xaxis, eye);
  r[13] = -dot(yaxis, eye);
  r[14] = -dot(zaxis, eye);
  r[15] = 1.0f;
  return r;
}

Matrix4 operator*(const Matrix4& a, const Matrix4& b) {
  Matrix4 r;
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 4; ++col) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += a[row * 4 + k] * b[k * 4 + col];
      r[row * 4 + col] = sum;
    }
  }
  return r;
}

namespace {

// The 3x3 minor leaving out row r and column c.
float minor3(const Matrix4& a, int r, int c) {
  float s[9];
  int n = 0;
  for (int i = 0; i < 4; ++i) {
    if (i == r) continue;
    for (int j = 0; j < 4; ++j) {
      if (j == c) continue;
      s[n++] = a[i * 4 + j];
    }
  }
  return s[0] * (s[4] * s[8] - s[5] * s[7]) - s[1] * (s[3] * s[8] - s[5] * s[6]) + s[2] * (s[3] * s[7] - s[4] * s[6]);
}

float cofactor(const Matrix4& a, int r, int c) {
  const float sign = ((r + c) % 2 == 0) ? 1.0f : -1.0f;
  return sign * minor3(a, r, c);
}

}  // namespace

float Matrix4::determinant() const {
  float det = 0.0f;
  for (int c = 0; c < 4; ++c) det += m[static_cast<std::size_t>(c)] * cofactor(*this, 0, c);
  return det;
}

Matrix4 Matrix4::inverse() const {
  const float det = determinant();
  if (!(det > 0.0005f)) return identity();
  Matrix4 r;
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 4; ++col) r[col * 4 + row] = cofactor(*this, row, col) / det;  // adjugate
  }
  return r;
}

Vec3 Matrix4::transformPoint(Vec3 p) const {
  const float x = p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12];
  const float y = p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13];
  const float z = p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14];
  const float w = p.x * m[3] + p.y * m[7] + p.z * m[11] + m[15];
  if (w != 0.0f && w != 1.0f) return {x / w, y / w, z / w};
  return {x, y, z};
}

}  // namespace lumetra
