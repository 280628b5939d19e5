#include "app/commands/ImageFile.h"

// jpeglib.h needs FILE and size_t declared first.
#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include <jpeglib.h>
#include <zlib.h>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace lumetra {

namespace {

// The PNG is written here directly: signature, header chunk, the pixel data
// as one zlib stream, end chunk. The stream is built from horizontal bands
// deflated at the same time on separate threads (raw deflate, each band
// from a fresh dictionary). Every band but the last ends on a byte boundary
// with a sync flush and the last one ends the stream, so the pieces put one
// after the other, behind a zlib header and before the combined checksum,
// are one valid stream. Rows are unfiltered: runs of flat colour already
// pack well, and trying every filter on every row costs more than the
// whole compression at level 1 (measured on a 1,000-class diagram: smaller
// and faster without).

// Pictures with fewer rows than this per band stay in one band: a thread
// costs more than it saves on them.
constexpr int kMinRowsPerBand = 64;
// More bands than this only add seams that compress worse.
constexpr int kMaxBands = 8;

struct DeflatedBand {
  std::vector<unsigned char> bytes;
  uLong adler = 0;
  uLong length = 0;  // uncompressed bytes
  bool ok = false;
};

// Deflates the top-down rows [first, last) of the bottom-up picture, each
// row behind its filter byte (0, none).
void deflateBand(const unsigned char* rgb, int width, int height, int first, int last, bool endsStream,
                 DeflatedBand& band) noexcept {
  z_stream z{};
  if (deflateInit2(&z, kPngCompressionLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) return;
  try {
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    const uLong length = static_cast<uLong>((stride + 1) * static_cast<std::size_t>(last - first));
    // A diagram packs to a fifth of its bytes or less: start at an eighth
    // and double as needed, so that no page is zeroed or touched in vain
    // (the bound for incompressible data is the whole band again).
    band.bytes.resize(length / 8 + 4096);
    z.next_out = band.bytes.data();
    z.avail_out = static_cast<uInt>(band.bytes.size());
    // Feeds the bytes; true once deflate has taken them (and, at a flush,
    // given out everything it holds), growing the output as needed.
    auto feed = [&](const unsigned char* in, std::size_t n, int flush) {
      z.next_in = const_cast<Bytef*>(in);
      z.avail_in = static_cast<uInt>(n);
      for (;;) {
        if (z.avail_out == 0) {
          const std::size_t used = band.bytes.size();
          band.bytes.resize(used * 2);
          z.next_out = band.bytes.data() + used;
          z.avail_out = static_cast<uInt>(band.bytes.size() - used);
        }
        const int result = deflate(&z, flush);
        if (result == Z_STREAM_ERROR) return false;
        if (flush == Z_FINISH ? result == Z_STREAM_END : (z.avail_in == 0 && z.avail_out != 0)) return true;
      }
    };
    static const unsigned char kNoFilter = 0;
    uLong adler = adler32(0L, Z_NULL, 0);
    bool ok = true;
    for (int y = first; y < last && ok; ++y) {
      const unsigned char* row = rgb + static_cast<std::size_t>(height - 1 - y) * stride;
      const int flush = y + 1 < last ? Z_NO_FLUSH : endsStream ? Z_FINISH : Z_SYNC_FLUSH;
      ok = feed(&kNoFilter, 1, Z_NO_FLUSH) && feed(row, stride, flush);
      adler = adler32Continued(adler32Continued(static_cast<std::uint32_t>(adler), &kNoFilter, 1), row, stride);
    }
    band.bytes.resize(band.bytes.size() - z.avail_out);
    band.adler = adler;
    band.length = length;
    band.ok = ok;
  } catch (const std::bad_alloc&) {
    band.ok = false;
  }
  deflateEnd(&z);
}

constexpr std::uint32_t kAdlerBase = 65521;
// The most bytes whose sums cannot overflow 32 bits between reductions.
constexpr std::size_t kAdlerMaxRun = 5552;

std::uint32_t adler32Plain(std::uint32_t adler, const unsigned char* bytes, std::size_t length) {
  std::uint32_t a = adler & 0xffff, b = adler >> 16;
  while (length > 0) {
    const std::size_t run = std::min(length, kAdlerMaxRun);
    for (std::size_t i = 0; i < run; ++i) {
      a += bytes[i];
      b += a;
    }
    a %= kAdlerBase;
    b %= kAdlerBase;
    bytes += run;
    length -= run;
  }
  return (b << 16) | a;
}

#if defined(__x86_64__)
// 32 bytes a step: the byte sums by _mm_sad_epu8, the weighted sums (32 for
// the first byte of a step down to 1 for the last) by multiply-adds, and
// the first sum's carry into the second (32 times the running first sum per
// step) kept apart and added at the end of a run.
__attribute__((target("ssse3"))) std::uint32_t adler32Ssse3(std::uint32_t adler, const unsigned char* bytes,
                                                             std::size_t length) {
  constexpr std::size_t kStep = 32;
  std::uint32_t a = adler & 0xffff, b = adler >> 16;
  std::size_t steps = length / kStep;
  const __m128i weightsHigh = _mm_setr_epi8(32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17);
  const __m128i weightsLow = _mm_setr_epi8(16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1);
  const __m128i zero = _mm_setzero_si128();
  const __m128i ones = _mm_set1_epi16(1);
  auto total = [](__m128i v) {
    v = _mm_add_epi32(v, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 3, 2)));
    v = _mm_add_epi32(v, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 3, 0, 1)));
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(v));
  };
  while (steps > 0) {
    std::size_t run = std::min(steps, kAdlerMaxRun / kStep);
    steps -= run;
    __m128i carried = _mm_set_epi32(0, 0, 0, static_cast<int>(a * run));
    __m128i sumA = zero;
    __m128i sumB = _mm_set_epi32(0, 0, 0, static_cast<int>(b));
    do {
      const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
      const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16));
      carried = _mm_add_epi32(carried, sumA);
      sumA = _mm_add_epi32(sumA, _mm_sad_epu8(high, zero));
      sumB = _mm_add_epi32(sumB, _mm_madd_epi16(_mm_maddubs_epi16(high, weightsHigh), ones));
      sumA = _mm_add_epi32(sumA, _mm_sad_epu8(low, zero));
      sumB = _mm_add_epi32(sumB, _mm_madd_epi16(_mm_maddubs_epi16(low, weightsLow), ones));
      bytes += kStep;
    } while (--run > 0);
    sumB = _mm_add_epi32(sumB, _mm_slli_epi32(carried, 5));
    a = (a + total(sumA)) % kAdlerBase;
    b = total(sumB) % kAdlerBase;
  }
  return adler32Plain((b << 16) | a, bytes, length % kStep);
}
#endif

