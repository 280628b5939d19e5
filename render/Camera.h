#pragma once
// The camera of one canvas window and its projection and view matrices.
//
// Plain maths, no GL: the window loads the matrices with glLoadMatrixf.
// Diagram space is y up and centred on the origin; the camera looks along +z
// at the diagram plane z = 0. With perspective off one diagram unit is zoom
// pixels; with perspective on the same holds at the diagram plane.

#include "model/Vec2.h"
#include "render/Matrix4.h"

namespace lumetra {

// The two stereo settings the eye matrices use.
struct StereoSettings {
  float eyeSeparation = 1.5f;    // "Visualizer.General.Stereo.EyeSeperation"
  float focusDistance = 100.0f;  // "Visualizer.General.Stereo.FocusDistance"

  // The current values of the settings store.
  static StereoSettings fromSettings();
};

struct Camera {
  static constexpr float kNear = 1.0f;
  static constexpr float kFar = 32768.0f;
  static constexpr float kDegToRad = 0.017453292f;

  float zoom = 1.0f;       // pixels per diagram unit; never clamped
  Vec2 pan;                // diagram units
  float rotationZ = 0.0f;  // degrees, turns the diagram in its plane
  float rotationX = 0.0f;  // degrees, tilts it about the screen's horizontal axis
  bool perspective = true;
  bool stereo = false;

  // Zoom 1, no pan, no rotation; the perspective and stereo switches stay.
  void reset();

  // Resets, then zooms so that the box (lowerLeft, upperRight) fits the
  // viewport with a 5 % margin. An axis of zero (or negative) extent gives
  // that axis the term 1.0 instead of dividing by zero.
  void zoomToFit(Vec2 lowerLeft, Vec2 upperRight, int width, int height);

  // eye is -1, 0 or +1 (0 is the plain view, -1 and +1 the stereo eyes).
  // A viewport side below one pixel counts as one.
  Matrix4 projectionMatrix(int eye, int width, int height, const StereoSettings& stereoSettings) const;
  Matrix4 viewMatrix(int eye, int width, int height, const StereoSettings& stereoSettings) const;

  // The far plane of the perspective views: kFar, or four times the
  // distance from the eye to the diagram plane where that is farther, so
  // that a diagram zoomed out beyond kFar / 4 (a fitted diagram of some
  // 65,000 units or more) is not clipped away, tilted or not.
  float farPlane(int height) const;
};

}  // namespace lumetra
