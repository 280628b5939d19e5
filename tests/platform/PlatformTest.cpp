#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/DebugOutput.h"
#include "platform/FontLookup.h"

namespace lumetra {
namespace {
namespace fs = std::filesystem;

// Runs a block in another working directory and comes back.
class InDirectory {
 public:
  explicit InDirectory(const fs::path& dir) : previous_(fs::current_path()) { fs::current_path(dir); }
  ~InDirectory() { fs::current_path(previous_); }

 private:
  fs::path previous_;
};

TEST(FontLookupTest, CandidatesAreWorkingDirectoryThenExecutableThenDataFolders) {
  const auto candidates = fontCandidates("arial.ttf");
  ASSERT_EQ(candidates.size(), 4u);
  EXPECT_EQ(candidates[0], "arial.ttf");
  EXPECT_EQ(fs::path(candidates[1]), fs::path(executableDir()) / "arial.ttf");
  // The data folder beside the executable's bin folder, as an unpacked
  // package or a moved prefix has it.
  EXPECT_EQ(fs::path(candidates[2]), (fs::path(executableDir()) / ".." / "share" / "lumetra" / "arial.ttf").lexically_normal());
  EXPECT_EQ(fs::path(candidates[3]).filename(), "arial.ttf");
  EXPECT_TRUE(fs::path(candidates[3]).is_absolute());
}

TEST(FontLookupTest, FallsBackToTheCopyBesideTheExecutable) {
  // The build places arial.ttf beside the binaries; from elsewhere the
  // relative name fails and the executable's folder is used.
  const fs::path elsewhere = fs::temp_directory_path();
  ASSERT_FALSE(fs::exists(elsewhere / "arial.ttf"));
  InDirectory in(elsewhere);
  const std::string found = findFontFile("arial.ttf");
  EXPECT_EQ(fs::path(found), fs::path(executableDir()) / "arial.ttf");
  EXPECT_GT(fs::file_size(found), 10000u);
}

TEST(FontLookupTest, MissingFontGivesEmpty) {
  EXPECT_EQ(findFontFile("no-such-font-7f3a.ttf"), "");
  EXPECT_EQ(findFontFile("/no/such/absolute.ttf"), "");
}

TEST(DebugOutputTest, SinkReceivesTextAndCanBeRestored) {
  std::string captured;
  DebugSink previous = setDebugSink([&](const std::string& s) { captured += s; });
  debugOutput("\n ERROR: MODEL ELEMENT IS NOT FOUND \n");
  debugOutput("second");
  EXPECT_EQ(captured, "\n ERROR: MODEL ELEMENT IS NOT FOUND \nsecond");
  DebugSink mine = setDebugSink(previous);
  EXPECT_TRUE(static_cast<bool>(mine));
  debugOutput("to stderr\n");
  EXPECT_EQ(captured, "\n ERROR: MODEL ELEMENT IS NOT FOUND \nsecond");
}

TEST(DebugOutputTest, CaptureCollectsAndRestoresTheOuterSink) {
  DebugCapture outer;
  {
    DebugCapture inner;
    debugOutput("inner line");
    EXPECT_TRUE(inner.contains("inner"));
  }
  debugOutput("outer line");
  EXPECT_EQ(outer.text(), "outer line");
}

}  // namespace
}  // namespace lumetra
