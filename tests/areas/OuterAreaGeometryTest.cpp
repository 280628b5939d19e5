// The "Outer" outline (samples, hull, contraction, triangulation, the
// kept outline) and the "Square" painter's box, without GL.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "areas/Area.h"
#include "areas/AreaPainterRegistry.h"
#include "areas/AreaVisualizerOuter.h"
#include "areas/AreaVisualizerSquare.h"
#include "areas/OuterAreaGeometry.h"
#include "areas/SampleTree.h"
#include "areas/TriangleMesher.h"
#include "tests/areas/AreaScene.h"

namespace lumetra {
namespace {

using test::AreaScene;

float dist(Vec2 a, Vec2 b) { return (a - b).length(); }

// Distance from p to the segment a-b.
float segmentDistance(Vec2 p, Vec2 a, Vec2 b) {
  const Vec2 ab = b - a;
  const float len2 = ab.x * ab.x + ab.y * ab.y;
  float t = len2 > 0.0f ? ((p.x - a.x) * ab.x + (p.y - a.y) * ab.y) / len2 : 0.0f;
  t = std::fmax(0.0f, std::fmin(1.0f, t));
  return dist(p, a + ab * t);
}

// Distance from p to the boundary of the box.
float boxBoundaryDistance(Vec2 p, const OutlineBox& box) {
  const Vec2 c[4] = {box.lower, {box.lower.x, box.upper.y}, box.upper, {box.upper.x, box.lower.y}};
  float best = std::numeric_limits<float>::infinity();
  for (int i = 0; i < 4; ++i) best = std::fmin(best, segmentDistance(p, c[i], c[(i + 1) % 4]));
  return best;
}

double signedArea(const std::vector<Vec2>& polygon) {
  double sum = 0.0;
  for (std::size_t i = 0; i < polygon.size(); ++i) {
    const Vec2 a = polygon[i], b = polygon[(i + 1) % polygon.size()];
    sum += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
  }
  return sum / 2.0;
}

double triangleArea(const MeshTriangle& t) {
  return std::fabs(signedArea({t.a, t.b, t.c}));
}

double meshArea(const std::vector<MeshTriangle>& triangles) {
  double sum = 0.0;
  for (const MeshTriangle& t : triangles) sum += triangleArea(t);
  return sum;
}

// Whether p lies in one of the triangles (boundary included, within slack).
bool inMesh(Vec2 p, const std::vector<MeshTriangle>& triangles, float slack = 0.01f) {
  for (const MeshTriangle& t : triangles) {
    const double whole = triangleArea(t);
    const double parts = triangleArea({p, t.b, t.c}) + triangleArea({t.a, p, t.c}) + triangleArea({t.a, t.b, p});
    if (parts <= whole + slack * (1.0 + whole)) return true;
  }
  return false;
}

// ---- step and samples ----

TEST(OuterOutline, DistanceOnAThousandSquareDiagramGivesStepTwentyAndSamplesTenApart) {
  const float step = OuterAreaGeometry::stepFor(0.005f, 1000.0f, 1000.0f);
  EXPECT_FLOAT_EQ(step, 20.0f);
  const OutlineBox box{{100, 100}, {200, 160}};
  const std::vector<Vec2> samples = OuterAreaGeometry::sampleBoxes({box}, step, 0.0f);
  // 2 x (100 + 60) units of perimeter, one sample every 10.
  ASSERT_EQ(samples.size(), 32u);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    EXPECT_NEAR(boxBoundaryDistance(samples[i], box), 0.0f, 1e-3f) << i;
    EXPECT_NEAR(dist(samples[i], samples[(i + 1) % samples.size()]), 10.0f, 1e-3f) << i;
  }
  for (Vec2 corner : {Vec2(100, 100), Vec2(100, 160), Vec2(200, 160), Vec2(200, 100)})
    EXPECT_NE(std::find(samples.begin(), samples.end(), corner), samples.end()) << corner.x << ", " << corner.y;
}

// A box narrower than half a step gave no sample at all on the edges that
// short, and a box smaller than that in both directions none: its element
// could lie outside its own area's outline.
TEST(OuterOutline, BoxesSmallerThanTheSpacingStillGiveTheirCorners) {
  const std::vector<Vec2> samples = OuterAreaGeometry::sampleBoxes({{{0, 0}, {4, 3}}}, 20.0f, 0.0f);
  ASSERT_EQ(samples.size(), 4u);
  EXPECT_EQ(TriangleMesher::convexHull(samples).size(), 4u);
}

// ---- hull and triangulation ----

TEST(TriangleMesherHull, IsOneClockwiseChainWithoutCollinearOrBrokenPoints) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<Vec2> points = {{0, 0}, {50, 0}, {100, 0}, {100, 100}, {0, 100}, {40, 60}, {nan, 3}, {0, 50}};
  const std::vector<Vec2> hull = TriangleMesher::convexHull(points);
  ASSERT_EQ(hull.size(), 4u);
  EXPECT_LT(signedArea(hull), 0.0);  // clockwise, y up
  EXPECT_DOUBLE_EQ(-signedArea(hull), 10000.0);
  EXPECT_TRUE(TriangleMesher::convexHull({{1, 1}, {1, 1}, {2, 2}}).size() < 3);
  EXPECT_TRUE(TriangleMesher::convexHull({}).empty());
}

