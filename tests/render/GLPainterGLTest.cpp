// Drawing primitives and text on a real GL canvas, checked by reading pixels
// back: coverage, alpha, text boxes and alignment, tessellation, the depth
// bracket of the 3D shapes, and a window's camera placing a rectangle.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <limits>

#include <cmath>
#include <functional>

#include "model/Diagram.h"
#include "render/Canvas.h"
#include "render/CanvasOwner.h"
#include "render/CanvasWindow.h"
#include "render/DiagramPainter.h"
#include "render/GLPainter.h"
#include "render/HoverOverlay.h"
#include "tests/render/FontCanvasTest.h"
#include "tests/support/GLTestHarness.h"

namespace lumetra {
namespace {

const Color kBlack(0, 0, 0, 1);
const Color kBlue(0, 0, 1, 1);

bool near(const Rgba& p, int r, int g, int b, int tol = 2) {
  return std::abs(p.r - r) <= tol && std::abs(p.g - g) <= tol && std::abs(p.b - b) <= tol;
}

class GLPainterTest : public FontCanvasTest<200, 120> {
 protected:
  GLPainter painter_;
};

TEST_F(GLPainterTest, FilledRectCoversExactlyItsPixels) {
  painter_.filledRect({10, 10}, {30, 20}, kBlack);
  EXPECT_TRUE(near(gl_->pixel(10, 10), 0, 0, 0)) << gl_->pixel(10, 10);
  EXPECT_TRUE(near(gl_->pixel(29, 19), 0, 0, 0)) << gl_->pixel(29, 19);
  EXPECT_TRUE(near(gl_->pixel(30, 15), 255, 255, 255)) << gl_->pixel(30, 15);
  EXPECT_TRUE(near(gl_->pixel(15, 20), 255, 255, 255)) << gl_->pixel(15, 20);
  EXPECT_TRUE(near(gl_->pixel(9, 15), 255, 255, 255)) << gl_->pixel(9, 15);
  // Corners given the other way round cover the same pixels.
  gl_->clear();
  painter_.filledRect({30, 20}, {10, 10}, kBlue);
  EXPECT_TRUE(near(gl_->pixel(10, 10), 0, 0, 255)) << gl_->pixel(10, 10);
  EXPECT_TRUE(near(gl_->pixel(30, 15), 255, 255, 255)) << gl_->pixel(30, 15);
}

TEST_F(GLPainterTest, GlobalAlphaHalvesAlphaOfShapesAndText) {
  struct Case {
    const char* name;
    float factor, colourAlpha;
    int expected;  // black over white: 255 * (1 - alpha)
  };
  const Case cases[] = {
      {"factor 1", 1.0f, 1.0f, 0},
      {"factor 0.5", 0.5f, 1.0f, 128},
      {"factor 0.5 on half alpha", 0.5f, 0.5f, 191},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    gl_->clear();
    GLPainter::setGlobalAlpha(c.factor);
    EXPECT_FLOAT_EQ(GLPainter::globalAlpha(), c.factor);
    painter_.filledRect({0, 0}, {50, 50}, Color(0, 0, 0, c.colourAlpha));
    painter_.filledSector({100, 60}, 20, 20, 0, 6.2831855f, Color(0, 0, 0, c.colourAlpha), -3.0f);
    EXPECT_TRUE(near(gl_->pixel(25, 25), c.expected, c.expected, c.expected)) << gl_->pixel(25, 25);
    EXPECT_TRUE(near(gl_->pixel(100, 60), c.expected, c.expected, c.expected)) << gl_->pixel(100, 60);
  }
  // Text: its darkest pixel is about half black, never darker.
  gl_->clear();
  GLPainter::setGlobalAlpha(0.5f);
  painter_.drawText("HHHH", {20, 60}, 25.0f, 0, kBlack);
  const std::vector<std::uint8_t> px = gl_->pixels();
  int darkest = 255;
  for (std::size_t i = 0; i < px.size(); i += 4) darkest = std::min<int>(darkest, px[i]);
  EXPECT_GE(darkest, 125);
  EXPECT_LE(darkest, 140);
}

TEST_F(GLPainterTest, TextDrawsInsideItsMeasuredBox) {
  float w = 0, h = 0;
  const float size = 12.5f;  // 0.08 * 12.5 = one canvas pixel per font pixel
  GLPainter::textSize("HEH", size, w, h);
  ASSERT_GT(w, 20.0f);
  ASSERT_GT(h, 8.0f);
  painter_.drawText("HEH", {40, 50}, size, 0, kBlack);
  int minX, minY, maxX, maxY;
  ASSERT_TRUE(gl_->darkBox(600, minX, minY, maxX, maxY));
  EXPECT_GE(minX, 40 - 1);
  EXPECT_LE(maxX - minX + 1, std::ceil(w) + 2);
  EXPECT_GE(maxX - minX + 1, w - 3);
  EXPECT_NEAR(minY, 50, 1);  // capitals stand on the base line
  EXPECT_NEAR(maxY - minY + 1, h, 2);
}

TEST_F(GLPainterTest, TextFlagsCentreAndHang) {
  float w = 0, h = 0;
  const float size = 12.5f;
  GLPainter::textSize("HEH", size, w, h);
  struct Case {
    const char* name;
    int flags;
    float centreX, top;  // expected dark box centre and top edge
  };
  const Vec2 pos(100, 60);
  const Case cases[] = {
      {"centred and hanging", kTextCenterX | kTextHang, pos.x, pos.y},
      {"centred both ways", kTextCenterX | kTextCenterY, pos.x, pos.y + h / 2},
      {"pen origin", 0, pos.x + w / 2, pos.y + h},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    gl_->clear();
    painter_.drawText("HEH", pos, size, c.flags, kBlack);
    int minX, minY, maxX, maxY;
    ASSERT_TRUE(gl_->darkBox(600, minX, minY, maxX, maxY));
    EXPECT_NEAR((minX + maxX + 1) / 2.0f, c.centreX, 2.0f);
    EXPECT_NEAR(static_cast<float>(maxY + 1), c.top, 2.0f);
  }
}

TEST_F(GLPainterTest, RotatedTextTurnsAboutItsPosition) {
  // A quarter turn counter-clockwise: the text runs upwards from the position.
  painter_.drawText("HEHEH", {100, 20}, 1.5707964f, 12.5f, 0, kBlack);
  int minX, minY, maxX, maxY;
  ASSERT_TRUE(gl_->darkBox(600, minX, minY, maxX, maxY));
  EXPECT_GT(maxY - minY, 2 * (maxX - minX));
  EXPECT_GE(minY, 19);
  EXPECT_LE(maxX, 101);
}

TEST_F(GLPainterTest, FontRegistryFailuresAndReplacement) {
  try {
    GLPainter::createFont("/nonexistent/nofont.ttf", "Broken", 18.0f);
    FAIL() << "no exception";
  } catch (const GraphicsException& e) {
    EXPECT_STREQ(e.what(), "Could not construct font from /nonexistent/nofont.ttf");
  }
  EXPECT_EQ(FontRegistry::instance().find("Broken"), nullptr);
  EXPECT_FALSE(GLPainter::selectFont("Broken"));

  // Replacing the current font keeps a usable current font.
  const std::size_t before = FontRegistry::instance().size();
  loadDefaultFont();
  EXPECT_EQ(FontRegistry::instance().size(), before);
  EXPECT_EQ(FontRegistry::instance().current(), FontRegistry::instance().find(kDefaultFontName));
  float w = 0, h = 0;
  GLPainter::textSize("HEH", 12.5f, w, h);
  EXPECT_GT(w, 20.0f);
  painter_.drawText("HEH", {40, 50}, 12.5f, 0, kBlack);
  int minX, minY, maxX, maxY;
  EXPECT_TRUE(gl_->darkBox(600, minX, minY, maxX, maxY));
}

TEST_F(GLPainterTest, ConcaveAndSelfCrossingPolygonsFillTheirInside) {
  // The tick of the boolean glyph in a 100 x 100 box.
  PointList tick({{10, 40}, {10, 50}, {40, 30}, {80, 90}, {90, 90}, {40, 10}}, kBlack);
  painter_.filledPolygon(tick);
  EXPECT_TRUE(near(gl_->pixel(25, 32), 0, 0, 0)) << "left arm";
  EXPECT_TRUE(near(gl_->pixel(60, 51), 0, 0, 0)) << "right arm";
  EXPECT_TRUE(near(gl_->pixel(70, 40), 255, 255, 255)) << "below the right arm";
  EXPECT_TRUE(near(gl_->pixel(30, 60), 255, 255, 255)) << "above the left arm";

  // A bow tie crosses itself: both lobes are filled.
  gl_->clear();
  painter_.filledPolygon(PointList({{110, 10}, {150, 50}, {150, 10}, {110, 50}}, kBlue));
  EXPECT_TRUE(near(gl_->pixel(115, 30), 0, 0, 255)) << gl_->pixel(115, 30);
  EXPECT_TRUE(near(gl_->pixel(145, 30), 0, 0, 255)) << gl_->pixel(145, 30);
  EXPECT_TRUE(near(gl_->pixel(130, 45), 255, 255, 255)) << gl_->pixel(130, 45);
}

TEST_F(GLPainterTest, PolygonsWithPointsThatAreNotNumbersDrawNothing) {
  // A box read with infinite or undefined corners puts such points into the
  // boolean glyph's tick; the tessellator must never see them.
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (const Vec2& odd : {Vec2(nan, 20), Vec2(20, inf), Vec2(-inf, -inf)}) {
    painter_.filledPolygon(PointList({{10, 10}, odd, {60, 60}, {60, 10}}, kBlack));
    EXPECT_TRUE(near(gl_->pixel(50, 20), 255, 255, 255)) << gl_->pixel(50, 20);
  }
  // A finite polygon right after still fills.
  painter_.filledPolygon(PointList({{10, 10}, {10, 60}, {60, 60}, {60, 10}}, kBlack));
  EXPECT_TRUE(near(gl_->pixel(50, 20), 0, 0, 0)) << gl_->pixel(50, 20);
}

TEST_F(GLPainterTest, FullSectorClosesTheEllipse) {
  painter_.filledSector({100, 60}, 40, 25, 0.0f, 6.2831855f, kBlack, -3.0f);
  for (int i = 0; i < 32; ++i) {
    const float a = 6.2831855f * static_cast<float>(i) / 32.0f;
    const int x = static_cast<int>(std::lround(100 + 34 * std::sin(a)));
    const int y = static_cast<int>(std::lround(60 + 20 * std::cos(a)));
    EXPECT_TRUE(near(gl_->pixel(x, y), 0, 0, 0)) << "angle " << a;
  }
  EXPECT_TRUE(near(gl_->pixel(100, 88), 255, 255, 255));  // above ry = 25
  // Angle 0 points up and angles grow clockwise: a quarter from 0 fills the
  // upper right quadrant only.
  gl_->clear();
  painter_.filledSector({100, 60}, 40, 40, 0.0f, 1.5707964f, kBlack, -3.0f);
  EXPECT_TRUE(near(gl_->pixel(115, 75), 0, 0, 0));
  EXPECT_TRUE(near(gl_->pixel(85, 75), 255, 255, 255));
  EXPECT_TRUE(near(gl_->pixel(115, 45), 255, 255, 255));
}

TEST_F(GLPainterTest, ThreeDShapesCompareDepthOnlyForTheirDuration) {
  // A blue square near the viewer written with depth test on; boxes and
  // cylinders behind it stay hidden because they compare with GL_LEQUAL.
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glClear(GL_DEPTH_BUFFER_BIT);
  glColor4f(0, 0, 1, 1);
  glBegin(GL_QUADS);
  glVertex3f(0, 0, 0.5f);
  glVertex3f(200, 0, 0.5f);
  glVertex3f(200, 120, 0.5f);
  glVertex3f(0, 120, 0.5f);
  glEnd();
  painter_.filledBox3D({20, 20, 0}, {60, 60, -0.5f}, kBlack);
  GLint func = 0;
  glGetIntegerv(GL_DEPTH_FUNC, &func);
  EXPECT_EQ(func, GL_ALWAYS);
  glDepthFunc(GL_LESS);
  painter_.filledCylinder3D({120, 60}, 20, 20, 0.5f, kBlack, -3.0f);
  glGetIntegerv(GL_DEPTH_FUNC, &func);
  EXPECT_EQ(func, GL_ALWAYS);
  EXPECT_TRUE(near(gl_->pixel(40, 40), 0, 0, 255)) << gl_->pixel(40, 40);
  EXPECT_TRUE(near(gl_->pixel(120, 60), 0, 0, 255)) << gl_->pixel(120, 60);
  // With GL_ALWAYS left behind the next shape overwrites the square.
  painter_.filledRect({150, 20}, {170, 40}, kBlack);
  EXPECT_TRUE(near(gl_->pixel(160, 30), 0, 0, 0)) << gl_->pixel(160, 30);
  for (auto draw : {+[](const GLPainter& p) {
                      p.boxOutline3D({1, 1, 0}, {5, 5, -1}, kBlack);
                    },
                    +[](const GLPainter& p) {
                      p.cylinderOutline3D({9, 9}, 3, 3, 1, kBlack, -3.0f);
                    }}) {
    glDepthFunc(GL_LESS);
    draw(painter_);
    glGetIntegerv(GL_DEPTH_FUNC, &func);
    EXPECT_EQ(func, GL_ALWAYS);
  }
  glDisable(GL_DEPTH_TEST);
}

TEST_F(GLPainterTest, FilledShapesWithoutDepthTestCoverTheirFootprint) {
  painter_.filledBox3D({20, 20, 0}, {60, 60, -10}, kBlack);
  painter_.filledCylinder3D({120, 60}, 20, 10, 10, kBlue, -3.0f);
  EXPECT_TRUE(near(gl_->pixel(40, 40), 0, 0, 0));
  EXPECT_TRUE(near(gl_->pixel(61, 40), 255, 255, 255));
  EXPECT_TRUE(near(gl_->pixel(135, 60), 0, 0, 255));
  EXPECT_TRUE(near(gl_->pixel(120, 68), 0, 0, 255));
  EXPECT_TRUE(near(gl_->pixel(120, 73), 255, 255, 255));
}

// The line segments a drawing call emits, from GL feedback mode (window
// coordinates of the pixel projection, so they equal the inputs).
std::vector<std::pair<Vec2, Vec2>> feedbackSegments(const std::function<void()>& draw) {
  std::vector<GLfloat> buffer(1 << 16);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
  glRenderMode(GL_FEEDBACK);
  draw();
  const GLint used = glRenderMode(GL_RENDER);
  std::vector<std::pair<Vec2, Vec2>> segments;
  for (GLint i = 0; i < used;) {
    const auto token = static_cast<GLint>(buffer[static_cast<std::size_t>(i)]);
    if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
      const GLfloat* v = &buffer[static_cast<std::size_t>(i) + 1];
      segments.push_back({{v[0], v[1]}, {v[3], v[4]}});
      i += 7;
    } else if (token == GL_POLYGON_TOKEN) {
      i += 2 + 3 * static_cast<GLint>(buffer[static_cast<std::size_t>(i) + 1]);
    } else {
      i += 4;  // a point or pass-through token: skip (none expected)
    }
  }
  return segments;
}

TEST_F(GLPainterTest, OutlinesEmitTheirSegments) {
  auto diagonal = [](float t) { return Vec2(20 + 40 * t, 20 + 80 * t); };
  struct Case {
    const char* name;
    std::function<void()> draw;
    std::size_t segments;
  };
  const Case cases[] = {
      {"line",
       [&] {
         painter_.line({10, 10}, {50, 60}, kBlack);
       },
       1},
      {"rectangle outline",
       [&] {
         painter_.rectOutline({10, 10}, {50, 60}, kBlack);
       },
       4},
      {"polygon outline",
       [&] {
         painter_.polygonOutline(PointList({{10, 10}, {50, 10}, {30, 50}}, kBlack));
       },
       3},
      {"polygon outline of one point",
       [&] {
         painter_.polygonOutline(PointList({{10, 10}}, kBlack));
       },
       0},
      {"arc of 8 segments",
       [&] {
         painter_.arcOutline({100, 60}, 30, 20, 0, 3.0f, kBlack, 8);
       },
       8},
      {"pie of 8 segments",
       [&] {
         painter_.pieOutline({100, 60}, 30, 20, 0, 3.0f, kBlack, 8);
       },
       10},
      {"arc at 3 units",
       [&] {
         painter_.arcOutline({100, 60}, 30, 10, 0, 6.2831855f, kBlack, -3.0f);
       },
       63},
      {"dashes",
       [&] {
         painter_.dashedLine({10, 10}, {16, 10}, kBlack, 3, 2);
       },
       2},
      {"curve of 4 samples", [&] { painter_.curve(diagonal, kBlack, 4); }, 3},
      {"box outline",
       [&] {
         painter_.boxOutline3D({10, 10, 0}, {50, 60, -0.5f}, kBlack);
       },
       12},
      {"cylinder outline",
       [&] {
         painter_.cylinderOutline3D({100, 60}, 30, 20, 0.5f, kBlack, 16);
       },
       32},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(feedbackSegments(c.draw).size(), c.segments);
  }
}

TEST_F(GLPainterTest, OutlineEndPoints) {
  // The curve stops one sample short of t = 1.
  auto curve = feedbackSegments([&] { painter_.curve([](float t) { return Vec2(20 + 40 * t, 20); }, kBlack, 4); });
  ASSERT_EQ(curve.size(), 3u);
  EXPECT_NEAR(curve.front().first.x, 20.0f, 1e-3f);
  EXPECT_NEAR(curve.back().second.x, 50.0f, 1e-3f);
  // The pie's two radii end on the arc's ends: angle 0 is up, pi/2 right.
  auto pie = feedbackSegments([&] { painter_.pieOutline({100, 60}, 30, 20, 0, 1.5707964f, kBlack, 4); });
  ASSERT_EQ(pie.size(), 6u);
  EXPECT_NEAR(pie[0].first.x, 100.0f, 1e-3f);
  EXPECT_NEAR(pie[0].first.y, 80.0f, 1e-3f);
  EXPECT_NEAR(pie[3].second.x, 130.0f, 1e-3f);
  EXPECT_NEAR(pie[3].second.y, 60.0f, 1e-3f);
  EXPECT_EQ(pie[4].first, Vec2(100, 60));
  EXPECT_EQ(pie[4].second, pie[0].first);
  EXPECT_EQ(pie[5].second, pie[3].second);
}

TEST_F(GLPainterTest, LineSmoothingComesInPairs) {
  glDisable(GL_LINE_SMOOTH);
  painter_.setLineSmoothing(true);
  EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
  painter_.setLineSmoothing(false);
  EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
  glEnable(GL_LINE_SMOOTH);
}

TEST_F(GLPainterTest, DashedLineLeavesGaps) {
  glDisable(GL_LINE_SMOOTH);
  painter_.dashedLine({10.5f, 30.5f}, {60.5f, 30.5f}, kBlack, 6.0f, 4.0f);
  glEnable(GL_LINE_SMOOTH);
  EXPECT_TRUE(near(gl_->pixel(13, 30), 0, 0, 0)) << gl_->pixel(13, 30);
  EXPECT_TRUE(near(gl_->pixel(18, 30), 255, 255, 255)) << gl_->pixel(18, 30);
  EXPECT_TRUE(near(gl_->pixel(23, 30), 0, 0, 0)) << gl_->pixel(23, 30);
}

// --- a window's camera places the diagram -------------------------------------

class QuietHost : public WindowHost {
 public:
  void refreshWindow(CanvasWindow*, bool) override {}
};

class BoxPainter : public DiagramPainter {
 public:
  void drawDiagram(Diagram* d) override {
    ++calls;
    VisualElementLayout* l = d->getCurrentLayout();
    GLPainter().filledRect(*l->getLowerLeft(), *l->getUpperRight(), color);
  }
  int calls = 0;
  Color color = kBlack;
};

TEST_F(GLPainterTest, FilledRectLandsWhereTheCameraSays) {
  QuietHost host;
  BoxPainter painter;
  ClassDiagram diagram("d", new VisualElementLayout("", new Vec2(-10, -10), new Vec2(10, 10)));
  struct Case {
    const char* name;
    PixelRect viewport;
    bool perspective;
    Vec2 pan;
    float left, bottom;  // expected pixel edges of the 40 x 40 square
  };
  const Case cases[] = {
      {"orthographic", {0, 0, 200, 120}, false, {0, 0}, 80, 40},
      {"perspective", {0, 0, 200, 120}, true, {0, 0}, 80, 40},
      {"panned", {0, 0, 200, 120}, false, {5, -5}, 70, 50},
      {"offset viewport", {100, 0, 100, 120}, false, {0, 0}, 130, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CanvasWindow window(&host, c.viewport.x, c.viewport.y, c.viewport.width, c.viewport.height);
    window.setVisualizer(&painter);
    window.setDiagram(&diagram);
    window.setZoom(2.0f);
    window.setPerspective(c.perspective);
    window.camera().pan = c.pan;
    gl_->clear();
    window.render(false);
    const int l = static_cast<int>(c.left), b = static_cast<int>(c.bottom);
    EXPECT_TRUE(near(gl_->pixel(l + 1, b + 1), 0, 0, 0)) << gl_->pixel(l + 1, b + 1);
    EXPECT_TRUE(near(gl_->pixel(l + 38, b + 38), 0, 0, 0)) << gl_->pixel(l + 38, b + 38);
    EXPECT_TRUE(near(gl_->pixel(l - 2, b + 20), 255, 255, 255)) << gl_->pixel(l - 2, b + 20);
    EXPECT_TRUE(near(gl_->pixel(l + 42, b + 20), 255, 255, 255)) << gl_->pixel(l + 42, b + 20);
    EXPECT_TRUE(near(gl_->pixel(l + 20, b + 42), 255, 255, 255)) << gl_->pixel(l + 20, b + 42);
  }
}

class CountingHost : public WindowHost {
 public:
  void refreshWindow(CanvasWindow*, bool useCache) override { refreshes.push_back(useCache); }
  std::vector<bool> refreshes;
};

class CornerOverlay : public HoverOverlay {
 public:
  explicit CornerOverlay(int* alive) : alive_(alive) { ++*alive_; }
  ~CornerOverlay() override { --*alive_; }
  void draw(int width, int height) override {
    GLPainter().filledRect({static_cast<float>(width - 10), static_cast<float>(height - 10)},
                           {static_cast<float>(width), static_cast<float>(height)}, Color(1, 0, 0, 1));
  }

 private:
  int* alive_;
};

TEST_F(GLPainterTest, HoverBoxIsDrawnInWindowPixelsAndGoesOnLeave) {
  CountingHost host;
  CanvasWindow window(&host, 100, 20, 80, 60);
  int alive = 0;
  window.setHoverBox(std::make_unique<CornerOverlay>(&alive));
  gl_->clear();
  window.render(false);  // no diagram: only the box
  EXPECT_TRUE(near(gl_->pixel(175, 75), 255, 0, 0)) << gl_->pixel(175, 75);
  EXPECT_TRUE(near(gl_->pixel(165, 75), 255, 255, 255)) << gl_->pixel(165, 75);
  EXPECT_TRUE(near(gl_->pixel(185, 85), 255, 255, 255)) << "outside the window";
  window.leave();
  EXPECT_EQ(alive, 0);
  EXPECT_EQ(window.hoverBox(), nullptr);
  EXPECT_EQ(host.refreshes, std::vector<bool>{false});
  gl_->clear();
  window.render(false);
  EXPECT_TRUE(near(gl_->pixel(175, 75), 255, 255, 255));
}

}  // namespace
}  // namespace lumetra
