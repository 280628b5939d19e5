#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "modelfiles/DiagramParserController.h"
#include "tests/modelfiles/ReadHelpers.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

// A private folder for files a test writes; removed afterwards.
class ControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("lumetra-controller-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string write(const std::string& name, const std::string& text) {
    const fs::path path = folder_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }

  std::size_t diagramsRead(const std::string& path, LoadStatus* status = nullptr) {
    DiagramParserController controller(diagrams_, pool_);
    controller.open(path);
    if (status) *status = controller.status();
    const std::size_t count = diagrams_.size();
    for (Diagram* d : diagrams_) delete d;
    diagrams_.clear();
    pool_.clear();
    return count;
  }

  fs::path folder_;
  std::vector<Diagram*> diagrams_;
  ModelElementsPool pool_;
};

const std::string kXmi = testing::xmiDocument(R"(<UML:Class xmi.id="A" name="A"/>)",
                                              testing::classDiagram(testing::shape("s", "A")));
const std::string kScenario =
    "<?xml version=\"1.0\"?>\n<scenario id=\"s\"><nodes id=\"n\" Name=\"N\" x=\"0\" y=\"0\"/></scenario>";

TEST_F(ControllerTest, ChoosesTheReaderByContentThenByExtension) {
  struct Case {
    const char* name;
    const char* fileName;
    const std::string* text;
    std::size_t diagrams;
    LoadStatus::Outcome outcome;
  } cases[] = {
      {"XMI named .xml", "model.xml", &kXmi, 1, LoadStatus::Outcome::Read},
      {"XMI named .xmi", "model.xmi", &kXmi, 1, LoadStatus::Outcome::Read},
      {"XMI named .scenario is read as XMI", "model.scenario", &kXmi, 1, LoadStatus::Outcome::Read},
      {"scenario", "flow.scenario", &kScenario, 1, LoadStatus::Outcome::Read},
      {"SCENARIO in capitals is not read", "flow.SCENARIO", &kScenario, 0, LoadStatus::Outcome::NoReader},
      {"scenario content with another extension", "flow.xml", &kScenario, 0, LoadStatus::Outcome::NoReader},
      // The extension is taken from the whole path, folders included.
      {"a file named scenario has no extension", "scenario", &kScenario, 0, LoadStatus::Outcome::NoReader},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoadStatus status;
    EXPECT_EQ(diagramsRead(write(c.fileName, *c.text), &status), c.diagrams);
    EXPECT_EQ(status.outcome, c.outcome);
  }
}

TEST_F(ControllerTest, UnreadableFilesLeaveTheModelEmptyAndSayWhy) {
  struct Case {
    const char* name;
    std::string path;
    std::string reason;
    unsigned line;
  } cases[] = {
      {"missing file", (folder_ / "missing.xmi").string(), "File was not found", 0},
      {"a folder", folder_.string(), "not a regular file", 0},
      {"not well-formed", write("bad.xmi", "<XMI>\n<XMI.content>\n  </XMI>\n"), "Start-end tags mismatch", 3},
      {"empty", write("empty.xmi", ""), "No document element found", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoadStatus status;
    EXPECT_EQ(diagramsRead(c.path, &status), 0u);
    EXPECT_EQ(status.outcome, LoadStatus::Outcome::NotLoaded);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.reason, c.reason);
    EXPECT_EQ(status.line, c.line);
    EXPECT_EQ(status.message().rfind(c.path, 0), 0u) << status.message();  // names the file first
  }
}

TEST_F(ControllerTest, MessagesCarryLineAndColumnOfTheError) {
  LoadStatus status;
  const std::string path = write("bad.xmi", "<XMI>\n  <a>\n    </b>\n</XMI>\n");
  diagramsRead(path, &status);
  EXPECT_EQ(status.line, 3u);
  EXPECT_GE(status.column, 5u);
  EXPECT_EQ(status.message(), path + ":3:" + std::to_string(status.column) + ": Start-end tags mismatch");

  // The same position when the content is read from memory.
  const auto fromMemory = testing::readText("<XMI>\n  <a>\n    </b>\n</XMI>\n", "bad.xmi");
  EXPECT_EQ(fromMemory->status.line, status.line);
  EXPECT_EQ(fromMemory->status.column, status.column);
}

TEST_F(ControllerTest, ExtensionIsTheTextAfterTheLastDot) {
  EXPECT_EQ(fileExtension("a.b.scenario"), "scenario");
  EXPECT_EQ(fileExtension("scenario"), "scenario");
  EXPECT_EQ(fileExtension("model."), "");
  EXPECT_EQ(fileExtension("dir.v2/model"), "v2/model");
}

}  // namespace
}  // namespace lumetra