// A bar 1000 x 20 with 50 teeth 10 wide and 80 tall, points 5 units apart.
std::vector<Vec2> comb() {
  std::vector<Vec2> corners;
  for (int k = 0; k < 50; ++k) {
    const float x = 20.0f * k;
    corners.insert(corners.end(), {{x, 20}, {x, 100}, {x + 10, 100}, {x + 10, 20}});
  }
  corners.insert(corners.end(), {{1000, 20}, {1000, 0}, {0, 0}});
  std::vector<Vec2> outline;
  for (std::size_t i = 0; i < corners.size(); ++i) {
    const Vec2 a = corners[i], b = corners[(i + 1) % corners.size()];
    const int pieces = std::max(1, static_cast<int>(dist(a, b) / 5.0f));
    for (int j = 0; j < pieces; ++j) outline.push_back(a + (b - a) * (static_cast<float>(j) / pieces));
  }
  return outline;
}

TEST(TriangleMesherPolygon, KeepsTheInsideOfSimpleAndSelfCrossingOutlines) {
  struct Case {
    const char* name;
    std::vector<Vec2> outline;
    double area;                // even-odd area
    std::vector<Vec2> inside;   // probes inside
    std::vector<Vec2> outside;  // probes outside
  };
  const Case cases[] = {
      {"square", {{0, 0}, {0, 100}, {100, 100}, {100, 0}}, 10000.0, {{50, 50}}, {{150, 50}}},
      {"concave L", {{0, 0}, {0, 100}, {50, 100}, {50, 50}, {100, 50}, {100, 0}}, 7500.0, {{25, 75}, {75, 25}},
       {{75, 75}}},
      // Two triangles meeting where the outline crosses itself.
      {"bow tie", {{0, 0}, {100, 100}, {100, 0}, {0, 100}}, 5000.0, {{10, 50}, {90, 50}}, {{50, 10}, {50, 90}}},
      // A pentagram: the middle is enclosed twice, so it is outside.
      {"pentagram",
       {{50, 100}, {79.39f, 9.55f}, {2.45f, 65.45f}, {97.55f, 65.45f}, {20.61f, 9.55f}},
       -1.0,
       {{50, 90}, {90, 62}},
       {{50, 50}}},
      {"repeated points", {{0, 0}, {0, 0}, {0, 100}, {100, 100}, {100, 100}, {100, 0}}, 10000.0, {{50, 50}}, {}},
      // 50 teeth on a bar, every edge cut into pieces of 5 units: hundreds of
      // points on a grid, four on many a circle, put in out of their order.
      {"comb", comb(), 60000.0, {{5, 60}, {985, 95}, {500, 10}}, {{15, 60}, {995, 50}, {500, -1}}},
  };
  for (const Case& c : cases) {
    std::vector<MeshTriangle> triangles;
    const std::size_t count = TriangleMesher::triangulatePolygon(c.outline, triangles, 5000);
    EXPECT_EQ(count, triangles.size()) << c.name;
    ASSERT_FALSE(triangles.empty()) << c.name;
    if (c.area > 0.0) EXPECT_NEAR(meshArea(triangles), c.area, 0.5) << c.name;
    for (Vec2 p : c.inside) EXPECT_TRUE(inMesh(p, triangles)) << c.name << " " << p.x << ", " << p.y;
    for (Vec2 p : c.outside) EXPECT_FALSE(inMesh(p, triangles)) << c.name << " " << p.x << ", " << p.y;
  }
  std::vector<MeshTriangle> none;
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(TriangleMesher::triangulatePolygon({{0, 0}, {inf, 0}, {0, 1}}, none, 5000), 0u);
  EXPECT_EQ(TriangleMesher::triangulatePolygon({{0, 0}, {1, 1}, {2, 2}}, none, 5000), 0u);
  EXPECT_EQ(TriangleMesher::triangulatePolygon({{0, 0}, {0, 100}, {100, 100}, {100, 0}}, none, 1), 1u);
}

