// Picking through GL selection mode: what lies under a 4 x 4 pixel region,
// nearest and topmost first, elements and metric glyphs alike.

#include <GL/gl.h>

#include <stdexcept>
#include <string>

#include "areas/Area.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "render/CanvasOwner.h"
#include "render/CanvasWindow.h"
#include "diagram/SelectionManager.h"
#include "tests/diagram/DiagramScene.h"
#include "tests/diagram/GLTestSupport.h"

namespace lumetra {
namespace {

using test::DiagramScene;

// Exposes how many pick names the last pass handed out.
class CountingPainter : public MetricsVisualizerSimple {
 public:
  int namesHandedOut = 0;
  void pick(PickResult& result, Diagram* diagram) override {
    MetricsVisualizerSimple::pick(result, diagram);
    namesHandedOut = lastPickName();
  }
};

class PickingTest : public test::GLPainterTest {
 protected:
  PickingTest() {
    painter.setSelectionManager(&selection);
    painter.setMetricSet(&metrics);
    painter.setAreas(&areas);
  }

  PickResult pickAt(float x, float y) {
    loadPickProjection(x, y);
    PickResult result;
    painter.pick(result, scene.diagram());
    loadDrawProjection();
    return result;
  }

  static std::vector<std::string> labels(const PickResult& result) {
    std::vector<std::string> out;
    for (ModelSelectionElement* e : result.elementHits()) out.push_back(e->getLabel());
    return out;
  }

