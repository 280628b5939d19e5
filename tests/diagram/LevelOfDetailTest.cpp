// Level of detail as a user sees it: real models drawn by a window with and
// without it, at the zoom they open at and at four times that; each saving
// at overview scale just above and just below its limit; a greeked label
// seen again in full after zooming in; picking through greeked text.

#include <GL/gl.h>
#include <GL/glu.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "areas/Area.h"
#include "diagram/GlyphLayout.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "diagram/SelectionManager.h"
#include "metrics/MetricParser.h"
#include "model/Model.h"
#include "modelfiles/ModelLoader.h"
#include "platform/GLExtensions.h"
#include "render/Canvas.h"
#include "render/CanvasOwner.h"
#include "render/CanvasWindow.h"
#include "render/GLPainter.h"
#include "render/OffscreenGL.h"
#include "settings/SettingsStore.h"
#include "tests/diagram/DiagramScene.h"
#include "tests/diagram/GLTestSupport.h"

namespace lumetra {
namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

using Frame = std::vector<unsigned char>;

Frame readFrame() { return test::readRGB(0, 0, kWidth, kHeight); }

// The darkness of the pixels in the window x0..x1, y0..y1 (window pixels):
// the sum over them of how far each channel lies below white.
double inkIn(const Frame& f, int x0, int y0, int x1, int y1) {
  double ink = 0.0;
  for (int y = std::max(y0, 0); y < std::min(y1, kHeight); ++y)
    for (int x = std::max(x0, 0); x < std::min(x1, kWidth); ++x)
      for (int c = 0; c < 3; ++c) ink += 255 - f[(static_cast<std::size_t>(y) * kWidth + x) * 3 + c];
  return ink;
}

int differingIn(const Frame& a, const Frame& b, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const std::size_t i = (static_cast<std::size_t>(y) * kWidth + x) * 3;
      n += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
    }
  return n;
}

// The mean of each channel over the frame.
std::array<double, 3> meanColour(const Frame& f) {
  std::array<double, 3> sum{};
  for (std::size_t i = 0; i + 2 < f.size(); i += 3)
    for (int c = 0; c < 3; ++c) sum[c] += f[i + c];
  for (double& s : sum) s /= static_cast<double>(f.size() / 3);
  return sum;
}

// Clears the whole frame, whatever a window drew last (run alone, the
// context has no window's viewport and scissor box yet), and looks flat at
// the origin at `scale` pixels per unit; gives half the view's width in
// units.
double clearFlatView(float scale) {
  glViewport(0, 0, kWidth, kHeight);
  glScissor(0, 0, kWidth, kHeight);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const double halfW = kWidth / 2.0 / scale, halfH = kHeight / 2.0 / scale;
  glOrtho(-halfW, halfW, -halfH, halfH, -1000.0, 1000.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  return halfW;
}

// A model read from files as the viewer reads it, with the named metrics
// and areas shown on its first diagram.
struct LoadedModel {
  ModelElementsPool pool;
  std::vector<Diagram*> diagrams;
  MetricSet metrics;
  AreaSet areas;
  ~LoadedModel() {
    areas.clear();
    for (Diagram* d : diagrams) delete d;
  }
};

class LevelOfDetailTest : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    if (!gl_) gl_ = test::openOffscreenScene(kWidth, kHeight);
  }

 protected:
  LevelOfDetailTest() {
    painter.setBlendEquation(lookupBlendEquation());
    painter.setSelectionManager(&selection);
    painter.setMetricSet(&metrics);
  }

  std::unique_ptr<LoadedModel> load(const std::string& file, const std::string& metricsFile,
                                    const std::vector<std::string>& shown, const std::vector<std::string>& shownAreas) {
    auto model = std::make_unique<LoadedModel>();
    EXPECT_TRUE(loadModel(file, model->diagrams, model->pool).ok()) << file;
    if (model->diagrams.empty()) return nullptr;
    if (!metricsFile.empty()) {
      MetricParser parser(&model->metrics, &model->areas);
      EXPECT_TRUE(parser.load(metricsFile)) << parser.lastError();
    }
    for (const std::string& name : shown) model->metrics.showMetric(name);
    for (const std::string& name : shownAreas)
      EXPECT_TRUE(showArea(model->areas, model->diagrams.front(), name)) << name;
    painter.setMetricSet(&model->metrics);
    painter.setAreas(&model->areas);
    return model;
  }

  // The frame of a fresh window on the diagram, opened (fitted) and zoomed
  // by factor, with level of detail on or off; reductions receives how many
  // drawings the recording reduced.
  Frame render(Diagram* diagram, float factor, bool levelOfDetail, unsigned long* reductions = nullptr) {
    CanvasWindow window(&host, 0, 0, kWidth, kHeight);
    window.setLevelOfDetail(levelOfDetail);
    window.setVisualizer(&painter);
    window.setDiagram(diagram);
    window.setZoom(window.zoom() * factor);
    const unsigned long before = GLPainter::detailReductions();
    window.render(false);
    if (reductions) *reductions = GLPainter::detailReductions() - before;
    return readFrame();
  }

  static std::unique_ptr<OffscreenGL> gl_;
  MetricSet metrics;
  SelectionManager selection;
  MetricsVisualizerSimple painter;
  OffscreenWindowHost host;
};