// ---- the outline ----

class OuterOutlineTest : public ::testing::Test {
 protected:
  // A 1000 x 1000 diagram: step 20 at the default distance.
  void SetUp() override { scene.setDiagramBox({0, 0}, {999, 999}); }

  IdentifiedArea& area(const std::vector<OutlineBox>& boxes) {
    for (const OutlineBox& b : boxes)
      identified.addElement(scene.addClass("c" + std::to_string(++count), b.lower, b.upper));
    return identified;
  }
  // Builds the outline as the area pass would.
  void build(AreaVisualizerOuter& painter, int iterations, const std::string& method = AREA_METHOD_POLYGONS) {
    painter.setMethod(method);
    painter.prepare(50, &scene.diagram);
    painter.setIterations(iterations);
    painter.setDistance(0.005f);
    Vec2 lo, hi;
    ASSERT_TRUE(painter.predictExtent(&identified, lo, hi));
  }

  AreaScene scene;
  IdentifiedArea identified{"area"};
  int count = 0;
};

TEST_F(OuterOutlineTest, ZeroIterationsGiveTheResampledHull) {
  const std::vector<OutlineBox> boxes = {{{100, 100}, {200, 160}}, {{500, 400}, {620, 470}}, {{300, 700}, {340, 760}}};
  area(boxes);
  AreaVisualizerOuter painter;
  build(painter, 0);
  const OuterAreaGeometry& g = *painter.getGeometry();
  ASSERT_FLOAT_EQ(g.getStep(), 20.0f);
  const std::vector<Vec2> hull = TriangleMesher::convexHull(OuterAreaGeometry::sampleBoxes(boxes, 20.0f, 0.0f));
  EXPECT_EQ(g.getHull(), hull);
  EXPECT_EQ(g.getOutline(), OuterAreaGeometry::resampleChain(hull, 20.0f));
  // Points 20 apart along the hull, every hull vertex among them.
  const std::vector<Vec2>& outline = g.getOutline();
  for (std::size_t i = 0; i < outline.size(); ++i) EXPECT_LE(dist(outline[i], outline[(i + 1) % outline.size()]), 20.01f);
  for (Vec2 v : hull) EXPECT_NE(std::find(outline.begin(), outline.end(), v), outline.end());
  EXPECT_NEAR(meshArea(g.getTriangles()), -signedArea(hull), 1.0);
}

