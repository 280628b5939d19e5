#pragma once
// The exceptions of the rendering layer. Each carries its message as what().

#include <stdexcept>
#include <string>

namespace lumetra {

// A rendering object was built or used in a way that cannot work, for example
// a canvas window without a canvas ("Invalid canvas pointer for window").
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// A graphics resource could not be created, for example a font
// ("Could not construct font from " followed by the file name).
class GraphicsException : public Exception {
 public:
  explicit GraphicsException(const std::string& message) : Exception(message) {}
};

}  // namespace lumetra
