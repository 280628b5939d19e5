// The painter's GL state between primitives (see render/PainterState.h),
// line smoothing and the state batch.

#include "render/PainterState.h"

#include <algorithm>

#include "render/GLPainter.h"

namespace lumetra {

namespace painter_state {

int gBatchDepth = 0;

namespace {

// The text state is pushed (blending and texturing enabled).
bool gTextOpen = false;
unsigned int gTextTexture = 0;  // bound by the open text state, 0: none yet
bool gTextColourSet = false;
GLfloat gTextColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
// The depth function is GL_LEQUAL for 3D shapes (otherwise GL_ALWAYS).
bool gDepth3D = false;
// The enable bits are pushed with line smoothing on; wanted: a caller's
// setLineSmoothing(true) is in force.
bool gSmoothPushed = false;
bool gSmoothWanted = false;
// The enable bits are pushed with line smoothing off, for lines too small
// to need it; kept past fills until a smoothed line or text comes.
bool gPlainPushed = false;
// Line smoothing is on where nothing of the painter's is pushed (the
// canvas's fixed state); off while a caller has set a plain base.
bool gBaseSmooth = true;
// Outside a batch: a caller's setLineSmoothing(true) is in force.
bool gCallerSmooth = false;

void closeText() {
  if (!gTextOpen) return;
  glPopAttrib();
  gTextOpen = false;
}

void closePlain() {
  if (!gPlainPushed) return;
  glPopAttrib();
  gPlainPushed = false;
}

void depthFor2D() {
  if (!gDepth3D) return;
  glDepthFunc(GL_ALWAYS);
  gDepth3D = false;
}

void pushTextState() {
  glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_TEXTURE_2D);
}

}  // namespace

void prepareFor(Drawing kind) {
  if (gBatchDepth == 0) return;
  if (piece_capture::capturing()) {
    piece_capture::kind(kind);
    return;
  }
  // Text, when open, is the top of the attribute stack; below it the
  // plain-line push, below that the smoothing push.
  if (kind != Drawing::kText) closeText();
  const bool smoothed = kind == Drawing::kLine || kind == Drawing::kLine3D;
  // Only lines see line smoothing: a pop that waits may wait past fills.
  if (smoothed) closePlain();
  if (smoothed && gBaseSmooth && gSmoothPushed && !gSmoothWanted) {
    glPopAttrib();
    gSmoothPushed = false;
  }
  if (smoothed && !gBaseSmooth && !gSmoothPushed) {
    // On a plain base a smoothed line needs smoothing pushed; the push is
    // kept for the smoothed lines that follow, as a caller's would be.
    glPushAttrib(GL_ENABLE_BIT);
    glEnable(GL_LINE_SMOOTH);
    gSmoothPushed = true;
    gSmoothWanted = false;
  }
  if (kind == Drawing::kPlainLine || kind == Drawing::kPlainLine3D) {
    if (!gBaseSmooth && gSmoothPushed && !gSmoothWanted && !gPlainPushed) {
      // A smoothing push nobody wants any more: the base is plain.
      glPopAttrib();
      gSmoothPushed = false;
    }
    if (!gPlainPushed && (gSmoothPushed || gBaseSmooth)) {
      glPushAttrib(GL_ENABLE_BIT);
      glDisable(GL_LINE_SMOOTH);
      gPlainPushed = true;
    }
  }
  if (kind == Drawing::kFill3D || kind == Drawing::kLine3D || kind == Drawing::kPlainLine3D) {
    if (!gDepth3D) {
      glDepthFunc(GL_LEQUAL);
      gDepth3D = true;
    }
  } else {
    depthFor2D();
  }
}

void settleBatch() {
  piece_capture::drawHeldBack();
  closeText();
  closePlain();
  if (gSmoothPushed) {
    glPopAttrib();
    gSmoothPushed = false;
    gSmoothWanted = false;
  }
  depthFor2D();
}

void openText(const GLfloat rgba[4]) {
  const bool batch = gBatchDepth > 0;
  if (batch) {
    // Consecutive texts share the pushed state, the bound glyph texture
    // and the colour.
    prepareFor(Drawing::kText);
    if (!gTextOpen) {
      pushTextState();
      gTextOpen = true;
      gTextTexture = 0;
      gTextColourSet = false;
    }
  } else {
    pushTextState();
    gTextTexture = 0;
  }
  // The colour goes before the blocks: a colour first inside a textured
  // block recorded into a display list has been seen to corrupt the list
  // on Mesa. Inside a batch it is set only when it changes, so that the
  // blocks of consecutive texts in one colour merge.
  if (!batch || !gTextColourSet || !std::equal(rgba, rgba + 4, gTextColour)) {
    glColor4fv(rgba);
    if (batch) {
      std::copy(rgba, rgba + 4, gTextColour);
      gTextColourSet = true;
    }
  }
}

void bindGlyphTexture(unsigned int texture) {
  if (texture != gTextTexture || gTextTexture == 0) glBindTexture(GL_TEXTURE_2D, texture);
  gTextTexture = texture;
}

void closeUnbatchedText() { glPopAttrib(); }

void forgetTextColour() { gTextColourSet = false; }

PlainLineState::PlainLineState(bool plain) : own_(gBatchDepth == 0 && plain == (gCallerSmooth || gBaseSmooth)) {
  if (!own_) return;
  glPushAttrib(GL_ENABLE_BIT);
  if (plain)
    glDisable(GL_LINE_SMOOTH);
  else
    glEnable(GL_LINE_SMOOTH);
}

PlainLineState::~PlainLineState() {
  if (own_) glPopAttrib();
}

Depth3DScope::Depth3DScope(Drawing kind) : own_(gBatchDepth == 0) {
  if (own_)
    glDepthFunc(GL_LEQUAL);
  else
    prepareFor(kind);
}

Depth3DScope::~Depth3DScope() {
  if (own_) glDepthFunc(GL_ALWAYS);
}

}  // namespace painter_state

using namespace painter_state;

// --- line state
// ---------------------------------------------------------------

namespace painter_state {

void smoothingInBatch(bool on) {
  // The push is kept after an off until a line without smoothing comes,
  // so that the next on can reuse it.
  if (on && !gSmoothPushed) {
    closeText();
    closePlain();
    glPushAttrib(GL_ENABLE_BIT);
    glEnable(GL_LINE_SMOOTH);
    gSmoothPushed = true;
  }
  gSmoothWanted = on;
}

}  // namespace painter_state

void GLPainter::setLineSmoothing(bool on) const {
  if (gBatchDepth > 0) {
    if (piece_capture::capturing())
      piece_capture::smoothing(on);
    else
      smoothingInBatch(on);
    return;
  }
  gCallerSmooth = on;
  if (on) {
    glPushAttrib(GL_ENABLE_BIT);
    glEnable(GL_LINE_SMOOTH);
  } else {
    glPopAttrib();
  }
}

void GLPainter::setPlainLineBase(bool on) { gBaseSmooth = !on; }

bool GLPainter::plainLineBase() { return !gBaseSmooth; }

// --- state batch
// ------------------------------------------------------------------

GLStateBatch::GLStateBatch() { ++gBatchDepth; }

GLStateBatch::~GLStateBatch() {
  if (gBatchDepth == 1) settleBatch();
  --gBatchDepth;
}

void GLStateBatch::settle() { settleBatch(); }

bool GLStateBatch::active() { return gBatchDepth > 0; }

}  // namespace lumetra