std::unique_ptr<OffscreenGL> LevelOfDetailTest::gl_;

const std::string kExamples = std::string(LUMETRA_SOURCE_DIR) + "/examples/";
const std::string kCommonsLang = std::string(LUMETRA_TEST_DATA_DIR) + "/commons-lang.xmi";

// Where nothing is too small (the recording reduced nothing) the picture is
// the full-detail picture, pixel for pixel; the views listed as exact must
// be such views. Where something is reduced, the picture differs only in
// small places and keeps its overall colour.
TEST_F(LevelOfDetailTest, PictureIsExactWhereNothingIsTooSmallAndAlikeWhereSomethingIs) {
  struct Case {
    const char* what;
    std::string model, metricsFile;
    std::vector<std::string> metrics, areas;
    float factor;
    bool exact;
  } cases[] = {
      {"web shop as opened", kExamples + "webshop.xmi", kExamples + "webshop.met",
       {"Lines of code", "Operations", "Coupling", "Unit tested", "Changed last release"},
       {"Checkout", "Payments", "Persistence"}, 1.0f, true},
      {"web shop at four times", kExamples + "webshop.xmi", kExamples + "webshop.met",
       {"Lines of code", "Operations", "Coupling", "Unit tested", "Changed last release"},
       {"Checkout", "Payments", "Persistence"}, 4.0f, true},
      {"traffic scenario as opened", kExamples + "traffic-monitoring.scenario", "", {}, {}, 1.0f, true},
      {"traffic scenario at four times", kExamples + "traffic-monitoring.scenario", "", {}, {}, 4.0f, true},
      {"Commons Lang at four times", kCommonsLang, "", {}, {}, 4.0f, true},
      {"Commons Lang as opened (text under 4 pixels)", kCommonsLang, "", {}, {}, 1.0f, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto model = load(c.model, c.metricsFile, c.metrics, c.areas);
    ASSERT_TRUE(model);
    unsigned long reductions = 0;
    const Frame full = render(model->diagrams.front(), c.factor, false);
    const Frame reduced = render(model->diagrams.front(), c.factor, true, &reductions);
    EXPECT_EQ(reductions == 0, c.exact) << reductions << " reductions";
    const int changed = test::differingPixels(full, reduced);
    if (reductions == 0) {
      EXPECT_EQ(changed, 0);
      continue;
    }
    EXPECT_GT(changed, 0);
    EXPECT_LT(changed, kWidth * kHeight / 10) << "at most a tenth of the pixels: some of the text";
    const auto a = meanColour(full), b = meanColour(reduced);
    for (int ch = 0; ch < 3; ++ch) EXPECT_NEAR(a[ch], b[ch], 1.0) << "channel " << ch;
  }
}

// Each saving at overview scale, drawn at a detail scale a quarter above its
// limit and a fifth below it (the drawing itself at that scale, one unit =
// scale pixels, centred on the origin): above, not a pixel differs from full
// detail; below, the saving is taken (a reduction counted, pixels differ)
// and the picture keeps its darkness. Every row also draws a long smoothed
// line after the small drawing, away from it, which must come out exactly
// as in full detail: the state of plain lines is put back.
TEST_F(LevelOfDetailTest, EachOverviewSavingIsExactAboveItsLimitAndAlikeBelow) {
  // No text anywhere, so that nothing greeks.
  test::BoolSetting names("Visualizer.General.ElementNames", false);
  test::BoolSetting relationNames("Visualizer.General.RelationNames", false);
  const Vec2 lo(-410, -150), hi(-10, 150);
  test::DiagramScene single;  // one class with a 2D and a 3D bar
  single.addClass("c1", "", lo, hi);
  test::DiagramScene pair;  // two classes 20 units apart, a composition between them
  pair.addClass("c1", "", lo, hi);
  pair.addClass("c2", "", {10, -150}, {410, 150});
  pair.addAssociation("a1", "c1", "c2", "composite", "none");
  MetricSet shown;
  shown.add(test::makeBarMetric("Bars", Color(0.2f, 0.4f, 0.8f, 1.0f), {{"c1", 5}, {"c2", 9}}));
  IntegerMetric* boxes = test::makeBarMetric("Boxes", Color(0.8f, 0.5f, 0.2f, 1.0f), {{"c1", 9}, {"c2", 2}});
  boxes->setVisualizer("3D Bar");
  shown.add(boxes);
  shown.showMetric("Bars");
  shown.showMetric("Boxes");
  MetricSet none;

  const GLPainter gl;
  const Color ink(0xff000000u);
  auto diagram = [this](test::DiagramScene& scene, MetricSet& metrics, bool shadows) {
    return [this, &scene, &metrics, shadows] {
      test::BoolSetting shadow("Visualizer.General.Shadows", shadows);
      painter.setMetricSet(&metrics);
      painter.setAreas(nullptr);
      painter.drawDiagram(scene.diagram());
    };
  };
  const GlyphRect cell = glyphCell(0, 2, lo, hi, GlyphLayoutParams{});
  const float cellSide = std::fmin(cell.corner2.x - cell.corner1.x, cell.corner2.y - cell.corner1.y);
  struct Case {
    const char* what;
    float extent;  // units that must show under `limit` pixels to be reduced
    float limit;
    std::function<void()> draw;
    // How far the darkness may stray below the limit: a lone speck of two
    // or three pixels gains or loses up to about half a pixel of ink, a
    // diagram a few percent.
    double darkness = 0.1;
  } cases[] = {
      {"a short line", 20.0f, GLPainter::kShortLine, [&] { gl.line({-10, 5}, {10, -5}, ink); }, 0.5},
      {"a small outline", 20.0f, GLPainter::kShortLine, [&] { gl.rectOutline({-10, -6}, {10, 6}, ink); }, 0.5},
      {"a small 3D box's edges", 20.0f, GLPainter::kShortLine,
       [&] { gl.boxOutline3D({-10, -10, 0}, {10, 10, -20}, ink); }, 0.5},
      {"a small pie's outline (8 segments: none fewer)", 20.0f, GLPainter::kShortLine,
       [&] { gl.pieOutline({0, 0}, 10, 10, 0.0f, 4.0f, ink, 8.0f); }, 0.5},
      // In this flat projection the 3D bar's back edges lie on its front
      // ones: smoothed, they blend twice, plain, they cover the same pixels.
      {"tiny glyphs' outlines", cellSide, MetricsVisualizerSimple::kTinyGlyph, diagram(single, shown, false), 0.15},
      {"a small class box's outline and compartment line", hi.x - lo.x, UMLModelVisualizer::kSmallShape,
       diagram(single, none, false)},
      {"a thin shadow", settings().getFloat("Visualizer.UMLModel.ShadowSize"), UMLModelVisualizer::kThinShadow,
       diagram(single, none, true)},
      {"a short relation with its diamond (20 units and two heads' reach)",
       20.0f + 2.0f * settings().getFloat("Visualizer.UMLModel.ArrowSize"), UMLModelVisualizer::kShortRelation,
       diagram(pair, none, false)},
  };
  auto frame = [&](const Case& c, float scale, float detail) {
    const double halfW = clearFlatView(scale), halfH = halfW * kHeight / kWidth;
    GLPainter::setDetailScale(detail);
    {
      GLStateBatch batch;
      c.draw();
      // A long line in the top left quarter, after the small drawing.
      gl.line({static_cast<float>(-halfW * 0.9), static_cast<float>(halfH * 0.6)},
              {static_cast<float>(-halfW * 0.3), static_cast<float>(halfH * 0.9)}, ink);
    }
    GLPainter::setDetailScale(GLPainter::kFullDetail);
    return readFrame();
  };
  for (const Case& c : cases) {
    for (float side : {1.25f, 0.8f}) {
      SCOPED_TRACE(std::string(c.what) + (side > 1.0f ? ", above its limit" : ", below its limit"));
      const float scale = side * c.limit / c.extent;
      const Frame full = frame(c, scale, GLPainter::kFullDetail);
      const unsigned long before = GLPainter::detailReductions();
      const Frame reduced = frame(c, scale, scale);
      const unsigned long reductions = GLPainter::detailReductions() - before;
      const int x1 = kWidth / 2, y0 = kHeight * 3 / 4;  // the long line's corner
      EXPECT_GT(inkIn(full, 0, y0, x1, kHeight), 0.0) << "the long line is drawn";
      EXPECT_EQ(differingIn(full, reduced, 0, y0, x1, kHeight), 0) << "the long line is smoothed";
      if (side > 1.0f) {
        EXPECT_EQ(reductions, 0u);
        EXPECT_EQ(test::differingPixels(full, reduced), 0);
        continue;
      }
      EXPECT_GT(reductions, 0u);
      EXPECT_GT(test::differingPixels(full, reduced), 0);
      const double a = inkIn(full, 0, 0, kWidth, y0), b = inkIn(reduced, 0, 0, kWidth, y0);
      ASSERT_GT(a, 0.0);
      EXPECT_NEAR(b / a, 1.0, c.darkness) << "as dark overall";
    }
  }
}

// An overview is recorded and replayed with line smoothing switched off
// around it, each smoothed line switching it on for itself: a diagram with
// smoothed lines (large boxes, long relations) and plain ones (small boxes,
// short relations, tiny glyphs), in a state batch as a window draws it and
// through single primitives outside one, comes out the same either way.
TEST_F(LevelOfDetailTest, APlainLineBaseChangesNoPixel) {
  test::DiagramScene scene;
  scene.addClass("big1", "First", {-5000, -1500}, {-4600, -1200});
  scene.addClass("big2", "Second", {3000, 1000}, {3400, 1300});
  scene.addAssociation("long", "big1", "big2", "composite", "none");
  for (int i = 0; i < 6; ++i) {
    const float x = -3000.0f + 160.0f * static_cast<float>(i);
    scene.addClass("s" + std::to_string(i), "Small", {x, -2000}, {x + 110, -1910});
    if (i > 0 && i % 2) scene.addAssociation("a" + std::to_string(i), "s" + std::to_string(i), "s" + std::to_string(i - 1));
    if (i > 0 && i % 2 == 0) scene.addInheritance("g" + std::to_string(i), "s" + std::to_string(i - 1), "s" + std::to_string(i));
  }
  scene.addDependency("d1", "s0", "big1");
  MetricSet shown;
  shown.add(test::makeBarMetric("Bars", Color(0.2f, 0.4f, 0.8f, 1.0f), {{"big1", 5}, {"big2", 9}, {"s1", 7}}));
  IntegerMetric* boxes = test::makeBarMetric("Boxes", Color(0.8f, 0.5f, 0.2f, 1.0f), {{"big1", 9}, {"big2", 2}, {"s2", 4}});
  boxes->setVisualizer("3D Bar");
  shown.add(boxes);
  shown.showMetric("Bars");
  shown.showMetric("Boxes");
  painter.setMetricSet(&shown);
  painter.setAreas(nullptr);

  const float scale = 0.08f;  // big boxes 32 pixels across, small ones 9
  const GLPainter gl;
  const Color ink(0xff000000u);
  auto draw = [&](bool plainBase, bool allPlain) {
    clearFlatView(scale);
    if (plainBase) {
      glPushAttrib(GL_ENABLE_BIT);
      glDisable(GL_LINE_SMOOTH);
      GLPainter::setPlainLineBase(true);
    }
    GLPainter::setDetailScale(scale);
    {
      std::optional<PlainLineScope> everything;
      if (allPlain) everything.emplace(true);
      painter.drawDiagram(scene.diagram());
      // Outside a batch: a long line, a tiny outline, and a caller's
      // smoothing with a tiny line inside it.
      gl.line({-6000, 4000}, {-1000, 4500}, ink);
      gl.rectOutline({0, 4000}, {20, 4012}, ink);
      gl.setLineSmoothing(true);
      gl.line({1000, 4000}, {1020, 4010}, ink);
      gl.line({2000, 4000}, {5000, 4600}, ink);
      gl.setLineSmoothing(false);
    }
    GLPainter::setDetailScale(GLPainter::kFullDetail);
    if (plainBase) {
      GLPainter::setPlainLineBase(false);
      EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH)) << "the painter put back what it found";
      glPopAttrib();
    }
    EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
    return readFrame();
  };
  const unsigned long before = GLPainter::detailReductions();
  const Frame smoothBase = draw(false, false);
  EXPECT_GT(GLPainter::detailReductions(), before) << "some lines are plain";
  EXPECT_TRUE(painter.linesMostlyPlain(scene.diagram()) == false) << "at full detail";
  GLPainter::setDetailScale(scale);
  EXPECT_TRUE(painter.linesMostlyPlain(scene.diagram())) << "6 of 8 boxes are small";
  GLPainter::setDetailScale(GLPainter::kFullDetail);
  EXPECT_GT(test::differingPixels(smoothBase, draw(false, true)), 0) << "some lines are smoothed";
  EXPECT_EQ(test::differingPixels(smoothBase, draw(true, false)), 0);
}

