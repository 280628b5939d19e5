#pragma once
// The two-way split tree of a canvas's windows, its layout and the separator
// hit test. Plain data and maths: no GL, no widgets.
//
// Rectangles are in canvas pixels with y counted from the bottom. A node of
// extent e split at fraction f gives its first child floor(e*f) pixels and
// its second ceil(e*(1 - f)); every rectangle derived from the tree (layout,
// hit test, separators) follows this one rule.

#include <functional>
#include <utility>
#include <vector>

#include "model/Vec2.h"
#include "platform/NonCopyable.h"

namespace lumetra {

class CanvasWindow;

struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct WindowNode {
  WindowNode* parent = nullptr;  // null for the root
  WindowNode* first = nullptr;   // owned; null in a leaf
  WindowNode* second = nullptr;  // owned; null in a leaf
  float fraction = 0.5f;         // share of the extent given to first
  // Nonzero: children stacked across the height, first at the bottom;
  // zero: side by side, first on the left.
  unsigned char horizontal = 0;
  CanvasWindow* window = nullptr;  // non-null exactly in a leaf; not owned by the node

  bool isLeaf() const { return first == nullptr; }
};

// The rectangles of a node's two children.
std::pair<PixelRect, PixelRect> childRects(const WindowNode& node, const PixelRect& rect);

// A separator bar in pixels: lower-left and upper-right corners.
struct SeparatorBar {
  Vec2 lowerLeft;
  Vec2 upperRight;
};

// Where a pointer position falls: on a separator (node set), or in a leaf.
struct SplitHit {
  WindowNode* separator = nullptr;  // the inner node whose bar was hit
  int start = 0;                    // the node's x (vertical) or y (horizontal)
  int end = 0;                      // start + extent - 1
  WindowNode* leaf = nullptr;       // the leaf under the pointer otherwise
};

// The fraction a drag to p gives a separator of start/end, kept in [0.1, 0.9].
float dragFraction(int p, int start, int end);

class SplitTree : NonCopyable {
 public:
  SplitTree() = default;
  // Frees every node below the root; windows are not touched.
  ~SplitTree();

  WindowNode& root() { return root_; }
  const WindowNode& root() const { return root_; }

  // The rectangle of node (which must be in this tree) for the client area.
  PixelRect rectOf(const WindowNode* node, const PixelRect& client) const;

  // Calls fn for every leaf in tree order (first child before second).
  void forEachLeaf(const PixelRect& client, const std::function<void(WindowNode&, const PixelRect&)>& fn);
  std::vector<WindowNode*> leaves();

  // The bars of every inner node in tree order, half-thickness s.
  std::vector<SeparatorBar> separatorBars(const PixelRect& client, float s) const;

  // Descends from the root towards (px, py): the first separator within s of
  // its split, else the leaf that holds the point.
  SplitHit hitTest(const PixelRect& client, int px, int py, float s);

  // Turns leaf into an inner node with two new leaves: the first keeps the
  // leaf's window, the second has none yet. Returns them.
  std::pair<WindowNode*, WindowNode*> split(WindowNode* leaf, bool horizontal, float fraction);

  // Removes a leaf that has a parent: the parent takes over the sibling's
  // children, fraction, orientation and window, and the leaf and sibling
  // nodes are freed (the leaf's window is not). Returns the parent's
  // leftmost leaf, or null (and changes nothing) for the root.
  WindowNode* remove(WindowNode* leaf);

  static WindowNode* leftmostLeaf(WindowNode* node);

 private:
  WindowNode root_;
};

}  // namespace lumetra
