#include "areas/AreaQuads.h"

#include <GL/gl.h>

namespace lumetra {

namespace {

// Beyond this a coordinate is held: converting a float outside int's range
// is undefined.
constexpr float kLargestCoordinate = 1.0e9f;

int wholeUnits(float value) {
  if (value != value) return 0;
  if (value < -kLargestCoordinate) return -static_cast<int>(kLargestCoordinate);
  if (value > kLargestCoordinate) return static_cast<int>(kLargestCoordinate);
  return static_cast<int>(value);
}

}  // namespace

void rampQuad(Vec2 a, Vec2 b, Vec2 c, Vec2 d) {
  glTexCoord2f(0.0f, 0.0f);
  glVertex2f(a.x, a.y);
  glTexCoord2f(0.0f, 1.0f);
  glVertex2f(b.x, b.y);
  glTexCoord2f(1.0f, 1.0f);
  glVertex2f(c.x, c.y);
  glTexCoord2f(1.0f, 0.0f);
  glVertex2f(d.x, d.y);
}

void discQuad(Vec2 c, float half) {
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

}  // namespace lumetra
