#include "render/FlatDrawState.h"

#include <GL/gl.h>

#include "render/AlphaTexture.h"
#include "render/FlatPrimitives.h"
#include "render/GLState.h"

namespace lumetra {

namespace {

constexpr unsigned int kFuncAdd = 0x8006;       // GL_FUNC_ADD
constexpr unsigned int kFuncSubtract = 0x800A;  // GL_FUNC_SUBTRACT: source minus destination

void fillViewport() {
  QuadBatch quad;
  quad.box(-1.0f, -1.0f, 1.0f, 1.0f);
}

}  // namespace

FlatDrawState::FlatDrawState(Blend blend) {
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  setBlend(blend);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
}

FlatDrawState::~FlatDrawState() { glPopAttrib(); }

void FlatDrawState::setBlend(Blend blend) {
  switch (blend) {
    case Blend::Off:
      glDisable(GL_BLEND);
      break;
    case Blend::Over:
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      break;
    case Blend::Add:
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE);
      break;
  }
}

void FlatDrawState::useTexture(AlphaTexture& texture) {
  glEnable(GL_TEXTURE_2D);
  bindTexture(texture);
}

void FlatDrawState::bindTexture(AlphaTexture& texture) {
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  texture.bind();
}

void FlatDrawState::setTextured(bool textured) {
  if (textured) glEnable(GL_TEXTURE_2D);
  else glDisable(GL_TEXTURE_2D);
}

void FlatDrawState::setSmoothLines(float width) {
  glLineWidth(width);
  glEnable(GL_LINE_SMOOTH);
}

void setDrawColour(float r, float g, float b, float a) { glColor4f(r, g, b, a); }

void clearColourBuffer(float r, float g, float b, float a) {
  glClearColor(r, g, b, a);
  glClear(GL_COLOR_BUFFER_BIT);
}

void whiteMinusViewport(BlendEquationProc blendEquation) {
  FlatDrawState state(Blend::Off);
  MatrixGuard projection(GL_PROJECTION);
  glLoadIdentity();
  MatrixGuard modelView(GL_MODELVIEW);
  glLoadIdentity();
  state.setTextured(false);
  setDrawColour(1.0f, 1.0f, 1.0f, 1.0f);
  if (blendEquation != nullptr) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    blendEquation(kFuncSubtract);
    fillViewport();
    blendEquation(kFuncAdd);
  } else {
    glEnable(GL_COLOR_LOGIC_OP);
    glLogicOp(GL_INVERT);
    fillViewport();
    glDisable(GL_COLOR_LOGIC_OP);
  }
}

}  // namespace lumetra
