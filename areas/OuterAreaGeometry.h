#pragma once
// The outline of an "Outer" area: a closed polygon that hugs the boxes of the
// area's elements. Diagram units, y up; no GL here.
//
//   1. step e = distance x 2 x (W + H) for a diagram of W x H units;
//   2. samples every e/2 along each box edge (boxes grown by a margin in
//      "Line" mode), every box corner included;
//   3. the convex hull of the samples, resampled every e (clockwise);
//   4. `iterations` contour steps shrink the hull towards the samples like a
//      rubber band: a vertex farther than e from every sample moves inwards
//      by a fifth of that distance unless it would come closer than e to a
//      vertex other than its neighbours; long edges are split; vertices away
//      from the samples are smoothed towards their neighbours;
//   5. the polygon is triangulated (inside triangles only; a polygon that
//      crosses itself is filled by the even-odd rule).
//
// The outline depends only on the boxes, W, H, the distance, the iterations
// and the margin, so build() keeps the last one and rebuilds only when one
// of these changed. Limits: 5,000 samples (further ones are dropped from the
// end), 5,000 outline vertices (a contour step inserts no more), 5,000
// triangles. An area with fewer than three distinct samples, or whose hull
// has an edge of length 0, has an empty outline.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "areas/TriangleMesher.h"
#include "model/Vec2.h"

namespace lumetra {

class IdentifiedArea;
class SampleTree;

// An element's box, lower and upper corner.
struct OutlineBox {
  Vec2 lower;
  Vec2 upper;
};

// The boxes of the area's elements from their current layouts, in order;
// elements without a layout or with corners that are not finite are left
// out. Each box is ordered (lower <= upper).
std::vector<OutlineBox> memberBoxes(const IdentifiedArea* area);

class OuterAreaGeometry {
 public:
  static constexpr std::size_t kMaxSamples = 5000;
  static constexpr std::size_t kMaxVertices = 5000;
  static constexpr std::size_t kMaxTriangles = 5000;
  // Contour steps beyond this are not run (the slider offers 0..20).
  static constexpr int kMaxIterations = 100;
  // Share of the distance to the samples a vertex moves in one step, share of
  // the way to its neighbours' midpoint it is smoothed, and the edge length
  // (in steps) above which an edge is split.
  static constexpr float kMotion = 0.2f;
  static constexpr float kSmoothing = 0.2f;
  static constexpr float kSplitLength = 1.3f;

  OuterAreaGeometry();
  ~OuterAreaGeometry();
  OuterAreaGeometry(const OuterAreaGeometry&) = delete;
  OuterAreaGeometry& operator=(const OuterAreaGeometry&) = delete;

  void setDistance(float distance) { distance_ = distance; }
  float getDistance() const { return distance_; }
  void setIterations(int iterations) { iterations_ = iterations; }
  int getIterations() const { return iterations_; }

  // Builds the outline of the boxes on a diagram of width x height units,
  // with boxes grown by margin (0 but in "Line" mode). Boxes that are not
  // finite are left out. Returns false, keeping the last outline, when it
  // was built from the same boxes and parameters.
  bool build(const std::vector<OutlineBox>& boxes, float width, float height, float margin);
  // Forgets the last outline: the next build builds.
  void invalidate() { key_.clear(); }

  // The results of the last build.
  float getStep() const { return step_; }
  const std::vector<Vec2>& getSamples() const { return samples_; }
  const std::vector<Vec2>& getHull() const { return hull_; }
  const std::vector<Vec2>& getOutline() const { return outline_; }
  const std::vector<MeshTriangle>& getTriangles() const { return triangles_; }
  // How often build really built.
  int getBuildCount() const { return builds_; }

  // The step e for a distance on a diagram of width x height units.
  static float stepFor(float distance, float width, float height);
  // Step 2: samples every step/2 along the edges of each box grown by margin,
  // each edge from its start corner; at most kMaxSamples.
  static std::vector<Vec2> sampleBoxes(const std::vector<OutlineBox>& boxes, float step, float margin);
  // Step 3's resampling: points every step along the closed chain, starting
  // with the edge from the last vertex to the first; each edge from its start
  // vertex. A chain too long for kMaxVertices points is resampled coarser.
  static std::vector<Vec2> resampleChain(const std::vector<Vec2>& chain, float step);
  // One contour step of the outline against the samples (step 4).
  static void contourStep(std::vector<Vec2>& outline, const SampleTree& samples, float step);
  // The same step, with each vertex's nearest sample kept in hints (parallel
  // to outline, grown as it grows) to speed up the next step's searches.
  static void contourStep(std::vector<Vec2>& outline, const SampleTree& samples, float step,
                          std::vector<std::uint32_t>& hints);

 private:
  void rebuild(const std::vector<OutlineBox>& boxes, float width, float height, float margin);

  float distance_ = 0.005f;
  int iterations_ = 10;

  std::vector<float> key_;  // what the outline was built from
  float step_ = 0.0f;
  std::vector<Vec2> samples_;
  std::vector<Vec2> hull_;
  std::vector<Vec2> outline_;
  std::vector<MeshTriangle> triangles_;
  int builds_ = 0;
};

}  // namespace lumetra
