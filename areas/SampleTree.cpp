#include "areas/SampleTree.h"

#include <nanoflann.hpp>

#include <cmath>
#include <limits>

namespace lumetra {

namespace {

// The point list as nanoflann reads it.
struct PointCloud {
  std::vector<double> xy;  // x0, y0, x1, y1, ...

  std::size_t kdtree_get_point_count() const { return xy.size() / 2; }
  double kdtree_get_pt(std::size_t index, std::size_t dim) const { return xy[index * 2 + dim]; }
  template <class Box>
  bool kdtree_get_bbox(Box&) const {
    return false;
  }
};

using Tree = nanoflann::KDTreeSingleIndexAdaptor<nanoflann::L2_Simple_Adaptor<double, PointCloud>, PointCloud, 2,
                                                 std::uint32_t>;

// Points per leaf. The samples lie along box edges, a few in a row: leaves
// of 16 took the fewest instructions over the outline builds (4 took 4 %
// more, 2 took 9 % more), the fewer nodes to visit outweighing the distance
// checks in a leaf.
constexpr std::size_t kLeafSize = 16;

// The nearest point, as a one-point nanoflann::KNNResultSet keeps it, except
// that the search ends at the first point closer than the limit (judged as
// nearestDistance judges it: the single-precision square root).
class NearestBeyond {
 public:
  explicit NearestBeyond(float limit) : limit_(limit) {}
  // Starts from a point already known at that squared distance: the search
  // then only takes points closer than it.
  NearestBeyond(float limit, double squared, std::uint32_t index)
      : limit_(limit), found_(true), squared_(squared), index_(index) {}
  std::size_t size() const { return found_ ? 1 : 0; }
  bool full() const { return found_; }
  // Called with points closer than worstDist was when the search entered
  // their leaf, so not always closer than the best one so far.
  bool addPoint(double squared, std::uint32_t index) {
    if (squared < squared_) {
      squared_ = squared;
      index_ = index;
    }
    found_ = true;
    return !(static_cast<float>(std::sqrt(squared_)) < limit_);
  }
  double worstDist() const { return squared_; }
  float distance() const {
    return found_ ? static_cast<float>(std::sqrt(squared_)) : std::numeric_limits<float>::infinity();
  }
  std::uint32_t index() const { return index_; }

 private:
  float limit_;
  bool found_ = false;
  double squared_ = std::numeric_limits<double>::max();
  std::uint32_t index_ = SampleTree::kNoHint;
};

}  // namespace

struct SampleTree::Index {
  PointCloud cloud;
  std::unique_ptr<Tree> tree;
};

SampleTree::SampleTree(std::vector<Vec2> points) : index_(std::make_unique<Index>()) {
  index_->cloud.xy.reserve(points.size() * 2);
  for (const Vec2& p : points) {
    index_->cloud.xy.push_back(p.x);
    index_->cloud.xy.push_back(p.y);
  }
  if (!points.empty())
    index_->tree = std::make_unique<Tree>(2, index_->cloud, nanoflann::KDTreeSingleIndexAdaptorParams(kLeafSize));
}

SampleTree::~SampleTree() = default;

std::size_t SampleTree::size() const { return index_->cloud.kdtree_get_point_count(); }

float SampleTree::nearestDistance(Vec2 p) const {
  if (!index_->tree) return std::numeric_limits<float>::infinity();
  const double query[2] = {p.x, p.y};
  std::uint32_t nearest = 0;
  double squared = 0.0;
  // The search is exact: nanoflann's default error bound is 0.
  if (index_->tree->knnSearch(query, 1, &nearest, &squared) == 0) return std::numeric_limits<float>::infinity();
  return static_cast<float>(std::sqrt(squared));
}

float SampleTree::nearestDistanceBeyond(Vec2 p, float limit) const {
  if (!index_->tree) return std::numeric_limits<float>::infinity();
  const double query[2] = {p.x, p.y};
  NearestBeyond result(limit);
  index_->tree->findNeighbors(result, query, nanoflann::SearchParams());
  return result.distance();
}

float SampleTree::nearestDistanceBeyond(Vec2 p, float limit, std::uint32_t& hint) const {
  if (!index_->tree) return std::numeric_limits<float>::infinity();
  const double query[2] = {p.x, p.y};
  const std::vector<double>& xy = index_->cloud.xy;
  if (hint >= size()) {
    NearestBeyond result(limit);
    index_->tree->findNeighbors(result, query, nanoflann::SearchParams());
    hint = result.index();
    return result.distance();
  }
  // The squared distance as the tree's metric computes it, so that the
  // hinted point and the same point found by the search agree to the bit.
  const double dx = query[0] - xy[hint * 2], dy = query[1] - xy[hint * 2 + 1];
  const double squared = 0.0 + dx * dx + dy * dy;
  const float near = static_cast<float>(std::sqrt(squared));
  if (near < limit) return near;
  NearestBeyond result(limit, squared, hint);
  index_->tree->findNeighbors(result, query, nanoflann::SearchParams());
  hint = result.index();
  return result.distance();
}

}  // namespace lumetra

