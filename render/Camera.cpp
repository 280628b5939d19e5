#include "render/Camera.h"

#include <algorithm>
#include <cmath>

#include "settings/SettingsStore.h"

namespace lumetra {

StereoSettings StereoSettings::fromSettings() {
  StereoSettings s;
  s.eyeSeparation = settings().getFloat("Visualizer.General.Stereo.EyeSeperation");
  s.focusDistance = settings().getFloat("Visualizer.General.Stereo.FocusDistance");
  return s;
}

void Camera::reset() {
  zoom = 1.0f;
  pan = Vec2();
  rotationZ = 0.0f;
  rotationX = 0.0f;
}

void Camera::zoomToFit(Vec2 lowerLeft, Vec2 upperRight, int width, int height) {
  reset();
  const float dx = upperRight.x - lowerLeft.x;
  const float dy = upperRight.y - lowerLeft.y;
  const float termX = dx > 0.0f ? static_cast<float>(width) / dx : 1.0f;
  const float termY = dy > 0.0f ? static_cast<float>(height) / dy : 1.0f;
  zoom = std::min(termX, termY) * 0.95f;
}

Matrix4 Camera::projectionMatrix(int eye, int width, int height, const StereoSettings& stereoSettings) const {
  const float w = static_cast<float>(std::max(width, 1));
  const float h = static_cast<float>(std::max(height, 1));
  const float aspect = w / h;
  const float n = kNear;

  if (!perspective) {
    const float f = kFar;
    Matrix4 o;
    o[0] = 2.0f / w;
    o[5] = 2.0f / h;
    o[10] = 1.0f / (f - n);
    o[14] = n / (n - f);
    o[15] = 1.0f;
    return Matrix4::scale(zoom, zoom, zoom) * o;
  }

  const float f = farPlane(height);
  const float fovY = 90.0f * kDegToRad;
  if (eye == 0) {
    const float d = std::tan(fovY / 2.0f);
    Matrix4 p;
    p[0] = (1.0f / d) / aspect;
    p[5] = 1.0f / d;
    p[10] = f / (f - n);
    p[11] = 1.0f;
    p[14] = -n * f / (f - n);
    return p;
  }

  // Both eyes share this frustum; their view matrices differ.
  const float t = std::tan(fovY / 2.0f) * 1.0f;
  const float shift = stereoSettings.eyeSeparation * 0.5f * (1.0f / stereoSettings.focusDistance);
  const float l = -aspect * t - shift;
  const float r = aspect * t - shift;
  Matrix4 p;
  p[0] = 2.0f * n / (r - l);
  p[5] = 2.0f * n / (t - (-t));
  p[8] = (l + r) / (r - l);
  p[9] = 0.0f;
  p[10] = (n + f) / (n - f);
  p[11] = 1.0f;
  p[14] = -2.0f * n * f / (n - f);
  p[15] = 0.0f;
  return p;
}

float Camera::farPlane(int height) const {
  const float h = static_cast<float>(std::max(height, 1));
  const float dist = (h * 0.5f / zoom) / std::tan(0.7853981573134661f);
  const float wanted = 4.0f * dist;
  // Beyond about 1e30 the matrix would lose its finite entries; a zoom that
  // is not a number keeps the fixed plane.
  if (!(wanted > kFar)) return kFar;
  return std::min(wanted, 1.0e30f);
}

Matrix4 Camera::viewMatrix(int eye, int width, int height, const StereoSettings& stereoSettings) const {
  const float h = static_cast<float>(std::max(height, 1));
  const float halfAngle = eye == 0 ? 0.7853981573134661f : 45.0f * kDegToRad;
  const float dist = (h * 0.5f / zoom) / std::tan(halfAngle);

  const Matrix4 t = Matrix4::translation(-pan.x, -pan.y, dist);
  const Matrix4 rx = Matrix4::rotationX(rotationX * kDegToRad);
  const Matrix4 rz = Matrix4::rotationZ(rotationZ * kDegToRad);
  const Matrix4 v = rz * rx * t;
  if (eye == 0) return v;

  const Matrix4 inv = v.inverse();
  const Vec3 position(inv[12], inv[13], inv[14]);
  const Vec3 right(v[0], v[4], v[8]);
  const Vec3 up(v[1], v[5], v[9]);
  const Vec3 forward(v[2], v[6], v[10]);
  const Vec3 eyePoint = position + right * (-static_cast<float>(eye) * stereoSettings.eyeSeparation * 0.5f);
  const Vec3 target = position + forward * stereoSettings.focusDistance;
  return Matrix4::lookAtLH(eyePoint, target, up);
}

}  // namespace lumetra
