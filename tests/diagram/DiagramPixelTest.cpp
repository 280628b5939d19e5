// What the diagram painter leaves in the frame buffer, read back pixel by
// pixel: background, class boxes with shadows, selection, aggregation ends,
// and the metric glyph grid.

#include <GL/gl.h>

#include <cstdlib>

#include "areas/Area.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "platform/GLExtensions.h"
#include "render/GLPainter.h"
#include "diagram/SelectionManager.h"
#include "tests/diagram/DiagramScene.h"
#include "tests/diagram/GLTestSupport.h"

namespace lumetra {
namespace {

using test::DiagramScene;
using test::Rgb;

const Rgb kWhite{255, 255, 255};
const Rgb kBlack{0, 0, 0};

class DiagramPixelTest : public test::GLPainterTest {
 protected:
  DiagramPixelTest() {
    painter.setSelectionManager(&selection);
    painter.setMetricSet(&metrics);
    painter.setAreas(&areas);
    painter.setBlendEquation(lookupBlendEquation());
  }

  void draw() { painter.drawDiagram(scene.diagram()); }

  DiagramScene scene;
  SelectionManager selection;
  MetricSet metrics;
  AreaSet areas;
  MetricsVisualizerSimple painter;
};

TEST_F(DiagramPixelTest, BackgroundIsWhiteWithNoAreaShown) {
  scene.addClass("c1", "", {-20, -20}, {20, 20});
  draw();
  // The buffer was cleared to magenta; the area pass turns it white.
  for (Vec2 p : {Vec2(-90, -90), Vec2(90, 90), Vec2(-90, 80), Vec2(60, -70)})
    EXPECT_RGB_NEAR(pixelAt(p.x, p.y), kWhite, 1);
}

TEST_F(DiagramPixelTest, BackgroundIsWhiteWithoutAnyAreaSetOrBlendEquation) {
  painter.setAreas(nullptr);
  painter.setBlendEquation(nullptr);
  scene.addClass("c1", "", {-20, -20}, {20, 20});
  draw();
  EXPECT_RGB_NEAR(pixelAt(-90, -90), kWhite, 1);
  EXPECT_RGB_NEAR(pixelAt(0, 0), test::rgbOf(test::kLightYellow), 2);
}

TEST_F(DiagramPixelTest, ClassBoxIsLightYellowWithBlackOutlineAndShadowRightAndDown) {
  scene.addClass("c1", "", {-40, -30}, {40, 30});
  draw();
  const Color shadow = settings().getColor("Visualizer.UMLModel.ShadowColor");
  const Rgb grey = test::over(shadow, Color(1, 1, 1, 1));
  ASSERT_EQ(settings().getFloat("Visualizer.UMLModel.ShadowSize"), 3.0f);

  struct Case {
    const char* where;
    Vec2 at;
    Rgb expected;
  } cases[] = {
      {"inside, below the name line", {0, -10}, test::rgbOf(test::kLightYellow)},
      {"shadow right of the box", {41.5f, 0}, grey},
      {"shadow below the box", {0, -31.5f}, grey},
      {"shadow corner lower right", {41.5f, -31.5f}, grey},
      {"no shadow left of the box", {-41.5f, 0}, kWhite},
      {"no shadow above the box", {0, 31.5f}, kWhite},
      {"shadow stops short of the top right", {41.5f, 29.5f}, kWhite},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    EXPECT_RGB_NEAR(pixelAt(c.at.x, c.at.y), c.expected, 3);
  }
  // The outline: on each border a pixel far darker than fill (714) and
  // background (765); a smoothed one-pixel line may share its ink between
  // two pixel columns.
  for (Vec2 border : {Vec2(-40, 0), Vec2(40, 0), Vec2(0, 30), Vec2(0, -30)}) {
    const Rgb edge = darkestNear(border.x, border.y, 1);
    EXPECT_LT(edge[0] + edge[1] + edge[2], 450) << border.x << ", " << border.y;
    EXPECT_LT(std::abs(edge[0] - edge[1]), 8) << "grey, not coloured";
  }
}

TEST_F(DiagramPixelTest, ShadowsCanBeSwitchedOff) {
  test::BoolSetting noShadows("Visualizer.General.Shadows", false);
  scene.addClass("c1", "", {-40, -30}, {40, 30});
  draw();
  EXPECT_RGB_NEAR(pixelAt(41.5f, 0), kWhite, 1);
  EXPECT_RGB_NEAR(pixelAt(0, -31.5f), kWhite, 1);
}

TEST_F(DiagramPixelTest, SelectedClassIsCoveredWithTheSelectionColour) {
  Class* selected = scene.addClass("c1", "", {-90, -30}, {-10, 30});
  scene.addClass("c2", "", {10, -30}, {90, 30});
  selection.toggleElement(selected);
  draw();
  const Color select = settings().getColor("Visualizer.General.SelectColor");
  EXPECT_RGB_NEAR(pixelAt(-50, -10), test::over(select, test::kLightYellow), 3);
  EXPECT_RGB_NEAR(pixelAt(50, -10), test::rgbOf(test::kLightYellow), 2);
}

TEST_F(DiagramPixelTest, CompositeEndIsABlackDiamondAndAggregateEndAWhiteOne) {
  // A blue backdrop makes the white diamond visible.
  scene.addClass("back", "", {-99, -99}, {99, 99}, Color(0.0f, 0.0f, 1.0f, 1.0f));
  scene.addAssociation("a1", "left", "right", "composite", "aggregate");
  scene.addClass("left", "", {-90, -20}, {-50, 20});
  scene.addClass("right", "", {50, -20}, {90, 20});
  draw();
  // The ends meet the borders at x = -50 and 50; each diamond is two arrow
  // sizes (50 units) long, its middle one arrow size inside.
  EXPECT_RGB_NEAR(pixelAt(-25, 0), kBlack, 20);
  EXPECT_RGB_NEAR(pixelAt(25, 0), kWhite, 20);
  // Beside the diamonds the backdrop shows.
  EXPECT_RGB_NEAR(pixelAt(-25, 12), Rgb({0, 0, 255}), 3);
  EXPECT_RGB_NEAR(pixelAt(25, -12), Rgb({0, 0, 255}), 3);
}

TEST_F(DiagramPixelTest, AssociationsSwitchedOffDrawNoEnds) {
  test::BoolSetting noAssociations("Visualizer.General.Associations", false);
  scene.addClass("back", "", {-99, -99}, {99, 99}, Color(0.0f, 0.0f, 1.0f, 1.0f));
  scene.addAssociation("a1", "left", "right", "composite", "aggregate");
  scene.addClass("left", "", {-90, -20}, {-50, 20});
  scene.addClass("right", "", {50, -20}, {90, 20});
  draw();
  EXPECT_RGB_NEAR(pixelAt(-25, 0), Rgb({0, 0, 255}), 3);
  EXPECT_RGB_NEAR(pixelAt(25, 0), Rgb({0, 0, 255}), 3);
}

TEST_F(DiagramPixelTest, RelationToAShapeNotOnTheDiagramIsNotDrawn) {
  scene.addClass("back", "", {-99, -99}, {99, 99}, Color(0.0f, 0.0f, 1.0f, 1.0f));
  scene.addAssociation("a1", "left", "ghost", "composite", "none");
  scene.addClass("left", "", {-90, -20}, {-50, 20});
  draw();
  EXPECT_RGB_NEAR(pixelAt(-25, 0), Rgb({0, 0, 255}), 3);
}

TEST_F(DiagramPixelTest, SelfAssociationLoopsThroughItsLabelBox) {
  // The label box is centred at (20, 0); the loop leaves the class's right
  // border at (-40, 0) and turns 16 units either side of the label centre.
  scene.addAssociation("self", "c1", "c1", "none", "none", {10, -5}, {30, 5});
  scene.addClass("c1", "", {-80, -20}, {-40, 20});
  draw();
  auto darkness = [&](float x, float y) {
    const Rgb c = darkestNear(x, y, 2);
    return 765 - (c[0] + c[1] + c[2]);
  };
  EXPECT_GT(darkness(20, 16), 200) << "upper turn";
  EXPECT_GT(darkness(20, -16), 200) << "lower turn";
  EXPECT_EQ(darkness(0, 0), 0) << "no straight line towards the label";
  EXPECT_EQ(darkness(60, 0), 0) << "nothing beyond the label";
}

TEST_F(DiagramPixelTest, TopLevelPassLeavesOutTheShapesInsideServices) {
  scene.addService("s1", "", {-60, -40}, {40, 40});
  scene.addPort("s1", "p1", {-67, -7}, {-53, 7});
  const Rgb cyan = test::rgbOf(Color(0.4f, 1.0f, 1.0f, 1.0f));
  painter.drawTopLevelElements(scene.diagram());
  EXPECT_RGB_NEAR(pixelAt(-57, -3), cyan, 3);
  draw();
  EXPECT_RGB_NEAR(pixelAt(-57, -3), kWhite, 3);  // the marker, drawn over its service
  EXPECT_RGB_NEAR(pixelAt(0, -20), cyan, 3);
}

// Arrowheads of dependencies (two open barbs), generalizations and
// realizations (a hollow triangle the line stops at), pointing into the
// supplier or parent, in a row and in a column; realizations and
// dependencies read from relation shapes are drawn dashed and go with the
// Dependencies switch. The barbs run back from the border point at
// +-ArrowAngle (0.27 rad) for ArrowSize (25) units: their middles lie 12 units
// back and 3.3 to either side. A head turned the wrong way would lie inside
// the target box instead.
TEST_F(DiagramPixelTest, ArrowheadsPointIntoTheSupplierAndTheParent) {
  ASSERT_EQ(settings().getFloat("Visualizer.UMLModel.ArrowSize"), 25.0f);
  enum class Kind { Dependency, Generalization, Realization, ShapeDependency };
  struct Case {
    const char* what;
    Kind kind;
    bool column;  // source below target, else source left of target
    bool dependencies = true;  // the View menu's switch
  } cases[] = {{"dependency in a row", Kind::Dependency, false},
               {"dependency in a column", Kind::Dependency, true},
               {"generalization in a row", Kind::Generalization, false},
               {"generalization in a column", Kind::Generalization, true},
               {"realization shape in a row", Kind::Realization, false},
               {"realization shape in a column", Kind::Realization, true},
               {"dependency shape in a column", Kind::ShapeDependency, true},
               {"realization shape switched off", Kind::Realization, false, false},
               {"dependency shape switched off", Kind::ShapeDependency, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    test::BoolSetting dependencies("Visualizer.General.Dependencies", c.dependencies);
    DiagramScene local;
    // along: from the source towards the target; across: the other axis.
    auto at = [&](float along, float across) { return c.column ? Vec2(across, along) : Vec2(along, across); };
    const Vec2 half = c.column ? Vec2(20, 20) : Vec2(20, 15);
    local.addClass("source", "", at(-70, 0) - half, at(-70, 0) + half);
    local.addClass("target", "", at(70, 0) - half, at(70, 0) + half);
    switch (c.kind) {
      case Kind::Dependency: local.addDependency("d", "source", "target"); break;
      case Kind::Generalization: local.addInheritance("g", "target", "source"); break;
      case Kind::Realization: local.addRelationShape("r", "source", "target", Dependency::Kind::Realization); break;
      case Kind::ShapeDependency: local.addRelationShape("r", "source", "target", Dependency::Kind::Usage); break;
    }
    painter.drawDiagram(local.diagram());

    auto dark = [](const Rgb& p) { return p[0] + p[1] + p[2] < 450; };
    const float border = 50.0f;  // the target's near border
    const Vec2 between = at(-border + 4.0f, 0.0f);  // on the line's first dash
    if (!c.dependencies) {
      EXPECT_FALSE(dark(darkestNear(between.x, between.y, 2))) << "no line";
      const Vec2 head = at(border - 12.0f, 3.3f);
      EXPECT_FALSE(dark(darkestNear(head.x, head.y, 2))) << "no head";
      continue;
    }
    EXPECT_TRUE(dark(darkestNear(between.x, between.y, 1))) << "line";
    if (c.kind == Kind::Realization || c.kind == Kind::ShapeDependency) {
      const Vec2 gap = at(-border + 10.5f, 0.0f);  // dashes of 8 units, gaps of 5
      EXPECT_FALSE(dark(darkestNear(gap.x, gap.y, 0))) << "dashed";
    }
    for (float side : {-1.0f, 1.0f}) {
      SCOPED_TRACE(side);
      const Vec2 barb = at(border - 12.0f, 3.3f * side);
      EXPECT_TRUE(dark(darkestNear(barb.x, barb.y, 1))) << "barb back from the border";
      const Vec2 mirrored = at(border + 12.0f, 3.3f * side);
      EXPECT_FALSE(dark(darkestNear(mirrored.x, mirrored.y, 1))) << "nothing pointing into the box";
      const Vec2 wide = at(border - 12.0f, 9.0f * side);
      EXPECT_FALSE(dark(darkestNear(wide.x, wide.y, 1))) << "no barb at a wider angle";
    }
    const Vec2 base = at(border - 24.1f, 4.0f);
    if (c.kind == Kind::Generalization || c.kind == Kind::Realization) {
      // The base of the triangle crosses the line 24 units back; inside the
      // triangle the head stays hollow.
      EXPECT_TRUE(dark(darkestNear(base.x, base.y, 1))) << "base";
      const Vec2 inside = at(border - 16.0f, 0.0f);
      EXPECT_FALSE(dark(pixelAt(inside.x, inside.y))) << "hollow head";
    } else {
      // No triangle: nothing joins the barbs' ends.
      EXPECT_FALSE(dark(darkestNear(base.x, base.y, 0))) << "open head";
    }
  }
}

class GlyphGridTest : public DiagramPixelTest {
 protected:
  // Five 2D bars at their maximum on one class, in five colours.
  void SetUp() override {
    DiagramPixelTest::SetUp();
    scene.addClass("c1", "", lo, hi);
    for (int k = 0; k < 5; ++k) {
      metrics.add(test::makeBarMetric("m" + std::to_string(k), colours[k], {{"c1", 10 + k}, {"other", 0}}));
      metrics.showMetric("m" + std::to_string(k));
    }
  }

  Vec2 cellCentre(int k) const {
    GlyphLayoutParams params;
    const GlyphRect r = glyphCell(k, 5, lo, hi, params);
    return (r.corner1 + r.corner2) * 0.5f;
  }

  Vec2 lo{-80, -60}, hi{80, 60};
  Color colours[5] = {Color(0xFFFF0000u), Color(0xFF00FF00u), Color(0xFF0000FFu), Color(0xFF00FFFFu),
                      Color(0xFFFF00FFu)};
};

TEST_F(GlyphGridTest, FiveMetricsFillTwoRowsOfThreeCellsFromTheTopLeft) {
  draw();
  for (int k = 0; k < 5; ++k) {
    SCOPED_TRACE("metric " + std::to_string(k));
    const Vec2 c = cellCentre(k);
    EXPECT_RGB_NEAR(pixelAt(c.x, c.y), test::rgbOf(colours[k]), 3);
  }
  // The first three lie in the upper row, left to right.
  EXPECT_GT(cellCentre(0).y, cellCentre(3).y);
  EXPECT_LT(cellCentre(0).x, cellCentre(1).x);
  EXPECT_LT(cellCentre(1).x, cellCentre(2).x);
  // The sixth cell (lower right) stays empty: the box shows.
  const GlyphRect empty = glyphCell(5, 6, lo, hi, GlyphLayoutParams{});
  const Vec2 e = (empty.corner1 + empty.corner2) * 0.5f;
  EXPECT_RGB_NEAR(pixelAt(e.x, e.y), test::rgbOf(test::kLightYellow), 3);
}

TEST_F(GlyphGridTest, WithoutTheDiagramOnlyGlyphsAreDrawn) {
  painter.setDrawDiagram(false);
  draw();
  EXPECT_RGB_NEAR(pixelAt(cellCentre(0).x, cellCentre(0).y), test::rgbOf(colours[0]), 3);
  const GlyphRect empty = glyphCell(5, 6, lo, hi, GlyphLayoutParams{});
  const Vec2 e = (empty.corner1 + empty.corner2) * 0.5f;
  EXPECT_RGB_NEAR(pixelAt(e.x, e.y), kWhite, 1);
}

TEST_F(GlyphGridTest, MetricOutsideItsDisplayBoundsDrawsNothing) {
  auto* hidden = dynamic_cast<IntegerMetric*>(metrics.findMetric("m1"));
  ASSERT_NE(hidden, nullptr);
  hidden->setUpperBound(5);  // the class's value is 11
  draw();
  EXPECT_RGB_NEAR(pixelAt(cellCentre(1).x, cellCentre(1).y), test::rgbOf(test::kLightYellow), 3);
  EXPECT_RGB_NEAR(pixelAt(cellCentre(0).x, cellCentre(0).y), test::rgbOf(colours[0]), 3);
}

TEST_F(GlyphGridTest, GlyphsFollowTheMetricsAlpha) {
  painter.setMetricsAlpha(0.25f);  // glyph alpha 1 * 0.25 * 2 = 0.5
  draw();
  const Vec2 c = cellCentre(2);
  EXPECT_RGB_NEAR(pixelAt(c.x, c.y), test::over(Color(0.0f, 0.0f, 1.0f, 0.5f), test::kLightYellow), 4);
}

// A selected metric's glyph (clicked on the canvas) is outlined in the
// opaque selection colour; the others keep their plain outline.
TEST_F(GlyphGridTest, SelectedMetricsGlyphIsOutlinedInTheSelectionColour) {
  selection.toggleMetric(metrics.findMetric("m1"));
  draw();
  Color select = settings().getColor("Visualizer.General.SelectColor");
  select.a = 1.0f;
  for (int k : {0, 1, 2}) {
    SCOPED_TRACE(k);
    const GlyphRect r = glyphCell(k, 5, lo, hi, GlyphLayoutParams{});
    const Vec2 c = cellCentre(k);
    const Rgb edge = pixelAt(r.corner1.x, c.y);
    if (k == 1) EXPECT_RGB_NEAR(edge, test::rgbOf(select), 4);
    else EXPECT_GT(std::abs(edge[2] - test::rgbOf(select)[2]) + std::abs(edge[1] - test::rgbOf(select)[1]), 60);
    EXPECT_RGB_NEAR(pixelAt(c.x, c.y), test::rgbOf(colours[k]), 3);  // the glyph itself unchanged
  }
}

TEST_F(GlyphGridTest, GlobalAlphaIsRestoredAfterThePass) {
  painter.setTransparency(0.3f);
  GLPainter::setGlobalAlpha(0.8f);
  draw();
  EXPECT_FLOAT_EQ(GLPainter::globalAlpha(), 0.8f);
  GLPainter::setGlobalAlpha(1.0f);
}

}  // namespace
}  // namespace lumetra
