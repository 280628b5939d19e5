#pragma once
// Parametric curves in diagram space. The association painter draws
// self-associations with a Kochanek-Bartels (TCB) spline.

#include <array>
#include <vector>

#include "model/Vec2.h"

namespace lumetra {

class spline {
 public:
  // The point at t in [0, 1] along the whole curve.
  virtual Vec2 evaluate(float t) const = 0;
  // The derivative at t, with respect to the parameter of the segment t falls in.
  virtual Vec2 derivative(float t) const = 0;
  virtual ~spline() = default;
};

// A sequence of cubic segments c3*u^3 + c2*u^2 + c1*u + c0, u in [0, 1],
// spread evenly over t in [0, 1].
class segmentSpline : public spline {
 public:
  struct Segment {
    Vec2 c3, c2, c1, c0;
  };

  Vec2 evaluate(float t) const override;
  Vec2 derivative(float t) const override;

  std::size_t segmentCount() const { return segments_.size(); }
  const Segment& segment(std::size_t index) const { return segments_.at(index); }
  // How many points the spline was given.
  int pointCount() const { return pointCount_; }

 protected:
  void appendSegment(const Segment& segment) { segments_.push_back(segment); }
  std::vector<Segment> segments_;
  int pointCount_ = 0;

 private:
  // The segment t falls in and the local parameter u; false without segments.
  bool locate(float t, std::size_t& index, float& u) const;
};

// A Kochanek-Bartels spline built point by point: n points give n - 3 Hermite
// segments running from the second to the second-to-last point, so callers
// repeat the end points to make the curve reach them.
class TCBSpline : public segmentSpline {
 public:
  TCBSpline() = default;
  void setParameters(float tension, float continuity, float bias);
  void addPoint(const Vec2& p);

  float tension() const { return tension_; }
  float continuity() const { return continuity_; }
  float bias() const { return bias_; }

 private:
  Vec2 previous_, current_, next_;
  float tension_ = 0.0f;
  float continuity_ = 0.0f;
  float bias_ = 0.0f;
};

}  // namespace lumetra
