#pragma once
// A colour texture that a pass is rendered into off screen (through a
// framebuffer object of the current context) and then drawn back as one
// textured quad in the diagram plane, filtered linearly. The texture and
// framebuffer die with the object if a context is current then. Needs
// framebuffer objects (OpenGL 3.0); available() tells.

#include <functional>

#include "model/Vec2.h"

namespace lumetra {

class PictureTexture {
 public:
  PictureTexture() = default;
  ~PictureTexture();
  PictureTexture(const PictureTexture&) = delete;
  PictureTexture& operator=(const PictureTexture&) = delete;

  // Whether the current context can render into a texture.
  static bool available();

  // A texture of width x height texels, RGBA 8 bits each, clamped at its
  // edges. A new size gets a new texture (storage respecified under a
  // framebuffer attachment is not reliably seen by every implementation).
  // False when the framebuffer or the texture cannot be had.
  bool ensure(int width, int height);
  // Renders draw() into the whole texture, which shows lower - upper in
  // diagram units: viewport over the texture, no scissor, orthographic
  // projection over the box, identity model-view, every attribute and
  // matrix restored afterwards, and drawing back to the framebuffer bound
  // before, however draw() ends. Waits until nothing queued still reads the
  // texture before, and until the picture is complete after. False (and
  // draw() not called) when the framebuffer is not complete.
  bool render(Vec2 lower, Vec2 upper, const std::function<void()>& draw);
  // Clears the colour buffer to white and, with the picture, draws the
  // texture over lower - upper in place of what was there (no blending).
  void drawOnWhite(bool withPicture, Vec2 lower, Vec2 upper) const;

  unsigned int name() const { return texture_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  unsigned int texture_ = 0;
  unsigned int framebuffer_ = 0;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace lumetra
