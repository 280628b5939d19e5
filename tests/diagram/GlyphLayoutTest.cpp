// Where the glyph of each shown metric goes inside an element box.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "diagram/GlyphLayout.h"

namespace lumetra {
namespace {

void expectRect(const GlyphRect& r, Vec2 c1, Vec2 c2, const char* what) {
  EXPECT_FLOAT_EQ(r.corner1.x, c1.x) << what;
  EXPECT_FLOAT_EQ(r.corner1.y, c1.y) << what;
  EXPECT_FLOAT_EQ(r.corner2.x, c2.x) << what;
  EXPECT_FLOAT_EQ(r.corner2.y, c2.y) << what;
}

GlyphLayoutParams defaults() { return GlyphLayoutParams{}; }

TEST(GlyphLayout, OneMetricFillsTheAreaLessTheSpacingOnEverySide) {
  // 100 x 100 units: spacing ceil(100 * 0.025) = 3.
  expectRect(glyphCell(0, 1, {0, 0}, {99, 99}, defaults()), {3, 3}, {96, 96}, "box at origin");
  expectRect(glyphCell(0, 1, {-50, 10}, {49, 109}, defaults()), {-47, 13}, {46, 106}, "shifted box");
}

TEST(GlyphLayout, FiveMetricsMakeTwoRowsOfThreeFilledFromTheTop) {
  // A 105-unit box: spacing 3, cells 31 wide and 48 high.
  struct Case {
    int index;
    Vec2 c1, c2;
  } cases[] = {
      {0, {3, 54}, {33, 101}},   // upper row, left
      {1, {37, 54}, {67, 101}},  // upper row, middle
      {2, {71, 54}, {101, 101}}, // upper row, right
      {3, {3, 3}, {33, 50}},     // lower row, left
      {4, {37, 3}, {67, 50}},    // lower row, middle; the right cell stays empty
  };
  for (const Case& c : cases)
    expectRect(glyphCell(c.index, 5, {0, 0}, {104, 104}, defaults()), c.c1, c.c2, std::to_string(c.index).c_str());
}

TEST(GlyphLayout, GridShapeFollowsTheMetricCount) {
  // rows = floor(sqrt(n)), cols = ceil(n / rows): count the distinct cell corners.
  struct Case {
    int count, rows, cols;
  } cases[] = {{1, 1, 1}, {2, 1, 2}, {3, 1, 3}, {4, 2, 2}, {6, 2, 3}, {9, 3, 3}, {10, 3, 4}};
  for (const Case& c : cases) {
    std::set<float> xs, ys;
    for (int k = 0; k < c.count; ++k) {
      const GlyphRect r = glyphCell(k, c.count, {0, 0}, {299, 299}, defaults());
      xs.insert(r.corner1.x);
      ys.insert(r.corner1.y);
      EXPECT_LT(r.corner1.x, r.corner2.x);
      EXPECT_LT(r.corner1.y, r.corner2.y);
    }
    EXPECT_EQ(static_cast<int>(ys.size()), c.rows) << c.count;
    EXPECT_EQ(static_cast<int>(xs.size()), std::min(c.cols, c.count)) << c.count;
  }
}

TEST(GlyphLayout, SmallBoxesKeepAGapOfAtLeastTwoUnitsBetweenCells) {
  // 20 x 20: spacing ceil(0.5) = 1 sizes the cells, but cells are placed 2 apart.
  const GlyphRect r = glyphCell(0, 1, {0, 0}, {19, 19}, defaults());
  expectRect(r, {2, 2}, {19, 19}, "one cell");  // cell 18 wide from the 1-unit spacing
}

TEST(GlyphLayout, GlyphAreaMovesAndScalesTheGrid) {
  GlyphLayoutParams p;
  p.areaSize = 0.5f;               // half the box
  p.areaCentre = {1.0f, -1.0f};    // centred on the right edge, lower edge
  // Box 0..200 x 0..200: centre 100, half-size 100 -> area x 150..250, y -50..50.
  const GlyphRect moved = glyphCell(0, 1, {0, 0}, {200, 200}, p);
  // Area 101 x 101 units: spacing ceil(2.525) = 3.
  expectRect(moved, {153, -47}, {247, 47}, "moved area");

  p.useGlyphArea = false;  // the layout preview: the whole box
  const GlyphRect whole = glyphCell(0, 1, {0, 0}, {200, 200}, p);
  expectRect(whole, {6, 6}, {194, 194}, "whole box");  // 201 units: spacing ceil(5.025) = 6
}

}  // namespace
}  // namespace lumetra