  DiagramScene scene;
  SelectionManager selection;
  MetricSet metrics;
  AreaSet areas;
  CountingPainter painter;
};

// A window's own pick matrices: window pixels around the pointer, under the
// window's camera (zoom 1 on the origin, perspective, for a diagram without a
// box of its own), so one diagram unit is one pixel from the window centre.
TEST_F(PickingTest, AWindowPicksWhatLiesUnderAWindowPixel) {
  Class* target = scene.addClass("a", "Target", {20, 10}, {60, 40});
  OffscreenWindowHost host;
  CanvasWindow view(&host, 0, 0, kSize, kSize);
  view.setVisualizer(&painter);
  view.setDiagram(scene.diagram());
  const double centre = kSize / 2.0;
  struct Case {
    const char* where;
    double x, y;
    std::size_t hits;
  };
  const Case cases[] = {
      {"inside the class", centre + 40, centre + 25, 1},
      {"mirrored to the other quadrant", centre - 40, centre - 25, 0},
      {"just right of the class", centre + 70, centre + 25, 0},
  };
  for (const Case& c : cases) {
    view.loadPickMatrices(c.x, c.y, 4.0);
    PickResult result;
    painter.pick(result, scene.diagram());
    ASSERT_EQ(result.elementHits().size(), c.hits) << c.where;
    if (c.hits == 1) {
      EXPECT_EQ(result.elementHits()[0]->getModelElement(), target) << c.where;
    }
  }
  loadDrawProjection();
}

TEST_F(PickingTest, TwoOverlappingElementsAreBothHitTopmostFirst) {
  Class* below = scene.addClass("a", "Below", {-50, -50}, {10, 10});
  Class* above = scene.addClass("b", "Above", {-10, -10}, {50, 50});
  const PickResult result = pickAt(0, 0);
  const auto hits = result.elementHits();
  ASSERT_EQ(hits.size(), 2u);
  EXPECT_EQ(hits[0]->getModelElement(), above);
  EXPECT_EQ(hits[1]->getModelElement(), below);
  EXPECT_EQ(labels(result), (std::vector<std::string>{"Above", "Below"}));
  EXPECT_TRUE(result.metricHits().empty());
}

TEST_F(PickingTest, OnlyElementsUnderThePointerAreHit) {
  scene.addClass("a", "Left", {-90, -20}, {-30, 20});
  scene.addClass("b", "Right", {30, -20}, {90, 20});
  struct Case {
    const char* where;
    Vec2 at;
    std::vector<std::string> expected;
  } cases[] = {
      {"left box", {-60, 0}, {"Left"}},
      {"right box", {60, 0}, {"Right"}},
      {"between", {0, 0}, {}},
      {"above both", {0, 80}, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(labels(pickAt(c.at.x, c.at.y)), c.expected) << c.where;
}

TEST_F(PickingTest, PickingLeavesTheRenderModeAndSelectionAlone) {
  Class* a = scene.addClass("a", "A", {-20, -20}, {20, 20});
  const PickResult result = pickAt(0, 0);
  GLint mode = 0;
  glGetIntegerv(GL_RENDER_MODE, &mode);
  EXPECT_EQ(mode, GL_RENDER);
  EXPECT_FALSE(selection.isElementSelected(a));
  EXPECT_EQ(painter.elementMap().at(a), scene.shape("a"));
}

TEST_F(PickingTest, RelationsArePickedByTheirLines) {
  scene.addAssociation("r1", "left", "right", "none", "none");
  scene.addClass("left", "Left", {-90, -20}, {-50, 20});
  scene.addClass("right", "Right", {50, -20}, {90, 20});
  EXPECT_EQ(labels(pickAt(0, 0)), (std::vector<std::string>{"Association"}));
}

TEST_F(PickingTest, RelationWithAParticipantOffTheDiagramTakesNoName) {
  scene.addClass("left", "Left", {-90, -20}, {-50, 20});
  scene.addAssociation("r1", "left", "ghost", "none", "none");
  scene.addInheritance("g1", "ghost", "left");
  pickAt(-70, 0);
  EXPECT_EQ(painter.namesHandedOut, 1);  // the class only
  EXPECT_EQ(painter.elementMap().size(), 3u);  // every shape is still mapped
}

TEST_F(PickingTest, ServiceInterfacesAndConnectionsTakeNames) {
  scene.addService("s1", "Billing", {-90, -30}, {-30, 30});
  scene.addService("s2", "Ledger", {30, -30}, {90, 30});
  PelkInterface* out = scene.addPort("s1", "charge", {-37, -7}, {-23, 7});
  PelkInterface* in = scene.addPort("s2", "book", {23, -7}, {37, 7});
  scene.addConnection("k1", out, in);
  // Connections come first in the diagram's order; here they were added last.
  EXPECT_EQ(labels(pickAt(-30, 0)), (std::vector<std::string>{"charge", "Billing"}));
  EXPECT_EQ(labels(pickAt(0, 0)), (std::vector<std::string>{"Connection"}));
  EXPECT_EQ(labels(pickAt(60, 20)), (std::vector<std::string>{"Ledger"}));
  // The element map finds the marker shapes for dragging.
  EXPECT_EQ(painter.elementMap().at(out)->getId(), "shape-charge");
}

TEST_F(PickingTest, GlyphHitGivesItsMetricAndElement) {
  scene.addClass("c1", "Order", {-60, -40}, {60, 40});
  Metric* loc = test::makeBarMetric("LOC", Color(0xFFFF0000u), {{"c1", 120}, {"c2", 10}});
  metrics.add(loc);
  metrics.showMetric("LOC");

  const PickResult result = pickAt(0, 0);
  const auto glyphs = result.metricHits();
  ASSERT_EQ(glyphs.size(), 1u);
  EXPECT_EQ(glyphs[0]->getMetric(), loc);
  EXPECT_EQ(glyphs[0]->getElementId(), "c1");
  EXPECT_EQ(glyphs[0]->getMetric()->getValueText(glyphs[0]->getElementId()), "120");
  EXPECT_EQ(labels(result), (std::vector<std::string>{"Order"}));
  EXPECT_EQ(painter.namesHandedOut, 2);
}

TEST_F(PickingTest, GlyphsOfTwoMetricsAreToldApart) {
  scene.addClass("c1", "Order", {-60, -40}, {60, 40});
  Metric* first = test::makeBarMetric("First", Color(0xFFFF0000u), {{"c1", 3}});
  Metric* second = test::makeBarMetric("Second", Color(0xFF00FF00u), {{"c1", 4}});
  metrics.add(first);
  metrics.add(second);
  metrics.showMetric("First");
  metrics.showMetric("Second");
  // One row of two cells: the first on the left.
  const PickResult leftResult = pickAt(-30, 0);
  const PickResult rightResult = pickAt(30, 0);
  const auto left = leftResult.metricHits();
  const auto right = rightResult.metricHits();
  ASSERT_EQ(left.size(), 1u);
  ASSERT_EQ(right.size(), 1u);
  EXPECT_EQ(left[0]->getMetric(), first);
  EXPECT_EQ(right[0]->getMetric(), second);
}

TEST_F(PickingTest, RaisedGlyphIsHitWhereItRisesAwayFromItsBox) {
  // Tilted 45 degrees about x, a 3D bar of 128 units shows its top face well
  // above the class box it stands on: a pick there hits the glyph only.
  scene.addClass("c1", "Order", {-20, -80}, {20, -40});
  IntegerMetric* size = test::makeBarMetric("Size", Color(0xFFFF0000u), {{"c1", 9}, {"c2", 1}});
  size->setVisualizer("3D Bar");
  metrics.add(size);
  metrics.showMetric("Size");

  auto tiltedPick = [&](float x, float y) {
    loadPickProjection(x, y);
    glRotatef(45.0f, 1.0f, 0.0f, 0.0f);
    PickResult result;
    painter.pick(result, scene.diagram());
    loadDrawProjection();
    return result;
  };
  const PickResult onTop = tiltedPick(0, 48);
  ASSERT_EQ(onTop.metricHits().size(), 1u);
  EXPECT_EQ(onTop.metricHits()[0]->getMetric(), size);
  EXPECT_TRUE(onTop.elementHits().empty());
  EXPECT_TRUE(tiltedPick(0, 80).metricHits().empty());  // above the bar's top
  EXPECT_EQ(labels(tiltedPick(0, -40)), (std::vector<std::string>{"Order"}));
}

// The pick pass leaves out the shapes that cannot reach the pick region.
// Over a grid of pick points, flat and tilted, across a scene whose text,
// heads, loop and glyphs reach past the boxes they belong to (long
// multiplicities and names, a glyph area larger than its box, 3D bars),
// every pick finds exactly what a pass drawing every shape finds, in the
// same order.
TEST_F(PickingTest, LeavingOutShapesAwayFromThePointerChangesNoPick) {
  test::BoolSetting names("Visualizer.General.RelationNames", true);
  scene.addClass("c1", "Order", {-90, 30}, {-50, 60});
  scene.addClass("c2", "Customer", {40, 40}, {80, 70});
  scene.addClass("c3", "Invoice", {-20, -80}, {20, -50});
  scene.addInterface("i1", "Payable", {50, -70}, {90, -40});
  Association* a = scene.addAssociation("a1", "c1", "c2", "composite", "none");
  a->setName("places many orders over time");
  a->getFirstEnd()->setMultiplicity("0..* and a long multiplicity");
  a->getSecondEnd()->setMultiplicity("1");
  scene.addAssociation("self", "c3", "c3", "none", "none", {-10, -100}, {10, -90});
  scene.addInheritance("g1", "c2", "c3");
  Dependency* d = scene.addDependency("d1", "c3", "i1");
  d->setName("uses a rather long dependency name");
  IntegerMetric* bars = test::makeBarMetric("Bars", Color(0xFFFF0000u), {{"c1", 3}, {"c2", 9}, {"c3", 5}, {"i1", 1}});
  IntegerMetric* raised = test::makeBarMetric("Raised", Color(0xFF00FF00u), {{"c1", 9}, {"c2", 2}, {"c3", 7}});
  raised->setVisualizer("3D Bar");
  metrics.add(bars);
  metrics.add(raised);
  metrics.showMetric("Bars");
  metrics.showMetric("Raised");
  painter.setGlyphAreaSize(1.8f);
  painter.setGlyphAreaCentre({0.6f, -0.4f});

  auto signature = [&](float x, float y, float tilt, bool culling) {
    painter.setPickCulling(culling);
    loadPickProjection(x, y);
    glRotatef(tilt, 1.0f, 0.0f, 0.0f);
    PickResult result;
    painter.pick(result, scene.diagram());
    loadDrawProjection();
    std::string out;
    for (std::size_t i = 0; i < result.size(); ++i) {
      if (auto* m = dynamic_cast<MetricSelection*>(result.at(i))) out += m->getMetric()->getName() + "@" + m->getElementId();
      else if (auto* e = dynamic_cast<ModelSelectionElement*>(result.at(i))) out += e->getLabel();
      out += ";";
    }
    return out;
  };
  int hits = 0, culled = 0;
  for (float tilt : {0.0f, 40.0f}) {
    for (float y = -98.0f; y < 100.0f; y += 4.0f) {
      for (float x = -98.0f; x < 100.0f; x += 4.0f) {
        const std::string all = signature(x, y, tilt, false);
        const int drawnAll = painter.namesHandedOut;
        const std::string some = signature(x, y, tilt, true);
        ASSERT_EQ(some, all) << "at " << x << ", " << y << " tilted " << tilt;
        hits += !all.empty();
        culled += painter.namesHandedOut < drawnAll;
      }
    }
  }
  painter.setPickCulling(true);
  EXPECT_GT(hits, 500) << "the grid meets the shapes";
  EXPECT_GT(culled, 1000) << "shapes away from the pointer are left out";
}

TEST_F(PickingTest, MetricHiddenByItsBoundsTakesAPickNameButDrawsNothing) {
  scene.addClass("c1", "Order", {-60, -40}, {60, 40});
  auto* loc = test::makeBarMetric("LOC", Color(0xFFFF0000u), {{"c1", 120}, {"c2", 10}});
  metrics.add(loc);
  metrics.showMetric("LOC");
  loc->setUpperBound(100);

  const PickResult result = pickAt(0, 0);
  EXPECT_TRUE(result.metricHits().empty());
  EXPECT_EQ(labels(result), (std::vector<std::string>{"Order"}));
  EXPECT_EQ(painter.namesHandedOut, 2);  // the class and the hidden glyph

  painter.drawDiagram(scene.diagram());
  EXPECT_RGB_NEAR(pixelAt(0, 0), test::rgbOf(test::kLightYellow), 3);
}

TEST_F(PickingTest, ElementWithoutAValueHasNoGlyphName) {
  scene.addClass("c1", "Order", {-60, -40}, {60, 40});
  metrics.add(test::makeBarMetric("LOC", Color(0xFFFF0000u), {{"other", 1}}));
  metrics.showMetric("LOC");
  EXPECT_TRUE(pickAt(0, 0).metricHits().empty());
  EXPECT_EQ(painter.namesHandedOut, 1);
}

TEST_F(PickingTest, ManyOverlappingHitsOverflowingTheFirstBufferAreAllKept) {
  // 400 hit records of 4 integers each need more than 1024 integers.
  for (int i = 0; i < 400; ++i) scene.addClass("c" + std::to_string(i), "C", {-30, -30}, {30, 30});
  const PickResult result = pickAt(0, 0);
  ASSERT_EQ(result.size(), 400u);
  EXPECT_EQ(result.elementHits().front()->getModelElement()->getId(), "c399");
  EXPECT_EQ(result.elementHits().back()->getModelElement()->getId(), "c0");
}

TEST_F(PickingTest, APickBetweenDrawsDoesNotDisturbTheNextDrawing) {
  scene.addClass("c1", "", {-60, -40}, {60, 40});
  pickAt(0, 0);
  painter.drawDiagram(scene.diagram());
  EXPECT_RGB_NEAR(pixelAt(0, -20), test::rgbOf(test::kLightYellow), 2);
  EXPECT_RGB_NEAR(pixelAt(90, 90), test::Rgb({255, 255, 255}), 1);
}

// A pick pass that ended in an exception left the painter in picking mode
// and GL in selection mode: every later repaint drew nothing at all.
TEST_F(PickingTest, APickEndedByAnExceptionLeavesDrawingAsItWas) {
  class FailingPainter : public MetricsVisualizerSimple {
   public:
    bool failWhilePicking = true;
    void drawDeferredEntry(DiagramElement* entry) override {
      if (failWhilePicking && isPicking()) throw std::runtime_error("glyph lookup failed");
      MetricsVisualizerSimple::drawDeferredEntry(entry);
    }
  } failing;
  failing.setSelectionManager(&selection);
  failing.setMetricSet(&metrics);
  failing.setAreas(&areas);
  scene.addClass("c1", "", {-60, -40}, {60, 40});

  loadPickProjection(0, 0);
  PickResult result;
  EXPECT_THROW(failing.pick(result, scene.diagram()), std::runtime_error);
  loadDrawProjection();
  GLint mode = 0;
  glGetIntegerv(GL_RENDER_MODE, &mode);
  EXPECT_EQ(mode, GL_RENDER);

  glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  failing.drawDiagram(scene.diagram());
  // The area pass ran (it is left out while picking): a white background.
  EXPECT_RGB_NEAR(pixelAt(90, 90), test::Rgb({255, 255, 255}), 1);
  EXPECT_RGB_NEAR(pixelAt(0, -20), test::rgbOf(test::kLightYellow), 2);

  failing.failWhilePicking = false;
  loadPickProjection(0, 0);
  failing.pick(result, scene.diagram());
  loadDrawProjection();
  EXPECT_EQ(result.elementHits().size(), 1u) << "and the next pick works";
}

}  // namespace
}  // namespace lumetra
