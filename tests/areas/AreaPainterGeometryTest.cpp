// The parts of the area painters that need no GL: the softness curve, the
// disc and eraser textures, and the discs the inner painter builds.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include "areas/Area.h"
#include "areas/AreaElementsEraser.h"
#include "areas/AreaPass.h"
#include "areas/AreaPainterRegistry.h"
#include "areas/AreaVisualizerInner.h"
#include "tests/areas/AreaScene.h"

namespace lumetra {
namespace {

using test::AreaScene;

int texel(const std::vector<std::uint8_t>& texels, int row, int column) {
  return texels[static_cast<std::size_t>(row) * 256 + column];
}

TEST(SoftnessTest, Exponent) {
  struct Case {
    int softness;
    float exponent;
  };
  const Case cases[] = {{1, 0.02f}, {25, 0.5f}, {50, 1.0f}, {51, 1.06f}, {75, 2.5f}, {100, 4.0f}};
  for (const Case& c : cases)
    EXPECT_NEAR(AreaVisualizer::softnessExponent(c.softness), c.exponent, 1e-5f) << c.softness;
}

TEST(SoftnessTest, DiscTexture) {
  struct Case {
    const char* name;
    int softness;
    int halfway;  // texel 64 units from the centre
  };
  const Case cases[] = {
      {"50 is a linear cone", 50, 127},
      {"100 has exponent 4", 100, 15},
      {"1 is nearly a flat disc", 1, 251},
  };
  for (const Case& c : cases) {
    const auto texels = makeDiscTexels(c.softness);
    ASSERT_EQ(texels.size(), 256u * 256u);
    EXPECT_EQ(texel(texels, 128, 128), 255) << c.name;
    EXPECT_EQ(texel(texels, 128, 192), c.halfway) << c.name;
    EXPECT_EQ(texel(texels, 64, 128), c.halfway) << c.name << " (symmetric)";
    EXPECT_EQ(texel(texels, 0, 128), 0) << c.name << ": distance 128";
    EXPECT_EQ(texel(texels, 0, 0), 0) << c.name << ": beyond 128";
    EXPECT_EQ(texel(texels, 255, 255), 0) << c.name;
  }
  const auto linear = makeDiscTexels(50);
  EXPECT_EQ(texel(linear, 128, 160), 191) << "255 x (1 - 32/128)";
  // Softness outside the slider's range still gives bytes in range.
  const auto odd = makeDiscTexels(-10);
  EXPECT_EQ(texel(odd, 0, 0), 255);
}

TEST(SoftnessTest, EraserHalo) {
  const auto ramp = makeEraserRampTexels();
  for (int row : {0, 1, 115, 229, 230, 255}) {
    EXPECT_EQ(texel(ramp, row, 0), row);
    EXPECT_EQ(texel(ramp, row, 200), row) << "constant along a row";
  }
  struct Case {
    int softness;
    int row115;
  };
  for (const Case& c : {Case{50, 127}, Case{100, 15}, Case{1, 251}}) {
    const auto soft = makeEraserSoftTexels(c.softness);
    EXPECT_EQ(texel(soft, 0, 7), 0) << c.softness;
    EXPECT_EQ(texel(soft, 115, 7), c.row115) << c.softness;
    EXPECT_EQ(texel(soft, 229, 7) < 255, true) << c.softness;
    EXPECT_EQ(texel(soft, 230, 7), 255) << c.softness << ": the inner tenth is opaque";
    EXPECT_EQ(texel(soft, 255, 7), 255) << c.softness;
  }
  AreaElementsEraser eraser;
  EXPECT_EQ(eraser.getTexture().texels(), ramp) << "the construction ramp until softness is set";
  eraser.setSoftness(100);
  EXPECT_EQ(eraser.getTexture().texels(), makeEraserSoftTexels(100));
}

TEST(AreaPainterFactoryTest, ByDisplayName) {
  auto inner = createAreaVisualizer("Inner", "Contour", "Line", 70);
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->getName(), "Inner");
  EXPECT_EQ(inner->getDrawingMode(), "Contour");
  EXPECT_EQ(inner->getMethod(), "Line");
  EXPECT_EQ(inner->getSoftness(), 70);
  EXPECT_NE(inner->getGrid(), nullptr);
  EXPECT_EQ(createAreaVisualizer("Nowhere", "Area", "Polygons", 50), nullptr);
  const auto names = areaVisualizerNames();
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names.front(), "Inner");
  for (const auto& name : names) EXPECT_EQ(createAreaVisualizer(name, "Area", "Polygons", 50)->getName(), name);