void putBigEndian32(unsigned char* out, uLong value) {
  out[0] = static_cast<unsigned char>(value >> 24);
  out[1] = static_cast<unsigned char>(value >> 16);
  out[2] = static_cast<unsigned char>(value >> 8);
  out[3] = static_cast<unsigned char>(value);
}

struct Bytes {
  const unsigned char* data;
  std::size_t size;
};

// One chunk: length, type, the parts' bytes one after the other, checksum.
// Stream errors show in ferror(file) for the caller.
void writeChunk(std::FILE* file, const char* type, std::initializer_list<Bytes> parts) {
  std::size_t length = 0;
  for (const Bytes& part : parts) length += part.size;
  unsigned char head[8];
  putBigEndian32(head, static_cast<uLong>(length));
  std::memcpy(head + 4, type, 4);
  uLong crc = crc32(0L, head + 4, 4);
  std::fwrite(head, 1, sizeof head, file);
  for (const Bytes& part : parts) {
    if (part.size == 0) continue;
    crc = crc32(crc, part.data, static_cast<uInt>(part.size));
    std::fwrite(part.data, 1, part.size, file);
  }
  unsigned char tail[4];
  putBigEndian32(tail, crc);
  std::fwrite(tail, 1, sizeof tail, file);
}

int bandCount(int requested, int height) {
  int bands = requested;
  if (bands <= 0) {
    bands = static_cast<int>(std::min(std::thread::hardware_concurrency(), static_cast<unsigned>(kMaxBands)));
    bands = std::min(bands, height / kMinRowsPerBand);
  }
  return std::clamp(bands, 1, height);
}

}  // namespace

