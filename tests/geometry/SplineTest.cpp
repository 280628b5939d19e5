#include <gtest/gtest.h>

#include <cmath>

#include "geometry/Spline.h"

namespace lumetra {
namespace {

void expectNear(const Vec2& actual, const Vec2& expected, float tolerance = 1e-4f) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
}

TEST(TCBSplineTest, PointsWithRepeatedEndsGiveOneSegmentPerGap) {
  // The loop a self-association is drawn with: P, P, Q1, Q2, P, P.
  const Vec2 p(0, 0), q1(10, 20), q2(30, 5);
  TCBSpline spline;
  for (const Vec2& point : {p, p, q1, q2, p, p}) spline.addPoint(point);

  ASSERT_EQ(spline.segmentCount(), 3u);
  EXPECT_EQ(spline.pointCount(), 6);
  // Each segment runs between consecutive inner points: P->Q1, Q1->Q2, Q2->P.
  const Vec2 starts[] = {p, q1, q2};
  const Vec2 ends[] = {q1, q2, p};
  for (std::size_t i = 0; i < 3; ++i) {
    const auto& s = spline.segment(i);
    expectNear(s.c0, starts[i]);
    expectNear(s.c3 + s.c2 + s.c1 + s.c0, ends[i]);
  }
  expectNear(spline.evaluate(0.0f), p);
  expectNear(spline.evaluate(1.0f / 3.0f), q1);
  expectNear(spline.evaluate(2.0f / 3.0f), q2);
  expectNear(spline.evaluate(1.0f), p);  // the end of the last segment
}

TEST(TCBSplineTest, FewerThanFourPointsGiveNoSegmentAndTheOrigin) {
  TCBSpline spline;
  EXPECT_EQ(spline.evaluate(0.5f), Vec2());
  spline.addPoint({5, 5});
  spline.addPoint({6, 6});
  spline.addPoint({7, 7});
  EXPECT_EQ(spline.segmentCount(), 0u);
  EXPECT_EQ(spline.evaluate(0.5f), Vec2());
  EXPECT_EQ(spline.derivative(0.5f), Vec2());
}

TEST(TCBSplineTest, DefaultParametersGiveCatmullRomTangents) {
  // With t = c = b = 0 the start tangent is half the chord P2 - P0.
  TCBSpline spline;
  for (const Vec2& point : {Vec2(0, 0), Vec2(1, 0), Vec2(2, 2), Vec2(4, 2)}) spline.addPoint(point);
  ASSERT_EQ(spline.segmentCount(), 1u);
  expectNear(spline.derivative(0.0f), Vec2(1.0f, 1.0f));  // (P2 - P0) / 2
  expectNear(spline.derivative(1.0f), Vec2(1.5f, 1.0f));  // (P3 - P1) / 2
}

TEST(TCBSplineTest, FullTensionFlattensTheTangents) {
  TCBSpline spline;
  spline.setParameters(1.0f, 0.0f, 0.0f);
  EXPECT_FLOAT_EQ(spline.tension(), 1.0f);
  for (const Vec2& point : {Vec2(0, 0), Vec2(1, 0), Vec2(2, 2), Vec2(4, 2)}) spline.addPoint(point);
  expectNear(spline.derivative(0.0f), Vec2());
  expectNear(spline.derivative(1.0f), Vec2());
  // Still a Hermite segment from P1 to P2: halfway is the midpoint.
  expectNear(spline.evaluate(0.5f), Vec2(1.5f, 1.0f));
}

TEST(TCBSplineTest, BiasShiftsTheTangentTowardsTheIncomingChord) {
  TCBSpline spline;
  spline.setParameters(0.0f, 0.0f, 1.0f);
  for (const Vec2& point : {Vec2(0, 0), Vec2(1, 0), Vec2(2, 2), Vec2(4, 2)}) spline.addPoint(point);
  // b = 1: start tangent = P1 - P0, end tangent = P2 - P1.
  expectNear(spline.derivative(0.0f), Vec2(1.0f, 0.0f));
  expectNear(spline.derivative(1.0f), Vec2(1.0f, 2.0f));
}

TEST(SegmentSplineTest, ParameterMapsOntoSegmentsEvenly) {
  TCBSpline spline;
  for (const Vec2& point : {Vec2(0, 0), Vec2(0, 0), Vec2(10, 0), Vec2(20, 0), Vec2(30, 0), Vec2(30, 0)})
    spline.addPoint(point);
  ASSERT_EQ(spline.segmentCount(), 3u);
  // t = 0.5 is the middle of the second segment (10 -> 20); by symmetry 15.
  expectNear(spline.evaluate(0.5f), Vec2(15.0f, 0.0f));
  // Past the end the last segment is extrapolated (u = 1.6 of the cubic
  // -5u^3 + 5u^2 + 10u + 20), not wrapped round to the first.
  EXPECT_NEAR(spline.evaluate(1.2f).x, 28.32f, 1e-3f);
  // NaN reaches no segment instead of an undefined conversion.
  EXPECT_EQ(spline.evaluate(std::nanf("")), Vec2());
}

}  // namespace
}  // namespace lumetra
