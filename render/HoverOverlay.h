#pragma once
// Something a window draws over its diagram in window pixels (the hover
// information box). The window owns it.

namespace lumetra {

class HoverOverlay {
 public:
  // Called with an orthographic projection of the window in pixels
  // (0..width, 0..height, y up) and identity model-view.
  virtual void draw(int windowWidth, int windowHeight) = 0;
  virtual ~HoverOverlay() = default;
};

}  // namespace lumetra
