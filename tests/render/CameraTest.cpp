// Camera matrices and fitting, checked without a display.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/Camera.h"
#include "render/CanvasOwner.h"
#include "render/CanvasWindow.h"

namespace lumetra {
namespace {

constexpr float kTol = 1e-5f;

void expectMatrix(const Matrix4& actual, const std::array<float, 16>& expected, float tol = kTol) {
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], expected[static_cast<std::size_t>(i)], tol) << "element " << i;
}

// Row vector times view then projection, then to window pixels.
Vec2 toPixels(const Camera& cam, int eye, Vec3 p, int w, int h, const StereoSettings& s) {
  const Matrix4 vp = cam.viewMatrix(eye, w, h, s) * cam.projectionMatrix(eye, w, h, s);
  const Vec3 ndc = vp.transformPoint(p);
  return {(ndc.x + 1.0f) * 0.5f * static_cast<float>(w), (ndc.y + 1.0f) * 0.5f * static_cast<float>(h)};
}

TEST(CameraProjectionTest, OrthographicIsZoomTimesPixelScale) {
  Camera cam;
  cam.perspective = false;
  cam.zoom = 2.0f;
  const float depth = 1.0f / (32768.0f - 1.0f);
  expectMatrix(cam.projectionMatrix(0, 200, 100, {}),
               {0.02f, 0, 0, 0, 0, 0.04f, 0, 0, 0, 0, 2.0f * depth, 0, 0, 0, -depth, 1}, 1e-7f);
  // The stereo eyes use the same orthographic matrix when perspective is off.
  EXPECT_EQ(cam.projectionMatrix(-1, 200, 100, {}), cam.projectionMatrix(0, 200, 100, {}));
}

TEST(CameraProjectionTest, PerspectiveEyeZeroHasNinetyDegreeField) {
  Camera cam;
  expectMatrix(cam.projectionMatrix(0, 200, 100, {}),
               {0.5f, 0, 0, 0, 0, 1.0f, 0, 0, 0, 0, 32768.0f / 32767.0f, 1, 0, 0, -32768.0f / 32767.0f, 0});
}

TEST(CameraProjectionTest, StereoEyesShareOneShiftedFrustum) {
  Camera cam;
  StereoSettings s{1.5f, 100.0f};
  // shift = 1.5 * 0.5 / 100; l = -2 - shift, r = 2 - shift for aspect 2.
  const float shift = 0.0075f;
  expectMatrix(cam.projectionMatrix(-1, 200, 100, s), {0.5f, 0, 0, 0, 0, 1.0f, 0, 0, -2.0f * shift / 4.0f, 0,
                                                       32769.0f / -32767.0f, 1, 0, 0, 65536.0f / 32767.0f, 0});
  EXPECT_EQ(cam.projectionMatrix(-1, 200, 100, s), cam.projectionMatrix(+1, 200, 100, s));
}

TEST(CameraProjectionTest, EmptyViewportStaysFinite) {
  Camera cam;
  for (bool perspective : {false, true}) {
    cam.perspective = perspective;
    const Matrix4 p = cam.projectionMatrix(0, 0, 0, {});
    const Matrix4 v = cam.viewMatrix(0, 0, 0, {});
    for (int i = 0; i < 16; ++i) {
      EXPECT_TRUE(std::isfinite(p[i])) << "projection " << i;
      EXPECT_TRUE(std::isfinite(v[i])) << "view " << i;
    }
  }
}

// A very large diagram fitted to the view lies farther from the eye than
// the fixed far plane; it must still be inside the depth range (it used to
// be clipped away entirely, leaving a blank view), also tilted and in both
// stereo eyes. Views closer than a quarter of the fixed plane keep it.
TEST(CameraProjectionTest, FarPlaneFollowsAFittedLargeDiagram) {
  const StereoSettings stereo{1.5f, 100.0f};
  for (float side : {1000.0f, 70000.0f, 3.0e5f, 3.0e7f}) {
    for (float tilt : {0.0f, 60.0f}) {
      SCOPED_TRACE(::testing::Message() << "side " << side << ", tilt " << tilt);
      Camera cam;
      cam.zoomToFit({-side / 2, -side / 2}, {side / 2, side / 2}, 1280, 1024);
      cam.rotationX = tilt;
      for (int eye : {0, -1, 1}) {
        const Matrix4 vp = cam.viewMatrix(eye, 1280, 1024, stereo) * cam.projectionMatrix(eye, 1280, 1024, stereo);
        for (Vec3 corner : {Vec3(0, 0, 0), Vec3(-side / 2, side / 2, 0), Vec3(side / 2, -side / 2, -128)}) {
          const Vec3 ndc = vp.transformPoint(corner);
          EXPECT_LE(ndc.z, 1.0f) << "eye " << eye << " at " << corner.x << "," << corner.y;
          EXPECT_GE(ndc.z, -1.0f) << "eye " << eye << " at " << corner.x << "," << corner.y;
        }
      }
    }
  }
  Camera close;
  close.zoom = 0.07f;  // the diagram plane at about 7,300 units
  EXPECT_EQ(close.farPlane(1024), Camera::kFar);
  for (float zoom : {0.0f, -1.0f, 1.0e-30f, std::numeric_limits<float>::quiet_NaN()}) {
    Camera odd;
    odd.zoom = zoom;
    const Matrix4 p = odd.projectionMatrix(0, 1280, 1024, {});
    for (int i = 0; i < 16; ++i) EXPECT_TRUE(std::isfinite(p[i])) << "zoom " << zoom << ", element " << i;
  }
}

