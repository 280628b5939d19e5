#pragma once
// A GL context of the X display drawing into an offscreen picture: rendering
// without showing any window (the batch image export, GL tests). Needs an X
// server (a desktop session or Xvfb). The picture is a framebuffer object of
// the context, bound while it lives (or, where the GL has none, a pixel
// buffer of the X display); its format matches the canvas's (RGBA 8 bits
// each, depth, stencil 8) but is single-buffered.

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/NonCopyable.h"

namespace lumetra {

// Why no offscreen context could be had, as one line of text.
class OffscreenError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class OffscreenGL : NonCopyable {
 public:
  // Opens the display named by $DISPLAY and makes a context on a width x
  // height pixel buffer current. Throws OffscreenError.
  OffscreenGL(int width, int height);
  ~OffscreenGL();

  int width() const { return width_; }
  int height() const { return height_; }
  // Makes the context current again (after another context was used), in
  // this thread.
  void makeCurrent();
  // Leaves the context current in no thread, so that another thread can
  // make it current.
  void releaseCurrent();
  // The buffer's pixels as RGB bytes, top row first (image order).
  std::vector<unsigned char> readRGB() const;
  // The same, bottom row first (the GL's order), without the flipped copy.
  std::vector<unsigned char> readRGBRows() const;

 private:
  struct Impl;
  Impl* impl_;
  int width_;
  int height_;
};

}  // namespace lumetra
