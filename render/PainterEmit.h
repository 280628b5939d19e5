#pragma once
// What every drawing of the painter goes through on its way to GL: the
// colour with the global alpha, the primitive's begin and end, and every
// vertex (tracked into the drawing's box, or held back by the piece
// capture). Shared by the painter's source files only.

#include <GL/gl.h>

#include <cmath>

#include "render/PainterContext.h"
#include "render/PainterState.h"
#include "render/VectorSink.h"
#include "settings/Color.h"

namespace lumetra::painter_emit {

using piece_capture::capturing;

inline void setColor(const Color& c) {
  // A held-back primitive carries its colour; it is set when it is drawn.
  if (capturing()) return;
  const GLfloat rgba[4] = {c.r, c.g, c.b, c.a * painterContext().globalAlpha};
  glColor4fv(rgba);
}

// glBegin, then the colour as the block's first command. A colour set
// between blocks would end the run of vertices a display list merges into
// one draw; inside the block it travels with the vertices, and it stays the
// current colour afterwards just the same.
inline void begin(GLenum mode, const Color& c) {
  if (capturing()) {
    const GLfloat rgba[4] = {c.r, c.g, c.b, c.a * painterContext().globalAlpha};
    piece_capture::beginPrimitive(mode, rgba);
    return;
  }
  const PainterContext& context = painterContext();
  if (context.vectorSink != nullptr && c.a * context.globalAlpha < 1.0f) context.vectorSink->translucentPrimitive();
  glBegin(mode);
  setColor(c);
}

// The glEnd of a block begun with begin.
inline void end() {
  if (capturing()) piece_capture::endPrimitive();
  else glEnd();
}

// The box of the drawing, while tracked.
inline void track(float x, float y, float z) {
  PainterContext& context = painterContext();
  if (!context.trackedAny) {
    context.low[0] = context.high[0] = x;
    context.low[1] = context.high[1] = y;
    context.low[2] = context.high[2] = z;
    context.trackedAny = true;
    return;
  }
  context.low[0] = std::fmin(context.low[0], x);
  context.low[1] = std::fmin(context.low[1], y);
  context.low[2] = std::fmin(context.low[2], z);
  context.high[0] = std::fmax(context.high[0], x);
  context.high[1] = std::fmax(context.high[1], y);
  context.high[2] = std::fmax(context.high[2], z);
}

// Every vertex the painter emits goes through these.
inline void vertex2(float x, float y) {
  if (painterContext().tracking) track(x, y, 0.0f);
  if (capturing()) piece_capture::vertex2(x, y);
  else glVertex2f(x, y);
}

inline void vertex3(float x, float y, float z) {
  if (painterContext().tracking) track(x, y, z);
  if (capturing()) piece_capture::vertex3(x, y, z);
  else glVertex3f(x, y, z);
}

}  // namespace lumetra::painter_emit