// A window records its scene at the scale it shows it at; zooming in past
// that scale records again, so a label greeked in the overview is text
// again when looked at closely, exactly as without level of detail.
TEST_F(LevelOfDetailTest, ZoomingInRecordsAgainAndShowsGreekedTextInFull) {
  test::DiagramScene scene;
  scene.addClass("c1", "Greeked when far", {-60, -40}, {60, 40});
  scene.addClass("c2", "Second class", {100, -40}, {220, 40});
  scene.addAssociation("a1", "c1", "c2");
  CanvasWindow window(&host, 0, 0, kWidth, kHeight);
  window.setVisualizer(&painter);
  window.setDiagram(scene.diagram());

  window.setZoom(0.2f);  // an em of 14.4 units is under 3 pixels
  const unsigned long before = GLPainter::detailReductions();
  window.render(false);
  EXPECT_GT(GLPainter::detailReductions(), before) << "the names are greeked";
  const float far = window.recordedDetailScale();
  EXPECT_LT(far, 0.3f);

  // Within the recorded step the list is replayed as it is.
  window.setZoom(0.21f);
  const unsigned long replayed = GLPainter::detailReductions();
  window.render(true);
  EXPECT_EQ(window.recordedDetailScale(), far);
  EXPECT_EQ(GLPainter::detailReductions(), replayed) << "nothing recorded";

  for (float zoom : {3.0f, 1.0f, 6.0f}) {
    SCOPED_TRACE(zoom);
    window.setZoom(zoom);
    window.render(true);  // a camera change, as the wheel makes it
    EXPECT_GE(window.recordedDetailScale(), zoom);
    const Frame zoomedIn = readFrame();
    CanvasWindow reference(&host, 0, 0, kWidth, kHeight);
    reference.setLevelOfDetail(false);
    reference.setVisualizer(&painter);
    reference.setDiagram(scene.diagram());
    reference.setZoom(zoom);
    reference.render(false);
    EXPECT_EQ(test::differingPixels(readFrame(), zoomedIn), 0);
  }

  // The setting turns it off for every window.
  settings().setBool("Visualizer.General.LevelOfDetail", false);
  window.setZoom(0.2f);
  window.render(false);
  EXPECT_EQ(window.recordedDetailScale(), GLPainter::kFullDetail);
  settings().setBool("Visualizer.General.LevelOfDetail", true);
}