TEST_F(OuterOutlineTest, ASingleElementsOutlineIsTheResampledRectangle) {
  const OutlineBox box{{100, 100}, {300, 200}};
  area({box});
  AreaVisualizerOuter painter;
  build(painter, 10);
  const std::vector<Vec2>& outline = painter.getOutline();
  // 600 units of perimeter every 20; no vertex moves, none is inserted.
  ASSERT_EQ(outline.size(), 30u);
  for (Vec2 v : outline) EXPECT_NEAR(boxBoundaryDistance(v, box), 0.0f, 1e-3f) << v.x << ", " << v.y;
  EXPECT_NEAR(meshArea(painter.getTriangles()), 200.0 * 100.0, 1.0);
}

TEST_F(OuterOutlineTest, LineMethodKeepsTheOutlineAFiftiethOfTheDiagonalAway) {
  const OutlineBox box{{400, 400}, {500, 450}};
  area({box});
  AreaVisualizerOuter line;
  build(line, 10, AREA_METHOD_LINE);
  const float margin = std::sqrt(2.0f) * 1000.0f / 50.0f;
  EXPECT_FLOAT_EQ(line.getMargin(), margin);
  EXPECT_FLOAT_EQ(line.getLineDiscRadius(), std::sqrt(2.0f) * 1000.0f / 200.0f);
  const OutlineBox grown{box.lower - Vec2(margin, margin), box.upper + Vec2(margin, margin)};
  for (Vec2 v : line.getOutline()) EXPECT_NEAR(boxBoundaryDistance(v, grown), 0.0f, 1e-2f) << v.x << ", " << v.y;

  AreaVisualizerOuter polygons;
  build(polygons, 10, AREA_METHOD_POLYGONS);
  EXPECT_EQ(polygons.getMargin(), 0.0f);
  for (Vec2 v : polygons.getOutline()) EXPECT_NEAR(boxBoundaryDistance(v, box), 0.0f, 1e-2f);
}

TEST_F(OuterOutlineTest, ContractionShrinksTheHullAndKeepsTheMembersInside) {
  const std::vector<OutlineBox> boxes = {
      {{100, 100}, {180, 160}}, {{700, 100}, {780, 160}}, {{100, 600}, {180, 660}}, {{420, 350}, {480, 400}}};
  area(boxes);
  AreaVisualizerOuter loose, tight;
  build(loose, 0);
  build(tight, 10);
  const double hullArea = meshArea(loose.getTriangles());
  const double shrunk = meshArea(tight.getTriangles());
  EXPECT_LT(shrunk, 0.9 * hullArea);
  EXPECT_LE(tight.getOutline().size(), OuterAreaGeometry::kMaxVertices);
  for (const OutlineBox& b : boxes) {
    const Vec2 centre = (b.lower + b.upper) * 0.5f;
    EXPECT_TRUE(inMesh(centre, tight.getTriangles())) << centre.x << ", " << centre.y;
    for (Vec2 corner : {b.lower, b.upper, Vec2(b.lower.x, b.upper.y), Vec2(b.upper.x, b.lower.y)})
      EXPECT_TRUE(inMesh(corner, loose.getTriangles())) << corner.x << ", " << corner.y;
  }
}

TEST_F(OuterOutlineTest, TheOutlineIsKeptUntilBoxesSizeOrParametersChange) {
  area({{{100, 100}, {200, 160}}, {{500, 400}, {620, 470}}});
  AreaVisualizerOuter painter;
  build(painter, 10);
  const OuterAreaGeometry& g = *painter.getGeometry();
  ASSERT_EQ(g.getBuildCount(), 1);
  const std::vector<Vec2> first = painter.getOutline();

  // The band width follows the radius without a rebuild.
  painter.setRadius(2.5f);
  build(painter, 10);
  EXPECT_EQ(g.getBuildCount(), 1);
  EXPECT_FLOAT_EQ(painter.getBandWidth(), 50.0f);
  EXPECT_EQ(painter.getOutline(), first);

  struct Change {
    const char* name;
    std::function<void()> apply;
  };
  DiagramElement* moved = identified.getElement(1);
  const Change changes[] = {
      {"box moved", [&] { moved->getCurrentLayout()->setCorners(new Vec2(520, 380), new Vec2(640, 450)); }},
      {"distance", [&] { painter.setDistance(0.008f); }},
      {"iterations", [&] { painter.setIterations(3); }},
      {"method margin", [&] { painter.setMethod(AREA_METHOD_LINE); }},
      {"diagram size", [&] { scene.setDiagramBox({0, 0}, {1999, 999}); }},
  };
  int builds = 1;
  for (const Change& c : changes) {
    c.apply();
    painter.prepare(50, &scene.diagram);
    Vec2 lo, hi;
    painter.predictExtent(&identified, lo, hi);
    EXPECT_EQ(g.getBuildCount(), ++builds) << c.name;
    // The same outline as a painter that never kept one.
    AreaVisualizerOuter fresh(AREA_MODE_AREA, painter.getMethod(), 50);
    fresh.prepare(50, &scene.diagram);
    fresh.setDistance(painter.getGeometry()->getDistance());
    fresh.setIterations(painter.getGeometry()->getIterations());
    fresh.predictExtent(&identified, lo, hi);
    EXPECT_EQ(fresh.getOutline(), painter.getOutline()) << c.name;
  }
}

