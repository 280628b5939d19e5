#pragma once
// A kd-tree over a fixed set of 2D points that answers "how far is the
// nearest of them?" exactly (no approximation). Diagram units.

#include <cstdint>
#include <memory>
#include <vector>

#include "model/Vec2.h"

namespace lumetra {

class SampleTree {
 public:
  // Builds the tree over a copy of the points (which must be finite).
  explicit SampleTree(std::vector<Vec2> points);
  ~SampleTree();
  SampleTree(const SampleTree&) = delete;
  SampleTree& operator=(const SampleTree&) = delete;

  // The distance from p to the nearest point; +infinity when there are none.
  float nearestDistance(Vec2 p) const;
  // nearestDistance(p) when that is at least limit. Otherwise the distance
  // to some point closer than limit: the search stops at the first one it
  // meets, which is far quicker near the points. So
  // "nearestDistanceBeyond(p, limit) >= limit" answers exactly as
  // "nearestDistance(p) >= limit" does, and gives the same distance then.
  float nearestDistanceBeyond(Vec2 p, float limit) const;
  // The same answer, sped up by a hint: the index of a point that was near
  // p before (kNoHint for none). A hinted point closer than limit answers at
  // once; one farther away bounds the search, which then only visits the
  // parts of the tree that could hold a closer point. On return the hint
  // names the point the answer is the distance to. Any hint gives the same
  // answer; a good one gives it sooner.
  static constexpr std::uint32_t kNoHint = 0xffffffffu;
  float nearestDistanceBeyond(Vec2 p, float limit, std::uint32_t& hint) const;
  std::size_t size() const;

 private:
  struct Index;
  std::unique_ptr<Index> index_;
};

}  // namespace lumetra