// The pick pass draws text as text whatever the detail scale, so a label
// takes its pick name over its glyphs, also where a greeking bar would not
// reach (the top of the glyphs).
TEST_F(LevelOfDetailTest, PickingSeesTheGlyphsOfGreekedText) {
  test::DiagramScene scene;
  scene.addClass("c1", "Left", {-300, -40}, {-200, 40});
  scene.addClass("c2", "Right", {200, -40}, {300, 40});
  Association* a = scene.addAssociation("a1", "c1", "c2");
  a->setName("WWWWWWWW");
  test::BoolSetting names("Visualizer.General.RelationNames", true);
  CanvasWindow window(&host, 0, 0, kWidth, kHeight);
  window.setVisualizer(&painter);
  window.setDiagram(scene.diagram());
  window.setZoom(2.0f);

  // The name is centred on the line's midpoint (the origin); its glyphs
  // reach about 10 units above the line, the window's centre row.
  float w = 0.0f, h = 0.0f;
  GLPainter::textSize("WWWWWWWW", 10.0f, w, h);
  ASSERT_GT(h, 6.0f);
  const double x = kWidth / 2.0;
  const double y = kHeight / 2.0 + 2.0 * h * 0.85;  // high in the glyphs, above any bar
  for (float scale : {GLPainter::kFullDetail, 0.05f}) {
    SCOPED_TRACE(scale);
    window.loadPickMatrices(x, y, 1.0);
    GLPainter::setDetailScale(scale);
    PickResult result;
    painter.pick(result, scene.diagram());
    GLPainter::setDetailScale(GLPainter::kFullDetail);
    ASSERT_EQ(result.size(), 1u);
    auto* entry = dynamic_cast<ModelSelectionElement*>(result.at(0));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->getLabel(), "Association");
  }
}

}  // namespace
}  // namespace lumetra