TEST_F(OuterOutlineTest, DecidedLimitsAndDegenerateAreas) {
  // Fewer than three distinct samples: a point box and a flat box.
  for (const OutlineBox& b : {OutlineBox{{50, 50}, {50, 50}}, OutlineBox{{50, 50}, {300, 50}}}) {
    OuterAreaGeometry g;
    g.build({b}, 1000, 1000, 0.0f);
    EXPECT_TRUE(g.getOutline().empty());
    EXPECT_TRUE(g.getTriangles().empty());
  }
  // A step of 0 (an empty diagram) or not finite draws nothing instead of
  // sampling forever.
  for (float width : {0.0f, std::numeric_limits<float>::infinity()}) {
    OuterAreaGeometry g;
    g.build({{{0, 0}, {100, 100}}}, width, 0.0f, 0.0f);
    EXPECT_TRUE(g.getOutline().empty()) << width;
  }
  // 5,000 samples at most, dropped from the end; 5,000 vertices at most.
  std::vector<OutlineBox> many;
  for (int i = 0; i < 40; ++i) many.push_back({{i * 300.0f, 0}, {i * 300.0f + 200, 400}});
  const std::vector<Vec2> all = OuterAreaGeometry::sampleBoxes({many[0]}, 2.0f, 0.0f);
  const std::vector<Vec2> capped = OuterAreaGeometry::sampleBoxes(many, 2.0f, 0.0f);
  ASSERT_EQ(capped.size(), OuterAreaGeometry::kMaxSamples);
  EXPECT_TRUE(std::equal(all.begin(), all.end(), capped.begin()));
  OuterAreaGeometry g;
  g.setDistance(0.00005f);
  g.setIterations(20);
  g.build(many, 12000, 400, 0.0f);
  EXPECT_FALSE(g.getOutline().empty());
  EXPECT_LE(g.getOutline().size(), OuterAreaGeometry::kMaxVertices);
  EXPECT_LE(g.getTriangles().size(), OuterAreaGeometry::kMaxTriangles);
}

TEST(SampleTreeTest, NearestDistanceIsExact) {
  std::vector<Vec2> points;
  for (int i = 0; i < 200; ++i) points.push_back({static_cast<float>((i * 37) % 101), static_cast<float>((i * 53) % 89)});
  const SampleTree tree(points);
  for (Vec2 q : {Vec2(0.5f, 0.5f), Vec2(50.3f, 20.7f), Vec2(-40, 300), Vec2(99.9f, 88.1f)}) {
    float best = std::numeric_limits<float>::infinity();
    for (Vec2 p : points) best = std::fmin(best, dist(p, q));
    EXPECT_FLOAT_EQ(tree.nearestDistance(q), best);
  }
  EXPECT_TRUE(std::isinf(SampleTree({}).nearestDistance({0, 0})));
}

