#pragma once
// What a vector picture takes besides the GL primitives it records.

#include <string>

#include "model/Vec2.h"
#include "settings/Color.h"

namespace lumetra {

// Takes what a vector file (SVG, PDF) needs beside the GL primitives it
// records through feedback, where textured font quads would come out as
// flat boxes. While a sink is installed (GLPainter::setVectorSink) the
// painter hands it every text and leaves its texture font alone.
class VectorSink {
 public:
  virtual ~VectorSink() = default;
  // UTF-8 text (well-formed) whose pen origin on the base line is origin,
  // turned by angle (radians, counter-clockwise) about it, with an em of
  // em world units, in colour (alpha already multiplied by the global
  // alpha). Coordinates are those of the current model-view, as for any
  // primitive.
  virtual void text(const std::string& text, Vec2 origin, float angle, float em, Color color) = 0;
  // The line width set for the lines that follow, in pixels.
  virtual void lineWidth(float width) = 0;
  // A translucent primitive (one glBegin block) follows. GL blends each
  // primitive over what is there, so where translucent primitives overlap
  // they darken; a recorder that merges neighbouring fills must keep this
  // one apart.
  virtual void translucentPrimitive() = 0;
};

}  // namespace lumetra
