#pragma once
// The framebuffer-object entry points (OpenGL 3.0) and their enums, looked up
// through the platform's GL extension lookup. Shared by the offscreen picture
// target and the area picture, so both find the same functions the same way.

#include <GL/gl.h>

#include <cstring>
#include <type_traits>

#include "platform/GLExtensions.h"

namespace lumetra::fbo {

constexpr GLenum kFramebuffer = 0x8D40;             // GL_FRAMEBUFFER
constexpr GLenum kFramebufferBinding = 0x8CA6;      // GL_FRAMEBUFFER_BINDING
constexpr GLenum kFramebufferComplete = 0x8CD5;     // GL_FRAMEBUFFER_COMPLETE
constexpr GLenum kRenderbuffer = 0x8D41;            // GL_RENDERBUFFER
constexpr GLenum kMaxRenderbufferSize = 0x84E8;     // GL_MAX_RENDERBUFFER_SIZE
constexpr GLenum kColourAttachment0 = 0x8CE0;       // GL_COLOR_ATTACHMENT0
constexpr GLenum kDepthStencilAttachment = 0x821A;  // GL_DEPTH_STENCIL_ATTACHMENT
constexpr GLenum kRGBA8 = 0x8058;                   // GL_RGBA8
constexpr GLenum kDepth24Stencil8 = 0x88F0;         // GL_DEPTH24_STENCIL8

struct Procs {
  void (*genFramebuffers)(GLsizei, GLuint*) = nullptr;
  void (*deleteFramebuffers)(GLsizei, const GLuint*) = nullptr;
  void (*bindFramebuffer)(GLenum, GLuint) = nullptr;
  GLenum (*checkFramebufferStatus)(GLenum) = nullptr;
  void (*framebufferTexture2D)(GLenum, GLenum, GLenum, GLuint, GLint) = nullptr;
  void (*genRenderbuffers)(GLsizei, GLuint*) = nullptr;
  void (*deleteRenderbuffers)(GLsizei, const GLuint*) = nullptr;
  void (*bindRenderbuffer)(GLenum, GLuint) = nullptr;
  void (*renderbufferStorage)(GLenum, GLenum, GLsizei, GLsizei) = nullptr;
  void (*framebufferRenderbuffer)(GLenum, GLenum, GLenum, GLuint) = nullptr;

  // Framebuffers with a texture attached.
  bool texturesOk() const {
    return genFramebuffers && deleteFramebuffers && bindFramebuffer && checkFramebufferStatus && framebufferTexture2D;
  }
  // Framebuffers with renderbuffers attached.
  bool renderbuffersOk() const {
    return genFramebuffers && deleteFramebuffers && bindFramebuffer && checkFramebufferStatus && genRenderbuffers &&
           deleteRenderbuffers && bindRenderbuffer && renderbufferStorage && framebufferRenderbuffer;
  }
};

// Entry points are cheap to find; a process may use more than one kind of
// context, so callers look them up in the context they use.
inline Procs lookupProcs() {
  Procs p;
  auto get = [](auto& slot, const char* name) {
    slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(lookupGLProc(name));
  };
  get(p.genFramebuffers, "glGenFramebuffers");
  get(p.deleteFramebuffers, "glDeleteFramebuffers");
  get(p.bindFramebuffer, "glBindFramebuffer");
  get(p.checkFramebufferStatus, "glCheckFramebufferStatus");
  get(p.framebufferTexture2D, "glFramebufferTexture2D");
  get(p.genRenderbuffers, "glGenRenderbuffers");
  get(p.deleteRenderbuffers, "glDeleteRenderbuffers");
  get(p.bindRenderbuffer, "glBindRenderbuffer");
  get(p.renderbufferStorage, "glRenderbufferStorage");
  get(p.framebufferRenderbuffer, "glFramebufferRenderbuffer");
  return p;
}

// OpenGL 3.0 or later is current: framebuffer objects exist.
inline bool currentContextHasFramebuffers() {
  const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  return version != nullptr && version[0] >= '3' && version[0] <= '9';
}

// Mesa rasterizes into a window's buffer with y running down and into a
// framebuffer object with y running up, which puts some edges and line ends
// on other pixels. Where the GL can turn the bound framebuffer object
// (GL_MESA_framebuffer_flip_y), a picture drawn into it is rasterized as into
// a window: exactly the pixels the viewer shows; reading it back is
// unchanged. Elsewhere it stays as it is (edges may fall a pixel apart).
inline void rasterizeAsAWindow() {
  constexpr GLenum kFlipY = 0x8BBB;  // GL_FRAMEBUFFER_FLIP_Y_MESA
  const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  if (extensions == nullptr || std::strstr(extensions, "GL_MESA_framebuffer_flip_y") == nullptr) return;
  using ParameterProc = void (*)(GLenum, GLenum, GLint);
  const auto parameter = reinterpret_cast<ParameterProc>(lookupGLProc("glFramebufferParameteri"));
  if (parameter == nullptr) return;
  parameter(kFramebuffer, kFlipY, GL_TRUE);
  // A GL that refuses leaves an error behind: not the caller's.
  for (int i = 0; i < 8 && glGetError() != GL_NO_ERROR; ++i) {
  }
}

}  // namespace lumetra::fbo
