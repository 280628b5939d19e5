// Replays every kept fuzz input (the seed corpus and each input that once
// crashed or hung a reader) through both readers in the ordinary build.
// An input passes when the load ends; a crash or a sanitizer report fails.

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/DebugOutput.h"
#include "tests/fuzz/ReadModelBytes.h"

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> keptInputs() {
  std::vector<fs::path> files;
  const fs::path root = fs::path(LUMETRA_SOURCE_DIR) / "tests" / "fuzz";
  for (const char* folder : {"corpus/xmi", "corpus/scenario", "corpus/uml2", "crashes", "../modelfiles/data/uml2"})
    for (const auto& entry : fs::directory_iterator(root / folder))
      if (entry.is_regular_file() && entry.path().filename() != "README.md") files.push_back(entry.path());
  return files;
}

class ReplayKeptInputs : public ::testing::TestWithParam<fs::path> {
 protected:
  void SetUp() override { previous_ = lumetra::setDebugSink([](const std::string&) {}); }
  void TearDown() override { lumetra::setDebugSink(previous_); }
  lumetra::DebugSink previous_;
};

TEST_P(ReplayKeptInputs, BothReadersEndWithoutFault) {
  std::ifstream in(GetParam(), std::ios::binary);
  ASSERT_TRUE(in) << GetParam();
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  // Either reader may reject the input; both must return, and a second read
  // of the same bytes must give the same model (no state left behind).
  for (const char* name : {"input.xmi", "input.scenario", "input.uml"}) {
    SCOPED_TRACE(name);
    const std::size_t first = lumetra::readModelBytes(data, bytes.size(), name);
    EXPECT_EQ(lumetra::readModelBytes(data, bytes.size(), name), first);
    // The seeds are valid model files: read under their own extension they
    // must yield diagrams, or the fuzzers start from nothing.
    const bool seed = GetParam().parent_path().parent_path().filename() == "corpus";
    if (seed && GetParam().extension() == std::string(name).substr(5)) {
      EXPECT_GE(first, 1u);
    }
  }
}

std::string caseName(const ::testing::TestParamInfo<fs::path>& info) {
  std::string name = info.param.parent_path().filename().string() + "_" + info.param.filename().string();
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(KeptInputs, ReplayKeptInputs, ::testing::ValuesIn(keptInputs()), caseName);

TEST(ReplayKeptInputsSetup, SeedCorpusIsPresent) {
  // The replay is only worth something while the kept inputs are found.
  EXPECT_GE(keptInputs().size(), 4u);
}

}  // namespace
