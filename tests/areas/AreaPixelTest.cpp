// The area pass read back from the frame buffer: white background, area
// colours composited like inks, the eraser's white boxes and halos; with the
// looked-up blend equation and with the fallback for platforms without one.

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <memory>
#include <string>

#include "areas/Area.h"
#include "areas/AreaElementsEraser.h"
#include "areas/AreaPass.h"
#include "areas/AreaVisualizer.h"
#include "areas/AreaVisualizerInner.h"
#include "platform/GLExtensions.h"
#include "tests/areas/AreaScene.h"
#include "tests/support/PixelCanvas.h"

namespace lumetra {
namespace {

using test::AreaScene;
using test::Pixel;
using test::PixelCanvas;
using test::PixelCanvasTest;

struct Compositing {
  const char* name;
  bool useBlendEquation;
};
const Compositing kCompositing[] = {{"blend equation", true}, {"logic-op fallback", false}};

class AreaPixelTest : public PixelCanvasTest<200, 200> {
 protected:
  void SetUp() override {
    PixelCanvasTest::SetUp();
    if (HasFatalFailure()) return;
    canvas_->clear(1.0f, 0.0f, 1.0f);  // magenta: any pixel the pass leaves alone shows
  }

  // An area as the reader stores it: file colour (r, g, b) inverted, with a
  // nearly flat disc (softness 1) so that coverage is easy to predict.
  Area* addArea(const std::string& name, std::array<float, 3> fileColour, std::vector<std::string> ids) {
    auto* area = new Area(name);
    area->setColor(new Color(1.0f - fileColour[0], 1.0f - fileColour[1], 1.0f - fileColour[2], 1.0f));
    for (const auto& id : ids) area->addElement(id);
    area->getVisualizer()->setSoftness(1);
    areas.addArea(area);
    return area;
  }
  void show(const std::string& name) { ASSERT_TRUE(showArea(areas, &scene.diagram, name)); }
  BlendEquationProc blend(const Compositing& c) const { return c.useBlendEquation ? lookupBlendEquation() : nullptr; }
  Pixel at(int x, int y) const { return canvas_->at(x, y); }

