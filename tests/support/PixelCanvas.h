#pragma once
// A shown GL canvas for pixel tests of the area and glyph painters, in the
// state a new context has: one diagram unit is one pixel, (0, 0) the
// lower-left corner, y up, and pixels are read back from the back buffer.
// The executable's main must start wxWidgets first (GLTestMain.cpp).

#include <gtest/gtest.h>

#include <ostream>

#include "tests/support/GLTestHarness.h"

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

  bool ok() const { return window_.ok(); }
  // Viewport over the canvas, glOrtho(0, w, 0, h, -1000, 1000), identity
  // model-view, and the canvas's fixed state (no depth test, no blending).
  void resetView();
  void clear(float r, float g, float b);
  // The pixel whose centre is at (x + 0.5, y + 0.5).
  Pixel at(int x, int y) const;
  // How many pixels of the rectangle [x0, x1] x [y0, y1] match.
  int count(int x0, int y0, int x1, int y1, bool (*match)(const Pixel&)) const;

  int width() const { return window_.width(); }
  int height() const { return window_.height(); }

 private:
  GLTestWindow window_;
};

// A fixture whose tests share one Width x Height canvas, made once for the
// suite; before each test the canvas is checked and, with ResetView, its
// view reset. A fixture that sets up more calls this SetUp first and stops
// when it failed.
template <int Width, int Height, bool ResetView = true>
class PixelCanvasTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { canvas_ = new PixelCanvas(Width, Height); }
  static void TearDownTestSuite() {
    delete canvas_;
    canvas_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(canvas_->ok());
    if (ResetView) canvas_->resetView();
  }

  static inline PixelCanvas* canvas_ = nullptr;
};

}  // namespace lumetra::test
