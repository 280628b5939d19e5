// The split tree: floor/ceil layout, separator hit test and bars, drag
// fractions, splitting and removing leaves.

#include <gtest/gtest.h>

#include <array>

#include "render/SplitTree.h"

namespace lumetra {
namespace {

// Distinct window identities; the tree only stores and compares them.
std::array<char, 8> gWindowTokens;
CanvasWindow* token(int i) { return reinterpret_cast<CanvasWindow*>(&gWindowTokens[static_cast<std::size_t>(i)]); }

TEST(SplitLayoutTest, FloorFirstCeilSecond) {
  struct Case {
    const char* name;
    bool horizontal;
    float fraction;
    PixelRect rect, first, second;
  };
  const Case cases[] = {
      {"vertical odd width", false, 0.5f, {0, 0, 101, 40}, {0, 0, 50, 40}, {50, 0, 51, 40}},
      {"vertical third", false, 1.0f / 3.0f, {10, 5, 100, 40}, {10, 5, 33, 40}, {43, 5, 67, 40}},
      {"horizontal stacks first at bottom", true, 0.5f, {0, 0, 80, 61}, {0, 0, 80, 30}, {0, 30, 80, 31}},
      {"horizontal offset", true, 0.25f, {7, 20, 80, 100}, {7, 20, 80, 25}, {7, 45, 80, 75}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WindowNode node;
    node.horizontal = c.horizontal ? 1 : 0;
    node.fraction = c.fraction;
    auto [a, b] = childRects(node, c.rect);
    EXPECT_EQ(a, c.first);
    EXPECT_EQ(b, c.second);
  }
}

TEST(SplitLayoutTest, LeavesInTreeOrderWithTheirRects) {
  SplitTree tree;
  tree.root().window = token(0);
  auto [left, right] = tree.split(&tree.root(), false, 0.5f);
  right->window = token(1);
  auto [bottom, top] = tree.split(right, true, 0.5f);
  top->window = token(2);

  std::vector<std::pair<CanvasWindow*, PixelRect>> seen;
  tree.forEachLeaf({0, 0, 200, 100}, [&](WindowNode& n, const PixelRect& r) { seen.emplace_back(n.window, r); });
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].first, token(0));
  EXPECT_EQ(seen[0].second, (PixelRect{0, 0, 100, 100}));
  EXPECT_EQ(seen[1].first, token(1));
  EXPECT_EQ(seen[1].second, (PixelRect{100, 0, 100, 50}));
  EXPECT_EQ(seen[2].first, token(2));
  EXPECT_EQ(seen[2].second, (PixelRect{100, 50, 100, 50}));
  // The rectangle of one node computed from the root down agrees.
  EXPECT_EQ(tree.rectOf(top, {0, 0, 200, 100}), seen[2].second);
  EXPECT_EQ(tree.rectOf(left, {0, 0, 200, 100}), seen[0].second);
  EXPECT_EQ(tree.rectOf(&tree.root(), {0, 0, 200, 100}), (PixelRect{0, 0, 200, 100}));
}

TEST(SplitHitTest, SeparatorZoneBoundaries) {
  // Vertical split of 100 at 0.5 with s = 3: split = 50, the bar zone is
  // 50 - 3 < p <= 50 + 3.
  struct Case {
    const char* name;
    int p;
    bool onSeparator;
    int leaf;  // 0 first, 1 second, when not on the separator
  };
  const Case cases[] = {
      {"exactly split - s is outside", 47, false, 0},
      {"just inside lower bound", 48, true, 0},
      {"at split", 50, true, 0},
      {"exactly ceil + s is inside", 53, true, 0},
      {"beyond ceil + s", 54, false, 1},
      {"far left", 0, false, 0},
      {"far right", 99, false, 1},
  };
  for (bool horizontal : {false, true}) {
    SplitTree tree;
    tree.root().window = token(0);
    auto [a, b] = tree.split(&tree.root(), horizontal, 0.5f);
    b->window = token(1);
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (horizontal ? " (horizontal)" : " (vertical)"));
      const int px = horizontal ? 20 : c.p;
      const int py = horizontal ? c.p : 20;
      const SplitHit hit = tree.hitTest({0, 0, 100, 100}, px, py, 3.0f);
      if (c.onSeparator) {
        EXPECT_EQ(hit.separator, &tree.root());
        EXPECT_EQ(hit.start, 0);
        EXPECT_EQ(hit.end, 99);
        EXPECT_EQ(hit.leaf, nullptr);
      } else {
        EXPECT_EQ(hit.separator, nullptr);
        EXPECT_EQ(hit.leaf, c.leaf == 0 ? a : b);
      }
    }
  }
}

TEST(SplitHitTest, UnevenSplitUsesCeilForUpperBound) {
  // Width 101 at 0.5: floor 50, ceil 51; zone 47 < p <= 54.
  SplitTree tree;
  tree.root().window = token(0);
  auto [a, b] = tree.split(&tree.root(), false, 0.5f);
  b->window = token(1);
  EXPECT_NE(tree.hitTest({0, 0, 101, 10}, 54, 5, 3.0f).separator, nullptr);
  EXPECT_EQ(tree.hitTest({0, 0, 101, 10}, 55, 5, 3.0f).leaf, b);
}

