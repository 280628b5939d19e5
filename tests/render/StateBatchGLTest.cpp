// The painter's state batch: a sequence of texts, lines, smoothed lines,
// fills and 3D shapes draws the same pixels inside a batch as outside, drawn
// directly or replayed from a display list, and the batch leaves the GL
// state as it found it.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "render/DefaultFont.h"
#include "render/GLPainter.h"
#include "tests/render/FontCanvasTest.h"
#include "tests/support/GLTestHarness.h"

namespace lumetra {
namespace {

const Color kRed(0.8f, 0.1f, 0.1f, 1.0f);
const Color kBlue(0.1f, 0.1f, 0.9f, 1.0f);
const Color kGreen(0.1f, 0.6f, 0.1f, 0.7f);

class StateBatchTest : public FontCanvasTest<240, 160> {
 protected:
  void TearDown() override {
    glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);
    FontCanvasTest::TearDown();
  }

  // A square near the viewer written into the depth buffer, so that the
  // depth function each shape draws under shows in the pixels.
  static void nearSquare() {
    glEnable(GL_DEPTH_TEST);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDepthFunc(GL_LESS);
    glColor4f(0.9f, 0.9f, 0.2f, 1.0f);
    glBegin(GL_QUADS);
    glVertex3f(100, 10, 0.5f);
    glVertex3f(230, 10, 0.5f);
    glVertex3f(230, 150, 0.5f);
    glVertex3f(100, 150, 0.5f);
    glEnd();
    glDepthFunc(GL_ALWAYS);
  }

  // Every kind of drawing, interleaved the way the diagram pass mixes them.
  void scene() {
    GLPainter p;
    p.drawText("Name", {10, 140}, 12.0f, kTextHang, kRed);
    p.drawText("attribute", {10, 120}, 10.0f, 0, kRed);
    p.drawText(" ", {10, 110}, 10.0f, 0, kBlue);  // no ink, but the colour changes
    p.drawText("same red again", {10, 100}, 10.0f, 0, kRed);
    GLPainter::setGlobalAlpha(0.5f);
    p.drawText("half alpha", {10, 88}, 10.0f, 0, kRed);
    GLPainter::setGlobalAlpha(1.0f);
    p.drawText("turned", {60, 60}, 0.6f, 10.0f, kTextCenterX, kBlue);
    p.drawText("n\xC3\xA4me", {10, 76}, 10.0f, 0, kBlue);  // through the font's own drawing
    p.drawText("after", {50, 76}, 10.0f, 0, kBlue);
    p.line({5, 70}, {95, 70}, kBlack());
    p.setLineSmoothing(true);
    p.line({5, 64}, {95, 50}, kBlue);
    p.drawText("1..*", {70, 56}, 9.0f, kTextCenterX | kTextCenterY, kRed);
    p.line({5, 50}, {95, 64}, kBlue);
    p.setLineSmoothing(false);
    p.filledRect({5, 20}, {25, 40}, kGreen);
    p.setLineSmoothing(true);
    p.curve([](float t) { return Vec2(30 + 60 * t, 20 + 20 * t * t); }, kRed, 32);
    p.setLineSmoothing(false);
    p.rectOutline({30, 10}, {60, 18}, kBlack());
    // 3D shapes behind the near square stay hidden under GL_LEQUAL; the 2D
    // shapes after them draw under GL_ALWAYS and cover it.
    p.filledBox3D({110, 20, 0}, {140, 50, -0.2f}, kRed);
    p.boxOutline3D({110, 20, 0}, {140, 50, -0.2f}, kBlack());
    p.filledCylinder3D({170, 40}, 12, 12, 0.2f, kBlue, -3.0f);
    p.filledRect({190, 20}, {210, 40}, kGreen);
    p.filledBox3D({110, 70, 0}, {140, 100, -0.2f}, kBlue);
    p.drawText("over", {150, 80}, 12.0f, 0, kRed);
    p.cylinderOutline3D({170, 120}, 12, 12, 0.2f, kBlack(), -3.0f);
    p.filledSector({210, 120}, 14, 14, 0.0f, 4.0f, kRed, -3.0f);
    p.filledPolygon(PointList({{110, 110}, {140, 140}, {110, 140}, {140, 110}}, kBlue));
  }
  static Color kBlack() { return Color(0, 0, 0, 1); }

  std::vector<std::uint8_t> picture(const std::function<void()>& draw) {
    gl_->clear();
    nearSquare();
    draw();
    glFinish();
    return gl_->pixels();
  }
};

int differingPixels(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  int n = 0;
  for (std::size_t i = 0; i + 3 < a.size(); i += 4)
    if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2]) ++n;
  return n;
}

