#pragma once
#include "geo/Point.h"
#include "geo/Shape.h"

namespace geo {

class Circle : public Shape {
 public:
  Circle(Point centre, double radius);
  double area() const override;
  std::string name() const override;
  static int created;
  static int count() { return created; }

 private:
  Point centre_;
  double radius_;
};

}  // namespace geo
