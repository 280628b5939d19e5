#pragma once
// The flat drawing state the area painters, the eraser and the area pass
// draw in, held by one scoped object: every attribute is pushed when it is
// made and popped when it goes, so no return path leaves state behind. The
// drawing lies in the diagram plane: no depth test, no alpha test and no
// face culling while the object lives. Needs a current GL context.
//
// Painters describe what they draw (FlatPrimitives.h) inside such a scope;
// they never call GL themselves.

#include "platform/GLExtensions.h"
#include "platform/NonCopyable.h"

namespace lumetra {

class AlphaTexture;

// How what is drawn meets the colour buffer (s the colour drawn, a its
// alpha, d the colour there).
enum class Blend {
  Off,   // s replaces d
  Over,  // s * a + d * (1 - a)
  Add,   // d + s * a
};

class FlatDrawState : NonCopyable {
 public:
  explicit FlatDrawState(Blend blend);
  ~FlatDrawState();

  void setBlend(Blend blend);
  // The texture's alpha multiplies the colour: binds it and switches
  // texturing on.
  void useTexture(AlphaTexture& texture);
  // Binds the texture (alpha multiplying the colour) without switching
  // texturing on or off.
  void bindTexture(AlphaTexture& texture);
  void setTextured(bool textured);
  // Line width in pixels, lines smoothed whatever the drawing around left.
  void setSmoothLines(float width);
};

// The colour of what is drawn next.
void setDrawColour(float r, float g, float b, float a);
// Clears the colour buffer (within the scissor box, if one is on).
void clearColourBuffer(float r, float g, float b, float a);

// Turns every pixel of the viewport into white minus its colour: with the
// blend equation, white is drawn subtracting the buffer from it; without
// it, every bit of the 8-bit channels is inverted (255 - v, the same).
// Leaves the blend equation at its default (add).
void whiteMinusViewport(BlendEquationProc blendEquation);

}  // namespace lumetra
