#include "render/SplitTree.h"

#include <algorithm>
#include <cmath>

namespace lumetra {

namespace {

int floorPart(int extent, float fraction) {
  return static_cast<int>(std::floor(static_cast<float>(extent) * fraction));
}
int ceilPart(int extent, float fraction) { return static_cast<int>(std::ceil(static_cast<float>(extent) * fraction)); }

void freeSubtree(WindowNode* node) {
  if (node == nullptr) return;
  freeSubtree(node->first);
  freeSubtree(node->second);
  delete node;
}

void collectLeaves(WindowNode* node, const PixelRect& rect,
                   const std::function<void(WindowNode&, const PixelRect&)>& fn) {
  if (node->isLeaf()) {
    fn(*node, rect);
    return;
  }
  auto [a, b] = childRects(*node, rect);
  collectLeaves(node->first, a, fn);
  collectLeaves(node->second, b, fn);
}

void collectBars(const WindowNode* node, const PixelRect& r, float s, std::vector<SeparatorBar>& out) {
  if (node->isLeaf()) return;
  const float f = node->fraction;
  const float x = static_cast<float>(r.x), y = static_cast<float>(r.y);
  const float w = static_cast<float>(r.width), h = static_cast<float>(r.height);
  if (node->horizontal) {
    out.push_back({{x, y + static_cast<float>(floorPart(r.height, f)) - s},
                   {x + w, y + static_cast<float>(ceilPart(r.height, f)) + s}});
  } else {
    out.push_back({{x + static_cast<float>(floorPart(r.width, f)) - s, y},
                   {x + static_cast<float>(ceilPart(r.width, f)) + s, y + h}});
  }
  auto [a, b] = childRects(*node, r);
  collectBars(node->first, a, s, out);
  collectBars(node->second, b, s, out);
}

}  // namespace

std::pair<PixelRect, PixelRect> childRects(const WindowNode& node, const PixelRect& r) {
  const float f = node.fraction;
  if (node.horizontal) {
    const int lower = floorPart(r.height, f);
    return {{r.x, r.y, r.width, lower}, {r.x, r.y + lower, r.width, ceilPart(r.height, 1.0f - f)}};
  }
  const int left = floorPart(r.width, f);
  return {{r.x, r.y, left, r.height}, {r.x + left, r.y, ceilPart(r.width, 1.0f - f), r.height}};
}

float dragFraction(int p, int start, int end) {
  // A separator across a one-pixel node has no room to move.
  if (end <= start) return 0.5f;
  const float f = static_cast<float>(p - start) / static_cast<float>(end - start);
  return std::clamp(f, 0.1f, 0.9f);
}

SplitTree::~SplitTree() {
  freeSubtree(root_.first);
  freeSubtree(root_.second);
}

PixelRect SplitTree::rectOf(const WindowNode* node, const PixelRect& client) const {
  // Path from the root down to the node.
  std::vector<const WindowNode*> path;
  for (const WindowNode* n = node; n != nullptr; n = n->parent) path.push_back(n);
  std::reverse(path.begin(), path.end());
  PixelRect rect = client;
  for (std::size_t i = 0; i + 1 < path.size(); ++i) {
    auto [a, b] = childRects(*path[i], rect);
    rect = (path[i]->first == path[i + 1]) ? a : b;
  }
  return rect;
}

void SplitTree::forEachLeaf(const PixelRect& client, const std::function<void(WindowNode&, const PixelRect&)>& fn) {
  collectLeaves(&root_, client, fn);
}

std::vector<WindowNode*> SplitTree::leaves() {
  std::vector<WindowNode*> out;
  forEachLeaf({0, 0, 0, 0}, [&out](WindowNode& n, const PixelRect&) { out.push_back(&n); });
  return out;
}

std::vector<SeparatorBar> SplitTree::separatorBars(const PixelRect& client, float s) const {
  std::vector<SeparatorBar> out;
  collectBars(&root_, client, s, out);
  return out;
}

SplitHit SplitTree::hitTest(const PixelRect& client, int px, int py, float s) {
  WindowNode* node = &root_;
  PixelRect rect = client;
  while (!node->isLeaf()) {
    const bool horizontal = node->horizontal != 0;
    const int pos = horizontal ? rect.y : rect.x;
    const int extent = horizontal ? rect.height : rect.width;
    const int p = horizontal ? py : px;
    const int split = pos + floorPart(extent, node->fraction);
    const float fp = static_cast<float>(p);
    if (static_cast<float>(split) - s < fp && static_cast<float>(pos + ceilPart(extent, node->fraction)) + s >= fp) {
      SplitHit hit;
      hit.separator = node;
      hit.start = pos;
      hit.end = pos + extent - 1;
      return hit;
    }
    auto [a, b] = childRects(*node, rect);
    if (p < split) {
      node = node->first;
      rect = a;
    } else {
      node = node->second;
      rect = b;
    }
  }
  SplitHit hit;
  hit.leaf = node;
  return hit;
}

std::pair<WindowNode*, WindowNode*> SplitTree::split(WindowNode* leaf, bool horizontal, float fraction) {
  auto* a = new WindowNode;
  auto* b = new WindowNode;
  a->parent = leaf;
  b->parent = leaf;
  a->window = leaf->window;
  leaf->first = a;
  leaf->second = b;
  leaf->window = nullptr;
  leaf->horizontal = horizontal ? 1 : 0;
  leaf->fraction = fraction;
  return {a, b};
}

WindowNode* SplitTree::remove(WindowNode* leaf) {
  WindowNode* parent = leaf->parent;
  if (parent == nullptr) return nullptr;
  WindowNode* sibling = parent->first == leaf ? parent->second : parent->first;
  parent->first = sibling->first;
  parent->second = sibling->second;
  parent->fraction = sibling->fraction;
  parent->horizontal = sibling->horizontal;
  parent->window = sibling->window;
  if (parent->first != nullptr) parent->first->parent = parent;
  if (parent->second != nullptr) parent->second->parent = parent;
  delete sibling;
  delete leaf;
  return leftmostLeaf(parent);
}

WindowNode* SplitTree::leftmostLeaf(WindowNode* node) {
  while (!node->isLeaf()) node = node->first;
  return node;
}

}  // namespace lumetra
