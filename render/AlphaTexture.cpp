#include "render/AlphaTexture.h"

#include <GL/gl.h>

#include "render/GLListState.h"

namespace lumetra {

namespace {

constexpr GLint kClampToEdge = 0x812F;  // GL_CLAMP_TO_EDGE (OpenGL 1.2)

}  // namespace

bool AlphaTexture::contextIsCurrent() { return glContextIsCurrent(); }

AlphaTexture::~AlphaTexture() {
  if (name_ != 0 && contextIsCurrent()) {
    GLuint name = name_;
    glDeleteTextures(1, &name);
  }
}

void AlphaTexture::setTexels(std::vector<std::uint8_t> texels) {
  texels.resize(static_cast<std::size_t>(kSize) * kSize, 0);
  texels_ = std::move(texels);
  stale_ = true;
  if (contextIsCurrent() && !compilingList()) {
    // Upload now, keeping whatever texture the caller had bound.
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    upload();
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
  }
}

void AlphaTexture::bind() {
  if (stale_ || name_ == 0) {
    upload();
  } else {
    glBindTexture(GL_TEXTURE_2D, name_);
  }
}

void AlphaTexture::upload() {
  if (texels_.empty()) texels_.assign(static_cast<std::size_t>(kSize) * kSize, 0);
  if (name_ == 0) {
    GLuint name = 0;
    glGenTextures(1, &name);
    name_ = name;
  }
  glBindTexture(GL_TEXTURE_2D, name_);
  const GLint wrap = repeat_ ? GL_REPEAT : kClampToEdge;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, kSize, kSize, 0, GL_ALPHA, GL_UNSIGNED_BYTE, texels_.data());
  glPopClientAttrib();
  // An upload into a list compiled without executing it only happens when
  // the list runs: keep the texels pending until one really took place.
  stale_ = compilingOnly();
}

}  // namespace lumetra