// The search that stops at the first point closer than the limit answers
// "at least limit away?" as the exact search does, and gives the exact
// distance whenever it is: queries near, between and far from 2,000
// scattered points, against limits around their spacing.
TEST(SampleTreeTest, DistanceBeyondALimitAnswersAsTheExactSearch) {
  std::vector<Vec2> points;
  for (int i = 0; i < 2000; ++i)
    points.push_back({static_cast<float>((i * 7919) % 1009) * 0.99f, static_cast<float>((i * 104729) % 997) * 1.01f});
  const SampleTree tree(points);
  int beyond = 0, within = 0;
  for (int k = 0; k < 4000; ++k) {
    const Vec2 q(static_cast<float>((k * 613) % 1200) - 100.0f + 0.37f * (k % 7),
                 static_cast<float>((k * 389) % 1150) - 75.0f + 0.53f * (k % 5));
    const float limit = 2.0f + static_cast<float>(k % 40);
    const float exact = tree.nearestDistance(q);
    const float quick = tree.nearestDistanceBeyond(q, limit);
    ASSERT_EQ(quick >= limit, exact >= limit) << q.x << ", " << q.y << " limit " << limit;
    if (exact >= limit) {
      ASSERT_EQ(quick, exact);
      ++beyond;
    } else {
      ++within;
    }
  }
  // Both answers were asked for often.
  EXPECT_GT(beyond, 500);
  EXPECT_GT(within, 500);
  EXPECT_TRUE(std::isinf(SampleTree({}).nearestDistanceBeyond({0, 0}, 1.0f)));
}

// A hint only speeds the search up: with no hint, the nearest point, a far
// point, a neighbouring point or an index past the end, the answer is the
// one without a hint, and the hint comes back naming a point at the
// distance answered.
TEST(SampleTreeTest, AnyHintGivesTheAnswerOfTheSearchWithoutOne) {
  std::vector<Vec2> points;
  for (int i = 0; i < 1500; ++i)
    points.push_back({static_cast<float>((i * 7919) % 809) * 1.03f, static_cast<float>((i * 104729) % 701) * 0.97f});
  const SampleTree tree(points);
  int hintedBeyond = 0;
  for (int k = 0; k < 1500; ++k) {
    const Vec2 q(static_cast<float>((k * 613) % 1000) - 100.0f + 0.41f * (k % 7),
                 static_cast<float>((k * 389) % 900) - 100.0f + 0.29f * (k % 5));
    const float limit = 1.0f + static_cast<float>(k % 30);
    const float plain = tree.nearestDistanceBeyond(q, limit);
    std::uint32_t nearest = SampleTree::kNoHint;
    tree.nearestDistanceBeyond(q, std::numeric_limits<float>::infinity(), nearest);
    ASSERT_LT(nearest, points.size());
    const struct {
      const char* name;
      std::uint32_t hint;
    } hints[] = {{"none", SampleTree::kNoHint},
                 {"the nearest", nearest},
                 {"a far one", static_cast<std::uint32_t>((k * 31) % points.size())},
                 {"a neighbour", static_cast<std::uint32_t>((nearest + 1) % points.size())},
                 {"past the end", static_cast<std::uint32_t>(points.size() + 3)}};
    for (const auto& h : hints) {
      std::uint32_t hint = h.hint;
      const float quick = tree.nearestDistanceBeyond(q, limit, hint);
      ASSERT_EQ(quick >= limit, plain >= limit) << h.name << " at " << q.x << ", " << q.y << " limit " << limit;
      if (plain >= limit) {
        ASSERT_EQ(quick, plain) << h.name;
        if (h.hint < points.size()) ++hintedBeyond;
      }
      ASSERT_LT(hint, points.size()) << h.name;
      EXPECT_FLOAT_EQ(dist(points[hint], q), quick) << h.name;
    }
  }
  EXPECT_GT(hintedBeyond, 1000);
}

