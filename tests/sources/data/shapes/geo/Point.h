#pragma once

namespace geo {

struct Point {
  double x = 0;
  double y = 0;
};

}  // namespace geo
