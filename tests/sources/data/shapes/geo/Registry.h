#pragma once
#include <map>
#include <string>

namespace geo {

template <typename T>
class Registry {
 public:
  void add(const std::string& key, T* item) { items_[key] = item; }
  T* find(const std::string& key) const {
    auto it = items_.find(key);
    return it == items_.end() ? nullptr : it->second;
  }

 private:
  std::map<std::string, T*> items_;
};

}  // namespace geo
