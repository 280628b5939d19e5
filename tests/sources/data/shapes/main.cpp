#include "scene/Scene.h"

int main() {
  geo::Registry<geo::Circle> circles;
  geo::Circle circle({1, 2}, 3);
  circles.add("c", &circle);
  return circles.find("c") ? 0 : 1;
}
