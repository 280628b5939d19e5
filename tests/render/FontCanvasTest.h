#pragma once
// A test fixture for painter tests that read pixels back: one GL canvas of
// Width x Height pixels for the whole suite with the default font loaded
// into its context, and before each test the canvas current, a projection
// in pixels, a cleared picture, full alpha and the default font selected.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "render/DefaultFont.h"
#include "render/GLPainter.h"
#include "tests/support/GLTestHarness.h"

namespace lumetra {

template <int Width, int Height>
class FontCanvasTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    gl_ = new GLTestWindow(Width, Height);
    if (gl_->ok() && FontRegistry::instance().find(kDefaultFontName) == nullptr) loadDefaultFont();
  }
  static void TearDownTestSuite() {
    FontRegistry::instance().clear();  // the font textures go with this context
    delete gl_;
    gl_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(gl_->ok()) << "no GL canvas of the requested size";
    gl_->makeCurrent();
    gl_->pixelProjection();
    gl_->clear();
    GLPainter::setGlobalAlpha(1.0f);
    ASSERT_TRUE(GLPainter::selectFont(kDefaultFontName));
  }
  void TearDown() override {
    GLPainter::setGlobalAlpha(1.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }

  static inline GLTestWindow* gl_ = nullptr;
};

}  // namespace lumetra
