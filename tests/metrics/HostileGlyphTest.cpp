// Glyph painters given the rectangles an odd but loadable model can produce
// (boxes with coordinates that are not numbers, infinite, enormous, inverted
// or empty) and extreme value ranges: each must return promptly, raise no GL
// error and leave the GL state as it found it.

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <climits>
#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "metrics/Metric.h"
#include "metrics/MetricVisualizer.h"
#include "render/GLPainter.h"
#include "tests/support/PixelCanvas.h"

namespace lumetra {
namespace {

using test::PixelCanvas;
using test::PixelCanvasTest;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// The GL state a glyph painter must leave as it found it.
struct GLSnapshot {
  GLint attribDepth = 0, modelViewDepth = 0, projectionDepth = 0, depthFunc = 0, matrixMode = 0;
  GLboolean blend = GL_FALSE, texture = GL_FALSE;

  static GLSnapshot take() {
    GLSnapshot s;
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &s.attribDepth);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &s.modelViewDepth);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &s.projectionDepth);
    glGetIntegerv(GL_DEPTH_FUNC, &s.depthFunc);
    glGetIntegerv(GL_MATRIX_MODE, &s.matrixMode);
    s.blend = glIsEnabled(GL_BLEND);
    s.texture = glIsEnabled(GL_TEXTURE_2D);
    return s;
  }
  friend bool operator==(const GLSnapshot&, const GLSnapshot&) = default;
};

class HostileGlyphTest : public PixelCanvasTest<120, 80> {
 protected:
  void SetUp() override {
    PixelCanvasTest::SetUp();
    if (HasFatalFailure()) return;
    glDepthFunc(GL_ALWAYS);
    canvas_->clear(1.0f, 1.0f, 1.0f);
    while (glGetError() != GL_NO_ERROR) {
    }
  }
};

struct RectCase {
  const char* name;
  Vec2 corner1;
  Vec2 corner2;
};

const RectCase kRects[] = {
    {"not a number", {kNaN, 10.0f}, {40.0f, kNaN}},
    {"all not a number", {kNaN, kNaN}, {kNaN, kNaN}},
    {"infinite", {-kInf, -kInf}, {kInf, kInf}},
    {"infinite on one side", {10.0f, 10.0f}, {kInf, 40.0f}},
    {"enormous", {-3.0e38f, -3.0e38f}, {3.0e38f, 3.0e38f}},
    {"far away", {1.0e30f, 1.0e30f}, {1.0e30f + 40.0f, 1.0e30f + 40.0f}},
    {"inverted", {60.0f, 60.0f}, {10.0f, 10.0f}},
    {"empty", {20.0f, 20.0f}, {20.0f, 20.0f}},
};

TEST_F(HostileGlyphTest, IntegerPaintersSurviveOddRectanglesAndRanges) {
  struct RangeCase {
    const char* name;
    int minimum, maximum, value;
  };
  const RangeCase ranges[] = {
      {"full int range at the minimum", INT_MIN, INT_MAX, INT_MIN},
      {"full int range at the maximum", INT_MIN, INT_MAX, INT_MAX},
      {"minimum equals maximum", 7, 7, 7},
      {"value below the range", 0, 10, INT_MIN},
  };
  for (const char* kind : {"2D Bar", "2D Pie", "3D Bar", "3D Cylinder"}) {
    auto painter = createIntMetricVisualizer(kind);
    ASSERT_TRUE(painter) << kind;
    for (const RectCase& rect : kRects) {
      for (const RangeCase& range : ranges) {
        const GLSnapshot before = GLSnapshot::take();
        painter->draw(rect.corner1, rect.corner2, Color(0.2f, 0.4f, 0.8f, 1.0f), Color(0xDD000000u), range.value,
                      range.minimum, range.maximum);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << kind << ", " << rect.name << ", " << range.name;
        EXPECT_TRUE(GLSnapshot::take() == before) << kind << ", " << rect.name << ", " << range.name;
      }
    }
  }
}

TEST_F(HostileGlyphTest, BooleanPainterSurvivesOddRectangles) {
  DefaultBoolMetricVisualizer painter;
  for (const RectCase& rect : kRects) {
    for (bool value : {true, false}) {
      const GLSnapshot before = GLSnapshot::take();
      painter.draw(rect.corner1, rect.corner2, Color(0.2f, 0.4f, 0.8f, 1.0f), Color(0xDD000000u), value);
      EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << rect.name << ", " << value;
      EXPECT_TRUE(GLSnapshot::take() == before) << rect.name << ", " << value;
    }
  }
  // The canvas still draws normally afterwards: a tick in a sane cell.
  canvas_->clear(1.0f, 1.0f, 1.0f);
  painter.draw({20.0f, 20.0f}, {99.0f, 69.0f}, Color(0.2f, 0.4f, 0.8f, 1.0f), Color(0xDD000000u), true);
  EXPECT_EQ(canvas_->at(20 + 32, 20 + 12), (test::Pixel{0, 153, 0})) << "inside the tick";
}

}  // namespace
}  // namespace lumetra
