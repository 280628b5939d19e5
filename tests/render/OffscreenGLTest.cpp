// Offscreen pictures as the export and the GL tests use them: pixels drawn
// at the corners come back at those corners, in both row orders, at sizes
// from one pixel to larger than the X screen, and two pictures made in one
// process each keep their own pixels when made current in turn; text drawn
// with a font made on the thread that made the context is the same as text
// made and drawn on one thread.

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "render/DefaultFont.h"
#include "render/FixedGLState.h"
#include "render/GLPainter.h"
#include "render/OffscreenGL.h"

namespace lumetra {
namespace {

using Rgb = std::array<int, 3>;

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kYellow{255, 255, 0};

// Sets one pixel (x from the left, y from the bottom) through a scissored
// clear, which writes exactly the pixels in the box.
void setPixel(int x, int y, const Rgb& c) {
  glEnable(GL_SCISSOR_TEST);
  glScissor(x, y, 1, 1);
  glClearColor(c[0] / 255.0f, c[1] / 255.0f, c[2] / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
}

void clearTo(int width, int height, const Rgb& c) {
  glViewport(0, 0, width, height);
  glDisable(GL_SCISSOR_TEST);
  glClearColor(c[0] / 255.0f, c[1] / 255.0f, c[2] / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}

Rgb at(const std::vector<unsigned char>& rgb, int width, int column, int row) {
  const std::size_t i = (static_cast<std::size_t>(row) * width + column) * 3;
  return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

std::string text(const Rgb& c) {
  return std::to_string(c[0]) + "," + std::to_string(c[1]) + "," + std::to_string(c[2]);
}

TEST(OffscreenGL, CornersComeBackWhereTheyWereDrawnAtEverySize) {
  struct Case {
    int width, height;
  };
  // The X server of the tests has a 1280 x 1024 screen: two pictures reach
  // beyond it.
  const Case cases[] = {{1, 1}, {3, 2}, {1600, 1200}, {2500, 40}, {40, 2000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    OffscreenGL gl(c.width, c.height);
    ASSERT_EQ(gl.width(), c.width);
    ASSERT_EQ(gl.height(), c.height);
    clearTo(c.width, c.height, kWhite);
    setPixel(0, 0, kRed);                        // bottom left
    glFlush();                                   // the export flushes as it draws
    setPixel(c.width - 1, c.height - 1, kBlue);  // top right
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // What each corner holds: the last colour written there.
    const Rgb bottomLeft = c.width == 1 && c.height == 1 ? kBlue : kRed;
    const Rgb topRight = kBlue;
    const Rgb topLeft = c.height == 1 ? bottomLeft : (c.width == 1 ? kBlue : kWhite);
    const Rgb bottomRight = c.width == 1 ? bottomLeft : (c.height == 1 ? kBlue : kWhite);

    const std::vector<unsigned char> topFirst = gl.readRGB();
    ASSERT_EQ(topFirst.size(), static_cast<std::size_t>(c.width) * c.height * 3);
    const int last = c.width - 1, lastRow = c.height - 1;
    EXPECT_EQ(at(topFirst, c.width, 0, lastRow), bottomLeft) << text(at(topFirst, c.width, 0, lastRow));
    EXPECT_EQ(at(topFirst, c.width, last, 0), topRight) << text(at(topFirst, c.width, last, 0));
    EXPECT_EQ(at(topFirst, c.width, 0, 0), topLeft) << text(at(topFirst, c.width, 0, 0));
    EXPECT_EQ(at(topFirst, c.width, last, lastRow), bottomRight);

    const std::vector<unsigned char> bottomFirst = gl.readRGBRows();
    ASSERT_EQ(bottomFirst.size(), topFirst.size());
    EXPECT_EQ(at(bottomFirst, c.width, 0, 0), bottomLeft);
    EXPECT_EQ(at(bottomFirst, c.width, last, lastRow), topRight);
    if (c.height > 2) {
      // A row in the middle is plain background in both orders.
      EXPECT_EQ(at(topFirst, c.width, c.width / 2, c.height / 2), kWhite);
      EXPECT_EQ(at(bottomFirst, c.width, c.width / 2, c.height / 2), kWhite);
    }
  }
}

TEST(OffscreenGL, TwoPicturesKeepTheirOwnPixels) {
  OffscreenGL first(100, 50);
  clearTo(100, 50, kGreen);
  OffscreenGL second(60, 80);
  clearTo(60, 80, kYellow);

  first.makeCurrent();
  setPixel(99, 49, kRed);
  std::vector<unsigned char> a = first.readRGB();
  EXPECT_EQ(at(a, 100, 0, 49), kGreen);
  EXPECT_EQ(at(a, 100, 99, 0), kRed) << "the top right pixel of the first picture";

  second.makeCurrent();
  std::vector<unsigned char> b = second.readRGB();
  ASSERT_EQ(b.size(), std::size_t{60} * 80 * 3);
  EXPECT_EQ(at(b, 60, 59, 0), kYellow) << "drawing into the first picture reached the second";
  EXPECT_EQ(at(b, 60, 0, 79), kYellow);

  // A picture released on one thread's behalf and made current again keeps
  // what it held (the export hands its context from one thread to another).
  first.releaseCurrent();
  first.makeCurrent();
  a = first.readRGB();
  EXPECT_EQ(at(a, 100, 99, 0), kRed);
  EXPECT_EQ(at(a, 100, 50, 25), kGreen);
}

// Labels in several sizes drawn into the current picture, read back.
std::vector<unsigned char> drawLabels(const OffscreenGL& picture) {
  const int width = picture.width(), height = picture.height();
  applyFixedGLState();
  clearTo(width, height, kWhite);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, 0, height, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  GLPainter painter;
  painter.drawText("Class42", {10, 60}, 14.0f, 0, Color(0, 0, 0, 1));
  painter.drawText("operation0(): void", {10, 30}, 10.0f, 0, Color(0.2f, 0.1f, 0.6f, 1));
  painter.drawText("AVAWTo", {10, 8}, 7.0f, 0, Color(0, 0, 0, 1));
  return picture.readRGBRows();
}

TEST(OffscreenGL, TextIsTheSameWhenTheFontWasMadeOnTheContextsThread) {
  constexpr int kW = 200, kH = 90;
  FontRegistry::instance().clear();
  // As the export does: the context and the font made on a thread of their
  // own, then drawn with here.
  std::unique_ptr<OffscreenGL> handed;
  std::thread maker([&] {
    handed = std::make_unique<OffscreenGL>(kW, kH);
    loadDefaultFont();
    handed->releaseCurrent();
  });
  maker.join();
  ASSERT_TRUE(handed);
  handed->makeCurrent();
  const std::vector<unsigned char> a = drawLabels(*handed);
  FontRegistry::instance().clear();
  handed.reset();

  OffscreenGL here(kW, kH);
  loadDefaultFont();
  const std::vector<unsigned char> b = drawLabels(here);
  FontRegistry::instance().clear();

  int inked = 0;
  for (std::size_t i = 0; i < b.size(); i += 3) inked += b[i] + b[i + 1] + b[i + 2] < 3 * 255 ? 1 : 0;
  EXPECT_GT(inked, 200);
  EXPECT_LT(inked, kW * kH / 4) << "text drawn as solid boxes";
  EXPECT_TRUE(a == b);
}

TEST(OffscreenGL, FixedStateLeavesTheBoundTexturesFiltersAlone) {
  OffscreenGL picture(8, 8);
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  applyFixedGLState();
  GLint bound = 0, filter = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
  EXPECT_EQ(bound, static_cast<GLint>(texture));
  EXPECT_EQ(filter, GL_LINEAR) << "a texture without mipmaps set to filter through them draws as solid boxes";
  glDeleteTextures(1, &texture);
}

}  // namespace
}  // namespace lumetra