  AreaVisualizerInner painter;
  EXPECT_EQ(painter.getTexture().texels(), makeDiscTexels(50));
  painter.setSoftness(100);
  EXPECT_EQ(painter.getSoftness(), 100);
  EXPECT_EQ(painter.getTexture().texels(), makeDiscTexels(100)) << "softness rebuilds the texture";
}

// ---- inner painter geometry ----

float halfDiagonal(float w, float h) { return std::sqrt(w * w / 4 + h * h / 4); }

TEST(InnerTrailTest, DiscsAlongTheLine) {
  struct Case {
    const char* name;
    float x0, y0, r0, xc, yc, rc;
  };
  const Case cases[] = {
      {"shrinking along x", 0, 0, 20, 60, 0, 5},
      {"growing along a diagonal", 10, 10, 4, 100, 130, 40},
      {"equal radii", -50, 0, 8, 50, 0, 8},
  };
  for (const Case& c : cases) {
    std::vector<AreaDisc> discs;
    InnerAreaGeometry::appendTrail(discs, c.x0, c.y0, c.r0, c.xc, c.yc, c.rc, 15.0f);
    const float length = std::hypot(c.xc - c.x0, c.yc - c.y0);
    ASSERT_GE(discs.size(), 4u) << c.name;
    for (int i = 0; i < 4; ++i) {
      EXPECT_FLOAT_EQ(discs[i].x, c.x0) << c.name << " disc " << i;
      EXPECT_FLOAT_EQ(discs[i].y, c.y0) << c.name;
      EXPECT_FLOAT_EQ(discs[i].radius, c.r0) << c.name;
    }
    const std::size_t along = discs.size() - 3;
    EXPECT_NEAR(static_cast<float>(along), std::ceil(length / 15.0f), 1.0f) << c.name << ": one disc every 15 units";
    const float dr = (c.rc - c.r0) / (length / 15.0f);
    for (std::size_t i = 4; i < discs.size(); ++i) {
      EXPECT_NEAR(std::hypot(discs[i].x - discs[i - 1].x, discs[i].y - discs[i - 1].y), 15.0f, 0.01f) << c.name;
      EXPECT_NEAR(discs[i].radius - discs[i - 1].radius, dr, 0.3f) << c.name << ": linear radius";
    }
    const AreaDisc& last = discs.back();
    EXPECT_LT(std::hypot(last.x - c.x0, last.y - c.y0), length + 1e-3f) << c.name << ": never past the centre";
    EXPECT_NEAR(last.radius, c.rc, std::fabs(dr) + 0.5f) << c.name << ": ends near the centre radius";
  }
}

TEST(InnerTrailTest, ShortTrailsAreFourDiscsAtTheElement) {
  for (float length : {0.0f, 1.0f, 14.9f}) {
    std::vector<AreaDisc> discs;
    InnerAreaGeometry::appendTrail(discs, 5, 5, 12, 5 + length, 5, 30, 15.0f);
    ASSERT_EQ(discs.size(), 4u) << length;
    for (const AreaDisc& d : discs) {
      EXPECT_FLOAT_EQ(d.x, 5.0f);
      EXPECT_FLOAT_EQ(d.radius, 12.0f);
    }
  }
}

TEST(InnerTrailTest, AbsurdLengthsStayBounded) {
  std::vector<AreaDisc> discs;
  InnerAreaGeometry::appendTrail(discs, 0, 0, 5, 1.0e12f, 0, 5, 15.0f);
  EXPECT_LE(discs.size(), 100010u);
  EXPECT_GT(discs.size(), 1000u);
}

class InnerGeometryTest : public ::testing::Test {
 protected:
  IdentifiedArea area{"A"};
  AreaScene scene;
  InnerAreaGeometry geometry;
  void SetUp() override { geometry.setArea(&area); }
};

