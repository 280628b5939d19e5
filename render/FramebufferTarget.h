#pragma once
// A framebuffer object with colour, depth and stencil of a given size in the
// current GL context: drawing into it instead of the window lets a view be
// rendered larger than the window, with every texture and display list of
// that context at hand (the window's fonts, the areas' painters). Needs
// framebuffer objects (OpenGL 3.0); ok() tells whether one could be made.
// While it lives it is bound; the destructor binds the previous framebuffer
// again and deletes it (the context must still be current).

#include <string>
#include <vector>

#include "platform/NonCopyable.h"

namespace lumetra {

class FramebufferTarget : NonCopyable {
 public:
  FramebufferTarget(int width, int height);
  ~FramebufferTarget();

  // Whether the framebuffer is complete and bound; otherwise why not.
  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  // The pixels as RGB bytes, bottom row first, after glFinish.
  std::vector<unsigned char> readRGBRows() const;

 private:
  int width_;
  int height_;
  unsigned int framebuffer_ = 0;
  unsigned int colour_ = 0;
  unsigned int depthStencil_ = 0;
  int previous_ = 0;
  std::string error_;
};

}  // namespace lumetra
