#pragma once
// Immediate-mode quads the "Outer" and "Square" area painters share. Call
// between glBegin(GL_QUADS) and glEnd(). Diagram units, y up.

#include "model/Vec2.h"

namespace lumetra {

// The quad a, b, c, d with texture coordinates (0,0), (0,1), (1,1), (1,0):
// the second coordinate is 1 along the edge b-c and 0 along d-a.
void rampQuad(Vec2 a, Vec2 b, Vec2 c, Vec2 d);

// A disc quad centred on c with half-size half, texture (0,0) at the lower
// left to (1,1) at the upper right; corners truncated to whole units
// (held within int's range).
void discQuad(Vec2 c, float half);

}  // namespace lumetra
