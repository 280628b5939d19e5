#include "render/ScenePart.h"

#include <initializer_list>

namespace lumetra {

bool partMayShow(const ScenePartBox& box, const float m[16], int width, int height, float marginX, float marginY) {
  if (!box.bounded) return true;
  if (width <= 0 || height <= 0) return true;
  // The viewport grown by the margins, as a factor on w in clip space.
  const float grow[2] = {1.0f + 2.0f * marginX / static_cast<float>(width),
                         1.0f + 2.0f * marginY / static_cast<float>(height)};
  float clip[8][4];
  int n = 0;
  for (float x : {box.low.x, box.high.x})
    for (float y : {box.low.y, box.high.y})
      for (float z : {box.low.z, box.high.z}) {
        for (int row = 0; row < 4; ++row) clip[n][row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
        ++n;
      }
  // Outside when every corner lies beyond the same clip plane.
  for (int axis = 0; axis < 3; ++axis) {
    const float factor = axis < 2 ? grow[axis] : 1.0f;
    bool allBelow = true, allAbove = true;
    for (const auto& c : clip) {
      allBelow = allBelow && c[axis] < -factor * c[3];
      allAbove = allAbove && c[axis] > factor * c[3];
    }
    if (allBelow || allAbove) return false;
  }
  return true;
}

}  // namespace lumetra
