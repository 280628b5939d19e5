#pragma once
// Drawing the pieces of a recorded part grouped by kind of primitive.
//
// A painter draws a part of the scene piece after piece (a class: fill,
// outline, name, compartment line, features; then the glyphs on it: fill,
// outline), so the kinds of primitive alternate, and a display list turns
// every switch into a draw of its own, and every switch between smoothed
// lines and anything else into a change of rasterizer state, which costs a
// software renderer far more than the primitives.
//
// While a window records a part, GLPainter holds the part's primitives
// back (each with the state it needs resolved) and at the end of the part
// draws them grouped: step k of every piece that cannot touch the pixels
// of the others goes in one run. Where the pixels two pieces may touch are
// disjoint, any interleaving that keeps each piece's own order leaves the
// same framebuffer (blending, depth and stencil act per pixel), so a piece
// starts only when every earlier piece whose footprint may overlap its own
// has finished. Footprints are the pieces' boxes projected with the
// recording view and grown by a margin (how far past its vertices a
// primitive's pixels may reach: a pixel for fills and text, half the line
// width and one or two pixels for plain or smoothed lines) and a quarter
// more, so that small changes of the view keep the judgement; a replay
// under any other view checks that pieces drawn out of order still keep
// their footprints apart (footprintsApart) and otherwise records the part
// again in order.
// Only pieces wholly inside the view (and between its near and far planes)
// are drawn out of order: llvmpipe sends a draw with any vertex outside
// through its clipping path, where the same primitive can come out one
// level different in a few pixels, so which primitives share a draw must
// not change there. Where a group of pieces reaches outside, its
// primitives are drawn in the painter's order with the painter's own state
// calls, which gives the same commands as drawing them straight away; a
// replay under a view that takes a reordered piece out of the view records
// its part again in order.
// Drawing that cannot be held back (text through the font's own drawing,
// polygons through the tessellator, GL calls of a painter's own after
// GLStateBatch::settle) is a barrier: what came before is drawn first.

#include <vector>

#include "render/Vec3.h"

namespace lumetra {

// One piece of a part drawn out of order, for checking other views.
struct ReorderedPiece {
  Vec3 low, high;     // the box of its vertices, in the recording's coordinates
  float margin = 2;   // pixels its drawing may reach past the box
  float recorded[4];  // its screen box at the recording, grown by the margin and
                      // a slack
  int group = 0;      // pieces of one group were scheduled together
};

class PieceReorder {
 public:
  // Starts holding back what the painter draws into the part being
  // recorded, under the clip matrix (projection times model-view,
  // column-major) and a viewport of width x height pixels. Not while a
  // vector file is recorded.
  static void beginPart(const float clip[16], int width, int height);
  static bool holding();
  // The piece the painter drew since the last call ends here.
  static void pieceEnd();
  // Draws what is held back and stops holding back; returns the pieces
  // that were drawn out of order (with others of their group).
  static std::vector<ReorderedPiece> endPart();

  // Totals since the start: primitives drawn from held-back parts, and the
  // runs of one kind they would have made in the painter's order and made
  // in the order drawn (each run is at least one draw).
  struct Counts {
    unsigned long primitives = 0;
    unsigned long runsInOrder = 0;
    unsigned long runsDrawn = 0;
  };
  static Counts counts();
};

// Whether the pieces drawn out of order in one part may be replayed under
// this clip matrix and viewport: each lies wholly inside the view, and no
// two pieces of a group whose footprints (the box projected, grown by the
// margin) touch now were apart at the recording.
bool footprintsApart(const std::vector<ReorderedPiece>& pieces, const float clip[16], int width, int height);

}  // namespace lumetra
