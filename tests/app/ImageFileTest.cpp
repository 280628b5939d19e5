// The export's picture files: rows handed over bottom first come out top
// first in the file, every channel in place, and a write that fails says so.

#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>
// jpeglib.h needs FILE and size_t declared first.
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <string>
#include <vector>

#include "app/commands/ImageFile.h"

namespace lumetra {
namespace {

// A picture of distinct rows and columns, bottom row first as the GL reads
// it: four flat quadrants (so that a lossy encoding keeps them apart) and a
// fine ramp in the blue channel (so that a swapped or shifted channel or
// row shows in a lossless one).
struct TestPicture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> bottomUp;

  TestPicture(int w, int h) : width(w), height(h), bottomUp(static_cast<std::size_t>(w) * h * 3) {
    for (int row = 0; row < h; ++row)
      for (int x = 0; x < w; ++x) {
        const int yTop = h - 1 - row;  // the row as a viewer counts it
        unsigned char* p = &bottomUp[(static_cast<std::size_t>(row) * w + x) * 3];
        const bool right = x >= w / 2, bottom = yTop >= h / 2;
        p[0] = right ? 230 : 20;
        p[1] = bottom ? 200 : 40;
        p[2] = static_cast<unsigned char>((x * 7 + yTop * 3) % 256);
      }
  }
  // The expected pixel at (x, y), y counted from the top.
  const unsigned char* topDown(int x, int y) const {
    return &bottomUp[(static_cast<std::size_t>(height - 1 - y) * width + x) * 3];
  }
};

std::string temporaryName(const std::string& suffix) {
  return ::testing::TempDir() + "lumetra-image-" + std::to_string(::getpid()) + suffix;
}

std::string writeToFile(const TestPicture& picture, ImageFormat format, const std::string& suffix) {
  const std::string name = temporaryName(suffix);
  std::FILE* file = std::fopen(name.c_str(), "wb");
  EXPECT_NE(file, nullptr);
  writeBottomUpRGB(file, format, picture.bottomUp.data(), picture.width, picture.height);
  EXPECT_EQ(std::fclose(file), 0);
  return name;
}

// A PNG file decoded to top-down RGB by libpng's own reader.
std::vector<unsigned char> readPng(const std::string& name, int& width, int& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, name.c_str())) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  return rgb;
}

// A JPEG file decoded to top-down RGB by libjpeg.
std::vector<unsigned char> readJpeg(const std::string& name, int& width, int& height) {
  std::FILE* file = std::fopen(name.c_str(), "rb");
  if (file == nullptr) return {};
  jpeg_decompress_struct jpeg;
  jpeg_error_mgr errors;
  jpeg.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&jpeg);
  jpeg_stdio_src(&jpeg, file);
  jpeg_read_header(&jpeg, TRUE);
  jpeg.out_color_space = JCS_RGB;
  jpeg_start_decompress(&jpeg);
  width = static_cast<int>(jpeg.output_width);
  height = static_cast<int>(jpeg.output_height);
  std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
  while (jpeg.output_scanline < jpeg.output_height) {
    JSAMPROW row = &rgb[static_cast<std::size_t>(jpeg.output_scanline) * width * 3];
    jpeg_read_scanlines(&jpeg, &row, 1);
  }
  jpeg_finish_decompress(&jpeg);
  jpeg_destroy_decompress(&jpeg);
  std::fclose(file);
  return rgb;
}

TEST(ImageFile, PngKeepsEveryPixelTopRowFirst) {
  // Odd sizes: a row stride that is no multiple of 4 or of the encoder's
  // blocks.
  for (auto [w, h] : {std::pair{1, 1}, std::pair{37, 23}, std::pair{301, 7}}) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    const TestPicture picture(w, h);
    const std::string name = writeToFile(picture, ImageFormat::Png, ".png");
    int width = 0, height = 0;
    const std::vector<unsigned char> rgb = readPng(name, width, height);
    std::remove(name.c_str());
    ASSERT_EQ(width, w);
    ASSERT_EQ(height, h);
    int wrong = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        for (int c = 0; c < 3; ++c)
          if (rgb[(static_cast<std::size_t>(y) * w + x) * 3 + c] != picture.topDown(x, y)[c]) ++wrong;
    EXPECT_EQ(wrong, 0);
  }
}

// Noise with flat stretches, bottom row first: every band boundary falls
// inside compressible runs and inside incompressible bytes alike.
std::vector<unsigned char> noisyPicture(int w, int h) {
  std::vector<unsigned char> rgb(static_cast<std::size_t>(w) * h * 3);
  unsigned state = 12345u;
  for (std::size_t i = 0; i < rgb.size(); ++i) {
    state = state * 1103515245u + 12345u;
    rgb[i] = (i / 3000) % 2 ? static_cast<unsigned char>(state >> 16) : static_cast<unsigned char>(i / 9000);
  }
  return rgb;
}