TEST(CameraViewTest, PlainViewPushesDiagramToHalfHeightOverZoom) {
  Camera cam;
  cam.zoom = 2.0f;
  cam.pan = {3.0f, -4.0f};
  // dist = (100 * 0.5 / 2) / tan(45 deg) = 25.
  expectMatrix(cam.viewMatrix(0, 200, 100, {}), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -3, 4, 25, 1});
}

TEST(CameraViewTest, RotationsTurnThenTilt) {
  Camera cam;
  cam.rotationZ = 90.0f;
  // A quarter turn in the plane takes x to y.
  const Matrix4 v = cam.viewMatrix(0, 200, 100, {});
  const Vec3 p = v.transformPoint({1.0f, 0.0f, 0.0f});
  EXPECT_NEAR(p.x, 0.0f, kTol);
  EXPECT_NEAR(p.y, 1.0f, kTol);

  cam.rotationZ = 0.0f;
  cam.rotationX = 90.0f;
  const Vec3 q = cam.viewMatrix(0, 200, 100, {}).transformPoint({0.0f, 1.0f, 0.0f});
  EXPECT_NEAR(q.y, 0.0f, kTol);
  EXPECT_NEAR(q.z - 50.0f, 1.0f, 1e-4f);  // tilted towards the far side

  // Both: the turn comes first, so x goes to y and the tilt sends it away.
  cam.rotationZ = 90.0f;
  const Vec3 r = cam.viewMatrix(0, 200, 100, {}).transformPoint({1.0f, 0.0f, 0.0f});
  EXPECT_NEAR(r.x, 0.0f, kTol);
  EXPECT_NEAR(r.y, 0.0f, kTol);
  EXPECT_NEAR(r.z - 50.0f, 1.0f, 1e-4f);
}

TEST(CameraViewTest, PerspectiveMatchesOrthographicAtDiagramPlane) {
  struct Case {
    const char* name;
    float zoom;
    Vec2 pan;
  };
  for (const Case& c : {Case{"unit", 1.0f, {0, 0}}, Case{"zoomed", 3.5f, {0, 0}}, Case{"panned", 0.5f, {20, -10}}}) {
    SCOPED_TRACE(c.name);
    Camera cam;
    cam.zoom = c.zoom;
    cam.pan = c.pan;
    for (Vec3 p : {Vec3(0, 0, 0), Vec3(40, 0, 0), Vec3(-30, 25, 0)}) {
      cam.perspective = false;
      const Vec2 ortho = toPixels(cam, 0, p, 400, 300, {});
      cam.perspective = true;
      const Vec2 persp = toPixels(cam, 0, p, 400, 300, {});
      EXPECT_NEAR(ortho.x, persp.x, 1e-2f);
      EXPECT_NEAR(ortho.y, persp.y, 1e-2f);
      // One diagram unit is zoom pixels from the window centre.
      EXPECT_NEAR(ortho.x, 200.0f + (p.x - c.pan.x) * c.zoom, 1e-2f);
      EXPECT_NEAR(ortho.y, 150.0f + (p.y - c.pan.y) * c.zoom, 1e-2f);
    }
  }
}