  AreaScene scene;
  AreaSet areas;
  AreaElementsEraser eraser;
};

TEST_F(AreaPixelTest, BlendEquationIsAvailableHere) { EXPECT_NE(lookupBlendEquation(), nullptr); }

TEST_F(AreaPixelTest, NoAreaLeavesAWhiteBackground) {
  scene.addClass("free", {50, 50}, {99, 99});
  areas.computeFreeElements(&scene.diagram);
  for (const Compositing& c : kCompositing) {
    canvas_->clear(1.0f, 0.0f, 1.0f);
    drawAreaPass(areas, &scene.diagram, 0.2f, blend(c), eraser);
    for (auto [x, y] : {std::pair{0, 0}, {75, 75}, {199, 199}, {120, 30}})
      EXPECT_EQ(at(x, y), (Pixel{255, 255, 255})) << c.name << " at " << x << ", " << y;
  }
}

TEST_F(AreaPixelTest, OpaqueAreaShowsItsFileColour) {
  scene.addClass("m", {80, 80}, {119, 119});
  addArea("red", {1.0f, 0.0f, 0.0f}, {"m"});
  show("red");
  for (const Compositing& c : kCompositing) {
    canvas_->clear(1.0f, 0.0f, 1.0f);
    drawAreaPass(areas, &scene.diagram, 1.0f, blend(c), eraser);
    const Pixel centre = at(100, 100);
    EXPECT_GE(centre.r, 250) << c.name << " " << centre;
    EXPECT_LE(centre.g, 5) << c.name << " " << centre;
    EXPECT_LE(centre.b, 5) << c.name << " " << centre;
    EXPECT_EQ(at(2, 2), (Pixel{255, 255, 255})) << c.name << ": outside the area";
  }
}

TEST_F(AreaPixelTest, OverlappingAreasDarken) {
  // Two boxes side by side; each area's blob reaches over the other box.
  scene.addClass("left", {40, 80}, {99, 119});
  scene.addClass("right", {100, 80}, {159, 119});
  addArea("red", {1.0f, 0.0f, 0.0f}, {"left"});
  addArea("blue", {0.0f, 0.0f, 1.0f}, {"right"});
  const int x = 100, y = 100;  // covered by both blobs
  // Without the eraser: each box alone would be free and whitened.
  show("red");
  compositeAreas(areas, &scene.diagram, 0.2f, lookupBlendEquation());
  const Pixel redOnly = at(x, y);
  areas.clearIdentified();
  show("blue");
  compositeAreas(areas, &scene.diagram, 0.2f, lookupBlendEquation());
  const Pixel blueOnly = at(x, y);
  show("red");
  compositeAreas(areas, &scene.diagram, 0.2f, lookupBlendEquation());
  const Pixel both = at(x, y);

  EXPECT_GT(redOnly.r, redOnly.g) << redOnly;
  EXPECT_LT(redOnly.sum(), 3 * 255) << "the pixel is covered " << redOnly;
  EXPECT_GT(blueOnly.b, blueOnly.g) << blueOnly;
  EXPECT_LT(both.sum(), redOnly.sum()) << both << " vs red " << redOnly;
  EXPECT_LT(both.sum(), blueOnly.sum()) << both << " vs blue " << blueOnly;
  EXPECT_GT(both.r, both.g) << "red and blue inks mix towards purple " << both;
  EXPECT_GT(both.b, both.g) << both;
  EXPECT_EQ(at(2, 2), (Pixel{255, 255, 255}));
}

TEST_F(AreaPixelTest, FreeElementIsWhitenedWithAHalo) {
  scene.addClass("member", {20, 80}, {59, 119});
  scene.addClass("free", {110, 85}, {139, 114});
  addArea("red", {1.0f, 0.0f, 0.0f}, {"member"});
  areas.setRadius(5.0f);  // the centre disc reaches well past the free box
  show("red");
  ASSERT_EQ(areas.getFreeElements().size(), 1u);

  compositeAreas(areas, &scene.diagram, 1.0f, lookupBlendEquation());
  const Pixel halfwayBefore = at(145, 100);
  EXPECT_LE(halfwayBefore.g, 30) << "the area covers the free element's surroundings " << halfwayBefore;

  drawAreaPass(areas, &scene.diagram, 1.0f, lookupBlendEquation(), eraser);
  EXPECT_EQ(at(125, 100), (Pixel{255, 255, 255})) << "the free box is white";
  const Pixel nearEdge = at(145, 100);   // 6 units out of 30
  const Pixel farOut = at(165, 100);     // 26 units out
  const Pixel beyond = at(175, 100);     // past the halo
  EXPECT_GE(nearEdge.g, 170) << "nearly white close to the box " << nearEdge;
  EXPECT_LE(farOut.g, nearEdge.g - 100) << "the halo fades out " << farOut;
  EXPECT_LE(beyond.g, 30) << "the area colour beyond the halo " << beyond;

  const Pixel memberCentre = at(40, 100);
  const Pixel besideMember = at(14, 100);
  for (const Pixel& p : {memberCentre, besideMember}) {
    EXPECT_GE(p.r, 245) << "the member keeps the area colour " << p;
    EXPECT_LE(p.g, 15) << p;
  }
}

TEST_F(AreaPixelTest, SofterEraserHaloStaysTransparentLonger) {
  scene.addClass("member", {20, 80}, {59, 119});
  scene.addClass("free", {110, 85}, {139, 114});
  addArea("red", {1.0f, 0.0f, 0.0f}, {"member"});
  areas.setRadius(5.0f);
  show("red");
  const int x = 151;  // 12 units out of 30: row ~153 of the ramp

  eraser.setSoftness(1);
  drawAreaPass(areas, &scene.diagram, 1.0f, lookupBlendEquation(), eraser);
  const Pixel hard = at(x, 100);
  eraser.setSoftness(100);
  drawAreaPass(areas, &scene.diagram, 1.0f, lookupBlendEquation(), eraser);
  const Pixel soft = at(x, 100);
  EXPECT_GE(hard.g, 230) << "softness 1: almost uniformly white " << hard;
  EXPECT_LE(soft.g, 60) << "softness 100: still mostly transparent " << soft;
}

TEST_F(AreaPixelTest, ContourModeKeepsTheAreaColour) {
  scene.addClass("m", {60, 60}, {139, 139});
  Area* area = addArea("green", {0.0f, 1.0f, 0.0f}, {"m"});
  area->getVisualizer()->setDrawingMode("Contour");
  show("green");
  drawAreaPass(areas, &scene.diagram, 1.0f, lookupBlendEquation(), eraser);
  const Pixel p = at(100, 100);
  EXPECT_GE(p.g, 245) << p;
  EXPECT_LE(p.r, 10) << p;
  EXPECT_LE(p.b, 10) << p;
}

TEST_F(AreaPixelTest, PassRecordedInADisplayListReplaysTheSame) {
  scene.addClass("m", {80, 80}, {119, 119});
  scene.addClass("free", {150, 20}, {179, 49});
  addArea("red", {1.0f, 0.0f, 0.0f}, {"m"});
  show("red");
  const GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  drawAreaPass(areas, &scene.diagram, 1.0f, lookupBlendEquation(), eraser);
  glEndList();
  EXPECT_EQ(at(100, 100), (Pixel{255, 0, 255})) << "compiling draws nothing";
  glCallList(list);
  const Pixel p = at(100, 100);
  EXPECT_GE(p.r, 250) << p;
  EXPECT_LE(p.g, 5) << p;
  EXPECT_EQ(at(165, 35), (Pixel{255, 255, 255}));
  glDeleteLists(list, 1);
}

TEST_F(AreaPixelTest, GLStateIsRestored) {
  scene.addClass("m", {80, 80}, {119, 119});
  addArea("red", {1.0f, 0.0f, 0.0f}, {"m"});
  show("red");
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-7.0, 193.0, 3.0, 203.0, -50.0, 50.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(1.0f, 2.0f, 0.0f);
  GLfloat projectionBefore[16], modelviewBefore[16], projectionAfter[16], modelviewAfter[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projectionBefore);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelviewBefore);
  glClearColor(0.25f, 0.5f, 0.75f, 1.0f);

