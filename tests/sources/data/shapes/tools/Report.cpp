#include "geo/Shape.h"
#include "missing/Header.h"

namespace tools {

class Report {
 public:
  int pages = 0;
  geo::Shape* subject = nullptr;
};

}  // namespace tools
