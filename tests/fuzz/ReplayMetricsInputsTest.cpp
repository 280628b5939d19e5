// Replays the kept inputs of the metrics fuzzers (CSV tables and coverage
// reports) in the ordinary build, through the reader their fuzzer drives and
// through the viewer's way in (recognised by content). The contract checks
// of ReadMetricsBytes abort on a fault; a seed must still give metrics.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/fuzz/ReadMetricsBytes.h"

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> keptInputs() {
  std::vector<fs::path> files;
  const fs::path root = fs::path(LUMETRA_SOURCE_DIR) / "tests" / "fuzz" / "corpus";
  for (const char* folder : {"csv", "jacoco"})
    for (const auto& entry : fs::directory_iterator(root / folder))
      if (entry.is_regular_file()) files.push_back(entry.path());
  return files;
}

TEST(ReplayMetricsInputs, SeedsGiveMetricsAndEveryInputEndsWithinTheContract) {
  const std::vector<fs::path> inputs = keptInputs();
  EXPECT_GE(inputs.size(), 4u);
  for (const fs::path& path : inputs) {
    SCOPED_TRACE(path.string());
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const auto own = path.parent_path().filename() == "csv" ? lumetra::MetricsInput::Table
                                                            : lumetra::MetricsInput::CoverageReport;
    const std::size_t read = lumetra::readMetricsInput(data, bytes.size(), own);
    EXPECT_EQ(lumetra::readMetricsInput(data, bytes.size(), lumetra::MetricsInput::AnyFile), read);
    if (path.filename().string().rfind("crash-", 0) != 0) EXPECT_GE(read, 1u);
  }
}

}  // namespace