  for (const Compositing& c : kCompositing) {
    drawAreaPass(areas, &scene.diagram, 0.5f, blend(c), eraser);
    glGetFloatv(GL_PROJECTION_MATRIX, projectionAfter);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelviewAfter);
    for (int i = 0; i < 16; ++i) {
      EXPECT_FLOAT_EQ(projectionAfter[i], projectionBefore[i]) << c.name;
      EXPECT_FLOAT_EQ(modelviewAfter[i], modelviewBefore[i]) << c.name;
    }
    GLint mode = 0, equation = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(0x8009 /* GL_BLEND_EQUATION */, &equation);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(mode, GL_MODELVIEW) << c.name;
    EXPECT_EQ(equation, 0x8006 /* GL_FUNC_ADD */) << c.name;
    EXPECT_FALSE(glIsEnabled(GL_BLEND)) << c.name;
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << c.name;
    EXPECT_FALSE(glIsEnabled(GL_COLOR_LOGIC_OP)) << c.name;
    EXPECT_FLOAT_EQ(clear[2], 0.75f) << c.name;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << c.name;
  }
}

}  // namespace
}  // namespace lumetra

namespace lumetra {
namespace {

// The diagnostic drawings of the inner painter, straight onto black.
TEST_F(AreaPixelTest, ThinTrailsAndConnectionsFollowTheLineToTheCentroid) {
  scene.addClass("a", {20, 95}, {39, 104});
  scene.addClass("b", {160, 95}, {179, 104});
  Area* area = addArea("cyan", {1.0f, 0.0f, 0.0f}, {"a", "b"});
  show("cyan");
  auto* painter = dynamic_cast<AreaVisualizerInner*>(area->getVisualizer());
  ASSERT_NE(painter, nullptr);
  IdentifiedArea* identified = areas.getIdentifiedArea(0);
  painter->setAlpha(1.0f);

  struct Case {
    const char* name;
    void (*draw)(AreaVisualizerInner*, IdentifiedArea*);
  };
  const Case cases[] = {
      {"thin trails", [](AreaVisualizerInner* p, IdentifiedArea* a) { p->drawThin(a); }},
      {"connections", [](AreaVisualizerInner* p, IdentifiedArea* a) { p->drawConnections(a); }},
  };
  for (const Case& c : cases) {
    canvas_->clear(0.0f, 0.0f, 0.0f);
    c.draw(painter, identified);
    // Trail dots sit every 15 units from the element centres (29.5, 169.5).
    for (int x : {44, 100, 154}) {
      const Pixel on = at(x, 99);
      EXPECT_GE(on.g, 100) << c.name << " at " << x << " " << on;
      EXPECT_LE(on.r, 10) << c.name << " drawn in the stored colour " << on;
    }
    EXPECT_EQ(at(100, 110), (Pixel{0, 0, 0})) << c.name << ": thin";
    EXPECT_EQ(at(100, 88), (Pixel{0, 0, 0})) << c.name;
  }
  EXPECT_FALSE(painter->getDiscs().empty());
  for (const AreaDisc& d : painter->getDiscs()) EXPECT_FLOAT_EQ(d.radius, 3.0f);
}

}  // namespace
}  // namespace lumetra

