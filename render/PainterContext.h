#pragma once
// Everything the immediate-mode painter (GLPainter) keeps between calls, in
// one object: the global alpha, the level of detail, the vector sink, the
// line judgement of the open PlainLineScope, the box of the drawing while
// it is tracked, and the text counters. The painter's drawing functions are
// shared by every GL context of the program, so there is one context per
// process; GLPainter's static functions set and read it.

#include <limits>

namespace lumetra {

class VectorSink;

struct PainterContext {
  // Multiplies the alpha of every colour drawn.
  float globalAlpha = 1.0f;
  // Pixels per world unit for the level of detail; infinite: full detail.
  float detailScale = std::numeric_limits<float>::infinity();
  // A vector picture is being recorded: no simplification may show.
  bool recordingVectors = false;
  // Drawings the level of detail simplified so far.
  unsigned long reductions = 0;
  // Takes text and translucent primitives while a vector picture records.
  VectorSink* vectorSink = nullptr;
  // One judgement for every line primitive of a drawing: +1 plain, -1
  // smoothed, 0 each primitive judged by its own size.
  int lineOverride = 0;
  // The box of every vertex emitted while tracking is on.
  bool tracking = false;
  bool trackedAny = false;
  float low[3] = {0.0f, 0.0f, 0.0f};
  float high[3] = {0.0f, 0.0f, 0.0f};
  // Texts drawn through the glyph table's batched quads (off: each text
  // through the font's own drawing), and how often the font drew itself or
  // refused to while a list was compiled without drawing.
  bool textBatching = true;
  unsigned long fontDrawings = 0;
  unsigned long fontRefused = 0;
};

inline PainterContext& painterContext() {
  static PainterContext context;
  return context;
}

}  // namespace lumetra