TEST_F(InnerGeometryTest, SingleElement) {
  // Size 40 x 30 (the extent counts both borders): half-diagonal 25.
  area.addElement(scene.addClass("a", {0, 0}, {39, 29}));
  Vec2 centroid;
  ASSERT_TRUE(geometry.computeCentre(centroid));
  EXPECT_FLOAT_EQ(centroid.x, 19.5f);
  EXPECT_FLOAT_EQ(centroid.y, 14.5f);
  EXPECT_EQ(geometry.getCentreRadius(), 25);

  std::vector<AreaDisc> discs;
  geometry.buildDiscs(discs);
  ASSERT_EQ(discs.size(), 5u) << "the centre disc and four discs at the element";
  EXPECT_FLOAT_EQ(discs[0].radius, 25.0f);
  for (const AreaDisc& d : discs) {
    EXPECT_FLOAT_EQ(d.x, 19.5f);
    EXPECT_FLOAT_EQ(d.y, 14.5f);
  }

  geometry.setRadiusScale(2.0f);
  geometry.buildDiscs(discs);
  EXPECT_EQ(geometry.getCentreRadius(), 50) << "radius 2 doubles the centre disc";
  EXPECT_FLOAT_EQ(discs[0].radius, 50.0f);
  EXPECT_FLOAT_EQ(discs[1].radius, 25.0f) << "element discs keep the half-diagonal";
}

TEST_F(InnerGeometryTest, CentroidWeightedByBoxArea) {
  // 10 x 10 at (0, 0) and 30 x 10 at (80, 0): weights 100 and 300.
  area.addElement(scene.addClass("small", {-4.5f, -4.5f}, {4.5f, 4.5f}));
  area.addElement(scene.addClass("wide", {65.5f, -4.5f}, {94.5f, 4.5f}));
  Vec2 centroid;
  ASSERT_TRUE(geometry.computeCentre(centroid));
  EXPECT_NEAR(centroid.x, 60.0f, 1e-4f);
  EXPECT_NEAR(centroid.y, 0.0f, 1e-4f);
  const float mean = (halfDiagonal(10, 10) + halfDiagonal(30, 10)) / 2;
  EXPECT_EQ(geometry.getCentreRadius(), static_cast<int>(mean));

  std::vector<AreaDisc> discs;
  geometry.buildDiscs(discs);
  EXPECT_FLOAT_EQ(discs[0].x, centroid.x);
  EXPECT_FLOAT_EQ(discs[1].x, 0.0f) << "then the first element's trail";
  EXPECT_FLOAT_EQ(discs[1].radius, halfDiagonal(10, 10));
  // 60 units at step 15 from the small box, 20 from the wide one.
  EXPECT_NEAR(static_cast<float>(discs.size()), 1 + (3 + 4) + (3 + 2), 1.0f);
}

TEST_F(InnerGeometryTest, ZeroAreaBoxesUseThePlainMean) {
  // Upper corner one unit left of the lower one: width 0.
  area.addElement(scene.addClass("a", {10, 0}, {9, 5}));
  area.addElement(scene.addClass("b", {30, 10}, {29, 20}));
  Vec2 centroid;
  ASSERT_TRUE(geometry.computeCentre(centroid));
  EXPECT_FLOAT_EQ(centroid.x, 19.5f);
  EXPECT_FLOAT_EQ(centroid.y, 8.75f);
  EXPECT_TRUE(std::isfinite(centroid.x) && std::isfinite(centroid.y));
}

TEST_F(InnerGeometryTest, ElementsWithoutLayoutAreSkipped) {
  DiagramElement bare("bare");
  area.addElement(&bare);
  Vec2 centroid;
  EXPECT_FALSE(geometry.computeCentre(centroid));
  std::vector<AreaDisc> discs;
  geometry.buildDiscs(discs);
  EXPECT_TRUE(discs.empty());
  area.addElement(scene.addClass("a", {0, 0}, {39, 29}));
  geometry.buildDiscs(discs);
  EXPECT_EQ(discs.size(), 5u);
}

TEST_F(InnerGeometryTest, ContourAndThinDiscs) {
  area.addElement(scene.addClass("big", {0, 0}, {99, 59}));     // half-diagonal ~58.3
  area.addElement(scene.addClass("tiny", {300, 0}, {309, 9}));  // half-diagonal ~7.1
  std::vector<AreaDisc> normal, contour, thin;
  geometry.buildDiscs(normal);
  geometry.buildContourDiscs(contour);
  geometry.buildThinDiscs(thin);

  EXPECT_GT(contour.size(), 3 * normal.size()) << "contour discs are five times denser";
  EXPECT_FLOAT_EQ(contour[0].radius, normal[0].radius - 20.0f);
  EXPECT_FLOAT_EQ(contour[1].radius, normal[1].radius - 20.0f);
  for (const AreaDisc& d : contour) EXPECT_GE(d.radius, 0.0f) << "radii are clamped, never inverted";
  for (const AreaDisc& d : thin) EXPECT_FLOAT_EQ(d.radius, 3.0f);
  EXPECT_FLOAT_EQ(thin[0].x, normal[0].x);
}

