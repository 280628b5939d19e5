// Replays every kept configuration fuzz input (the seed corpus and each
// input that once failed) through the reader and the round trip in the
// ordinary build. The seeds are whole configurations: they must be read.

#include <gtest/gtest.h>

#include <wx/init.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/fuzz/ReadConfigurationBytes.h"

namespace fs = std::filesystem;

namespace {

const wxInitializer initializer;

std::vector<fs::path> keptInputs() {
  std::vector<fs::path> files;
  const fs::path root = fs::path(LUMETRA_SOURCE_DIR) / "tests" / "fuzz";
  for (const auto& entry : fs::directory_iterator(root / "corpus" / "configuration"))
    if (entry.is_regular_file()) files.push_back(entry.path());
  for (const auto& entry : fs::directory_iterator(root / "crashes"))
    if (entry.is_regular_file() && entry.path().filename().string().rfind("configuration-", 0) == 0)
      files.push_back(entry.path());
  return files;
}

class ReplayConfigurationInputs : public ::testing::TestWithParam<fs::path> {};

TEST_P(ReplayConfigurationInputs, ReadWrittenAndReadAgainAlike) {
  std::ifstream in(GetParam(), std::ios::binary);
  ASSERT_TRUE(in) << GetParam();
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const bool read = lumetra::readConfigurationBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  if (GetParam().parent_path().filename() == "configuration" && GetParam().extension() == ".cfg") {
    EXPECT_TRUE(read);
  }
}

std::string caseName(const ::testing::TestParamInfo<fs::path>& info) {
  std::string name = info.param.filename().string();
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Kept, ReplayConfigurationInputs, ::testing::ValuesIn(keptInputs()), caseName);

}  // namespace
