#include "geo/Circle.h"

namespace geo {

int Circle::created = 0;

Circle::Circle(Point centre, double radius) : centre_(centre), radius_(radius) { ++created; }

double Circle::area() const {
  if (radius_ <= 0) return 0;
  return 3.14159 * radius_ * radius_;
}

std::string Circle::name() const { return radius_ > 10 && centre_.x > 0 ? "big circle" : "circle"; }

}  // namespace geo
