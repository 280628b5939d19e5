// The batch export run as a user runs it: the lumetra program with
// --export, checked by its exit code, its stderr and the file it leaves.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/commands/ExportCommand.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;

const std::string kModel = std::string(LUMETRA_SOURCE_DIR) + "/examples/webshop.xmi";
const std::string kMetrics = std::string(LUMETRA_TEST_DATA_DIR) + "/webshop-export.met";

struct Outcome {
  int exitCode = -1;
  std::vector<std::string> errorLines;
};

class ExportCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("lumetra-export-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string out(const std::string& name) const { return (dir_ / name).string(); }

  static std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
  }

  // Runs lumetra with the arguments; envPrefix goes before the program (e.g.
  // "env -u DISPLAY").
  Outcome lumetra(const std::vector<std::string>& args, const std::string& envPrefix = "") const {
    const std::string errFile = (dir_ / "stderr.txt").string();
    std::string command = envPrefix + " " + shellQuote(LUMETRA_BINARY);
    for (const std::string& a : args) command += " " + shellQuote(a);
    command += " >/dev/null 2>" + shellQuote(errFile);
    const int status = std::system(command.c_str());
    Outcome run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(errFile);
    for (std::string line; std::getline(err, line);) run.errorLines.push_back(line);
    fs::remove(errFile);
    return run;
  }

  // Only the files the test made itself may be in the folder.
  std::vector<std::string> leftovers() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
    return names;
  }

  fs::path dir_;
};

// Width and height from a PNG file's header.
bool pngSize(const std::string& file, int& width, int& height) {
  std::ifstream in(file, std::ios::binary);
  unsigned char header[24] = {};
  if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return false;
  static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (!std::equal(signature, signature + 8, header)) return false;
  auto be32 = [&](int at) { return (header[at] << 24) | (header[at + 1] << 16) | (header[at + 2] << 8) | header[at + 3]; };
  width = be32(16);
  height = be32(20);
  return true;
}

TEST_F(ExportCommandTest, WritesAPngOfTheDefaultSize) {
  const Outcome run = lumetra({"--export", out("plain.png"), kModel});
  ASSERT_EQ(run.exitCode, 0) << (run.errorLines.empty() ? "" : run.errorLines[0]);
  EXPECT_TRUE(run.errorLines.empty());
  int w = 0, h = 0;
  ASSERT_TRUE(pngSize(out("plain.png"), w, h));
  EXPECT_EQ(w, 1024);
  EXPECT_EQ(h, 768);
  EXPECT_EQ(leftovers(), std::vector<std::string>{"plain.png"});  // no temporary file left
}

TEST_F(ExportCommandTest, WritesTheGivenSizeWithMetricsAndAreas) {
  const Outcome run = lumetra({"--export", out("full.png"), "--size", "640x480", "--diagram", "Orders and billing",
                           "--metrics", kMetrics, "--metric", "Size", "--metric", "Tested", "--area", "Ordering",
                           "--area", "Billing", kModel});
  ASSERT_EQ(run.exitCode, 0) << (run.errorLines.empty() ? "" : run.errorLines[0]);
  int w = 0, h = 0;
  ASSERT_TRUE(pngSize(out("full.png"), w, h));
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
}

