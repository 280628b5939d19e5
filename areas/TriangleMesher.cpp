// The one file that includes the triangulator (CGAL): its templates take
// long to compile, and keeping them here keeps every other file quick.
//
// Predicates are exact, constructions (the crossing points of constraints)
// are rounded to doubles; the triangulation accepts constraints that cross,
// so a self-crossing outline still triangulates.

#include "areas/TriangleMesher.h"

#include <CGAL/Constrained_Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Triangulation_face_base_with_info_2.h>
#include <CGAL/Spatial_sort_traits_adapter_2.h>
#include <CGAL/convex_hull_2.h>
#include <CGAL/property_map.h>
#include <CGAL/spatial_sort.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <iterator>
#include <numeric>
#include <utility>

namespace lumetra {

namespace {

using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using Point = Kernel::Point_2;

// How many constrained edges separate a face from the unbounded face.
struct FaceInfo {
  int nesting = -1;
};

using VertexBase = CGAL::Triangulation_vertex_base_2<Kernel>;
using FaceBaseInfo = CGAL::Triangulation_face_base_with_info_2<FaceInfo, Kernel>;
using FaceBase = CGAL::Constrained_triangulation_face_base_2<Kernel, FaceBaseInfo>;
using DataStructure = CGAL::Triangulation_data_structure_2<VertexBase, FaceBase>;
using Triangulation = CGAL::Constrained_Delaunay_triangulation_2<Kernel, DataStructure, CGAL::Exact_predicates_tag>;
using FaceHandle = Triangulation::Face_handle;
using Edge = Triangulation::Edge;

bool finite(const Vec2& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// Floods the faces reachable from start without crossing a constrained edge
// with nesting level `level`; the constrained edges met on the way go to
// border for the next level.
void floodNesting(const Triangulation& t, FaceHandle start, int level, std::deque<Edge>& border) {
  if (start->info().nesting != -1) return;
  std::deque<FaceHandle> queue{start};
  while (!queue.empty()) {
    FaceHandle face = queue.front();
    queue.pop_front();
    if (face->info().nesting != -1) continue;
    face->info().nesting = level;
    for (int i = 0; i < 3; ++i) {
      FaceHandle next = face->neighbor(i);
      if (next->info().nesting != -1) continue;
      if (t.is_constrained(Edge(face, i))) border.emplace_back(face, i);
      else queue.push_back(next);
    }
  }
}

// Gives every face its nesting level: 0 outside, +1 across each constraint.
void markNesting(Triangulation& t) {
  for (auto face = t.all_faces_begin(); face != t.all_faces_end(); ++face) face->info().nesting = -1;
  std::deque<Edge> border;
  floodNesting(t, t.infinite_face(), 0, border);
  while (!border.empty()) {
    const Edge edge = border.front();
    border.pop_front();
    FaceHandle next = edge.first->neighbor(edge.second);
    if (next->info().nesting == -1) floodNesting(t, next, edge.first->info().nesting + 1, border);
  }
}

Vec2 toVec2(const Point& p) { return Vec2(static_cast<float>(p.x()), static_cast<float>(p.y())); }

}  // namespace

std::vector<Vec2> TriangleMesher::convexHull(const std::vector<Vec2>& points) {
  std::vector<Point> input;
  input.reserve(points.size());
  for (const Vec2& p : points)
    if (finite(p)) input.emplace_back(p.x, p.y);
  std::vector<Point> hull;
  try {
    CGAL::convex_hull_2(input.begin(), input.end(), std::back_inserter(hull));
  } catch (...) {
    return {};
  }
  // The hull comes counter-clockwise; the outline runs clockwise.
  std::vector<Vec2> chain;
  chain.reserve(hull.size());
  for (auto it = hull.rbegin(); it != hull.rend(); ++it) chain.push_back(toVec2(*it));
  return chain;
}

std::size_t TriangleMesher::triangulatePolygon(const std::vector<Vec2>& outline, std::vector<MeshTriangle>& out,
                                               std::size_t maxTriangles) {
  if (outline.size() < 3 || maxTriangles == 0) return 0;
  if (!std::all_of(outline.begin(), outline.end(), finite)) return 0;
  const std::size_t before = out.size();
  try {
    Triangulation t;
    // The points go in along a space-filling order, each search for where a
    // point goes starting at the one before: a fifth fewer instructions than
    // in outline order. The triangles may differ where four points lie on
    // one circle, but they cover the same polygon.
    std::vector<Point> points;
    points.reserve(outline.size());
    for (const Vec2& p : outline) points.emplace_back(p.x, p.y);
    std::vector<std::size_t> order(points.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    CGAL::spatial_sort(order.begin(), order.end(),
                       CGAL::Spatial_sort_traits_adapter_2<Kernel, CGAL::Pointer_property_map<Point>::const_type>(
                           CGAL::make_property_map(std::as_const(points))));
    std::vector<Triangulation::Vertex_handle> vertices(points.size());
    FaceHandle hint;
    for (std::size_t i : order) {
      vertices[i] = t.insert(points[i], hint);
      hint = vertices[i]->face();
    }
    if (t.dimension() < 2) return 0;
    for (std::size_t i = 0; i < vertices.size(); ++i) {
      const auto& from = vertices[i];
      const auto& to = vertices[(i + 1) % vertices.size()];
      // Repeated points share one vertex: an edge of length 0 constrains nothing.
      if (from != to) t.insert_constraint(from, to);
    }
    markNesting(t);
    for (auto face = t.finite_faces_begin(); face != t.finite_faces_end(); ++face) {
      if (face->info().nesting % 2 != 1) continue;
      if (out.size() - before >= maxTriangles) break;
      out.push_back({toVec2(face->vertex(0)->point()), toVec2(face->vertex(1)->point()),
                     toVec2(face->vertex(2)->point())});
    }
  } catch (...) {
    // A failed check inside the triangulator: no triangles rather than a
    // half-built set.
    out.resize(before);
    return 0;
  }
  return out.size() - before;
}

}  // namespace lumetra
