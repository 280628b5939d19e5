#pragma once
// A 256 x 256 single-channel alpha texture whose texels come from the CPU.
//
// The texels are uploaded at once when a GL context is current and no display
// list is being compiled; otherwise at the next bind(). That lets painters be
// made before any context exists (by the metrics reader, or in tests), and
// keeps an upload out of display lists whenever possible. An upload recorded
// in a list compiled without executing it counts as done only once a later
// bind outside such a list repeats it. A texture name is
// deleted with the object only if a context is current then.

#include <cstdint>
#include <vector>

namespace lumetra {

class AlphaTexture {
 public:
  static constexpr int kSize = 256;

  // repeat: GL_REPEAT in S and T; otherwise GL_CLAMP. Filtering is linear.
  explicit AlphaTexture(bool repeat) : repeat_(repeat) {}
  AlphaTexture(const AlphaTexture&) = delete;
  AlphaTexture& operator=(const AlphaTexture&) = delete;
  ~AlphaTexture();

  // Replaces the texels (kSize x kSize, row-major; a short list is padded with 0).
  void setTexels(std::vector<std::uint8_t> texels);
  // Binds the texture to GL_TEXTURE_2D, creating and uploading it if needed.
  void bind();
  // The GL texture name, 0 before the first upload.
  unsigned int name() const { return name_; }
  // Whether the current texels have reached the GL texture.
  bool isUploaded() const { return name_ != 0 && !stale_; }
  const std::vector<std::uint8_t>& texels() const { return texels_; }

  // Whether a GL context is current in this thread.
  static bool contextIsCurrent();

 private:
  void upload();

  bool repeat_;
  unsigned int name_ = 0;
  bool stale_ = true;
  std::vector<std::uint8_t> texels_;
};

}  // namespace lumetra