TEST(CameraViewTest, StereoEyesSitEitherSideOfTheCamera) {
  Camera cam;
  StereoSettings s{1.5f, 100.0f};
  // Plain camera at (0, 0, -50) looking along +z (height 100, zoom 1).
  for (int eye : {-1, +1}) {
    SCOPED_TRACE(eye);
    const Matrix4 v = cam.viewMatrix(eye, 200, 100, s);
    const Vec3 eyePoint(-static_cast<float>(eye) * 0.75f, 0.0f, -50.0f);
    const Vec3 target(0.0f, 0.0f, 50.0f);
    const Vec3 atEye = v.transformPoint(eyePoint);
    EXPECT_NEAR(atEye.x, 0.0f, 1e-4f);
    EXPECT_NEAR(atEye.y, 0.0f, 1e-4f);
    EXPECT_NEAR(atEye.z, 0.0f, 1e-4f);
    const Vec3 atTarget = v.transformPoint(target);
    EXPECT_NEAR(atTarget.x, 0.0f, 1e-3f);
    EXPECT_NEAR(atTarget.y, 0.0f, 1e-3f);
    EXPECT_NEAR(atTarget.z, (target - eyePoint).length(), 1e-3f);
    // The eye shifted right (eye -1) sees the origin left of its centre line.
    const Vec3 origin = v.transformPoint({0, 0, 0});
    EXPECT_EQ(origin.x < 0.0f, eye == -1) << origin.x;
  }
}

TEST(MatrixTest, InverseUndoesAndNearSingularGivesIdentity) {
  const Matrix4 m = Matrix4::rotationZ(0.3f) * Matrix4::rotationX(-0.7f) * Matrix4::translation(5, -2, 9);
  const Matrix4 product = m * m.inverse();
  expectMatrix(product, Matrix4::identity().m);
  EXPECT_EQ(Matrix4::scale(0.05f, 0.1f, 0.1f).inverse(), Matrix4::identity());  // det 0.0005
  EXPECT_EQ(Matrix4::scale(-1, 1, 1).inverse(), Matrix4::identity());           // det below zero
  expectMatrix(Matrix4::scale(0.1f, 0.1f, 0.1f).inverse(), Matrix4::scale(10, 10, 10).m, 1e-3f);
}

TEST(CameraFitTest, FitsTheTighterAxisWithMargin) {
  struct Case {
    const char* name;
    Vec2 lo, hi;
    int w, h;
    float zoom;
  };
  const Case cases[] = {
      {"wide box", {-100, -10}, {100, 10}, 400, 300, 2.0f * 0.95f},
      {"tall box", {-10, -50}, {10, 50}, 400, 300, 3.0f * 0.95f},
      {"zero width keeps 1 for x", {5, -50}, {5, 50}, 400, 300, 1.0f * 0.95f},
      {"zero height uses width", {-400, 7}, {400, 7}, 400, 300, 0.5f * 0.95f},
      {"point box", {1, 1}, {1, 1}, 400, 300, 0.95f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Camera cam;
    cam.pan = {3, 4};
    cam.rotationX = 10;
    cam.rotationZ = 20;
    cam.perspective = false;
    cam.zoomToFit(c.lo, c.hi, c.w, c.h);
    EXPECT_FLOAT_EQ(cam.zoom, c.zoom);
    EXPECT_EQ(cam.pan, Vec2(0, 0));
    EXPECT_EQ(cam.rotationX, 0.0f);
    EXPECT_EQ(cam.rotationZ, 0.0f);
    EXPECT_FALSE(cam.perspective);  // switches are not part of the reset
  }
}

// centreOn puts a diagram point in the middle of the window whatever the
// zoom, turn, tilt and projection, and changes nothing else.
TEST(CameraViewTest, CentreOnBringsThePointToTheWindowCentre) {
  struct Case {
    const char* what;
    bool perspective;
    float zoom, turn, tilt;
  };
  const Case cases[] = {
      {"flat, orthographic", false, 1.5f, 0.0f, 0.0f},
      {"flat, perspective", true, 0.25f, 0.0f, 0.0f},
      {"turned", true, 2.0f, 37.0f, 0.0f},
      {"turned and tilted", true, 0.8f, -120.0f, 50.0f},
      {"tilted, orthographic", false, 3.0f, 10.0f, -30.0f},
  };
  OffscreenWindowHost host;
  CanvasWindow window(&host, 0, 0, 320, 200);
  const StereoSettings stereo;
  for (const Case& c : cases) {
    Camera& cam = window.camera();
    cam.reset();
    cam.perspective = c.perspective;
    cam.zoom = c.zoom;
    cam.rotationZ = c.turn;
    cam.rotationX = c.tilt;
    const Vec2 p(-340.0f, 125.0f);
    window.centreOn(p);
    const Vec2 px = toPixels(cam, 0, {p.x, p.y, 0.0f}, 320, 200, stereo);
    EXPECT_NEAR(px.x, 160.0f, 1e-2f) << c.what;
    EXPECT_NEAR(px.y, 100.0f, 1e-2f) << c.what;
    EXPECT_EQ(cam.zoom, c.zoom) << c.what;
    EXPECT_EQ(cam.rotationZ, c.turn) << c.what;
    EXPECT_EQ(cam.rotationX, c.tilt) << c.what;
  }
}

}  // namespace
}  // namespace lumetra
