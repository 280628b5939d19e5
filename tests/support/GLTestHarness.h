#pragma once
// Shared harness for GL tests: a shown frame holding a GL canvas with the
// program's pixel format, its context made current, and pixel read-back.
//
// Use: add GLTestMain.cpp to the test's SOURCES (it starts wxWidgets before
// the tests run) and link lumetra_render; register the test with GL so that
// it runs under Xvfb. Then, in a test:
//
//   GLTestWindow gl(200, 100);          // plain wxGLCanvas, fixed GL state set
//   gl.pixelProjection();               // glOrtho over the canvas in pixels
//   ... draw ...
//   Rgba p = gl.pixel(10, 20);          // from the back buffer, y up
//
// or GLTestWindow::withCanvas(w, h) for the program's own Canvas.

#include <wx/frame.h>
#include <wx/glcanvas.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

namespace lumetra {

class Canvas;

struct Rgba {
  int r = 0, g = 0, b = 0, a = 0;
  friend bool operator==(const Rgba&, const Rgba&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Rgba& c) {
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ")";
  }
};

class GLTestWindow {
 public:
  // The GL state a plain canvas starts with: the canvas's fixed state, or
  // what a new context has.
  enum class State { Fixed, Fresh };
  // A frame whose client area is exactly width x height, holding a plain
  // wxGLCanvas; the context is current, the state applied and the viewport
  // and scissor set to the whole canvas.
  explicit GLTestWindow(int width, int height, State state = State::Fixed);
  // The same with the program's Canvas (its first window covers the canvas).
  static std::unique_ptr<GLTestWindow> withCanvas(int width, int height);
  // Also clears the font registry: the fonts' textures live in this context.
  ~GLTestWindow();
  GLTestWindow(const GLTestWindow&) = delete;
  GLTestWindow& operator=(const GLTestWindow&) = delete;

  bool ok() const { return ok_; }
  wxFrame* frame() const { return frame_; }
  wxGLCanvas* glCanvas() const { return canvas_; }
  Canvas* canvas() const;  // null for the plain canvas
  int width() const { return width_; }
  int height() const { return height_; }

  void makeCurrent();
  // Viewport, scissor and glOrtho(0, w, 0, h) with identity model-view.
  void pixelProjection();
  // Clears the whole canvas (scissor reset) to the canvas's white.
  void clear();

  // Back buffer pixels, y counted from the bottom.
  Rgba pixel(int x, int y) const;
  std::vector<std::uint8_t> pixels() const;
  // Bounding box of pixels darker than threshold (sum of r, g, b) in the
  // back buffer; false when there are none.
  bool darkBox(int threshold, int& minX, int& minY, int& maxX, int& maxY) const;

 private:
  GLTestWindow(int width, int height, bool programCanvas, State state);

  int width_;
  int height_;
  bool ok_ = false;
  wxFrame* frame_ = nullptr;
  wxGLCanvas* canvas_ = nullptr;
  Canvas* programCanvas_ = nullptr;
  std::unique_ptr<wxGLContext> context_;
};

}  // namespace lumetra