// One contraction step with plain searches over every sample and vertex.
void plainContourStep(std::vector<Vec2>& v, const std::vector<Vec2>& samples, float step) {
  auto nearest = [&](Vec2 p) {
    double best = std::numeric_limits<double>::max();
    for (Vec2 s : samples) {
      const double dx = double(p.x) - s.x, dy = double(p.y) - s.y;
      best = std::min(best, dx * dx + dy * dy);
    }
    return static_cast<float>(std::sqrt(best));
  };
  const std::size_t n = v.size();
  auto prev = [&](std::size_t i) { return (i + v.size() - 1) % v.size(); };
  auto next = [&](std::size_t i) { return (i + 1) % v.size(); };
  std::vector<Vec2> motion(n);
  for (std::size_t i = 0; i < n; ++i) {
    const float d = nearest(v[i]);
    const Vec2 along = v[next(i)] - v[prev(i)];
    if (d >= step && along.length() > 0.0f) {
      const Vec2 t = along / along.length();
      motion[i] = Vec2(t.y, -t.x) * (OuterAreaGeometry::kMotion * d);
    }
  }
  for (std::size_t i = 0; i < n; ++i) {
    if (motion[i] == Vec2()) continue;
    const Vec2 moved = v[i] + motion[i];
    bool blocked = false;
    for (std::size_t j = 0; j < n && !blocked; ++j)
      blocked = j != i && j != prev(i) && j != next(i) && dist(v[j], moved) < step;
    if (!blocked) v[i] = moved;
  }
  const float longest = OuterAreaGeometry::kSplitLength * step;
  for (std::size_t i = 0; i < v.size() && v.size() < OuterAreaGeometry::kMaxVertices; ++i) {
    std::size_t at = i;
    const Vec2 vertex = v[at], before = v[prev(at)];
    if (dist(vertex, before) > longest) {
      v.insert(v.begin() + static_cast<std::ptrdiff_t>(at++), (before + vertex) * 0.5f);
      if (v.size() >= OuterAreaGeometry::kMaxVertices) break;
    }
    const Vec2 after = v[next(at)];
    if (dist(vertex, after) > longest) v.insert(v.begin() + static_cast<std::ptrdiff_t>(at) + 1, (vertex + after) * 0.5f);
  }
  for (std::size_t i = 0; i < v.size(); ++i)
    if (nearest(v[i]) >= step) v[i] += ((v[prev(i)] + v[next(i)]) * 0.5f - v[i]) * OuterAreaGeometry::kSmoothing;
}

// Contraction steps search a kd-tree, keep each vertex's nearest sample as a
// hint for the next step, skip the search for vertices known to be clear of
// the samples and look for crowding vertices on a grid: the outline is the
// plain step's to the bit, whether the hints are kept, started afresh in
// every step, or all wrong, on a densely sampled layout (step 5 on boxes of
// 60 to 200 units) run for 12 steps.
TEST(OuterOutline, ContractionIsTheSameWhateverHintsItIsGiven) {
  std::vector<OutlineBox> boxes;
  for (int i = 0; i < 12; ++i) {
    const float x = static_cast<float>((i * 37) % 9) * 130.0f, y = static_cast<float>((i * 53) % 7) * 150.0f;
    boxes.push_back({{x, y}, {x + 60.0f + 12.0f * (i % 4), y + 80.0f + 30.0f * (i % 5)}});
  }
  const float step = 5.0f;
  const std::vector<Vec2> samples = OuterAreaGeometry::sampleBoxes(boxes, step, 0.0f);
  const SampleTree tree(samples);
  const std::vector<Vec2> start = OuterAreaGeometry::resampleChain(TriangleMesher::convexHull(samples), step);
  ASSERT_GT(start.size(), 100u);
  const std::function<void(std::vector<std::uint32_t>&, std::size_t)> kinds[] = {
      [](std::vector<std::uint32_t>&, std::size_t) {},
      [](std::vector<std::uint32_t>& hints, std::size_t) { hints.clear(); },
      [](std::vector<std::uint32_t>& hints, std::size_t n) { hints.assign(n, 0); },
      [&](std::vector<std::uint32_t>& hints, std::size_t n) {
        hints.resize(n);
        for (std::size_t i = 0; i < n; ++i) hints[i] = static_cast<std::uint32_t>((i * 977) % samples.size());
      }};
  std::vector<std::vector<Vec2>> outlines;
  {
    // The reference: the step as the outline's contract states it, every
    // search against every sample and every vertex.
    std::vector<Vec2> v = start;
    for (int k = 0; k < 12; ++k) plainContourStep(v, samples, step);
    outlines.push_back(v);
  }
  for (const auto& spoil : kinds) {
    std::vector<Vec2> outline = start;
    std::vector<std::uint32_t> hints;
    for (int k = 0; k < 12; ++k) {
      spoil(hints, outline.size());
      OuterAreaGeometry::contourStep(outline, tree, step, hints);
    }
    outlines.push_back(outline);
  }
  // The contraction did move and split the hull.
  EXPECT_NE(outlines[0].size(), start.size());
  for (std::size_t i = 1; i < outlines.size(); ++i) {
    ASSERT_EQ(outlines[i].size(), outlines[0].size()) << i;
    for (std::size_t v = 0; v < outlines[0].size(); ++v) {
      ASSERT_EQ(outlines[i][v].x, outlines[0][v].x) << i << " vertex " << v;
      ASSERT_EQ(outlines[i][v].y, outlines[0][v].y) << i << " vertex " << v;
    }
  }
}

