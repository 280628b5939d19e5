#include "areas/OuterAreaGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "areas/IdentifiedArea.h"
#include "areas/SampleTree.h"
#include "model/Element.h"

namespace lumetra {

namespace {

bool finite(const Vec2& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

float distance(const Vec2& a, const Vec2& b) { return (a - b).length(); }

Vec2 lerp(const Vec2& a, const Vec2& b, float h) { return a * (1.0f - h) + b * h; }

// The outline's vertices on a grid of cells at least `radius` wide, so that
// "is any vertex closer than radius to p?" looks at the 3 x 3 cells around
// p instead of every vertex. Points outside the grid's box fall into its
// border cells; the answer is the same as a check against every vertex.
// Each cell is a list threaded through one array (first vertex per cell,
// next vertex per vertex): two allocations per grid, however many cells.
class VertexGrid {
 public:
  VertexGrid(const std::vector<Vec2>& points, float radius) {
    Vec2 lo = points.front(), hi = points.front();
    for (const Vec2& p : points) {
      lo = Vec2(std::fmin(lo.x, p.x), std::fmin(lo.y, p.y));
      hi = Vec2(std::fmax(hi.x, p.x), std::fmax(hi.y, p.y));
    }
    origin_ = lo;
    // A few hundred cells a side at most: a tiny step over a large outline
    // gets wider cells, which only means more vertices per cell.
    constexpr float kMaxCells = 256.0f;
    cellW_ = std::fmax(radius, (hi.x - lo.x) / kMaxCells);
    cellH_ = std::fmax(radius, (hi.y - lo.y) / kMaxCells);
    columns_ = cellIndex(hi.x - lo.x, cellW_, 1 << 20) + 1;
    rows_ = cellIndex(hi.y - lo.y, cellH_, 1 << 20) + 1;
    first_.assign(static_cast<std::size_t>(columns_) * rows_, kNone);
    next_.assign(points.size(), kNone);
    for (std::size_t i = 0; i < points.size(); ++i) link(static_cast<std::uint32_t>(i), cellOf(points[i]));
  }

  // Whether a vertex other than skip0..skip2 lies closer than radius to p.
  bool anyCloser(const std::vector<Vec2>& points, Vec2 p, float radius, std::size_t skip0, std::size_t skip1,
                 std::size_t skip2) const {
    const int cx = cellIndex(p.x - origin_.x, cellW_, columns_ - 1);
    const int cy = cellIndex(p.y - origin_.y, cellH_, rows_ - 1);
    for (int y = std::max(cy - 1, 0); y <= std::min(cy + 1, rows_ - 1); ++y) {
      for (int x = std::max(cx - 1, 0); x <= std::min(cx + 1, columns_ - 1); ++x) {
        for (std::uint32_t i = first_[static_cast<std::size_t>(y) * columns_ + x]; i != kNone; i = next_[i]) {
          if (i == skip0 || i == skip1 || i == skip2) continue;
          if (distance(points[i], p) < radius) return true;
        }
      }
    }
    return false;
  }

  void move(std::size_t index, Vec2 from, Vec2 to) {
    const std::size_t a = cellOf(from), b = cellOf(to);
    if (a == b) return;
    const auto vertex = static_cast<std::uint32_t>(index);
    std::uint32_t* at = &first_[a];
    while (*at != vertex) at = &next_[*at];
    *at = next_[vertex];
    link(vertex, b);
  }

 private:
  static constexpr std::uint32_t kNone = 0xffffffffu;

  void link(std::uint32_t vertex, std::size_t cell) {
    next_[vertex] = first_[cell];
    first_[cell] = vertex;
  }
  static int cellIndex(float offset, float width, int last) {
    const float cell = std::floor(offset / width);
    if (!(cell > 0.0f)) return 0;
    if (cell >= static_cast<float>(last)) return last;
    return static_cast<int>(cell);
  }
  std::size_t cellOf(Vec2 p) const {
    return static_cast<std::size_t>(cellIndex(p.y - origin_.y, cellH_, rows_ - 1)) * columns_ +
           cellIndex(p.x - origin_.x, cellW_, columns_ - 1);
  }

  Vec2 origin_;
  float cellW_ = 1.0f, cellH_ = 1.0f;
  int columns_ = 1, rows_ = 1;
  std::vector<std::uint32_t> first_;  // per cell, kNone when empty
  std::vector<std::uint32_t> next_;   // per vertex
};

}  // namespace

std::vector<OutlineBox> memberBoxes(const IdentifiedArea* area) {
  std::vector<OutlineBox> boxes;
  if (area == nullptr) return boxes;
  boxes.reserve(area->getElementCount());
  for (const DiagramElement* element : area->getElements()) {
    const VisualElementLayout* layout = element != nullptr ? element->getCurrentLayout() : nullptr;
    if (layout == nullptr || layout->getLowerLeft() == nullptr || layout->getUpperRight() == nullptr) continue;
    const Vec2 a = *layout->getLowerLeft(), b = *layout->getUpperRight();
    if (!finite(a) || !finite(b)) continue;
    boxes.push_back({Vec2(std::fmin(a.x, b.x), std::fmin(a.y, b.y)), Vec2(std::fmax(a.x, b.x), std::fmax(a.y, b.y))});
  }
  return boxes;
}

OuterAreaGeometry::OuterAreaGeometry() = default;
OuterAreaGeometry::~OuterAreaGeometry() = default;

float OuterAreaGeometry::stepFor(float distance, float width, float height) {
  return distance * 2.0f * (width + height);
}

std::vector<Vec2> OuterAreaGeometry::sampleBoxes(const std::vector<OutlineBox>& boxes, float step, float margin) {
  std::vector<Vec2> samples;
  if (!(step > 0.0f) || !std::isfinite(step)) return samples;
  const double spacing = step * 0.5;
  for (const OutlineBox& box : boxes) {
    const Vec2 lo(std::fmin(box.lower.x, box.upper.x) - margin, std::fmin(box.lower.y, box.upper.y) - margin);
    const Vec2 hi(std::fmax(box.lower.x, box.upper.x) + margin, std::fmax(box.lower.y, box.upper.y) + margin);
    const Vec2 corners[4] = {lo, {lo.x, hi.y}, hi, {hi.x, lo.y}};
    // Edges last-to-first, first-to-second, ...: clockwise from the lower right.
    for (int edge = 0; edge < 4; ++edge) {
      const Vec2 a = corners[(edge + 3) % 4];
      const Vec2 b = corners[edge];
      const double length = distance(a, b);
      // Every edge gives its start corner, so that a box smaller than the
      // spacing still lies inside the hull; then one sample per spacing
      // while a whole spacing is left before the end corner (which the next
      // edge gives). The small allowance keeps an edge of a whole number of
      // spacings from losing its last sample to rounding.
      const double count = std::fmax(1.0, std::floor(length / spacing + 1e-4));
      for (double i = 0.0; i < count; i += 1.0) {
        if (samples.size() >= kMaxSamples) return samples;
        const float h = length > 0.0 ? static_cast<float>(i * spacing / length) : 0.0f;
        samples.push_back(lerp(a, b, h));
      }
    }
  }
  return samples;
}

std::vector<Vec2> OuterAreaGeometry::resampleChain(const std::vector<Vec2>& chain, float step) {
  const std::size_t n = chain.size();
  if (n >= kMaxVertices) return std::vector<Vec2>(chain.begin(), chain.begin() + kMaxVertices);
  double perimeter = 0.0;
  for (std::size_t i = 0; i < n; ++i) perimeter += distance(chain[(i + n - 1) % n], chain[i]);
  double spacing = step;
  // Each edge gives at most length / spacing + 1 points.
  if (perimeter / spacing + static_cast<double>(n) > static_cast<double>(kMaxVertices))
    spacing = perimeter / static_cast<double>(kMaxVertices - n);
  std::vector<Vec2> points;
  points.reserve(std::min<std::size_t>(kMaxVertices, static_cast<std::size_t>(perimeter / spacing) + n));
  for (std::size_t i = 0; i < n; ++i) {
    const Vec2 p = chain[(i + n - 1) % n];
    const Vec2 q = chain[i];
    const double length = distance(p, q);
    const double count = length > 0.0 ? std::ceil(length / spacing) : 1.0;
    for (double k = 0.0; k < count && points.size() < kMaxVertices; k += 1.0) {
      const double h = length > 0.0 ? k * spacing / length : 0.0;
      if (h >= 1.0) break;
      points.push_back(lerp(p, q, static_cast<float>(h)));
    }
  }
  return points;
}

void OuterAreaGeometry::contourStep(std::vector<Vec2>& v, const SampleTree& samples, float step) {
  std::vector<std::uint32_t> hints;
  contourStep(v, samples, step, hints);
}

void OuterAreaGeometry::contourStep(std::vector<Vec2>& v, const SampleTree& samples, float step,
                                    std::vector<std::uint32_t>& hints) {
  const std::size_t n = v.size();
  if (n < 3) return;
  hints.resize(n, SampleTree::kNoHint);
  auto prev = [&v](std::size_t i) { return (i + v.size() - 1) % v.size(); };
  auto next = [&v](std::size_t i) { return (i + 1) % v.size(); };

  // Motion: a vertex at least a step away from every sample moves inwards
  // (the outline runs clockwise, so the right-hand normal points inside).
  // `clear` keeps, per vertex, a distance that no sample is closer than
  // (0 when unknown): the smoothing below needs no search for such a vertex.
  std::vector<Vec2> motion(n);
  std::vector<float> clear(n, 0.0f);
  for (std::size_t i = 0; i < n; ++i) {
    const float d = samples.nearestDistanceBeyond(v[i], step, hints[i]);
    if (!(d >= step)) continue;
    clear[i] = d;
    const Vec2 along = v[next(i)] - v[prev(i)];
    const float length = along.length();
    if (!(length > 0.0f)) continue;
    const Vec2 t = along / length;
    motion[i] = Vec2(t.y, -t.x) * (kMotion * d);
  }

  // Apply, in order, against the current positions: no vertex comes closer
  // than a step to one that is not its neighbour. A vertex that moves comes
  // at most as much closer to the samples as it moves.
  VertexGrid grid(v, step);
  for (std::size_t i = 0; i < n; ++i) {
    if (motion[i] == Vec2()) continue;
    const Vec2 moved = v[i] + motion[i];
    if (!finite(moved) || grid.anyCloser(v, moved, step, i, prev(i), next(i))) continue;
    grid.move(i, v[i], moved);
    clear[i] -= distance(v[i], moved);
    v[i] = moved;
  }

  // Refine: split edges longer than kSplitLength steps at their midpoint. A
  // point inserted before the current vertex makes the walk visit it again.
  // A new point takes its neighbour's hint and no known clearance.
  const float longest = kSplitLength * step;
  auto insertAt = [&](std::size_t at, Vec2 point, std::uint32_t hint) {
    v.insert(v.begin() + static_cast<std::ptrdiff_t>(at), point);
    hints.insert(hints.begin() + static_cast<std::ptrdiff_t>(at), hint);
    clear.insert(clear.begin() + static_cast<std::ptrdiff_t>(at), 0.0f);
  };
  for (std::size_t i = 0; i < v.size() && v.size() < kMaxVertices; ++i) {
    std::size_t at = i;
    const Vec2 vertex = v[at];
    const Vec2 before = v[prev(at)];
    if (distance(vertex, before) > longest) {
      insertAt(at, (before + vertex) * 0.5f, hints[at]);
      ++at;
      if (v.size() >= kMaxVertices) break;
    }
    const Vec2 after = v[next(at)];
    if (distance(vertex, after) > longest) insertAt(at + 1, (vertex + after) * 0.5f, hints[at]);
  }

  // Smooth the vertices that are still away from the samples. The known
  // clearance, less a margin far above the rounding of its few operations,
  // settles most of them without a search.
  constexpr float kClearanceMargin = 1e-4f;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const bool away = clear[i] - kClearanceMargin * (clear[i] + step) >= step ||
                      samples.nearestDistanceBeyond(v[i], step, hints[i]) >= step;
    if (!away) continue;
    const Vec2 middle = (v[prev(i)] + v[next(i)]) * 0.5f;
    v[i] += (middle - v[i]) * kSmoothing;
  }
}

bool OuterAreaGeometry::build(const std::vector<OutlineBox>& boxes, float width, float height, float margin) {
  std::vector<OutlineBox> usable;
  usable.reserve(boxes.size());
  for (const OutlineBox& box : boxes)
    if (finite(box.lower) && finite(box.upper)) usable.push_back(box);

  std::vector<float> key = {width, height, distance_, static_cast<float>(iterations_), margin};
  key.reserve(key.size() + usable.size() * 4);
  for (const OutlineBox& box : usable) key.insert(key.end(), {box.lower.x, box.lower.y, box.upper.x, box.upper.y});
  if (!key_.empty() && key == key_) return false;
  key_ = std::move(key);
  rebuild(usable, width, height, margin);
  ++builds_;
  return true;
}

void OuterAreaGeometry::rebuild(const std::vector<OutlineBox>& boxes, float width, float height, float margin) {
  samples_.clear();
  hull_.clear();
  outline_.clear();
  triangles_.clear();
  step_ = stepFor(distance_, width, height);
  if (!(step_ > 0.0f) || !std::isfinite(step_) || !std::isfinite(margin)) return;

  samples_ = sampleBoxes(boxes, step_, margin);
  hull_ = TriangleMesher::convexHull(samples_);
  bool degenerate = hull_.size() < 3;
  for (std::size_t i = 0; i < hull_.size() && !degenerate; ++i)
    degenerate = !(distance(hull_[i], hull_[(i + 1) % hull_.size()]) > 0.0f);
  if (degenerate) {
    hull_.clear();
    return;
  }

  outline_ = resampleChain(hull_, step_);
  const SampleTree tree(samples_);
  const int iterations = std::clamp(iterations_, 0, kMaxIterations);
  // Each vertex's nearest sample of one step is a good first guess in the next.
  std::vector<std::uint32_t> hints;
  for (int k = 0; k < iterations && outline_.size() < kMaxVertices; ++k) contourStep(outline_, tree, step_, hints);
  if (outline_.size() < 3) {
    outline_.clear();
    return;
  }
  TriangleMesher::triangulatePolygon(outline_, triangles_, kMaxTriangles);
}

}  // namespace lumetra