TEST(ImageFile, PngFromAnyBandCountIsAValidFileOfTheSamePixels) {
  // libpng's reader checks every chunk's CRC and zlib the stream's checksum:
  // a wrong join of the bands fails the read or changes pixels.
  struct Case {
    int width, height, bands;
  };
  for (const Case c : {Case{1, 1, 1}, Case{1, 1, 4}, Case{3, 2, 2}, Case{200, 150, 1}, Case{200, 150, 2},
                       Case{201, 151, 3}, Case{97, 300, 7}, Case{640, 480, 0}, Case{5, 40, 40}}) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " in " + std::to_string(c.bands));
    const std::vector<unsigned char> bottomUp = noisyPicture(c.width, c.height);
    const std::string name = temporaryName("-bands.png");
    std::FILE* file = std::fopen(name.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    writeBottomUpPng(file, bottomUp.data(), c.width, c.height, c.bands);
    ASSERT_EQ(std::fclose(file), 0);
    int width = 0, height = 0;
    const std::vector<unsigned char> rgb = readPng(name, width, height);
    std::remove(name.c_str());
    ASSERT_EQ(width, c.width);
    ASSERT_EQ(height, c.height);
    const std::size_t stride = static_cast<std::size_t>(c.width) * 3;
    int wrongRows = 0;
    for (int y = 0; y < c.height; ++y)
      if (std::memcmp(&rgb[y * stride], &bottomUp[(c.height - 1 - y) * stride], stride) != 0) ++wrongRows;
    EXPECT_EQ(wrongRows, 0);
  }
}

TEST(ImageFile, AdlerChecksumEqualsZlibsOverStepsRunsAndTails) {
  // Lengths around the 32-byte step and the 5,552-byte run between
  // reductions, all-255 bytes (the largest sums) and noise, from fresh and
  // running checksums.
  std::vector<unsigned char> bytes(40000, 255);
  std::vector<unsigned char> noise(40000);
  unsigned seed = 7;
  for (unsigned char& b : noise) b = static_cast<unsigned char>((seed = seed * 1103515245u + 12345u) >> 16);
  for (const std::size_t length : {0u, 1u, 31u, 32u, 33u, 5551u, 5552u, 5553u, 5600u, 11104u, 40000u})
    for (const std::uint32_t start : {1u, 0xfff0fff0u, 0x12345678u})
      for (const std::vector<unsigned char>* data : {&bytes, &noise}) {
        SCOPED_TRACE(std::to_string(length) + " bytes from " + std::to_string(start));
        EXPECT_EQ(adler32Continued(start, data->data(), length),
                  adler32(start, data->data(), static_cast<uInt>(length)));
      }
}

TEST(ImageFile, JpegShowsThePictureTopRowFirst) {
  const TestPicture picture(64, 48);
  const std::string name = writeToFile(picture, ImageFormat::Jpeg, ".jpg");
  int width = 0, height = 0;
  const std::vector<unsigned char> rgb = readJpeg(name, width, height);
  std::remove(name.c_str());
  ASSERT_EQ(width, 64);
  ASSERT_EQ(height, 48);
  // Red and green are flat per quadrant: lossy coding keeps them within a
  // few levels away from the quadrants' borders.
  for (auto [x, y] : {std::pair{12, 10}, std::pair{50, 10}, std::pair{12, 38}, std::pair{50, 38}}) {
    SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
    const unsigned char* got = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
    EXPECT_NEAR(got[0], picture.topDown(x, y)[0], 12);
    EXPECT_NEAR(got[1], picture.topDown(x, y)[1], 12);
  }
}

TEST(ImageFile, AFailedWriteIsReportedWithItsReason) {
  // /dev/full takes the open but refuses every byte with ENOSPC.
  const TestPicture picture(300, 200);
  for (ImageFormat format : {ImageFormat::Png, ImageFormat::Jpeg}) {
    std::FILE* file = std::fopen("/dev/full", "wb");
    if (file == nullptr) GTEST_SKIP() << "no /dev/full";
    std::string message;
    try {
      writeBottomUpRGB(file, format, picture.bottomUp.data(), picture.width, picture.height);
    } catch (const ImageWriteError& e) {
      message = e.what();
    }
    std::fclose(file);
    EXPECT_NE(message.find("No space left on device"), std::string::npos) << "got: " << message;
  }
}

}  // namespace
}  // namespace lumetra
