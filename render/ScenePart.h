#pragma once
// Which parts of a recorded scene can show in a view.
//
// A window records its scene as a sequence of parts, each in a display list
// of its own, with the box (in the coordinates the scene is drawn in) its
// drawing lies in. A replay calls the parts in their order and leaves out
// those that certainly cannot show under the current matrices, so a view on
// a small part of a large diagram replays little more than what it shows,
// while every part stays recorded for the next pan or zoom. Plain maths,
// no GL.

#include "render/Vec3.h"

namespace lumetra {

// The box of a part; a part without a box (the background) always shows.
struct ScenePartBox {
  bool bounded = false;
  Vec3 low;
  Vec3 high;
};

// False only when no point of the box can reach the viewport, grown by
// marginX and marginY pixels on every side (for line widths and smoothing),
// under clip = matrix * point (column-major, as GL keeps projection times
// model-view) and a viewport of width x height pixels. The test in
// homogeneous coordinates also holds for corners behind the eye.
bool partMayShow(const ScenePartBox& box, const float matrix[16], int width, int height, float marginX,
                 float marginY);

}  // namespace lumetra
