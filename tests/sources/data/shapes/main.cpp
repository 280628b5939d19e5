#include "scene/Scene.h"

// A class a macro makes, as a test framework's TEST does: not imported.
#define CHECK_CLASS(name) \
  struct name##_Check {   \
    int runs = 0;         \
  };
CHECK_CLASS(circles)

int main() {
  geo::Registry<geo::Circle> circles;
  geo::Circle circle({1, 2}, 3);
  circles.add("c", &circle);
  return circles.find("c") ? 0 : 1;
}
