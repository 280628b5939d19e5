#include "render/FramebufferTarget.h"

#include <GL/gl.h>

#include "render/FramebufferProcs.h"

namespace lumetra {

using namespace fbo;

FramebufferTarget::FramebufferTarget(int width, int height) : width_(width), height_(height) {
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  if (version == nullptr) {
    error_ = "no GL context is current";
    return;
  }
  const Procs p = lookupProcs();
  if (!p.renderbuffersOk() || version[0] < '3' || version[0] > '9') {
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
  if (p.checkFramebufferStatus(kFramebuffer) != kFramebufferComplete) {
    error_ = "the graphics driver cannot draw a picture of " + std::to_string(width) + "x" + std::to_string(height) +
             " pixels";
    return;
  }
  // The picture is the window's view: the same pixels as on screen.
  rasterizeAsAWindow();
}

FramebufferTarget::~FramebufferTarget() {
  if (framebuffer_ == 0) return;
  const Procs p = lookupProcs();
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
