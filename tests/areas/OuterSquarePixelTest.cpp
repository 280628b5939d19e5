// The "Outer" and "Square" painters read back from the frame buffer after
// the whole area pass: what a user sees inside the area, on its rim and
// beyond it, for every method and drawing mode.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "areas/Area.h"
#include "areas/AreaElementsEraser.h"
#include "areas/AreaPass.h"
#include "areas/AreaVisualizer.h"
#include "platform/GLExtensions.h"
#include "tests/areas/AreaScene.h"
#include "tests/support/PixelCanvas.h"

namespace lumetra {
namespace {

using test::AreaScene;
using test::Pixel;
using test::PixelCanvas;
using test::PixelCanvasTest;

// What a probe should show, for a red area at alpha 0.5 (softness 1).
enum class Look {
  White,     // untouched background
  Fill,      // the area alpha: (255, 128, 128)
  Rim,       // some red, not the fill's exact strength
  FullLine,  // the opaque line: (255, 0, 0)
};

const char* lookName(Look look) {
  switch (look) {
    case Look::White: return "white";
    case Look::Fill: return "fill";
    case Look::Rim: return "rim";
    case Look::FullLine: return "full line";
  }
  return "?";
}

bool matches(const Pixel& p, Look look) {
  const bool red = p.r >= 250 && std::abs(p.g - p.b) <= 3;
  switch (look) {
    case Look::White: return p.r >= 252 && p.g >= 252 && p.b >= 252;
    case Look::Fill: return red && std::abs(p.g - 128) <= 4;
    case Look::Rim: return red && p.g <= 235;
    case Look::FullLine: return red && p.g <= 12;
  }
  return false;
}

struct Probe {
  int x, y;
  Look look;
  const char* where;
};

struct Case {
  const char* painter;
  const char* method;
  const char* mode;
  std::vector<Probe> probes;
};

// Two boxes, (40,40)-(80,80) and (120,100)-(160,140), on a diagram of
// 200 x 200 units: step 4, band 12 (radius 3), "Line" margin and "Square"
// frame 5.66, outline = convex hull (0 iterations). (100, 90) lies between
// the boxes inside the hull; the hull's left edge is x = 40 for y 40..80.
const Case kCases[] = {
    {"Outer", "Polygons", "Area",
     {{100, 90, Look::Fill, "between the boxes"},
      {60, 60, Look::Fill, "on a member"},
      {34, 60, Look::Rim, "in the band"},
      {24, 60, Look::White, "past the band"},
      {10, 185, Look::White, "far away"}}},
    // Only the band: nothing inside.
    {"Outer", "Polygons", "Contour",
     {{100, 90, Look::White, "between the boxes"},
      {60, 60, Look::White, "on a member"},
      {34, 60, Look::Rim, "the band's middle"},
      {24, 60, Look::White, "past the band"}}},
    {"Outer", "Splatting", "Area",
     {{100, 90, Look::Fill, "between the boxes"},
      {38, 60, Look::Rim, "splat outside the outline"},
      {30, 60, Look::White, "past the splats"}}},
    {"Outer", "Splatting", "Contour",
     {{100, 90, Look::White, "between the boxes"},
      {40, 60, Look::Rim, "on the outline"},
      {30, 60, Look::White, "past the splats"}}},
    // The line runs 5.66 left of the box: x = 34.3.
    {"Outer", "Line", "Area",
     {{100, 90, Look::Fill, "between the boxes"},
      {37, 60, Look::Fill, "between line and box"},
      {34, 60, Look::FullLine, "on the line"},
      {28, 60, Look::White, "outside the line"}}},
    {"Outer", "Line", "Contour",
     {{100, 90, Look::White, "between the boxes"},
      {38, 60, Look::White, "between line and box"},
      {34, 60, Look::FullLine, "on the line"},
      {28, 60, Look::White, "outside the line"}}},
    // The box around both elements is (40,40)-(160,140), the frame 5.66.
    {"Square", "Polygons", "Area",
     {{100, 90, Look::Fill, "inside the box"},
      {150, 50, Look::Fill, "box corner no element covers"},
      {37, 90, Look::Rim, "in the frame"},
      {31, 90, Look::White, "past the frame"}}},
    {"Square", "Polygons", "Contour",
     {{100, 90, Look::White, "inside the box"},
      {37, 90, Look::Rim, "in the frame"},
      {31, 90, Look::White, "past the frame"}}},
};

class OuterSquarePixelTest : public PixelCanvasTest<200, 200> {
 protected:
  void SetUp() override {
    PixelCanvasTest::SetUp();
    if (HasFatalFailure()) return;
    scene.setDiagramBox({0, 0}, {199, 199});
    scene.addClass("a", {40, 40}, {80, 80});
    scene.addClass("b", {120, 100}, {160, 140});
    areas.setRadius(3.0f);
    areas.setIterations(0);
  }

  // A red area (stored inverted, as the reader does) with the painter asked for.
  Area* addRedArea(const Case& c) {
    auto* area = new Area("red");
    area->setColor(new Color(0.0f, 1.0f, 1.0f, 1.0f));
    area->addElement("a");
    area->addElement("b");
    EXPECT_TRUE(area->setVisualizer(c.painter));
    area->getVisualizer()->setDrawingMode(c.mode);
    area->getVisualizer()->setMethod(c.method);
    area->getVisualizer()->setSoftness(1);
    areas.addArea(area);
    return area;
  }

  AreaScene scene;
  AreaSet areas;
  AreaElementsEraser eraser;
};

TEST_F(OuterSquarePixelTest, EachMethodAndModeShowsFillRimAndBackgroundWhereTheyBelong) {
  for (const Case& c : kCases) {
    areas.clear();
    addRedArea(c);
    ASSERT_TRUE(showArea(areas, &scene.diagram, "red"));
    canvas_->clear(1.0f, 0.0f, 1.0f);
    drawAreaPass(areas, &scene.diagram, 0.5f, lookupBlendEquation(), eraser);
    const std::string name = std::string(c.painter) + " " + c.method + " " + c.mode;
    for (const Probe& p : c.probes) {
      const Pixel seen = canvas_->at(p.x, p.y);
      EXPECT_TRUE(matches(seen, p.look)) << name << ", " << p.where << " (" << p.x << ", " << p.y << "): expected "
                                         << lookName(p.look) << ", saw " << seen;
    }
  }
}

// The fill blends like the rim: drawn over a second area it adds to it
// instead of replacing it.
TEST_F(OuterSquarePixelTest, FilledOuterAndSquareAreasMixWithAreasBeneath) {
  for (const char* painter : {AREA_PAINTER_OUTER, AREA_PAINTER_SQUARE}) {
    areas.clear();
    auto* blue = new Area("blue");
    blue->setColor(new Color(1.0f, 1.0f, 0.0f, 1.0f));
    blue->addElement("a");
    blue->addElement("b");
    ASSERT_TRUE(blue->setVisualizer(AREA_PAINTER_SQUARE));
    areas.addArea(blue);
    addRedArea({painter, AREA_METHOD_POLYGONS, AREA_MODE_AREA, {}});
    ASSERT_TRUE(showArea(areas, &scene.diagram, "blue"));
    ASSERT_TRUE(showArea(areas, &scene.diagram, "red"));
    drawAreaPass(areas, &scene.diagram, 0.5f, lookupBlendEquation(), eraser);
    const Pixel both = canvas_->at(100, 90);
    EXPECT_LT(both.r, 200) << painter << ": the blue beneath still shows " << both;
    EXPECT_LT(both.b, 200) << painter << ": the red on top shows " << both;
  }
}

}  // namespace
}  // namespace lumetra
