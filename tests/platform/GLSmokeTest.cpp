// Proves the GL path: a canvas with the program's pixel format on the
// test display, cleared to a colour that is read back.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/glcanvas.h>

#include <GL/gl.h>

#include <array>

#include "platform/GLExtensions.h"
#include "render/PixelFormat.h"
#include "tests/platform/WaitFor.h"

namespace lumetra {
namespace {

class GLSmokeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame_ = new wxFrame(nullptr, wxID_ANY, "smoke", wxDefaultPosition, wxSize(96, 80));
    canvas_ = new wxGLCanvas(frame_, chooseCanvasAttributes(), wxID_ANY, wxDefaultPosition, wxSize(64, 48));
    ASSERT_TRUE(test::showAndWaitForPaint(frame_, canvas_)) << "the canvas was never painted";
    context_ = new wxGLContext(canvas_);
    ASSERT_TRUE(context_->IsOK());
    ASSERT_TRUE(canvas_->SetCurrent(*context_));
  }
  void TearDown() override {
    delete context_;
    frame_->Destroy();
    wxTheApp->Yield(true);
  }

  wxFrame* frame_ = nullptr;
  wxGLCanvas* canvas_ = nullptr;
  wxGLContext* context_ = nullptr;
};

TEST_F(GLSmokeTest, ClearColourIsReadBack) {
  glViewport(0, 0, 64, 48);
  glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  glFinish();
  std::array<unsigned char, 4> pixel{};
  glReadBuffer(GL_BACK);
  glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
  EXPECT_NEAR(pixel[0], 51, 1);
  EXPECT_NEAR(pixel[1], 102, 1);
  EXPECT_NEAR(pixel[2], 153, 1);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GLSmokeTest, PixelFormatHasDepthStencilAndDoubleBuffer) {
  GLint depth = 0, stencil = 0;
  GLboolean doubleBuffer = GL_FALSE;
  glGetIntegerv(GL_DEPTH_BITS, &depth);
  glGetIntegerv(GL_STENCIL_BITS, &stencil);
  glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffer);
  EXPECT_GE(depth, 16);
  EXPECT_EQ(stencil, 8);
  EXPECT_TRUE(doubleBuffer);
  const int chosen = chosenDepthSize();
  EXPECT_TRUE(chosen == 32 || chosen == 24 || chosen == 16) << chosen;
  EXPECT_GE(depth, chosen);
}

TEST_F(GLSmokeTest, BlendEquationIsFound) { EXPECT_NE(lookupBlendEquation(), nullptr); }

}  // namespace
}  // namespace lumetra