void writeBottomUpPng(std::FILE* file, const unsigned char* rgb, int width, int height, int requestedBands) {
  if (file == nullptr || rgb == nullptr || width <= 0 || height <= 0)
    throw ImageWriteError("the image could not be encoded");
  // Each row, with its filter byte, must fit a PNG's and zlib's counts.
  if (static_cast<unsigned long long>(width) * 3 + 1 > 0x7fffffffULL)
    throw ImageWriteError("the image could not be encoded (too wide)");
  const int count = bandCount(requestedBands, height);
  std::vector<DeflatedBand> bands(static_cast<std::size_t>(count));
  std::vector<std::thread> threads;
  // The other bands start on threads of their own first, then this thread
  // deflates the first one; where no thread can be started a band is
  // deflated here.
  for (int b = count - 1; b >= 0; --b) {
    const int first = static_cast<int>(static_cast<long long>(height) * b / count);
    const int last = static_cast<int>(static_cast<long long>(height) * (b + 1) / count);
    const bool endsStream = b + 1 == count;
    DeflatedBand& band = bands[static_cast<std::size_t>(b)];
    if (b > 0) {
      try {
        threads.emplace_back(deflateBand, rgb, width, height, first, last, endsStream, std::ref(band));
        continue;
      } catch (const std::system_error&) {
      }
    }
    deflateBand(rgb, width, height, first, last, endsStream, band);
  }
  for (std::thread& thread : threads) thread.join();
  uLong adler = adler32(0L, Z_NULL, 0);
  for (const DeflatedBand& band : bands) {
    if (!band.ok) throw ImageWriteError("the image could not be encoded (compression failed)");
    adler = adler32_combine(adler, band.adler, static_cast<z_off_t>(band.length));
  }

  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  std::fwrite(kSignature, 1, sizeof kSignature, file);
  unsigned char header[13];
  putBigEndian32(header, static_cast<uLong>(width));
  putBigEndian32(header + 4, static_cast<uLong>(height));
  header[8] = 8;   // bits per channel
  header[9] = 2;   // RGB
  header[10] = 0;  // deflate
  header[11] = 0;  // the adaptive filter set (every row: none)
  header[12] = 0;  // not interlaced
  writeChunk(file, "IHDR", {{header, sizeof header}});
  // The zlib header: deflate, 32 KB window, the level's speed flag, and
  // the check bits that make it a multiple of 31.
  const unsigned speed = kPngCompressionLevel < 2 ? 0 : kPngCompressionLevel < 6 ? 1 : kPngCompressionLevel == 6 ? 2 : 3;
  unsigned zlibHeader = (0x78u << 8) | (speed << 6);
  zlibHeader += 31 - zlibHeader % 31;
  const unsigned char streamHead[2] = {static_cast<unsigned char>(zlibHeader >> 8),
                                       static_cast<unsigned char>(zlibHeader)};
  unsigned char streamTail[4];
  putBigEndian32(streamTail, adler);
  for (std::size_t b = 0; b < bands.size(); ++b) {
    const bool first = b == 0, last = b + 1 == bands.size();
    writeChunk(file, "IDAT",
               {{streamHead, first ? sizeof streamHead : 0},
                {bands[b].bytes.data(), bands[b].bytes.size()},
                {streamTail, last ? sizeof streamTail : 0}});
  }
  writeChunk(file, "IEND", {});
}

std::uint32_t adler32Continued(std::uint32_t adler, const unsigned char* bytes, std::size_t length) {
#if defined(__x86_64__)
  static const bool ssse3 = __builtin_cpu_supports("ssse3");
  if (ssse3) return adler32Ssse3(adler, bytes, length);
#endif
  return adler32Plain(adler, bytes, length);
}

namespace {

// libjpeg reports errors by longjmp: the function that calls it holds no
// C++ object with a destructor across the jump, and turns the jump into a
// message the caller throws.

struct JpegErrors {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void jpegError(j_common_ptr jpeg) {
  auto* errors = reinterpret_cast<JpegErrors*>(jpeg->err);
  errors->base.format_message(jpeg, errors->message);
  std::longjmp(errors->jump, 1);
}

bool encodeJpeg(std::FILE* file, const unsigned char* rgb, int width, int height, char* error) {
  jpeg_compress_struct jpeg;
  JpegErrors errors;
  errors.message[0] = '\0';
  jpeg.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = jpegError;
  if (setjmp(errors.jump)) {
    jpeg_destroy_compress(&jpeg);
    std::snprintf(error, JMSG_LENGTH_MAX, "%s", errors.message);
    return false;
  }
  jpeg_create_compress(&jpeg);
  jpeg_stdio_dest(&jpeg, file);
  jpeg.image_width = static_cast<JDIMENSION>(width);
  jpeg.image_height = static_cast<JDIMENSION>(height);
  jpeg.input_components = 3;
  jpeg.in_color_space = JCS_RGB;
  jpeg_set_defaults(&jpeg);
  jpeg_set_quality(&jpeg, kJpegQuality, TRUE);
  jpeg_start_compress(&jpeg, TRUE);
  const std::size_t stride = static_cast<std::size_t>(width) * 3;
  for (int y = height - 1; y >= 0; --y) {
    JSAMPROW row = const_cast<JSAMPROW>(rgb + static_cast<std::size_t>(y) * stride);
    jpeg_write_scanlines(&jpeg, &row, 1);
  }
  jpeg_finish_compress(&jpeg);
  jpeg_destroy_compress(&jpeg);
  return true;
}

}  // namespace

void writeBottomUpRGB(std::FILE* file, ImageFormat format, const unsigned char* rgb, int width, int height) {
  if (file == nullptr || rgb == nullptr || width <= 0 || height <= 0)
    throw ImageWriteError("the image could not be encoded");
  bool encoded = false;
  std::string reason;
  if (format == ImageFormat::Png) {
    writeBottomUpPng(file, rgb, width, height);
    encoded = true;
  } else {
    char message[JMSG_LENGTH_MAX] = "";
    encoded = encodeJpeg(file, rgb, width, height, message);
    reason = message;
  }
  // The encoders write through stdio: a full disc shows as a stream error.
  if (std::ferror(file) || (encoded && std::fflush(file) != 0)) {
    const int error = errno;
    throw ImageWriteError(error != 0 ? std::strerror(error) : "the image could not be written");
  }
  if (!encoded) throw ImageWriteError("the image could not be encoded" + (reason.empty() ? "" : " (" + reason + ")"));
}

}  // namespace lumetra
