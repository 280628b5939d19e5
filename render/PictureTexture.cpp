#include "render/PictureTexture.h"

#include <GL/gl.h>

#include "render/FlatPrimitives.h"
#include "render/FramebufferProcs.h"
#include "render/GLListState.h"
#include "render/GLState.h"

namespace lumetra {

namespace {

constexpr GLint kClampToEdge = 0x812F;  // GL_CLAMP_TO_EDGE

// The framebuffer-object entry points, looked up once.
const fbo::Procs& framebufferProcs() {
  static const fbo::Procs procs = fbo::lookupProcs();
  return procs;
}

}  // namespace

PictureTexture::~PictureTexture() {
  if (!glContextIsCurrent()) return;
  if (framebuffer_ != 0 && framebufferProcs().texturesOk()) {
    GLuint name = framebuffer_;
    framebufferProcs().deleteFramebuffers(1, &name);
  }
  if (texture_ != 0) {
    GLuint name = texture_;
    glDeleteTextures(1, &name);
  }
}

bool PictureTexture::available() {
  return glContextIsCurrent() && fbo::currentContextHasFramebuffers() && framebufferProcs().texturesOk();
}

bool PictureTexture::ensure(int width, int height) {
  const fbo::Procs& fb = framebufferProcs();
  if (!fb.texturesOk()) return false;
  if (framebuffer_ == 0) {
    GLuint name = 0;
    fb.genFramebuffers(1, &name);
    framebuffer_ = name;
  }
  if (texture_ != 0 && width == width_ && height == height_) return framebuffer_ != 0;
  if (texture_ != 0) {
    GLuint old = texture_;
    glDeleteTextures(1, &old);
    texture_ = 0;
  }
  GLint previousTexture = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
  GLuint name = 0;
  glGenTextures(1, &name);
  texture_ = name;
  glBindTexture(GL_TEXTURE_2D, texture_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, kClampToEdge);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, kClampToEdge);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(fbo::kRGBA8), width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));
  width_ = width;
  height_ = height;
  return texture_ != 0 && framebuffer_ != 0;
}

bool PictureTexture::render(Vec2 lower, Vec2 upper, const std::function<void()>& draw) {
  const fbo::Procs& fb = framebufferProcs();
  GLint previousFramebuffer = 0;
  glGetIntegerv(fbo::kFramebufferBinding, &previousFramebuffer);
  glFinish();
  struct FramebufferScope {
    const fbo::Procs& fb;
    GLuint previous;
    ~FramebufferScope() { fb.bindFramebuffer(fbo::kFramebuffer, previous); }
  } restore{fb, static_cast<GLuint>(previousFramebuffer)};
  fb.bindFramebuffer(fbo::kFramebuffer, framebuffer_);
  fb.framebufferTexture2D(fbo::kFramebuffer, fbo::kColourAttachment0, GL_TEXTURE_2D, texture_, 0);
  if (fb.checkFramebufferStatus(fbo::kFramebuffer) != fbo::kFramebufferComplete) return false;
  AttribGuard state(GL_ALL_ATTRIB_BITS);
  glViewport(0, 0, width_, height_);
  glDisable(GL_SCISSOR_TEST);
  MatrixGuard projectionGuard(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(lower.x, upper.x, lower.y, upper.y, -1.0, 1.0);
  MatrixGuard modelViewGuard(GL_MODELVIEW);
  glLoadIdentity();
  draw();
  glFinish();
  return true;
}

void PictureTexture::drawOnWhite(bool withPicture, Vec2 lower, Vec2 upper) const {
  AttribGuard state(GL_COLOR_BUFFER_BIT | GL_ENABLE_BIT | GL_TEXTURE_BIT);
  glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  if (!withPicture) return;
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_CULL_FACE);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture_);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  QuadBatch quads;
  quads.texturedBox(lower, upper);
}

}  // namespace lumetra
