#pragma once
// The points of a polygon or polyline the painter draws, with their colour.

#include <utility>
#include <vector>

#include "model/Vec2.h"
#include "settings/Color.h"

namespace lumetra {

// An ordered sequence of points drawn in one colour.
struct PointList {
  std::vector<Vec2> points;
  Color color;

  PointList() = default;
  PointList(std::vector<Vec2> pts, Color c) : points(std::move(pts)), color(c) {}
};

}  // namespace lumetra