namespace lumetra {
namespace {

// Painters made while a display list is being recorded (the diagram painter
// makes its eraser on first use, inside the canvas's list).
TEST_F(AreaPixelTest, TexturesMadeWhileRecordingAListStillReachTheScreen) {
  scene.addClass("m", {80, 80}, {119, 119});
  scene.addClass("free", {150, 20}, {179, 49});
  struct Case {
    const char* name;
    GLenum mode;
    bool uploadedAfterRecording;
  };
  const Case cases[] = {{"compile only", GL_COMPILE, false}, {"compile and execute", GL_COMPILE_AND_EXECUTE, true}};
  for (const Case& c : cases) {
    AreaSet local;
    canvas_->clear(1.0f, 0.0f, 1.0f);
    const GLuint list = glGenLists(1);
    glNewList(list, c.mode);
    auto recordedEraser = std::make_unique<AreaElementsEraser>();
    auto* area = new Area("red");
    area->setColor(new Color(0.0f, 1.0f, 1.0f, 1.0f));
    area->addElement("m");
    area->getVisualizer()->setSoftness(1);
    local.addArea(area);
    local.setRadius(4.0f);  // the blob reaches over the free box
    showArea(local, &scene.diagram, "red");
    EXPECT_FALSE(recordedEraser->getTexture().isUploaded()) << c.name << ": nothing uploaded while recording";
    drawAreaPass(local, &scene.diagram, 1.0f, lookupBlendEquation(), *recordedEraser);
    glEndList();
    EXPECT_EQ(recordedEraser->getTexture().isUploaded(), c.uploadedAfterRecording) << c.name;
    glCallList(list);
    const Pixel p = at(100, 100);
    EXPECT_GE(p.r, 250) << c.name << " " << p;
    EXPECT_LE(p.g, 5) << c.name << " " << p;
    EXPECT_EQ(at(165, 35), (Pixel{255, 255, 255})) << c.name << ": the recorded eraser whitens";
    EXPECT_GE(at(182, 35).g, 200) << c.name << ": and draws its halo " << at(182, 35);
    glDeleteLists(list, 1);

    // Drawn again outside any list, the textures are complete.
    canvas_->clear(1.0f, 0.0f, 1.0f);
    drawAreaPass(local, &scene.diagram, 1.0f, lookupBlendEquation(), *recordedEraser);
    EXPECT_TRUE(recordedEraser->getTexture().isUploaded()) << c.name;
    EXPECT_GE(at(100, 100).r, 250) << c.name;
    EXPECT_GE(at(182, 35).g, 200) << c.name;
  }
}

}  // namespace
}  // namespace lumetra

