#pragma once
// The painter tests' scene fixture on the shared GL harness: a 200 x 200
// offscreen picture where one diagram unit is one pixel and the diagram
// origin is the picture's centre, with the canvas's fixed GL state and
// default font.

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "render/OffscreenGL.h"
#include "settings/Color.h"
#include "settings/SettingsStore.h"
#include "tests/support/GLHarness.h"

namespace lumetra::test {

using Rgb = std::array<int, 3>;

class GLPainterTest : public ::testing::Test {
 public:
  static constexpr int kSize = 200;

  static void SetUpTestSuite();
  static void TearDownTestSuite();

 protected:
  // Loads the projection (1 unit = 1 pixel, origin at the centre) and clears
  // to magenta, so that any pixel the pass leaves alone stands out.
  void SetUp() override;

  // The colour of the pixel under diagram point p.
  static Rgb pixelAt(float x, float y);
  // The darkest pixel (smallest channel sum) in a square of radius r pixels.
  static Rgb darkestNear(float x, float y, int r);
  // Projection for a pick at diagram point p: a 4 x 4 pixel region around it.
  static void loadPickProjection(float x, float y);
  static void loadDrawProjection();

 private:
  static std::unique_ptr<OffscreenGL> gl_;
};

// The whole buffer's RGB bytes, rows from the bottom.
std::vector<unsigned char> readFrame();

// What c drawn with its alpha over background gives, in bytes.
Rgb over(Color c, Color background);
Rgb rgbOf(Color c);

// Sets one setting for a scope and restores it afterwards.
class BoolSetting {
 public:
  BoolSetting(std::string key, bool value) : key_(std::move(key)), saved_(settings().getBool(key_)) {
    settings().setBool(key_, value);
  }
  ~BoolSetting() { settings().setBool(key_, saved_); }

 private:
  std::string key_;
  bool saved_;
};

}  // namespace lumetra::test

// gtest prints these when a comparison fails.
namespace std {
inline void PrintTo(const lumetra::test::Rgb& c, std::ostream* os) {
  *os << "(" << c[0] << ", " << c[1] << ", " << c[2] << ")";
}
}  // namespace std

#define EXPECT_RGB_NEAR(actual, expected, tolerance)                                  \
  do {                                                                                \
    const auto a_ = (actual);                                                         \
    const auto e_ = (expected);                                                       \
    for (int ch_ = 0; ch_ < 3; ++ch_)                                                 \
      EXPECT_NEAR(a_[ch_], e_[ch_], tolerance) << "channel " << ch_ << " of " << #actual; \
  } while (0)
