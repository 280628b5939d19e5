// Runs the built `lumetra --save-diagram OUT MODEL` as a user would.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

#include <pugixml.hpp>

namespace {

namespace fs = std::filesystem;

struct CommandRun {
  int exitCode = -1;
  std::string err;
};

class SaveDiagramCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("lumetra-command-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  static std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
  }

  CommandRun save(const std::string& out, const std::string& model) {
    const fs::path errFile = folder_ / "stderr.txt";
    // No display: the command must not need one.
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY " + quoted(LUMETRA_BINARY) +
                                " --save-diagram " + quoted(out) + " " + quoted(model) + " 2>" +
                                quoted(errFile.string()) + " >/dev/null";
    const int status = std::system(command.c_str());
    CommandRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(errFile);
    std::stringstream text;
    text << in.rdbuf();
    run.err = text.str();
    fs::remove(errFile);
    return run;
  }

  std::string write(const std::string& name, const std::string& text) {
    const fs::path path = folder_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }

  fs::path folder_;
};

std::string example(const char* name) { return (fs::path(LUMETRA_SOURCE_DIR) / "examples" / name).string(); }

TEST_F(SaveDiagramCommandTest, WritesTheExampleClassModel) {
  const std::string out = (folder_ / "webshop.dia").string();
  const CommandRun run = save(out, example("webshop.xmi"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");  // trace lines stay off stderr
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_file(out.c_str()));
  pugi::xml_node diagrams = doc.child("root").child("diagrams");
  std::vector<std::string> names;
  for (pugi::xml_node d : diagrams.children("diagram")) names.push_back(d.attribute("name").value());
  EXPECT_EQ(names, (std::vector<std::string>{"Orders and billing", "Inventory and shipping", "Overview"}));

  // Post-pass order: every relation before every box; boxes are the
  // elements whose model element is a Class, Interface or Package.
  std::map<std::string, std::string> kindOf;
  for (pugi::xml_node e : doc.child("root").child("model_elements").children("element"))
    kindOf[e.attribute("id").value()] = e.attribute("class").value();
  for (pugi::xml_node d : diagrams.children("diagram")) {
    SCOPED_TRACE(d.attribute("name").value());
    bool seenBox = false;
    float minY = 1e9f, maxY = -1e9f, minX = 1e9f, maxX = -1e9f;
    for (pugi::xml_node e : d.child("diagram_elements").children("diagram_element")) {
      const std::string kind = kindOf[e.attribute("model_id").value()];
      ASSERT_FALSE(kind.empty());
      const bool box = kind == "Class" || kind == "Interface" || kind == "Package";
      EXPECT_FALSE(seenBox && !box) << "relation after a box: " << e.attribute("id").value();
      seenBox = seenBox || box;
      pugi::xml_node layout = e.child("layouts").child("layout");
      minY = std::min(minY, layout.attribute("down").as_float());
      maxY = std::max(maxY, layout.attribute("up").as_float());
      minX = std::min(minX, layout.attribute("left").as_float());
      maxX = std::max(maxX, layout.attribute("right").as_float());
    }
    EXPECT_TRUE(seenBox);
    // Centred on the origin (within the rounding of six digits).
    EXPECT_NEAR(minY + maxY, 0.0f, 0.01f);
    EXPECT_NEAR(minX + maxX, 0.0f, 0.01f);
  }
  // Role labels are supplementary shapes, not model elements.
  EXPECT_FALSE(diagrams.first_child().child("supplementary_elements").children().empty());
  EXPECT_EQ(kindOf.count("A_customer_orders_e1"), 0u);
}

TEST_F(SaveDiagramCommandTest, WritesTheExampleScenario) {
  const std::string out = (folder_ / "traffic.dia").string();
  const CommandRun run = save(out, example("traffic-monitoring.scenario"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_file(out.c_str()));
  pugi::xml_node diagram = doc.child("root").child("diagrams").child("diagram");
  EXPECT_STREQ(diagram.attribute("class").value(), "PelkComponentDiagram");
  EXPECT_STREQ(diagram.attribute("name").value(), "Traffic monitoring");
  std::size_t services = 0, markers = 0;
  for (pugi::xml_node e : diagram.child("diagram_elements").children("diagram_element")) {
    if (pugi::xml_node children = e.child("children")) {
      ++services;
      for (pugi::xml_node m : children.children("diagram_element")) {
        ++markers;
        pugi::xml_node l = m.child("layouts").child("layout");
        // Markers are placed squares of side 20 / 1.4.
        EXPECT_NEAR(l.attribute("right").as_float() - l.attribute("left").as_float(), 20.0f / 1.4f, 0.01f);
      }
    }
  }
  EXPECT_EQ(services, 9u);
  EXPECT_EQ(markers, 20u);
}

TEST_F(SaveDiagramCommandTest, UnreadableModelsFailWithOneLineAndNoOutput) {
  struct Case {
    const char* name;
    std::string model;
    std::string expectedInMessage;
  } cases[] = {
      {"missing", (folder_ / "missing.xmi").string(), "File was not found"},
      {"not well-formed", write("bad.xmi", "<XMI>\n<XMI.content>\n</XMI>"), "bad.xmi:3:"},
      {"neither XMI nor scenario", write("other.xml", "<root/>"), "neither an XMI document nor a .scenario file"},
      {"truncated", write("cut.xmi", "<XMI><XMI.content><UML:Model xmi.id=\"m\"><UML:Cla"), "cut.xmi:1:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string out = (folder_ / "never.dia").string();
    const CommandRun run = save(out, c.model);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find(c.model), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(c.expectedInMessage), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_FALSE(fs::exists(out));
  }
}

TEST_F(SaveDiagramCommandTest, AModelWithoutDiagramsWritesAnEmptyDiagramFile) {
  const std::string out = (folder_ / "empty.dia").string();
  const CommandRun run = save(out, write("empty.xmi", "<XMI><XMI.content><UML:Model/></XMI.content></XMI>"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_file(out.c_str()));
  EXPECT_TRUE(doc.child("root").child("diagrams"));
  EXPECT_FALSE(doc.child("root").child("diagrams").first_child());
  EXPECT_FALSE(doc.child("root").child("model_elements").first_child());
}

TEST_F(SaveDiagramCommandTest, AFailedWriteIsReportedAndLeavesNothing) {
  const fs::path out = folder_ / "missing-folder" / "out.dia";
  const CommandRun run = save(out.string(), example("webshop.xmi"));
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.err.find(out.parent_path().string()), std::string::npos) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_FALSE(fs::exists(out));
}

}  // namespace
