#pragma once

namespace scene::detail {

class Cache {
 public:
  int hits = 0;
};

}  // namespace scene::detail