TEST_F(StateBatchTest, SamePixelsInsideAndOutsideABatch) {
  const auto plain = picture([&] { scene(); });
  int inked = 0;
  for (std::size_t i = 0; i + 3 < plain.size(); i += 4)
    if (plain[i] + plain[i + 1] + plain[i + 2] < 600) ++inked;
  ASSERT_GT(inked, 2000) << "the scene must draw";

  // Each case draws the scene plus, for some, one extra drawing outside
  // it, which the expected picture draws without a batch.
  struct Case {
    const char* name;
    std::function<void()> draw;
    std::function<void()> extra;
  };
  const auto corner = [] { GLPainter().filledRect({0, 0}, {4, 4}, kBlack()); };
  const auto label = [] { GLPainter().drawText("Label", {150, 4}, 9.0f, 0, kRed); };
  const GLuint list = glGenLists(1);
  const Case cases[] = {
      {"batched",
       [&] {
         GLStateBatch batch;
         scene();
       },
       nullptr},
      {"nested batches",
       [&] {
         GLStateBatch outer;
         {
           GLStateBatch inner;
           scene();
         }
         corner();
       },
       corner},
      {"settled halfway",
       [&] {
         GLStateBatch batch;
         label();
         GLStateBatch::settle();
         glColor4f(1, 1, 1, 1);  // a caller's own GL after settling
         scene();
       },
       label},
      {"compiled into a list and replayed",
       [&] {
         // Drawn while compiled: the font's own drawing needs that.
         glNewList(list, GL_COMPILE_AND_EXECUTE);
         {
           GLStateBatch batch;
           scene();
         }
         glEndList();
         gl_->clear();
         nearSquare();
         glCallList(list);
       },
       nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto expected = c.extra ? picture([&] {
      c.extra();
      scene();
    })
                                  : plain;
    EXPECT_EQ(differingPixels(picture(c.draw), expected), 0);
  }
  glDeleteLists(list, 1);
}

TEST_F(StateBatchTest, FontTextIsRefusedInAListCompiledWithoutDrawing) {
  // The font makes glyph textures as it meets new glyphs; in a list that is
  // not drawn while compiled that would record half-made textures.
  const std::string text = "\xC3\xA9t\xC3\xA9 \xC3\x9F";  // not in the glyph table
  ASSERT_FALSE(GLPainter::drawsBatched(text));
  const unsigned long drawn = GLPainter::fontDrawings();
  const unsigned long refused = GLPainter::fontDrawingsRefused();
  const GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  GLPainter().drawText(text, {20, 60}, 14.0f, 0, kBlack());
  glEndList();
  EXPECT_EQ(GLPainter::fontDrawingsRefused(), refused + 1);
  EXPECT_EQ(GLPainter::fontDrawings(), drawn);
  // Drawn outside a list, the same text shows in full.
  gl_->clear();
  GLPainter().drawText(text, {20, 60}, 14.0f, 0, kBlack());
  EXPECT_EQ(GLPainter::fontDrawings(), drawn + 1);
  int minX = 0, minY = 0, maxX = 0, maxY = 0;
  ASSERT_TRUE(gl_->darkBox(300, minX, minY, maxX, maxY));
  EXPECT_GT(maxX - minX, 30);
  glDeleteLists(list, 1);
}

// A sink that takes nothing: while one is installed the painter draws the
// closed outlines, fans and polygons in their own GL forms (a vector file
// needs them whole); without one it draws them as strips, which a display
// list merges with their neighbours. Both must give the same pixels.
class NoVectors : public VectorSink {
 public:
  void text(const std::string&, Vec2, float, float, Color) override {}
  void lineWidth(float) override {}
  void translucentPrimitive() override {}
};

TEST_F(StateBatchTest, StripFormsOfLoopsFansAndPolygonsDrawTheSamePixels) {
  const Color seeThrough(0.2f, 0.5f, 0.9f, 0.45f);
  struct Case {
    const char* name;
    std::function<void(const GLPainter&)> draw;
  };
  const Case cases[] = {
      {"pies of every sweep, opaque and translucent",
       [&](const GLPainter& p) {
         p.filledSector({30, 40}, 20, 20, 0.0f, 0.5f, kRed, -3.0f);
         p.pieOutline({30, 40}, 20, 20, 0.0f, 0.5f, kBlack(), -3.0f);
         p.filledSector({80, 40}, 20, 14, 1.0f, 3.1415927f, seeThrough, -3.0f);
         p.filledSector({130, 40}, 20, 20, 0.3f, 4.5f, seeThrough, -2.0f);
         p.filledSector({180, 40}, 20, 20, 0.0f, 6.2831855f, kGreen, 8.0f);
         p.filledSector({215, 40}, 3, 3, 0.0f, 5.0f, kBlue, -3.0f);
       }},
      {"convex polygons (arrowheads) under their outlines",
       [&](const GLPainter& p) {
         p.filledConvexPolygon(PointList({{20, 100}, {40, 110}, {60, 100}, {40, 90}}, kRed));
         p.polygonOutline(PointList({{20, 100}, {40, 110}, {60, 100}, {40, 90}}, kBlack()));
         p.filledConvexPolygon(PointList({{70, 90}, {110, 95}, {75, 130}}, seeThrough));
         p.filledConvexPolygon(
             PointList({{130, 90}, {160, 88}, {175, 110}, {150, 140}, {125, 120}}, seeThrough));
         p.filledConvexPolygon(PointList({{190, 100}, {200, 100}}, kRed));  // too few points
       }},
      {"closed outlines, smoothed and plain, between fills",
       [&](const GLPainter& p) {
         p.filledRect({10, 10}, {60, 50}, kGreen);
         p.rectOutline({10, 10}, {60, 50}, kBlack());
         p.filledRect({14, 30}, {56, 32}, seeThrough);
         p.setLineSmoothing(true);
         p.rectOutline({70, 12.5f}, {120.5f, 47}, kBlue);
         p.polygonOutline(PointList({{130, 10}, {170, 20}, {160, 50}, {135, 45}}, kRed));
         p.setLineSmoothing(false);
         p.polygonOutline(PointList({{180, 10}, {230, 50}}, kBlack()));
         p.polygonOutline(PointList({{180, 60}, {230, 60}, {205, 90}}, kBlack()));
       }},
      {"cylinders in front of and behind the near square",
       [&](const GLPainter& p) {
         p.filledCylinder3D({60, 80}, 25, 18, 0.2f, seeThrough, -3.0f);
         p.cylinderOutline3D({60, 80}, 25, 18, 0.2f, kBlack(), -3.0f);
         p.filledCylinder3D({150, 80}, 30, 30, 0.8f, kRed, 12.0f);
         p.setLineSmoothing(true);
         p.cylinderOutline3D({150, 80}, 30, 30, 0.8f, kBlue, 12.0f);
         p.setLineSmoothing(false);
       }},
  };
  NoVectors sink;
  const auto nothing = picture([] {});
  const GLuint list = glGenLists(1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Each form recorded into a list inside a batch, as the canvas records.
    auto recorded = [&](bool wholeForms) {
      if (wholeForms) GLPainter::setVectorSink(&sink);
      glNewList(list, GL_COMPILE);
      {
        GLStateBatch batch;
        c.draw(GLPainter());
      }
      glEndList();
      GLPainter::setVectorSink(nullptr);
      return picture([&] { glCallList(list); });
    };
    const auto whole = recorded(true);
    const auto strips = recorded(false);
    EXPECT_GT(differingPixels(whole, nothing), 300) << "the case must draw";
    EXPECT_EQ(differingPixels(strips, whole), 0);
  }
  glDeleteLists(list, 1);
}

TEST_F(StateBatchTest, LeavesTheStateAsItFoundIt) {
  glDisable(GL_LINE_SMOOTH);
  glDisable(GL_TEXTURE_2D);
  glBlendFunc(GL_ONE, GL_ZERO);
  GLint stackBefore = 0;
  glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &stackBefore);
  {
    GLStateBatch batch;
    GLPainter p;
    p.setLineSmoothing(true);
    p.line({0, 0}, {10, 10}, kBlack());
    p.setLineSmoothing(false);
    p.filledBox3D({0, 0, 0}, {5, 5, -1}, kBlack());
    p.drawText("open", {10, 10}, 10.0f, 0, kRed);
    EXPECT_TRUE(GLStateBatch::active());
    // Inside, the last drawing's state is still set.
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  }
  EXPECT_FALSE(GLStateBatch::active());
  GLint stackAfter = 0, depthFunc = 0, source = 0, destination = 0;
  glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &stackAfter);
  glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
  glGetIntegerv(GL_BLEND_SRC, &source);
  glGetIntegerv(GL_BLEND_DST, &destination);
  EXPECT_EQ(stackAfter, stackBefore);
  EXPECT_EQ(depthFunc, GL_ALWAYS);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
  EXPECT_EQ(source, GL_ONE);
  EXPECT_EQ(destination, GL_ZERO);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_LINE_SMOOTH);
}

}  // namespace
}  // namespace lumetra