TEST(InnerPainterTest, EmptyAreaDrawsNothing) {
  // No element means no GL call at all, so this runs without a context.
  AreaVisualizerInner painter;
  IdentifiedArea empty("empty");
  painter.draw(&empty);
  EXPECT_TRUE(painter.getDiscs().empty());
  EXPECT_EQ(painter.getArea(), &empty);
  painter.draw(nullptr);
  painter.drawThin(&empty);
  EXPECT_TRUE(painter.getDiscs().empty());
}

}  // namespace
}  // namespace lumetra

namespace lumetra {
namespace {

TEST(EraserCullingTest, KeepsElementsWhoseHaloMeetsAnArea) {
  AreaScene scene;
  DiagramElement* inside = scene.addClass("inside", {0, 0}, {10, 10});
  DiagramElement* haloTouches = scene.addClass("halo", {125, 0}, {135, 10});  // 25 right of the extent
  DiagramElement* far = scene.addClass("far", {200, 200}, {210, 210});
  DiagramElement* corner = scene.addClass("corner", {125, 125}, {135, 135});  // diagonal, halo overlaps
  DiagramElement bare("bare");
  const std::vector<DiagramElement*> all = {inside, haloTouches, far, corner, &bare};

  struct Case {
    const char* name;
    std::vector<AreaExtent> extents;
    std::vector<DiagramElement*> expected;
  };
  const Case cases[] = {
      {"one extent", {{{-50, -50}, {100, 100}}}, {inside, haloTouches, corner}},
      {"no extent", {}, {}},
      {"an empty extent reaches nothing", {{{1, 1}, {-1, -1}}}, {}},
      {"two extents", {{{-50, -50}, {100, 100}}, {{190, 190}, {195, 195}}}, {inside, haloTouches, far, corner}},
      {"just out of reach", {{{-50, -50}, {94, 94}}}, {inside}},
  };
  for (const Case& c : cases) EXPECT_EQ(elementsNearAreas(all, c.extents, 30.0f), c.expected) << c.name;
}

}  // namespace
}  // namespace lumetra

