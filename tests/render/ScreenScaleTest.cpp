// The screen scale a window records its level of detail at: pixels per
// diagram unit where the diagram shows largest, and its rounding up to a
// step.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/Camera.h"
#include "render/GLPainter.h"
#include "render/ScreenScale.h"

namespace lumetra {
namespace {

constexpr int kW = 1280;
constexpr int kH = 1024;

// Projection times view, column-major as GL keeps it (row vectors: view
// first, then projection).
Matrix4 clipOf(const Camera& cam) { return cam.viewMatrix(0, kW, kH, {}) * cam.projectionMatrix(0, kW, kH, {}); }

Vec2 toPixels(const Matrix4& clip, Vec3 p) {
  const Vec3 ndc = clip.transformPoint(p);
  return {(ndc.x + 1.0f) * 0.5f * kW, (ndc.y + 1.0f) * 0.5f * kH};
}

// Pixels covered by a small step along x and y at p, measured on the
// projected points.
float measuredScale(const Matrix4& clip, Vec3 p) {
  const float h = 0.01f;
  const Vec2 o = toPixels(clip, p);
  const Vec2 dx = toPixels(clip, {p.x + h, p.y, p.z}) - o;
  const Vec2 dy = toPixels(clip, {p.x, p.y + h, p.z}) - o;
  return std::fmax(dx.length(), dy.length()) / h;
}

TEST(ScreenScaleTest, UntiltedViewsShowTheDiagramPlaneAtTheZoom) {
  struct Case {
    bool perspective;
    float zoom;
    Vec2 pan;
  } cases[] = {{false, 0.25f, {}}, {false, 2.0f, {300, -40}}, {true, 0.195f, {}}, {true, 1.0f, {1000, 500}},
               {true, 4.0f, {-20, 20}}};
  for (const Case& c : cases) {
    Camera cam;
    cam.perspective = c.perspective;
    cam.zoom = c.zoom;
    cam.pan = c.pan;
    const Matrix4 clip = clipOf(cam);
    const float scale = largestScreenScale(clip.data(), kW, kH, {-3000, -2000, 0}, {3000, 2000, 0});
    EXPECT_NEAR(scale, c.zoom, c.zoom * 1e-3f) << "perspective " << c.perspective << " zoom " << c.zoom;
  }
}

TEST(ScreenScaleTest, NearestPartOfATiltedOrRaisedViewDecides) {
  Camera cam;
  cam.zoom = 0.5f;
  // Raised glyphs come nearer the eye: larger than the plane.
  const Matrix4 flat = clipOf(cam);
  const float raised = largestScreenScale(flat.data(), kW, kH, {-500, -500, -130}, {500, 500, 0});
  EXPECT_GT(raised, 0.5f);
  EXPECT_NEAR(raised, measuredScale(flat, {0, 0, -130}), raised * 0.01f);

  // Tilted: the edge that comes towards the eye is the largest.
  cam.rotationX = 50.0f;
  const Matrix4 tilted = clipOf(cam);
  const Vec3 lo(-800, -600, 0), hi(800, 600, 0);
  const float scale = largestScreenScale(tilted.data(), kW, kH, lo, hi);
  float largestCorner = 0.0f;
  for (float x : {lo.x, hi.x})
    for (float y : {lo.y, hi.y}) largestCorner = std::fmax(largestCorner, measuredScale(tilted, {x, y, 0}));
  EXPECT_NEAR(scale, largestCorner, largestCorner * 0.02f);
  EXPECT_GT(scale, 0.5f * 1.2f);
}

TEST(ScreenScaleTest, ABoxReachingTheEyeOrNotFiniteIsNeverReduced) {
  Camera cam;
  cam.zoom = 1.0f;
  cam.rotationX = 80.0f;
  const Matrix4 clip = clipOf(cam);
  // Tilted nearly edge-on, a long diagram passes the eye.
  EXPECT_TRUE(std::isinf(largestScreenScale(clip.data(), kW, kH, {-100, -50000, 0}, {100, 50000, 0})));
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_TRUE(std::isinf(largestScreenScale(clip.data(), kW, kH, {nan, 0, 0}, {1, 1, 0})));
}

TEST(ScreenScaleTest, StepsRoundUpToPowersOfTheSquareRootOfTwo) {
  const float root2 = std::sqrt(2.0f);
  for (float scale : {0.01f, 0.136f, 0.195f, 0.25f, 0.3f, 0.7f, 1.0f, 1.3f, 7.0f, 300.0f}) {
    const float step = detailScaleStep(scale);
    EXPECT_GE(step, scale) << scale;
    EXPECT_LT(step, scale * root2 * 1.0001f) << scale;
    // A power of root 2: twice its base-2 logarithm is a whole number.
    const double twiceLog = 2.0 * std::log2(static_cast<double>(step));
    EXPECT_NEAR(twiceLog, std::round(twiceLog), 1e-4) << scale;
  }
  EXPECT_EQ(detailScaleStep(0.25f), 0.25f);
  EXPECT_EQ(detailScaleStep(1.0f), 1.0f);
  EXPECT_TRUE(std::isinf(detailScaleStep(std::numeric_limits<float>::infinity())));
  EXPECT_EQ(detailScaleStep(0.0f), 0.0f);
}

// Segments of elliptic primitives and curves: about two pixels each where
// the full count makes them shorter, never fewer than 8 nor more than in
// full; in full at full detail and while vectors are recorded.
TEST(DetailSegmentsTest, CountsFollowTheSizeOnScreenWithinTheirBounds) {
  struct Case {
    float scale;
    int full;
    float radius;
    int expected;
  } cases[] = {
      {GLPainter::kFullDetail, 21, 10.0f, 21},
      {1.0f, 21, 10.0f, 21},      // 63 pixels round: segments of 3 pixels stay
      {0.25f, 21, 10.0f, 8},      // 15.7 pixels round: 8 segments of 2
      {0.5f, 21, 10.0f, 16},      // 31.4 pixels round
      {0.01f, 21, 10.0f, 8},      // never fewer than 8
      {0.01f, 5, 10.0f, 5},       // nor more than in full
      {0.25f, 16384, 1.0e5f, 16384},
      {0.001f, 16384, 1.0e5f, 315},
  };
  for (const Case& c : cases) {
    GLPainter::setDetailScale(c.scale);
    EXPECT_EQ(GLPainter::detailSegments(c.full, c.radius, c.radius * 0.5f), c.expected)
        << "scale " << c.scale << ", radius " << c.radius;
    GLPainter::setRecordingVectors(true);
    EXPECT_EQ(GLPainter::detailSegments(c.full, c.radius, c.radius), c.full) << "vectors keep every segment";
    GLPainter::setRecordingVectors(false);
  }
  // A loop 60 units across (at most 189 pixels long at zoom 1) keeps its
  // 256 samples down to about zoom 0.68, and takes a sample per half pixel
  // of that length below.
  GLPainter::setDetailScale(1.0f);
  EXPECT_EQ(GLPainter::curveSamples(256, 60.0f), 256);
  GLPainter::setDetailScale(0.68f);
  EXPECT_EQ(GLPainter::curveSamples(256, 60.0f), 256);
  GLPainter::setDetailScale(0.5f);
  EXPECT_EQ(GLPainter::curveSamples(256, 60.0f), 189);
  GLPainter::setDetailScale(0.125f);
  EXPECT_EQ(GLPainter::curveSamples(256, 60.0f), 48);
  GLPainter::setDetailScale(0.001f);
  EXPECT_EQ(GLPainter::curveSamples(256, 60.0f), 8);
  // Not a number or not positive: full detail.
  for (float odd : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
    GLPainter::setDetailScale(odd);
    EXPECT_EQ(GLPainter::detailSegments(21, 10.0f, 10.0f), 21) << odd;
  }
  GLPainter::setDetailScale(GLPainter::kFullDetail);
}

}  // namespace
}  // namespace lumetra
