// The save command in this process: freeing the model or leaving it to the
// end of the process writes the same file. Run under valgrind too, where a
// freed model must leave nothing behind and a kept one must stay reachable.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "app/commands/SaveDiagramCommand.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

std::string contentOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class SaveDiagramReleaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("lumetra-release-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};

TEST_F(SaveDiagramReleaseTest, BothReleasesWriteTheSameFile) {
  const std::string examples = std::string(LUMETRA_SOURCE_DIR) + "/examples/";
  for (const char* model : {"webshop.xmi", "traffic-monitoring.scenario"}) {
    SCOPED_TRACE(model);
    const fs::path freed = folder_ / "freed.dia";
    const fs::path kept = folder_ / "kept.dia";
    ASSERT_EQ(runSaveDiagram(freed.string(), examples + model, ModelRelease::Free), 0);
    ASSERT_EQ(runSaveDiagram(kept.string(), examples + model, ModelRelease::KeepUntilExit), 0);
    const std::string text = contentOf(freed);
    EXPECT_NE(text.find("<diagram_element "), std::string::npos) << "the example's shapes are written";
    EXPECT_EQ(text, contentOf(kept));
  }
}

TEST_F(SaveDiagramReleaseTest, FailuresWriteNothingWithEitherRelease) {
  const fs::path missing = folder_ / "missing.xmi";
  for (ModelRelease release : {ModelRelease::Free, ModelRelease::KeepUntilExit}) {
    const fs::path out = folder_ / "out.dia";
    testing::internal::CaptureStderr();
    EXPECT_EQ(runSaveDiagram(out.string(), missing.string(), release), 1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(missing.string()), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(out));
  }
}

}  // namespace
}  // namespace lumetra
