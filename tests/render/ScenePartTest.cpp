// Which recorded parts of a scene a replay may leave out: only boxes that
// lie wholly beyond one side of the view (grown by the margin), or behind
// the eye.

#include <gtest/gtest.h>

#include "render/ScenePart.h"

namespace lumetra {
namespace {

ScenePartBox box(Vec3 low, Vec3 high) { return {true, low, high}; }

// Column-major: a 200 x 100 viewport showing x in [0, 200], y in [0, 100]
// (one unit per pixel) and z in [-1000, 1000].
const float kPixels[16] = {0.01f, 0, 0, 0, 0, 0.02f, 0, 0, 0, 0, 0.001f, 0, -1, -1, 0, 1};
// w = 1 + 0.01 * y: points with y below -100 lie behind the eye.
const float kPerspective[16] = {0.01f, 0, 0, 0, 0, 0.02f, 0, 0.01f, 0, 0, 0.001f, 0, -1, -1, 0, 1};

TEST(ScenePartTest, LeftOutOnlyWhenWhollyOutside) {
  struct Case {
    const char* name;
    ScenePartBox part;
    const float* matrix;
    bool shows;
  };
  const Case cases[] = {
      {"unbounded (the background)", ScenePartBox{}, kPixels, true},
      {"inside", box({50, 20, 0}, {80, 40, 0}), kPixels, true},
      {"larger than the view", box({-500, -500, 0}, {900, 900, 0}), kPixels, true},
      {"across the left edge", box({-50, 20, 0}, {10, 40, 0}), kPixels, true},
      {"left of the view", box({-80, 20, 0}, {-30, 40, 0}), kPixels, false},
      {"right of the view", box({230, 20, 0}, {300, 40, 0}), kPixels, false},
      {"above the view", box({50, 130, 0}, {80, 140, 0}), kPixels, false},
      {"below the view", box({50, -40, 0}, {80, -30, 0}), kPixels, false},
      {"within the margin on the left", box({-40, 20, 0}, {-10, 40, 0}), kPixels, true},
      {"within the margin above", box({50, 110, 0}, {80, 140, 0}), kPixels, true},
      {"diagonal to a corner, beyond", box({-80, -80, 0}, {-30, -30, 0}), kPixels, false},
      {"beyond the far plane", box({50, 20, 1500}, {80, 40, 1800}), kPixels, false},
      {"rising from beyond into the view", box({50, 20, -128}, {80, 40, 1500}), kPixels, true},
      {"behind the eye", box({50, -300, 0}, {80, -150, 0}), kPerspective, false},
      {"from behind the eye into the view", box({50, -300, 0}, {80, 40, 0}), kPerspective, true},
      {"in front of the eye, inside", box({50, 20, 0}, {80, 40, 0}), kPerspective, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(partMayShow(c.part, c.matrix, 200, 100, 16.0f, 16.0f), c.shows) << c.name;
}

TEST(ScenePartTest, MarginFollowsTheViewportSize) {
  // 16 pixels: the box from -20 to -17 lies beyond it, -15 inside it.
  EXPECT_FALSE(partMayShow(box({-20, 20, 0}, {-17, 40, 0}), kPixels, 200, 100, 16.0f, 16.0f));
  EXPECT_TRUE(partMayShow(box({-20, 20, 0}, {-15, 40, 0}), kPixels, 200, 100, 16.0f, 16.0f));
  EXPECT_FALSE(partMayShow(box({-20, 20, 0}, {-15, 40, 0}), kPixels, 200, 100, 0.0f, 0.0f));
  // A viewport without pixels cannot be tested: everything is replayed.
  EXPECT_TRUE(partMayShow(box({-80, 20, 0}, {-30, 40, 0}), kPixels, 0, 0, 16.0f, 16.0f));
}

}  // namespace
}  // namespace lumetra
