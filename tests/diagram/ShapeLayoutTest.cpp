// The compartments of class and interface boxes and the geometry of
// relation ends, without GL.

#include <gtest/gtest.h>

#include <cmath>

#include "diagram/Compartments.h"
#include "diagram/RelationGeometry.h"

namespace lumetra {
namespace {

constexpr float kSp = 3.0f;  // text spacing
constexpr float kL = 10.0f;  // line height: one line takes 13 units

std::vector<std::string> texts(const std::vector<TextLine>& lines) {
  std::vector<std::string> out;
  for (const TextLine& l : lines) out.push_back(l.text);
  return out;
}
std::vector<float> heights(const std::vector<TextLine>& lines) {
  std::vector<float> out;
  for (const TextLine& l : lines) out.push_back(l.y);
  return out;
}
using Lines = std::vector<std::string>;
using Heights = std::vector<float>;

TEST(ClassCompartments, EverythingFits) {
  const CompartmentLayout c = layoutClassCompartments(100, 0, kSp, kL, {"a1", "a2"}, {"m1", "m2"}, true, true);
  EXPECT_EQ(texts(c.attributes), (Lines{"a1", "a2"}));
  EXPECT_EQ(heights(c.attributes), (Heights{97, 84}));  // hanging below these heights
  EXPECT_TRUE(c.separator);
  EXPECT_FLOAT_EQ(c.separatorY, 71);
  EXPECT_EQ(texts(c.methods), (Lines{"m1", "m2"}));
  EXPECT_EQ(heights(c.methods), (Heights{58, 45}));  // base lines
}

TEST(ClassCompartments, MethodsThatDoNotFitEndInDotsAndAttributesAreSkipped) {
  // Five method lines need 65 units below 50: the attributes give way, the
  // methods are cut to three, the last being "...".
  const CompartmentLayout c =
      layoutClassCompartments(50, 0, kSp, kL, {"a1"}, {"m1", "m2", "m3", "m4", "m5"}, true, true);
  EXPECT_TRUE(c.attributes.empty());
  EXPECT_EQ(texts(c.methods), (Lines{"m1", "m2", "..."}));
  EXPECT_EQ(heights(c.methods), (Heights{34, 21, 8}));
  EXPECT_FALSE(c.separator);  // tested against all five lines
}

TEST(ClassCompartments, LongAttributeListIsCutWhenNoMethodsFollow) {
  const CompartmentLayout c = layoutClassCompartments(40, 0, kSp, kL, {"a1", "a2", "a3", "a4", "a5"}, {}, true, true);
  EXPECT_EQ(texts(c.attributes), (Lines{"a1", "a2", "..."}));
  EXPECT_EQ(heights(c.attributes), (Heights{37, 24, 11}));
  EXPECT_FALSE(c.separator);  // y ends at -2, below the box
  EXPECT_TRUE(c.methods.empty());
}

TEST(ClassCompartments, SwitchedOffCompartmentsDrawNothingButKeepTheSeparator) {
  const CompartmentLayout noAttributes = layoutClassCompartments(100, 0, kSp, kL, {"a1"}, {"m1"}, false, true);
  EXPECT_TRUE(noAttributes.attributes.empty());
  EXPECT_FLOAT_EQ(noAttributes.separatorY, 97);  // methods move up into the room
  EXPECT_EQ(heights(noAttributes.methods), (Heights{84}));

  const CompartmentLayout noMethods = layoutClassCompartments(100, 0, kSp, kL, {"a1"}, {"m1"}, true, false);
  EXPECT_EQ(texts(noMethods.attributes), (Lines{"a1"}));
  EXPECT_TRUE(noMethods.separator);
  EXPECT_TRUE(noMethods.methods.empty());
}

TEST(ClassCompartments, NoRoomAtAllDrawsNoFeatureLines) {
  const CompartmentLayout c = layoutClassCompartments(10, 0, kSp, kL, {"a1"}, {"m1", "m2", "m3"}, true, true);
  EXPECT_TRUE(c.attributes.empty());
  EXPECT_TRUE(c.methods.empty());
  EXPECT_FALSE(c.separator);
}

TEST(InterfaceCompartments, MethodsBelowAnEmptyAttributeCompartment) {
  const CompartmentLayout c = layoutInterfaceCompartments(60, 0, kSp, kL, {"m1", "m2"}, true);
  EXPECT_TRUE(c.attributes.empty());
  EXPECT_TRUE(c.separator);
  EXPECT_FLOAT_EQ(c.separatorY, 57);
  EXPECT_EQ(heights(c.methods), (Heights{44, 31}));
}

TEST(ShortenToFit, NeverFewerThanOneLine) {
  struct Case {
    const char* name;
    float y;
    Lines in, out;
  } cases[] = {
      {"fits", 100, {"a", "b", "c"}, {"a", "b", "c"}},
      {"exactly fits", 39, {"a", "b", "c"}, {"a", "b", "c"}},
      {"one short", 38, {"a", "b", "c"}, {"a", "..."}},
      {"room for one", 13, {"a", "b", "c"}, {"..."}},
      {"no room", 0, {"a", "b", "c"}, {"..."}},
      {"single line stays", 0, {"a"}, {"a"}},
      {"empty stays empty", 0, {}, {}},
  };
  for (Case& c : cases) {
    shortenToFit(c.in, c.y, kSp + kL, 0);
    EXPECT_EQ(c.in, c.out) << c.name;
  }
}

constexpr float kPi = 3.14159265358979f;

TEST(RelationGeometry, TextAnglesNeverReadUpsideDown) {
  struct Case {
    float in, out;
  } cases[] = {{0, 0},           {kPi / 2, kPi / 2},     {-kPi / 2, -kPi / 2}, {kPi, 0},
               {-kPi, 0},        {3 * kPi / 4, -kPi / 4}, {-3 * kPi / 4, kPi / 4}, {0.3f, 0.3f}};
  for (const Case& c : cases) {
    EXPECT_NEAR(uprightAngle(c.in), c.out, 1e-5f) << c.in;
    EXPECT_LE(std::fabs(uprightAngle(c.in)), kPi / 2 + 1e-5f);
  }
}

TEST(RelationGeometry, DiamondRunsTwoSizesIntoTheLineAndIsSymmetric) {
  const float size = 25.0f, angle = 0.27f;
  for (Vec2 d : {Vec2(1, 0), Vec2(0, -1), Vec2(0.6f, 0.8f)}) {
    const Vec2 p(10, 20);
    const auto c = diamondAt(p, d, size, angle);
    EXPECT_EQ(c[0], p);
    EXPECT_EQ(c[4], p);
    EXPECT_NEAR((c[2] - p).length(), 2 * size, 1e-3f);
    EXPECT_NEAR((c[2] - p).normalized().x, d.x, 1e-5f);  // the inner tip lies along the line
    EXPECT_NEAR((c[1] - p).length(), size, 1e-3f);
    EXPECT_NEAR((c[3] - p).length(), size, 1e-3f);
    const Vec2 mid = (c[1] + c[3]) * 0.5f;  // side corners mirror each other about the line
    EXPECT_NEAR((mid - p).length(), size * std::cos(angle), 1e-3f);
    EXPECT_NEAR((c[1] - c[3]).length(), 2 * size * std::sin(angle), 1e-3f);
  }
}

TEST(RelationGeometry, ArrowBarbsPointBackAlongTheLine) {
  const Vec2 p(0, 0), d(0, 1);
  const auto barbs = arrowBarbs(p, d, 25.0f, 0.27f);
  for (Vec2 b : barbs) {
    EXPECT_NEAR(b.length(), 25.0f, 1e-3f);
    EXPECT_GT(b.y, 0.0f);  // into the line, away from the box
  }
  EXPECT_NEAR(barbs[0].x, -barbs[1].x, 1e-4f);
}

TEST(RelationGeometry, BandHasTheHalfWidthOnBothSides) {
  const auto band = bandAround({0, 0}, {100, 0}, 12.0f);
  EXPECT_EQ(band[0], Vec2(100, 12));
  EXPECT_EQ(band[1], Vec2(0, 12));
  EXPECT_EQ(band[2], Vec2(0, -12));
  EXPECT_EQ(band[3], Vec2(100, -12));
}

}  // namespace
}  // namespace lumetra
