#pragma once
// How large diagram units show on screen, for the level of detail a window
// records its scene at. Plain maths, no GL.

#include "render/Vec3.h"

namespace lumetra {

// The most pixels a unit step along x or y covers anywhere in the box
// lo..hi, under clip = matrix * point (column-major, projection times
// model-view) and a viewport of width x height pixels. Infinite when a
// corner lies at or behind the eye (nothing there may be reduced), and for
// a matrix or box that is not finite.
float largestScreenScale(const float matrix[16], int width, int height, Vec3 lo, Vec3 hi);

// The scale rounded up to a power of the square root of two (at most 1.42
// times the scale): a window records detail at that step, so zooming within
// a step keeps the recorded scene. Infinite and non-positive scales are
// returned unchanged.
float detailScaleStep(float scale);

}  // namespace lumetra
