#pragma once
// A base for types that hold something a copy must not share (GL state to
// restore on leaving a scope, owned pointers, a context): copying and
// assigning are deleted.

namespace lumetra {

class NonCopyable {
 public:
  NonCopyable(const NonCopyable&) = delete;
  NonCopyable& operator=(const NonCopyable&) = delete;

 protected:
  NonCopyable() = default;
  ~NonCopyable() = default;
};

}  // namespace lumetra
