// Draws every kept fuzz input (the drawing seeds, the readers' seeds and
// every input that once crashed or hung something) as the viewer would, in
// the ordinary build. An input passes when drawing ends and leaves the GL
// state as it found it: no error, no list left open, every pushed attribute
// and matrix popped.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "platform/DebugOutput.h"
#include "render/Canvas.h"
#include "render/DefaultFont.h"
#include "render/GLPainter.h"
#include "render/OffscreenGL.h"
#include "tests/fuzz/DrawModelBytes.h"
#include "tests/support/GLHarness.h"

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> keptInputs() {
  std::vector<fs::path> files;
  const fs::path root = fs::path(LUMETRA_SOURCE_DIR) / "tests" / "fuzz";
  for (const char* folder : {"corpus/draw", "corpus/xmi", "corpus/scenario", "crashes"})
    for (const auto& entry : fs::directory_iterator(root / folder))
      if (entry.is_regular_file() && entry.path().filename() != "README.md") files.push_back(entry.path());
  return files;
}

class ReplayDrawInputs : public ::testing::TestWithParam<fs::path> {
 protected:
  static void SetUpTestSuite() {
    context_ = lumetra::test::openOffscreenScene(lumetra::kDrawViewWidth, lumetra::kDrawViewHeight);
  }
  static void TearDownTestSuite() {
    lumetra::FontRegistry::instance().clear();
    context_.reset();
  }
  void SetUp() override { previous_ = lumetra::setDebugSink([](const std::string&) {}); }
  void TearDown() override { lumetra::setDebugSink(previous_); }

  static std::unique_ptr<lumetra::OffscreenGL> context_;
  lumetra::DebugSink previous_;
};

std::unique_ptr<lumetra::OffscreenGL> ReplayDrawInputs::context_;

GLint integer(GLenum what) {
  GLint value = -1;
  glGetIntegerv(what, &value);
  return value;
}

TEST_P(ReplayDrawInputs, DrawingEndsAndLeavesTheStateAsFound) {
  std::ifstream in(GetParam(), std::ios::binary);
  ASSERT_TRUE(in) << GetParam();
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  while (glGetError() != GL_NO_ERROR) {
  }
  const std::size_t drawn = lumetra::drawModelBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  EXPECT_EQ(integer(GL_LIST_INDEX), 0) << "a display list was left open";
  EXPECT_EQ(integer(GL_ATTRIB_STACK_DEPTH), 0);
  EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), 1);
  EXPECT_EQ(integer(GL_PROJECTION_STACK_DEPTH), 1);
  EXPECT_EQ(integer(GL_NAME_STACK_DEPTH), 0);
  EXPECT_EQ(integer(GL_RENDER_MODE), GL_RENDER) << "a pick left selection mode on";
  // The drawing seeds are valid models: they must be drawn, or the fuzzer
  // starts from nothing.
  if (GetParam().parent_path().filename() == "draw") {
    EXPECT_GE(drawn, 1u);
  }
}

std::string caseName(const ::testing::TestParamInfo<fs::path>& info) {
  std::string name = info.param.parent_path().filename().string() + "_" + info.param.filename().string();
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(KeptInputs, ReplayDrawInputs, ::testing::ValuesIn(keptInputs()), caseName);

}  // namespace
