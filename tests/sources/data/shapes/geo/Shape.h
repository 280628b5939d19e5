#pragma once
#include <string>

namespace geo {

// Every figure of a scene.
class Shape {
 public:
  virtual ~Shape() = default;
  virtual double area() const = 0;
  virtual std::string name() const = 0;
};

}  // namespace geo
