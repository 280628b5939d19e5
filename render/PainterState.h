#pragma once
// The GL state GLPainter keeps between primitives inside a GLStateBatch,
// shared by the painter and the code that draws a recorded part's held-back
// primitives (render/PieceReorder.h). Internal to the render module:
// painters draw through GLPainter.

#include <GL/gl.h>

#include "platform/NonCopyable.h"

namespace lumetra::painter_state {

// What a primitive needs before its first GL call inside a batch.
// kPlainLine: a line primitive drawn without smoothing.
enum class Drawing : unsigned char { kFill, kLine, kFill3D, kLine3D, kText, kPlainLine, kPlainLine3D };

inline bool isLine(Drawing kind) {
  return kind == Drawing::kLine || kind == Drawing::kLine3D || kind == Drawing::kPlainLine ||
         kind == Drawing::kPlainLine3D;
}

// How many GLStateBatch scopes are open.
extern int gBatchDepth;

// Sets what kind needs inside a batch (nothing outside one). While a part's
// primitives are held back, only notes the kind for the next primitive.
void prepareFor(Drawing kind);
// Puts back what the batch left set; draws held-back primitives first.
void settleBatch();

// The text state for textured glyph quads in colour rgba: inside a batch it
// is kept for the texts that follow, with the colour set only when it
// changes; outside one it is pushed here and popped by closeUnbatchedText.
void openText(const GLfloat rgba[4]);
// Binds the glyph texture for the next block unless it is bound already.
void bindGlyphTexture(unsigned int texture);
void closeUnbatchedText();
// The colour of the open text state no longer holds (the current colour
// was set by something else).
void forgetTextColour();
// What GLPainter::setLineSmoothing does inside a batch.
void smoothingInBatch(bool on);

// Line smoothing as one line primitive drawn outside a batch needs it, off
// for a plain line, on for a smoothed one, where it is not so already
// (inside a batch, prepareFor keeps it for the next).
class PlainLineState : NonCopyable {
 public:
  explicit PlainLineState(bool plain);
  ~PlainLineState();

 private:
  bool own_;
};

// The depth function of a 3D shape: GL_LEQUAL for the shape and GL_ALWAYS
// afterwards; inside a batch it stays until a 2D drawing follows.
class Depth3DScope : NonCopyable {
 public:
  explicit Depth3DScope(Drawing kind);
  ~Depth3DScope();

 private:
  bool own_;
};

}  // namespace lumetra::painter_state

namespace lumetra::piece_capture {

// Hooks by which GLPainter holds back the primitives of a part being
// recorded (render/PieceReorder.h): while capturing(), it hands every block
// here instead of to GL, with its state resolved (the kind prepareFor was
// asked for, colour with the global alpha, line width, glyph texture).
extern bool gOn;
inline bool capturing() { return gOn && painter_state::gBatchDepth > 0; }

// prepareFor(kind), setLineSmoothing(on) inside a batch, and a colour set
// outside a block (text that draws no glyph): noted in the order they come,
// so that what is drawn in the painter's order gets the same GL calls.
void kind(painter_state::Drawing kind);
void smoothing(bool on);
void colourSet(const GLfloat rgba[4]);
void beginPrimitive(GLenum mode, const GLfloat rgba[4]);
// A block of glyph quads with the texture bound and the colour set before it.
void beginText(unsigned int texture, const GLfloat rgba[4]);
// The texture coordinate of the next vertex of a text block.
void texCoord(float s, float t);
void vertex2(float x, float y);
void vertex3(float x, float y, float z);
void endPrimitive();
// The line width GLPainter set last, captured (noted in order) or not.
void lineWidth(float width);
// Draws what is held back (the pieces so far, the piece begun included)
// grouped by kind; holding back goes on for what follows.
void drawHeldBack();

// Draws what is held back and lets GL calls through while it lasts, for
// drawing that cannot be held back (text through the font's own drawing).
class Suspend : NonCopyable {
 public:
  Suspend();
  ~Suspend();

 private:
  bool was_;
};

}  // namespace lumetra::piece_capture