// A metric or area named twice was shown twice: the metric took two glyph
// cells of which only the first was ever drawn in, the area was composited
// twice and came out darker.
TEST_F(ExportCommandTest, NamingAMetricOrAreaTwiceShowsItOnce) {
  auto bytes = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  const std::vector<std::string> once = {"--metrics", kMetrics, "--metric", "Size", "--area", "Ordering"};
  const std::vector<std::string> twice = {"--metrics", kMetrics, "--metric", "Size", "--metric", "Size",
                                          "--area", "Ordering", "--area", "Ordering"};
  for (const auto& [name, extra] : {std::pair{"once.png", once}, std::pair{"twice.png", twice}}) {
    std::vector<std::string> args = {"--export", out(name), "--size", "320x240"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(kModel);
    const Outcome run = lumetra(args);
    ASSERT_EQ(run.exitCode, 0) << name << ": " << (run.errorLines.empty() ? "" : run.errorLines[0]);
  }
  const std::string first = bytes(out("once.png"));
  ASSERT_FALSE(first.empty());
  EXPECT_TRUE(first == bytes(out("twice.png")));
}

// A thumbnail of the web shop shows its text under 4 pixels high, which
// level of detail draws as bars; --full-detail draws it as text, so the two
// pictures differ, while a picture large enough for all text is the same
// either way.
TEST_F(ExportCommandTest, FullDetailKeepsTextTooSmallToRead) {
  auto bytes = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  for (const auto& [size, alike] : {std::pair{"160x120", false}, std::pair{"1024x768", true}}) {
    SCOPED_TRACE(size);
    for (const char* name : {"reduced.png", "full.png"}) {
      std::vector<std::string> args = {"--export", out(name), "--size", size};
      if (std::string(name) == "full.png") args.push_back("--full-detail");
      args.push_back(kModel);
      const Outcome run = lumetra(args);
      ASSERT_EQ(run.exitCode, 0) << name << ": " << (run.errorLines.empty() ? "" : run.errorLines[0]);
    }
    const std::string reduced = bytes(out("reduced.png"));
    ASSERT_FALSE(reduced.empty());
    EXPECT_EQ(reduced == bytes(out("full.png")), alike);
  }
}

// A model of a real code base (246 types on an overview of a few hundred
// shapes): its display lists once made the program loop forever when it
// deleted them after rendering, so the picture was never written. The run
// is bounded by `timeout` so that such a fault fails the test instead of
// holding up the suite.
TEST_F(ExportCommandTest, ALargeRealModelIsExportedAndTheProgramEnds) {
  const std::string model = std::string(LUMETRA_TEST_DATA_DIR) + "/commons-lang.xmi";
  const Outcome run = lumetra({"--export", out("large.png"), "--size", "640x480", model}, "timeout 120");
  ASSERT_EQ(run.exitCode, 0) << (run.errorLines.empty() ? "" : run.errorLines[0]);
  int w = 0, h = 0;
  ASSERT_TRUE(pngSize(out("large.png"), w, h));
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
}

TEST_F(ExportCommandTest, JpegByExtension) {
  const Outcome run = lumetra({"--export", out("picture.JPG"), "--size", "320x200", kModel});
  ASSERT_EQ(run.exitCode, 0) << (run.errorLines.empty() ? "" : run.errorLines[0]);
  std::ifstream in(out("picture.JPG"), std::ios::binary);
  unsigned char magic[3] = {};
  ASSERT_TRUE(in.read(reinterpret_cast<char*>(magic), 3));
  EXPECT_EQ(magic[0], 0xFF);
  EXPECT_EQ(magic[1], 0xD8);
  EXPECT_EQ(magic[2], 0xFF);
}

TEST_F(ExportCommandTest, EachFailurePrintsOneLineExitsNonZeroAndLeavesNoFile) {
  struct Case {
    const char* name;
    std::vector<std::string> args;  // the output file is always bad.png
    std::string expectedInLine;
    std::string envPrefix;
  } cases[] = {
      {"unknown diagram", {"--diagram", "No such diagram", kModel}, "unknown diagram 'No such diagram'"},
      {"unknown metric", {"--metrics", kMetrics, "--metric", "Lines", kModel}, "unknown metric 'Lines'"},
      {"metric without a metrics file", {"--metric", "Size", kModel}, "no metrics file"},
      {"unknown area", {"--metrics", kMetrics, "--area", "Shipping", kModel}, "unknown area 'Shipping'"},
      {"unreadable model", {"/nonexistent/model.xmi"}, "/nonexistent/model.xmi"},
      {"model that is no model", {kMetrics}, "webshop-export.met"},
      {"unreadable metrics file", {"--metrics", "/nonexistent/m.met", kModel}, "/nonexistent/m.met"},
      {"malformed metrics file", {"--metrics", std::string(LUMETRA_TEST_DATA_DIR) + "/broken.met", kModel},
       "broken.met"},
      {"bad size", {"--size", "wide", kModel}, "invalid --size 'wide'"},
      {"zero size", {"--size", "0x100", kModel}, "invalid --size '0x100'"},
      {"no display", {kModel}, "no display", "env -u DISPLAY"},
      {"unreachable display", {kModel}, "cannot open X display :4711", "env DISPLAY=:4711"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args{"--export", out("bad.png")};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Outcome run = lumetra(args, c.envPrefix);
    EXPECT_NE(run.exitCode, 0);
    ASSERT_EQ(run.errorLines.size(), 1u);
    EXPECT_NE(run.errorLines[0].find(c.expectedInLine), std::string::npos) << run.errorLines[0];
    EXPECT_TRUE(leftovers().empty());
  }
}

TEST_F(ExportCommandTest, FailedWritesLeaveNothingAndKeepAnExistingFile) {
  Outcome run;
  for (const char* kind : {"png", "svg", "pdf"}) {
    SCOPED_TRACE(kind);
    // Into a folder that does not exist.
    const std::string name = std::string("x.") + kind;
    run = lumetra({"--export", out("missing/folder/" + name), kModel});
    EXPECT_NE(run.exitCode, 0);
    ASSERT_EQ(run.errorLines.size(), 1u);
    EXPECT_NE(run.errorLines[0].find("cannot write " + out("missing/folder/" + name)), std::string::npos)
        << run.errorLines[0];
    EXPECT_TRUE(leftovers().empty());

    // A failing export does not touch a picture already there.
    const std::string keep = std::string("keep.") + kind;
    { std::ofstream(out(keep)) << "previous"; }
    run = lumetra({"--export", out(keep), "--diagram", "nope", kModel});
    EXPECT_NE(run.exitCode, 0);
    std::ifstream kept(out(keep));
    std::string content;
    std::getline(kept, content);
    EXPECT_EQ(content, "previous");
    fs::remove(out(keep));
  }

  // An unsupported file type.
  run = lumetra({"--export", out("x.gif"), kModel});
  EXPECT_NE(run.exitCode, 0);
  ASSERT_EQ(run.errorLines.size(), 1u);
  EXPECT_NE(run.errorLines[0].find(".png, .jpg, .jpeg, .svg or .pdf"), std::string::npos) << run.errorLines[0];
  EXPECT_TRUE(leftovers().empty());
}

// Vector pictures by extension, any case: the files are what their names
// say, with the labels as text and nothing else left in the folder.
TEST_F(ExportCommandTest, SvgAndPdfByExtension) {
  const std::string metrics[] = {"--metrics", kMetrics, "--metric", "Size", "--area", "Ordering"};
  for (const auto& [name, magic] : {std::pair{"view.svg", "<?xml"}, std::pair{"VIEW.PDF", "%PDF-1.4"}}) {
    SCOPED_TRACE(name);
    std::vector<std::string> args = {"--export", out(name), "--size", "640x480"};
    args.insert(args.end(), std::begin(metrics), std::end(metrics));
    args.push_back(kModel);
    const Outcome run = lumetra(args);
    ASSERT_EQ(run.exitCode, 0) << (run.errorLines.empty() ? "" : run.errorLines[0]);
    EXPECT_TRUE(run.errorLines.empty());
    std::ifstream in(out(name), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.rfind(magic, 0), 0u);
    EXPECT_EQ(leftovers(), std::vector<std::string>{name});
    fs::remove(out(name));
  }
}

// Every diagram into one folder: one picture each, named after its diagram,
// nothing else left there; awkward names (a path, two alike) still give one
// file each.
TEST_F(ExportCommandTest, ExportAllWritesOnePicturePerDiagram) {
  std::ifstream in(kModel);
  std::string xmi((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (const auto& [from, to] : {std::pair{"name=\"Orders and billing\"", "name=\"orders/billing\""},
                                 std::pair{"name=\"Inventory and shipping\"", "name=\"Orders:Billing\""}})
    xmi.replace(xmi.find(from), std::string(from).size(), to);
  const std::string renamed = out("renamed.xmi");
  std::ofstream(renamed) << xmi;

  const struct {
    std::string model, format;
    std::vector<std::string> files;
  } cases[] = {
      {kModel, "", {"Inventory and shipping.png", "Orders and billing.png", "Overview.png"}},
      {kModel, "SVG", {"Inventory and shipping.svg", "Orders and billing.svg", "Overview.svg"}},
      {renamed, "pdf", {"Orders_Billing (2).pdf", "Overview.pdf", "orders_billing.pdf"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    const std::string folder = out("pictures");
    std::vector<std::string> args{"--export-all", folder, "--size", "320x240", "--metrics", kMetrics,
                                  "--area", "Ordering", c.model};
    if (!c.format.empty()) args.insert(args.begin() + 2, {"--format", c.format});
    const Outcome run = lumetra(args);
    ASSERT_EQ(run.exitCode, 0) << (run.errorLines.empty() ? "" : run.errorLines[0]);
    std::vector<std::string> written;
    for (const auto& entry : fs::directory_iterator(folder)) written.push_back(entry.path().filename().string());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, c.files);
    if (c.format.empty()) {
      // Each picture is the one --export draws of that diagram alone: the
      // areas follow each diagram and nothing of one picture stays for the next.
      for (const char* diagram : {"Orders and billing", "Overview"}) {
        const std::vector<std::string> single{"--export", out("single.png"), "--diagram", diagram, "--size", "320x240",
                                              "--metrics", kMetrics, "--area", "Ordering", c.model};
        ASSERT_EQ(lumetra(single).exitCode, 0);
        std::ifstream a(out("single.png"), std::ios::binary), b(folder + "/" + diagram + ".png", std::ios::binary);
        const std::string alone((std::istreambuf_iterator<char>(a)), {}), all((std::istreambuf_iterator<char>(b)), {});
        EXPECT_TRUE(!alone.empty() && alone == all) << diagram;
        fs::remove(out("single.png"));
      }
    }
    fs::remove_all(folder);
  }
}

TEST_F(ExportCommandTest, ExportAllRefusesAFolderItCannotWriteAndLeavesNothing) {
  { std::ofstream(out("plain-file")) << "x"; }
  const struct {
    std::string folder, format, expected;
  } cases[] = {
      {out("plain-file"), "", "cannot write into " + out("plain-file")},
      {out("plain-file/below"), "", "cannot write into " + out("plain-file/below")},
      {"/proc/lumetra-pictures", "png", "cannot write into /proc/lumetra-pictures"},
      {out("never-made"), "gif", "invalid --format 'gif'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    std::vector<std::string> args{"--export-all", c.folder, kModel};
    if (!c.format.empty()) args.insert(args.begin() + 2, {"--format", c.format});
    const Outcome run = lumetra(args);
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(run.errorLines.size(), 1u);
    EXPECT_NE(run.errorLines[0].find(c.expected), std::string::npos) << run.errorLines[0];
    EXPECT_EQ(leftovers(), std::vector<std::string>{"plain-file"});
  }
}

TEST(PictureFileNames, NamesAreSafeUniqueAndInOrder) {
  const std::vector<std::string> names = {
      "Overview", "a/b\\c", "", "..", ".hidden", "tab\there", "x:y*?\"<>|", "overview",
      "Overview", "caf\xc3\xa9", "bad\xff" "byte", "cut\xc3", std::string(250, 'n')};
  const std::vector<std::string> expected = {
      "Overview.png", "a_b_c.png", "diagram.png", "_..png", "_hidden.png", "tab_here.png", "x_y______.png",
      "overview (2).png", "Overview (3).png", "caf\xc3\xa9.png", "bad_byte.png", "cut_.png",
      std::string(200, 'n') + ".png"};
  EXPECT_EQ(pictureFileNames(names, "png"), expected);
}

TEST(ImageSize, ParsesWidthByHeight) {
  struct Case {
    const char* text;
    bool ok;
    int width, height;
  } cases[] = {
      {"1024x768", true, 1024, 768}, {"1X1", true, 1, 1},       {"16384x16384", true, 16384, 16384},
      {"16385x10", false, 0, 0},     {"0x10", false, 0, 0},     {"10x", false, 0, 0},
      {"x10", false, 0, 0},          {"10*10", false, 0, 0},    {"-5x10", false, 0, 0},
      {"10x10x10", false, 0, 0},     {"", false, 0, 0},         {"99999999999x1", false, 0, 0},
  };
  for (const Case& c : cases) {
    int w = -1, h = -1;
    EXPECT_EQ(parseImageSize(c.text, w, h), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(w, c.width) << c.text;
      EXPECT_EQ(h, c.height) << c.text;
    } else {
      EXPECT_EQ(w, -1) << "unchanged on failure: " << c.text;
    }
  }
}

}  // namespace
}  // namespace lumetra