// ---- Square ----

TEST(SquareArea, OneElementIsFramedByAFiftiethOfTheDiagonalAndIgnoresTheOutlineParameters) {
  AreaScene scene;
  scene.setDiagramBox({0, 0}, {999, 999});
  IdentifiedArea area("a");
  area.addElement(scene.addClass("c", {100, 200}, {300, 260}));
  AreaVisualizerSquare painter;
  painter.prepare(50, &scene.diagram);
  Vec2 lo, hi;
  ASSERT_TRUE(painter.predictExtent(&area, lo, hi));
  const float border = std::sqrt(2.0f) * 1000.0f / 50.0f;
  EXPECT_FLOAT_EQ(painter.getBorderWidth(), border);
  Vec2 boxLo, boxHi;
  ASSERT_TRUE(painter.getBounds(boxLo, boxHi));
  EXPECT_EQ(boxLo, Vec2(100, 200));
  EXPECT_EQ(boxHi, Vec2(300, 260));
  EXPECT_NEAR(lo.x, 100 - border, 1.01f);
  EXPECT_NEAR(hi.y, 260 + border, 1.01f);

  std::vector<float> before;
  ASSERT_TRUE(painter.appendSignature(before));
  painter.setRadius(3.0f);
  painter.setDistance(0.01f);
  painter.setIterations(0);
  painter.setMethod(AREA_METHOD_LINE);
  painter.predictExtent(&area, lo, hi);
  std::vector<float> after;
  painter.appendSignature(after);
  EXPECT_EQ(before, after);

  IdentifiedArea empty("none");
  painter.predictExtent(&empty, lo, hi);
  EXPECT_GT(lo.x, hi.x);  // draws nothing
}

TEST(AreaPainterKinds, OuterAndSquareAreMadeByNameKeepingModeMethodAndSoftness) {
  Area area("a");
  area.getVisualizer()->setDrawingMode(AREA_MODE_CONTOUR);
  area.getVisualizer()->setSoftness(70);
  for (const char* name : {AREA_PAINTER_OUTER, AREA_PAINTER_SQUARE, AREA_PAINTER_INNER, AREA_PAINTER_OUTER}) {
    ASSERT_TRUE(area.setVisualizer(name)) << name;
    EXPECT_EQ(area.getVisualizer()->getName(), name);
    EXPECT_EQ(area.getVisualizer()->getDrawingMode(), AREA_MODE_CONTOUR);
    EXPECT_EQ(area.getVisualizer()->getSoftness(), 70);
  }
  EXPECT_EQ(areaVisualizerNames(), (std::vector<std::string>{"Inner", "Outer", "Square"}));
}

}  // namespace
}  // namespace lumetra
