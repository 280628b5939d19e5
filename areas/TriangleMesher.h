#pragma once
// Convex hulls and polygon triangulations in the plane, for the outline of
// the "Outer" area painter. Diagram units, y up.
//
// The triangulator compiles slowly, so it lives in TriangleMesher.cpp alone;
// this header shows only points and triangles. Neither operation throws: a
// failure inside the triangulator gives an empty result.

#include <cstddef>
#include <vector>

#include "model/Vec2.h"

namespace lumetra {

struct MeshTriangle {
  Vec2 a, b, c;
};

class TriangleMesher {
 public:
  // The convex hull of the points as one closed chain, clockwise (y up):
  // each hull edge starts where the previous one ended, and the last ends at
  // the first vertex. Collinear points on the hull's edges are left out;
  // points that are not finite are ignored. Fewer than three vertices when
  // the points do not span an area.
  static std::vector<Vec2> convexHull(const std::vector<Vec2>& points);

  // The triangles of the closed polygon outline[0] -> outline[1] -> ... ->
  // outline[n-1] -> outline[0] that lie inside it (even-odd rule: a region is
  // inside when it is enclosed an odd number of times). The outline may cross
  // and touch itself; crossings become vertices of the triangulation.
  // Appends at most maxTriangles triangles to out and returns how many it
  // appended (the rest of a larger triangulation is dropped). An outline with
  // a point that is not finite, or with fewer than three distinct points,
  // gives none.
  static std::size_t triangulatePolygon(const std::vector<Vec2>& outline, std::vector<MeshTriangle>& out,
                                        std::size_t maxTriangles);
};

}  // namespace lumetra
