// The inner painter's discs for areas whose elements carry odd but loadable
// geometry: coordinates that are not numbers or infinite, inverted boxes,
// enormous spreads. The discs must stay finite, few enough to draw, and
// centred among the elements that can be placed.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "areas/Area.h"
#include "areas/AreaVisualizerInner.h"
#include "tests/areas/AreaScene.h"

namespace lumetra {
namespace {

using test::AreaScene;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

bool allFinite(const std::vector<AreaDisc>& discs) {
  for (const AreaDisc& d : discs)
    if (!std::isfinite(d.x) || !std::isfinite(d.y) || !std::isfinite(d.radius)) return false;
  return true;
}

class HostileAreaGeometryTest : public ::testing::Test {
 protected:
  IdentifiedArea area{"A"};
  AreaScene scene;
  InnerAreaGeometry geometry;
  void SetUp() override { geometry.setArea(&area); }
};

// One element whose box cannot be placed must not poison the centroid (and
// with it every trail) nor make a hundred thousand discs of its own.
TEST_F(HostileAreaGeometryTest, UnplaceableElementsAreLeftOut) {
  struct Case {
    const char* name;
    Vec2 lo, hi;
  };
  const Case cases[] = {
      {"not a number", {kNaN, 0.0f}, {10.0f, 10.0f}},
      {"infinite corner", {0.0f, 0.0f}, {kInf, 10.0f}},
      {"infinite position", {-kInf, -kInf}, {-kInf, -kInf}},
  };
  AreaScene reference;
  IdentifiedArea sane("sane");
  sane.addElement(reference.addClass("a", {0, 0}, {39, 29}));
  sane.addElement(reference.addClass("b", {200, 0}, {239, 29}));
  InnerAreaGeometry saneGeometry;
  saneGeometry.setArea(&sane);
  std::vector<AreaDisc> expected;
  saneGeometry.buildDiscs(expected);

  for (const Case& c : cases) {
    AreaScene local;
    IdentifiedArea mixed("mixed");
    mixed.addElement(local.addClass("a", {0, 0}, {39, 29}));
    mixed.addElement(local.addClass("odd", c.lo, c.hi));
    mixed.addElement(local.addClass("b", {200, 0}, {239, 29}));
    InnerAreaGeometry g;
    g.setArea(&mixed);
    Vec2 centroid;
    ASSERT_TRUE(g.computeCentre(centroid)) << c.name;
    EXPECT_TRUE(std::isfinite(centroid.x) && std::isfinite(centroid.y)) << c.name;
    std::vector<AreaDisc> discs, contour;
    g.buildDiscs(discs);
    g.buildContourDiscs(contour);
    EXPECT_TRUE(allFinite(discs)) << c.name;
    EXPECT_TRUE(allFinite(contour)) << c.name;
    EXPECT_EQ(discs.size(), expected.size()) << c.name << ": the same discs as without the odd element";
    EXPECT_EQ(g.getCentreRadius(), saneGeometry.getCentreRadius()) << c.name;
  }

  // An area of nothing but such elements draws nothing.
  area.addElement(scene.addClass("nan", {kNaN, kNaN}, {kNaN, kNaN}));
  Vec2 centroid;
  EXPECT_FALSE(geometry.computeCentre(centroid));
  std::vector<AreaDisc> discs;
  geometry.buildDiscs(discs);
  EXPECT_TRUE(discs.empty());
}

TEST(HostileTrailTest, NonFiniteEndsMakeNoTrail) {
  struct Case {
    const char* name;
    float x0, xc;
  };
  const Case cases[] = {{"start not a number", kNaN, 10.0f},
                        {"centre not a number", 0.0f, kNaN},
                        {"centre infinite", 0.0f, kInf}};
  for (const Case& c : cases) {
    std::vector<AreaDisc> discs;
    InnerAreaGeometry::appendTrail(discs, c.x0, 0.0f, 5.0f, c.xc, 0.0f, 5.0f, 15.0f);
    EXPECT_LE(discs.size(), 4u) << c.name;
  }
}

// An inverted box (upper corner below or left of the lower one) has a
// negative extent; as a negative weight it would throw the centroid far
// outside the elements.
TEST_F(HostileAreaGeometryTest, InvertedBoxesWeighByTheirArea) {
  area.addElement(scene.addClass("a", {0, 0}, {9, 9}));      // 10 x 10 at (4.5, 4.5)
  area.addElement(scene.addClass("b", {120, 0}, {100, 9}));  // -19 x 10 at (110, 4.5)
  Vec2 centroid;
  ASSERT_TRUE(geometry.computeCentre(centroid));
  EXPECT_GE(centroid.x, 4.5f);
  EXPECT_LE(centroid.x, 110.0f);
  EXPECT_NEAR(centroid.x, (4.5f * 100.0f + 110.0f * 190.0f) / 290.0f, 1e-3f);
}

// Boxes so large that their areas overflow single precision still give a
// centroid among them.
TEST_F(HostileAreaGeometryTest, HugeBoxesKeepAFiniteCentroid) {
  area.addElement(scene.addClass("a", {-1.0e30f, -1.0e30f}, {0.0f, 0.0f}));
  area.addElement(scene.addClass("b", {0.0f, 0.0f}, {1.0e30f, 1.0e30f}));
  Vec2 centroid;
  ASSERT_TRUE(geometry.computeCentre(centroid));
  EXPECT_TRUE(std::isfinite(centroid.x) && std::isfinite(centroid.y));
  EXPECT_GE(geometry.getCentreRadius(), 0) << "a radius beyond int saturates instead of wrapping";
  std::vector<AreaDisc> discs;
  geometry.buildDiscs(discs);
  EXPECT_TRUE(allFinite(discs));
}

// Every element far from the centroid: each trail alone is capped, but the
// whole set must stay drawable too.
TEST_F(HostileAreaGeometryTest, AreaSpreadOverAbsurdDistancesStaysBounded) {
  for (int i = 0; i < 60; ++i) {
    const float x = (i % 2 == 0 ? 1.0f : -1.0f) * 1.0e9f;
    const float y = static_cast<float>(i) * 1.0e7f;
    area.addElement(scene.addClass("e" + std::to_string(i), {x, y}, {x + 40.0f, y + 30.0f}));
  }
  std::vector<AreaDisc> discs, contour;
  geometry.buildDiscs(discs);
  geometry.buildContourDiscs(contour);
  EXPECT_LE(discs.size(), InnerAreaGeometry::kMaxDiscs);
  EXPECT_LE(contour.size(), InnerAreaGeometry::kMaxDiscs);
  EXPECT_GT(discs.size(), 60u * 4u) << "every element still has its trail";
}

// Ordinary diagrams never come near the limit: their discs are as before.
TEST_F(HostileAreaGeometryTest, OrdinaryAreasKeepTheirStep) {
  area.addElement(scene.addClass("a", {0, 0}, {39, 29}));
  area.addElement(scene.addClass("b", {1500, 0}, {1539, 29}));
  std::vector<AreaDisc> discs;
  geometry.buildDiscs(discs);
  // The centroid lies halfway: 750 units at step 15 from each element.
  EXPECT_NEAR(static_cast<float>(discs.size()), 1 + 2 * (3 + 50), 2.0f);
}

}  // namespace
}  // namespace lumetra
