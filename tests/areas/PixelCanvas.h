#pragma once
// A hidden-frame GL canvas for pixel tests of the area and glyph painters:
// one diagram unit is one pixel, (0, 0) the lower-left corner, y up, and
// pixels are read back from the back buffer. The executable's main must
// start wxWidgets first (PixelCanvasMain.cpp).

#include <wx/frame.h>
#include <wx/glcanvas.h>

#include <memory>
#include <ostream>

namespace lumetra::test {

struct Pixel {
  int r = 0, g = 0, b = 0;
  int sum() const { return r + g + b; }
  friend bool operator==(const Pixel&, const Pixel&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Pixel& p) {
    return os << "(" << p.r << ", " << p.g << ", " << p.b << ")";
  }
};

class PixelCanvas {
 public:
  PixelCanvas(int width, int height);
  ~PixelCanvas();
  PixelCanvas(const PixelCanvas&) = delete;
  PixelCanvas& operator=(const PixelCanvas&) = delete;

  bool ok() const { return ok_; }
  // Viewport over the canvas, glOrtho(0, w, 0, h, -1000, 1000), identity
  // model-view, and the canvas's fixed state (no depth test, no blending).
  void resetView();
  void clear(float r, float g, float b);
  // The pixel whose centre is at (x + 0.5, y + 0.5).
  Pixel at(int x, int y) const;
  // How many pixels of the rectangle [x0, x1] x [y0, y1] match.
  int count(int x0, int y0, int x1, int y1, bool (*match)(const Pixel&)) const;

  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_;
  int height_;
  bool ok_ = false;
  wxFrame* frame_ = nullptr;
  wxGLCanvas* canvas_ = nullptr;
  std::unique_ptr<wxGLContext> context_;
};

}  // namespace lumetra::test
