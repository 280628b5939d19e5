#include "render/ViewSetup.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstddef>

#include "render/Matrix4.h"

namespace lumetra {

void setViewport(int width, int height) {
  glViewport(0, 0, width, height);
  glScissor(0, 0, width, height);
}

void viewportSize(int& width, int& height) {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  width = viewport[2];
  height = viewport[3];
}

void loadViewMatrices(const Matrix4& projection, const Matrix4& modelView) {
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(projection.data());
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(modelView.data());
}

void loadClipMatrices() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void loadPixelMatrices(int width, int height) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void setRasterPosition(float x, float y) { glRasterPos2f(x, y); }

void setClearColour(float r, float g, float b, float a) { glClearColor(r, g, b, a); }

std::vector<unsigned char> readRGBPixels(int width, int height) {
  std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
  glFinish();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}

WindowProjection::WindowProjection() {
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView_);
  glGetDoublev(GL_PROJECTION_MATRIX, projection_);
  glGetIntegerv(GL_VIEWPORT, viewport_);
}

bool WindowProjection::project(double x, double y, double& windowX, double& windowY) const {
  GLdouble windowZ = 0.0;
  return gluProject(x, y, 0.0, modelView_, projection_, viewport_, &windowX, &windowY, &windowZ) == GL_TRUE;
}

}  // namespace lumetra
