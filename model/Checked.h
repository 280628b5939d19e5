#pragma once
// Bounds-tested index access shared by every indexed getter of the model.

#include <cstddef>
#include <stdexcept>
#include <vector>

namespace lumetra {

template <typename T>
const T& checkedAt(const std::vector<T>& list, std::size_t index) {
  if (index >= list.size()) throw std::out_of_range("invalid vector<T> subscript");
  return list[index];
}

// The first element of the list whose getName() is name, or null.
template <typename T, typename Name>
T* findNamed(const std::vector<T*>& list, const Name& name) {
  for (T* p : list)
    if (p->getName() == name) return p;
  return nullptr;
}

// Deletes every owned pointer of a list and empties it.
template <typename T>
void deleteAll(std::vector<T*>& list) {
  for (T* p : list) delete p;
  list.clear();
}

}  // namespace lumetra