TEST(SplitHitTest, NestedSeparatorReportsItsNodeExtent) {
  SplitTree tree;
  tree.root().window = token(0);
  auto [left, right] = tree.split(&tree.root(), false, 0.5f);
  right->window = token(1);
  auto [bottom, top] = tree.split(right, true, 0.5f);
  top->window = token(2);
  const SplitHit hit = tree.hitTest({0, 0, 200, 100}, 150, 51, 3.0f);
  EXPECT_EQ(hit.separator, right);
  EXPECT_EQ(hit.start, 0);
  EXPECT_EQ(hit.end, 99);
  EXPECT_EQ(tree.hitTest({0, 0, 200, 100}, 150, 80, 3.0f).leaf, top);
  EXPECT_EQ(tree.hitTest({0, 0, 200, 100}, 150, 20, 3.0f).leaf, bottom);
  // The left half has no horizontal separator at that height.
  EXPECT_EQ(tree.hitTest({0, 0, 200, 100}, 20, 51, 3.0f).leaf, left);
}

TEST(SplitBarsTest, BarsFollowTheFloorCeilRule) {
  SplitTree tree;
  tree.root().window = token(0);
  auto [left, right] = tree.split(&tree.root(), false, 0.5f);
  right->window = token(1);
  tree.split(right, true, 0.5f).second->window = token(2);
  const auto bars = tree.separatorBars({0, 0, 201, 100}, 3.0f);
  ASSERT_EQ(bars.size(), 2u);
  // Root: x from floor(100.5) - 3 to ceil(100.5) + 3, full height.
  EXPECT_EQ(bars[0].lowerLeft, Vec2(97, 0));
  EXPECT_EQ(bars[0].upperRight, Vec2(104, 100));
  // Right node (x 100, width 101): y from 50 - 3 to 50 + 3.
  EXPECT_EQ(bars[1].lowerLeft, Vec2(100, 47));
  EXPECT_EQ(bars[1].upperRight, Vec2(201, 53));
  SplitTree single;
  EXPECT_TRUE(single.separatorBars({0, 0, 10, 10}, 3.0f).empty());
}

TEST(SplitDragTest, FractionIsClampedToTenAndNinetyPercent) {
  struct Case {
    const char* name;
    int p, start, end;
    float fraction;
  };
  const Case cases[] = {
      {"middle", 50, 0, 100, 0.5f},      {"offset node", 75, 50, 150, 0.25f}, {"beyond start", -40, 0, 100, 0.1f},
      {"beyond end", 400, 0, 100, 0.9f}, {"at start", 0, 0, 100, 0.1f},       {"one-pixel node", 3, 3, 3, 0.5f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FLOAT_EQ(dragFraction(c.p, c.start, c.end), c.fraction);
  }
}

TEST(SplitRemoveTest, RemovingTheRootChangesNothing) {
  SplitTree tree;
  tree.root().window = token(0);
  EXPECT_EQ(tree.remove(&tree.root()), nullptr);
  EXPECT_TRUE(tree.root().isLeaf());
  EXPECT_EQ(tree.root().window, token(0));
}

TEST(SplitRemoveTest, SiblingSubtreeMovesUpAndItsLeftmostLeafIsActive) {
  SplitTree tree;
  tree.root().window = token(0);
  auto [a, b] = tree.split(&tree.root(), false, 0.3f);
  b->window = token(1);
  auto [b1, b2] = tree.split(b, true, 0.7f);
  b2->window = token(2);
  auto [b11, b12] = tree.split(b1, false, 0.4f);
  b12->window = token(3);

  WindowNode* next = tree.remove(a);
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->window, token(1));  // leftmost leaf of the old sibling
  WindowNode& root = tree.root();
  EXPECT_EQ(root.horizontal, 1);
  EXPECT_FLOAT_EQ(root.fraction, 0.7f);
  EXPECT_EQ(root.window, nullptr);
  ASSERT_FALSE(root.isLeaf());
  EXPECT_EQ(root.first->parent, &root);
  EXPECT_EQ(root.second->parent, &root);
  EXPECT_EQ(root.second->window, token(2));
  EXPECT_EQ(next->parent->parent, &root);

  std::vector<CanvasWindow*> order;
  for (WindowNode* leaf : tree.leaves()) order.push_back(leaf->window);
  EXPECT_EQ(order, (std::vector<CanvasWindow*>{token(1), token(3), token(2)}));
}

TEST(SplitRemoveTest, LeafSiblingTakesOverTheParent) {
  SplitTree tree;
  tree.root().window = token(0);
  auto [a, b] = tree.split(&tree.root(), true, 0.5f);
  b->window = token(1);
  WindowNode* next = tree.remove(b);
  EXPECT_EQ(next, &tree.root());
  EXPECT_TRUE(tree.root().isLeaf());
  EXPECT_EQ(tree.root().window, token(0));
}

}  // namespace
}  // namespace lumetra