namespace lumetra {
namespace {

TEST(DetailSizeTest, InnerPainterFollowsItsSmallestDiscAndSoftness) {
  AreaScene scene;
  IdentifiedArea area("A");
  area.addElement(scene.addClass("big", {0, 0}, {99, 59}));     // half-diagonal ~58.3
  area.addElement(scene.addClass("tiny", {300, 0}, {309, 9}));  // half-diagonal ~7.1
  const float tiny = halfDiagonal(10, 10);
  struct Case {
    const char* name;
    int softness;
    const char* mode;
    float expected;  // < 0: compare with the smallest contour disc
  };
  const Case cases[] = {
      {"linear cone: the smallest radius", 50, AREA_MODE_AREA, tiny},
      {"exponent 4 fades four times faster", 100, AREA_MODE_AREA, tiny / 4.0f},
      {"below 50 the rim is sharp", 49, AREA_MODE_AREA, 0.0f},
      {"nearly flat discs", 1, AREA_MODE_AREA, 0.0f},
      {"contour discs count too", 50, AREA_MODE_CONTOUR, -1.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AreaVisualizerInner painter(c.mode, AREA_METHOD_POLYGONS, c.softness);
    EXPECT_EQ(painter.detailSize(), 0.0f) << "nothing built yet";
    Vec2 lo, hi;
    ASSERT_TRUE(painter.predictExtent(&area, lo, hi));
    float expected = c.expected;
    if (expected < 0.0f) {
      expected = 1.0e9f;
      for (const AreaDisc& d : painter.getContourDiscs())
        if (d.radius > 0.0f) expected = std::fmin(expected, d.radius);
      ASSERT_LT(expected, tiny) << "the contour discs are smaller";
    }
    EXPECT_NEAR(painter.detailSize(), expected, 1e-3f);
  }
}

TEST(DetailSizeTest, EraserHaloFollowsItsSoftness) {
  AreaElementsEraser eraser;
  EXPECT_FLOAT_EQ(eraser.detailSize(), AreaElementsEraser::kHalo) << "the construction ramp is linear";
  eraser.setSoftness(100);
  EXPECT_FLOAT_EQ(eraser.detailSize(), AreaElementsEraser::kHalo / 4.0f);
  eraser.setSoftness(20);
  EXPECT_EQ(eraser.detailSize(), 0.0f) << "a steep rim";
  eraser.setSoftness(50);
  EXPECT_FLOAT_EQ(eraser.detailSize(), AreaElementsEraser::kHalo);
}

// A member listed several times weighs as often in the centroid and the
// centre radius, but draws one trail whose discs say how many listings they
// stand for; listing every member once more changes nothing but that count.
TEST_F(InnerGeometryTest, RepeatedMembersKeepTheirWeightButDrawOneTrail) {
  DiagramElement* small = scene.addClass("small", {-4.5f, -4.5f}, {4.5f, 4.5f});  // weight 100
  DiagramElement* wide = scene.addClass("wide", {165.5f, -4.5f}, {194.5f, 4.5f});  // weight 300
  struct Case {
    const char* name;
    int smallListings, wideListings;
  };
  for (const Case& c : {Case{"each once", 1, 1}, Case{"small three times", 3, 1}, Case{"wide four times", 1, 4},
                        Case{"both twice", 2, 2}}) {
    SCOPED_TRACE(c.name);
    IdentifiedArea listed("A");
    for (int i = 0; i < std::max(c.smallListings, c.wideListings); ++i) {
      if (i < c.smallListings) listed.addElement(small);
      if (i < c.wideListings) listed.addElement(wide);
    }
    InnerAreaGeometry merged;
    merged.setArea(&listed);
    Vec2 centroid;
    ASSERT_TRUE(merged.computeCentre(centroid));
    const double weightSmall = 100.0 * c.smallListings, weightWide = 300.0 * c.wideListings;
    EXPECT_NEAR(centroid.x, 180.0 * weightWide / (weightSmall + weightWide), 1e-3);
    const double meanRadius =
        (halfDiagonal(10, 10) * c.smallListings + halfDiagonal(30, 10) * c.wideListings) /
        (c.smallListings + c.wideListings);
    EXPECT_EQ(merged.getCentreRadius(), static_cast<int>(meanRadius));

    std::vector<AreaDisc> discs, everyListing;
    merged.buildDiscs(discs);
    AreaVisualizerInner::setExactTrails(true);
    merged.buildDiscs(everyListing);
    AreaVisualizerInner::setExactTrails(false);
    // The same centre disc; then one trail per member with its count.
    ASSERT_FALSE(discs.empty());
    EXPECT_EQ(discs[0].tag, 1);
    EXPECT_FLOAT_EQ(discs[0].x, everyListing[0].x);
    EXPECT_FLOAT_EQ(discs[0].radius, everyListing[0].radius);
    // The wide member's trail starts with three discs at its centre.
    std::size_t wideStart = 1;
    while (wideStart < discs.size() && discs[wideStart].x != 180.0f) ++wideStart;
    ASSERT_LT(wideStart, discs.size());
    const std::size_t smallTrail = wideStart - 1, wideTrail = discs.size() - wideStart;
    EXPECT_EQ(everyListing.size(), 1 + smallTrail * c.smallListings + wideTrail * c.wideListings)
        << "each listing drew a copy of its member's trail";
    for (const AreaDisc& d : everyListing) EXPECT_EQ(d.tag, 1) << "every listing its own trail";
    for (std::size_t i = 1; i < discs.size(); ++i)
      EXPECT_EQ(discs[i].tag, i < wideStart ? c.smallListings : c.wideListings) << "disc " << i;
    // Each merged disc stood for as many discs of separate trails.
    auto key = [](const AreaDisc& d) { return std::tuple{d.x, d.y, d.radius}; };
    std::vector<std::tuple<float, float, float>> expanded, separate;
    for (const AreaDisc& d : discs)
      for (int k = 0; k < d.tag; ++k) expanded.push_back(key(d));
    for (const AreaDisc& d : everyListing) separate.push_back(key(d));
    std::sort(expanded.begin(), expanded.end());
    std::sort(separate.begin(), separate.end());
    EXPECT_TRUE(expanded == separate);
  }
}

}  // namespace
}  // namespace lumetra