namespace lumetra {
namespace {

// The pass whitens only free elements an area reaches; the picture must be
// the same as whitening every free element.
TEST_F(AreaPixelTest, SkippingUnreachedFreeElementsChangesNoPixel) {
  scene.addClass("member", {20, 80}, {59, 119});
  scene.addClass("near", {110, 85}, {139, 114});
  scene.addClass("far", {160, 10}, {189, 30});
  scene.addClass("corner", {0, 0}, {9, 9});
  Area* area = addArea("red", {1.0f, 0.0f, 0.0f}, {"member"});
  areas.setRadius(2.5f);
  show("red");
  ASSERT_EQ(areas.getFreeElements().size(), 3u);

  auto frame = [&] {
    std::vector<unsigned char> rgb(200 * 200 * 3);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 200, 200, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
  };
  for (int softness : {1, 50, 100}) {
    area->getVisualizer()->setSoftness(softness);
    drawAreaPass(areas, &scene.diagram, 0.6f, lookupBlendEquation(), eraser);
    const auto culled = frame();
    compositeAreas(areas, &scene.diagram, 0.6f, lookupBlendEquation());
    eraser.erase(areas.getFreeElements());
    const auto everything = frame();
    EXPECT_TRUE(culled == everything) << "softness " << softness;
  }
  Vec2 lower, upper;
  ASSERT_TRUE(area->getVisualizer()->getExtent(lower, upper));
  EXPECT_LT(upper.x, 160.0f) << "the far element lies outside the area";
  EXPECT_GT(upper.x, 110.0f - 30.0f) << "the near one's halo meets it";
}

// Areas are identified over one diagram and hold pointers to its shapes; a
// view showing another diagram (split views, or a diagram chosen before the
// areas were identified again) drew them there, at the other diagram's
// places, with its free elements whitened over the picture.
TEST_F(AreaPixelTest, AreasIdentifiedOverAnotherDiagramAreNotDrawn) {
  scene.addClass("m", {80, 80}, {119, 119});
  scene.addClass("free", {150, 20}, {189, 59});
  addArea("red", {1.0f, 0.0f, 0.0f}, {"m"});
  show("red");
  AreaScene other;
  other.addClass("elsewhere", {10, 10}, {49, 49});
  for (const Compositing& c : kCompositing) {
    canvas_->clear(1.0f, 0.0f, 1.0f);
    drawAreaPass(areas, &other.diagram, 1.0f, blend(c), eraser);
    EXPECT_EQ(at(100, 100), (Pixel{255, 255, 255})) << c.name << ": the other diagram's area is not drawn";
    EXPECT_EQ(at(30, 30), (Pixel{255, 255, 255})) << c.name;

    canvas_->clear(1.0f, 0.0f, 1.0f);
    drawAreaPass(areas, &scene.diagram, 1.0f, blend(c), eraser);
    EXPECT_GE(at(100, 100).r, 250) << c.name << ": drawn over its own diagram";
    EXPECT_LE(at(100, 100).g, 5) << c.name;
  }
  // Identified again over the other diagram, they follow it.
  reidentifyAreas(areas, &other.diagram, false);
  EXPECT_EQ(areas.getIdentifiedDiagram(), &other.diagram);
  canvas_->clear(1.0f, 0.0f, 1.0f);
  drawAreaPass(areas, &scene.diagram, 1.0f, lookupBlendEquation(), eraser);
  EXPECT_EQ(at(100, 100), (Pixel{255, 255, 255}));
}

}  // namespace
}  // namespace lumetra
