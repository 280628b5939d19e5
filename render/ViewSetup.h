#pragma once
// GL's view set up for drawing a window's scene outside the canvas (the
// vector export, the pictures it embeds): the viewport, the matrices, the
// raster position, where points land in the window and the pixels read
// back. Each needs a current GL context; the matrix functions change the
// stacks' tops, so callers hold a MatrixGuard (render/GLState.h) for each
// stack they must give back.

#include <vector>

namespace lumetra {

class Matrix4;

// Viewport and scissor box both cover the width x height pixels.
void setViewport(int width, int height);
// The current viewport's size in pixels.
void viewportSize(int& width, int& height);
// The window's projection and model-view matrices; model-view is selected
// afterwards.
void loadViewMatrices(const Matrix4& projection, const Matrix4& modelView);
// Identity projection and model-view: coordinates are clip space (-1..1).
void loadClipMatrices();
// A width x height pixel projection (origin lower left, y up) and an
// identity model-view.
void loadPixelMatrices(int width, int height);
// The raster position of pixel drawing, in the current matrices.
void setRasterPosition(float x, float y);
// The colour glClear fills with.
void setClearColour(float r, float g, float b, float a);
// RGB bytes of the width x height pixels at the origin, rows bottom first,
// once everything drawn so far is finished.
std::vector<unsigned char> readRGBPixels(int width, int height);

// The current matrices and viewport, taken when made: where diagram points
// (z = 0) land in window pixels (y up).
class WindowProjection {
 public:
  WindowProjection();
  // False when the point cannot be projected.
  bool project(double x, double y, double& windowX, double& windowY) const;

 private:
  double modelView_[16];
  double projection_[16];
  int viewport_[4];
};

}  // namespace lumetra
