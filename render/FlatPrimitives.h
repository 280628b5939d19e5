#pragma once
// The shapes the area painters, the eraser and the area picture draw, in
// diagram units (y up), in whatever state the caller set (FlatDrawState.h).
// A batch begins its primitives when it is made and ends them when it goes;
// every shape added in between goes out at once, in the order added.

#include <vector>

#include "model/Vec2.h"
#include "platform/NonCopyable.h"

namespace lumetra {

// Begins primitives of one kind when made, ends them when it goes.
class PrimitiveBatch : NonCopyable {
 public:

 protected:
  explicit PrimitiveBatch(unsigned int mode);
  ~PrimitiveBatch();
};

class QuadBatch : public PrimitiveBatch {
 public:
  QuadBatch();

  // The axis-aligned box (x0, y0) - (x1, y1), corners in the order lower
  // left, upper left, upper right, lower right.
  void box(float x0, float y0, float x1, float y1);
  // The quad a, b, c, d with texture coordinates (0,0), (0,1), (1,1),
  // (1,0): the second coordinate is 1 along the edge b-c and 0 along d-a,
  // so a ramp texture fades in from d-a to b-c.
  void ramp(Vec2 a, Vec2 b, Vec2 c, Vec2 d);
  // The square of half-size half centred on c, texture (0,0) at the lower
  // left to (1,1) at the upper right; corners truncated to whole units
  // (held within int's range), so that discs snap to the unit grid.
  void disc(Vec2 c, float half);
  // The box lower - upper with the texture's lower left (0,0) at lower and
  // its upper right (1,1) at upper.
  void texturedBox(Vec2 lower, Vec2 upper);
};

class TriangleBatch : public PrimitiveBatch {
 public:
  TriangleBatch();

  void triangle(Vec2 a, Vec2 b, Vec2 c);
};

// A closed line through the points, in order.
void drawLineLoop(const std::vector<Vec2>& points);

// Many textured quads from arrays: corners as whole diagram units (x, y
// pairs, four corners a quad) and texture coordinates (s, t pairs, one per
// corner). The client array state is pushed while the object lives.
class QuadArrays : NonCopyable {
 public:
  QuadArrays();
  ~QuadArrays();

  void draw(const std::vector<int>& corners, const std::vector<float>& texels);
};

// A diagram-space coordinate as whole units, truncated towards zero and held
// within int's range (NaN gives 0).
int wholeUnits(float value);

}  // namespace lumetra
