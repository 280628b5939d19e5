#pragma once
// Writing a rendered picture to a PNG or JPEG file straight from the rows a
// GL read-back gives (bottom row first), without an image object or a
// flipped copy in between.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace lumetra {

enum class ImageFormat { Png, Jpeg };

// Why a picture could not be encoded or written, as one line of text.
class ImageWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// PNG compression level (zlib 0..9): a diagram is mostly flat colour, which
// the fastest level already packs well (rows unfiltered); higher levels
// cost several times the time for a few percent of size.
inline constexpr int kPngCompressionLevel = 1;
// JPEG quality (libjpeg's default).
inline constexpr int kJpegQuality = 75;

// Encodes width x height RGB pixels, 3 bytes each and rows packed, whose
// first row is the picture's bottom, to the open file. Throws ImageWriteError
// when the encoder fails or the file cannot be written.
void writeBottomUpRGB(std::FILE* file, ImageFormat format, const unsigned char* rgb, int width, int height);

// The PNG encoding writeBottomUpRGB uses, its rows compressed in `bands`
// horizontal bands at once (0: one band per processor core, fewer for a
// small picture). Each band is deflated on its own and the pieces joined
// into one zlib stream, so the file decodes to the same pixels whatever the
// band count. Throws ImageWriteError when the encoder fails.
void writeBottomUpPng(std::FILE* file, const unsigned char* rgb, int width, int height, int bands = 0);

// The Adler-32 checksum of a zlib stream, continued over `length` more
// bytes: zlib's adler32, 32 bytes a step with SSSE3 where the processor has
// it (zlib's own is about a tenth of a PNG's encoding time).
std::uint32_t adler32Continued(std::uint32_t adler, const unsigned char* bytes, std::size_t length);

}  // namespace lumetra
