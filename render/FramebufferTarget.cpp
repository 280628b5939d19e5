#include "render/FramebufferTarget.h"

#include <GL/gl.h>

#include <type_traits>

#include "platform/GLExtensions.h"

namespace lumetra {

namespace {

constexpr GLenum kFramebuffer = 0x8D40;          // GL_FRAMEBUFFER
constexpr GLenum kFramebufferBinding = 0x8CA6;   // GL_FRAMEBUFFER_BINDING
constexpr GLenum kFramebufferComplete = 0x8CD5;  // GL_FRAMEBUFFER_COMPLETE
constexpr GLenum kRenderbuffer = 0x8D41;         // GL_RENDERBUFFER
constexpr GLenum kMaxRenderbufferSize = 0x84E8;  // GL_MAX_RENDERBUFFER_SIZE
constexpr GLenum kColourAttachment0 = 0x8CE0;    // GL_COLOR_ATTACHMENT0
constexpr GLenum kDepthStencilAttachment = 0x821A;  // GL_DEPTH_STENCIL_ATTACHMENT
constexpr GLenum kRGBA8 = 0x8058;                // GL_RGBA8
constexpr GLenum kDepth24Stencil8 = 0x88F0;      // GL_DEPTH24_STENCIL8

struct Procs {
  void (*genFramebuffers)(GLsizei, GLuint*) = nullptr;
  void (*deleteFramebuffers)(GLsizei, const GLuint*) = nullptr;
  void (*bindFramebuffer)(GLenum, GLuint) = nullptr;
  GLenum (*checkFramebufferStatus)(GLenum) = nullptr;
  void (*genRenderbuffers)(GLsizei, GLuint*) = nullptr;
  void (*deleteRenderbuffers)(GLsizei, const GLuint*) = nullptr;
  void (*bindRenderbuffer)(GLenum, GLuint) = nullptr;
  void (*renderbufferStorage)(GLenum, GLenum, GLsizei, GLsizei) = nullptr;
  void (*framebufferRenderbuffer)(GLenum, GLenum, GLenum, GLuint) = nullptr;

  bool ok() const {
    return genFramebuffers && deleteFramebuffers && bindFramebuffer && checkFramebufferStatus && genRenderbuffers &&
           deleteRenderbuffers && bindRenderbuffer && renderbufferStorage && framebufferRenderbuffer;
  }
};

// Looked up in the current context at each use: entry points are cheap to
// find and a process may use more than one kind of context.
Procs lookup() {
  Procs p;
  auto get = [](auto& slot, const char* name) { slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(lookupGLProc(name)); };
  get(p.genFramebuffers, "glGenFramebuffers");
  get(p.deleteFramebuffers, "glDeleteFramebuffers");
  get(p.bindFramebuffer, "glBindFramebuffer");
  get(p.checkFramebufferStatus, "glCheckFramebufferStatus");
  get(p.genRenderbuffers, "glGenRenderbuffers");
  get(p.deleteRenderbuffers, "glDeleteRenderbuffers");
  get(p.bindRenderbuffer, "glBindRenderbuffer");
  get(p.renderbufferStorage, "glRenderbufferStorage");
  get(p.framebufferRenderbuffer, "glFramebufferRenderbuffer");
  return p;
}

}  // namespace

FramebufferTarget::FramebufferTarget(int width, int height) : width_(width), height_(height) {
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  if (version == nullptr) {
    error_ = "no GL context is current";
    return;
  }
  const Procs p = lookup();
  if (!p.ok() || version[0] < '3' || version[0] > '9') {
    error_ = std::string("the OpenGL ") + version + " in use offers no framebuffer objects";
    return;
  }
  GLint maxSide = 0;
  glGetIntegerv(kMaxRenderbufferSize, &maxSide);
  if (width < 1 || height < 1 || width > maxSide || height > maxSide) {
    error_ = "a picture of " + std::to_string(width) + "x" + std::to_string(height) +
             " pixels is larger than the graphics driver allows (" + std::to_string(maxSide) + " a side)";
    return;
  }
  glGetIntegerv(kFramebufferBinding, &previous_);
  p.genFramebuffers(1, &framebuffer_);
  p.genRenderbuffers(1, &colour_);
  p.genRenderbuffers(1, &depthStencil_);
  p.bindRenderbuffer(kRenderbuffer, colour_);
  p.renderbufferStorage(kRenderbuffer, kRGBA8, width, height);
  p.bindRenderbuffer(kRenderbuffer, depthStencil_);
  p.renderbufferStorage(kRenderbuffer, kDepth24Stencil8, width, height);
  p.bindRenderbuffer(kRenderbuffer, 0);
  p.bindFramebuffer(kFramebuffer, framebuffer_);
  p.framebufferRenderbuffer(kFramebuffer, kColourAttachment0, kRenderbuffer, colour_);
  p.framebufferRenderbuffer(kFramebuffer, kDepthStencilAttachment, kRenderbuffer, depthStencil_);
  if (p.checkFramebufferStatus(kFramebuffer) != kFramebufferComplete)
    error_ = "the graphics driver cannot draw a picture of " + std::to_string(width) + "x" + std::to_string(height) +
             " pixels";
}

FramebufferTarget::~FramebufferTarget() {
  if (framebuffer_ == 0) return;
  const Procs p = lookup();
  p.bindFramebuffer(kFramebuffer, static_cast<GLuint>(previous_));
  p.deleteFramebuffers(1, &framebuffer_);
  p.deleteRenderbuffers(1, &colour_);
  p.deleteRenderbuffers(1, &depthStencil_);
}

std::vector<unsigned char> FramebufferTarget::readRGBRows() const {
  std::vector<unsigned char> rgb(static_cast<std::size_t>(width_) * height_ * 3);
  if (!ok()) return rgb;
  glFinish();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(kColourAttachment0);
  glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}

}  // namespace lumetra
