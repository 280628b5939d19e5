#include "render/ScreenScale.h"

#include <cmath>
#include <initializer_list>
#include <limits>

namespace lumetra {

float largestScreenScale(const float m[16], int width, int height, Vec3 lo, Vec3 hi) {
  constexpr float kInfinite = std::numeric_limits<float>::infinity();
  const double halfW = 0.5 * (width > 0 ? width : 1);
  const double halfH = 0.5 * (height > 0 ? height : 1);
  double largest = 0.0;
  for (float x : {lo.x, hi.x})
    for (float y : {lo.y, hi.y})
      for (float z : {lo.z, hi.z}) {
        double c[4];
        for (int row = 0; row < 4; ++row)
          c[row] = static_cast<double>(m[row]) * x + static_cast<double>(m[4 + row]) * y +
                   static_cast<double>(m[8 + row]) * z + m[12 + row];
        if (!(c[3] > 0.0)) return kInfinite;
        // The derivative of the window position along a unit step of each
        // axis: d(c/w) = (dc * w - c * dw) / w^2.
        for (int axis = 0; axis < 2; ++axis) {
          const float* d = m + axis * 4;
          const double dx = halfW * (d[0] * c[3] - c[0] * d[3]) / (c[3] * c[3]);
          const double dy = halfH * (d[1] * c[3] - c[1] * d[3]) / (c[3] * c[3]);
          const double length = std::sqrt(dx * dx + dy * dy);
          if (!std::isfinite(length)) return kInfinite;
          if (length > largest) largest = length;
        }
      }
  if (!(largest < static_cast<double>(std::numeric_limits<float>::max()))) return kInfinite;
  return static_cast<float>(largest);
}

float detailScaleStep(float scale) {
  if (!(scale > 0.0f) || std::isinf(scale)) return scale;
  const double steps = std::ceil(2.0 * std::log2(static_cast<double>(scale)));
  const double stepped = std::exp2(steps / 2.0);
  // The rounding of log2 may land a hair below the scale itself.
  return static_cast<float>(stepped < scale ? stepped * 1.0000001 : stepped);
}

}  // namespace lumetra
