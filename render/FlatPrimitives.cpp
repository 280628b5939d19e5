#include "render/FlatPrimitives.h"

#include <GL/gl.h>

namespace lumetra {

namespace {

// Beyond this a coordinate is held: converting a float outside int's range
// is undefined.
constexpr float kLargestCoordinate = 1.0e9f;

}  // namespace

int wholeUnits(float value) {
  if (value != value) return 0;
  if (value < -kLargestCoordinate) return -static_cast<int>(kLargestCoordinate);
  if (value > kLargestCoordinate) return static_cast<int>(kLargestCoordinate);
  return static_cast<int>(value);
}

PrimitiveBatch::PrimitiveBatch(unsigned int mode) { glBegin(mode); }

PrimitiveBatch::~PrimitiveBatch() { glEnd(); }

QuadBatch::QuadBatch() : PrimitiveBatch(GL_QUADS) {}

void QuadBatch::box(float x0, float y0, float x1, float y1) {
  glVertex2f(x0, y0);
  glVertex2f(x0, y1);
  glVertex2f(x1, y1);
  glVertex2f(x1, y0);
}

void QuadBatch::ramp(Vec2 a, Vec2 b, Vec2 c, Vec2 d) {
  glTexCoord2f(0.0f, 0.0f);
  glVertex2f(a.x, a.y);
  glTexCoord2f(0.0f, 1.0f);
  glVertex2f(b.x, b.y);
  glTexCoord2f(1.0f, 1.0f);
  glVertex2f(c.x, c.y);
  glTexCoord2f(1.0f, 0.0f);
  glVertex2f(d.x, d.y);
}

void QuadBatch::disc(Vec2 c, float half) {
  const int left = wholeUnits(c.x - half);
  const int right = wholeUnits(c.x + half);
  const int bottom = wholeUnits(c.y - half);
  const int top = wholeUnits(c.y + half);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2i(left, bottom);
  glTexCoord2f(0.0f, 1.0f);
  glVertex2i(left, top);
  glTexCoord2f(1.0f, 1.0f);
  glVertex2i(right, top);
  glTexCoord2f(1.0f, 0.0f);
  glVertex2i(right, bottom);
}

void QuadBatch::texturedBox(Vec2 lower, Vec2 upper) {
  ramp(lower, Vec2(lower.x, upper.y), upper, Vec2(upper.x, lower.y));
}

TriangleBatch::TriangleBatch() : PrimitiveBatch(GL_TRIANGLES) {}

void TriangleBatch::triangle(Vec2 a, Vec2 b, Vec2 c) {
  glVertex2f(a.x, a.y);
  glVertex2f(b.x, b.y);
  glVertex2f(c.x, c.y);
}

void drawLineLoop(const std::vector<Vec2>& points) {
  glBegin(GL_LINE_LOOP);
  for (const Vec2& v : points) glVertex2f(v.x, v.y);
  glEnd();
}

QuadArrays::QuadArrays() {
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

QuadArrays::~QuadArrays() { glPopClientAttrib(); }

void QuadArrays::draw(const std::vector<int>& corners, const std::vector<float>& texels) {
  if (corners.empty()) return;
  glVertexPointer(2, GL_INT, 0, corners.data());
  glTexCoordPointer(2, GL_FLOAT, 0, texels.data());
  glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(corners.size() / 2));
}

}  // namespace lumetra
