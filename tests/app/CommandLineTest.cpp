#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/sources/ShapesProject.h"

namespace {

struct ProgramRun {
  int exitCode;
  std::string out;
};

// Runs the program with the given arguments, no display, stderr folded in
// (or left out).
ProgramRun runLumetra(const std::string& args, bool withStderr = true, const char* program = LUMETRA_EXE) {
  const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY " + std::string(program) + " " + args +
                              (withStderr ? " 2>&1" : " 2>/dev/null") + " </dev/null";
  ProgramRun run{-1, ""};
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  std::array<char, 4096> buffer{};
  while (size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) run.out.append(buffer.data(), n);
  const int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(CommandLineTest, VersionPrintsAndExitsZeroWithoutADisplay) {
  ProgramRun r = runLumetra("--version");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out.rfind("lumetra ", 0), 0u) << r.out;
  EXPECT_NE(r.out.find_first_of("0123456789"), std::string::npos);
}

TEST(CommandLineTest, HelpListsTheOptionsAndExitsZero) {
  ProgramRun r = runLumetra("--help");
  EXPECT_EQ(r.exitCode, 0);
  for (const char* option : {"--version", "--save-diagram", "--export", "--metric", "--area", "--size", "--config"})
    EXPECT_NE(r.out.find(option), std::string::npos) << option;
  EXPECT_NE(r.out.find(".svg or .pdf"), std::string::npos) << r.out;
}

// The help went to stderr: `lumetra --help | less` showed nothing, and the
// man page made from it at build time was empty.
TEST(CommandLineTest, HelpGoesToStandardOutput) {
  ProgramRun r = runLumetra("--help", false);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("Usage: lumetra"), std::string::npos) << r.out;
  ProgramRun wrong = runLumetra("--no-such-option", false);
  EXPECT_NE(wrong.exitCode, 0);
  EXPECT_EQ(wrong.out, "");
}

TEST(CommandLineTest, UnknownOptionOrMissingModelIsAnError) {
  ProgramRun unknown = runLumetra("--no-such-option");
  EXPECT_NE(unknown.exitCode, 0);
  EXPECT_NE(unknown.out.find("no-such-option"), std::string::npos) << unknown.out;
  ProgramRun noModel = runLumetra("--save-diagram /tmp/never-written.dia");
  EXPECT_NE(noModel.exitCode, 0);
}

TEST(CommandLineTest, ConflictingOrStrayOptionsAreRefusedWithAReason) {
  const std::pair<const char*, const char*> cases[] = {
      {"--save-diagram /tmp/a.dia --export /tmp/a.png model.xmi", "cannot be combined"},
      {"--metric Size --save-diagram /tmp/a.dia model.xmi", "cannot be combined with --save-diagram"},
      {"--size 10x10 model.xmi", "--size needs --export"},
      {"--area Core", "need a MODEL file"},
      {"--full-detail model.xmi", "--full-detail needs --export"},
      {"--export /tmp/never.png", "MODEL"},
      {"--config /tmp/v.cfg --save-diagram /tmp/a.dia", "--config cannot be combined with --save-diagram"},
      {"--export-all /tmp/d --export /tmp/a.png model.xmi", "--export-all cannot be combined with --export"},
      {"--export-all /tmp/d --diagram Overview model.xmi", "cannot be combined with --diagram or --config"},
      {"--format svg --export /tmp/a.png model.xmi", "--format needs --export-all"},
      {"--export-all /tmp/never", "MODEL"},
      {"--import-root /tmp --save-diagram /tmp/a.dia model.xmi", "--import-root needs --import-cpp"},
  };
  for (auto [args, reason] : cases) {
    ProgramRun r = runLumetra(args);
    EXPECT_EQ(r.exitCode, 2) << args;
    EXPECT_NE(r.out.find(reason), std::string::npos) << args << ": " << r.out;
  }
}

// A configuration that cannot be used ends the export before anything is
// drawn (so no display is needed to hear why), naming the file and reason.
TEST(CommandLineTest, ExportWithAConfigurationThatCannotBeUsedSaysWhich) {
  const std::string dir = ::testing::TempDir();
  const std::string broken = dir + "lumetra-broken.cfg";
  const std::string noModel = dir + "lumetra-no-model.cfg";
  const std::string goneModel = dir + "lumetra-gone-model.cfg";
  std::FILE* f = std::fopen(broken.c_str(), "w");
  std::fputs("<?xml version=\"1.0\"?>\n", f);
  std::fclose(f);
  const std::string whole = "[Configuration]\nFormat=1\n[Files]\nModel=%s\n[End]\nComplete=true\n";
  for (const auto& [path, model] : {std::pair{noModel, ""}, std::pair{goneModel, "gone.xmi"}}) {
    f = std::fopen(path.c_str(), "w");
    std::fprintf(f, whole.c_str(), model);
    std::fclose(f);
  }
  const std::pair<std::string, std::string> cases[] = {
      {dir + "lumetra-never.cfg", "lumetra-never.cfg: cannot be opened"},
      {broken, "lumetra-broken.cfg, line 1: not a configuration file"},
      {noModel, "names no model file; give MODEL beside it"},
      {goneModel, "cannot read model " + dir + "gone.xmi"},
  };
  for (const auto& [config, reason] : cases) {
    ProgramRun r = runLumetra("--export /tmp/never-written.png --config " + config);
    EXPECT_EQ(r.exitCode, 1) << config;
    EXPECT_NE(r.out.find(reason), std::string::npos) << config << ": " << r.out;
  }
  for (const std::string& path : {broken, noModel, goneModel}) std::remove(path.c_str());
}

// Without a command the program is the viewer; without a display it says so
// in exactly one line instead of failing inside the toolkit.
TEST(CommandLineTest, TheViewerWithoutADisplaySaysSoInOneLine) {
  for (const char* args : {"", "model.xmi", "--metrics m.met --metric Size --area Core --diagram D model.xmi"}) {
    ProgramRun r = runLumetra(args);
    EXPECT_EQ(r.exitCode, 1) << args;
    EXPECT_EQ(r.out, "no display: run it in a desktop session or under xvfb-run\n") << args;
  }
}

// The shared libraries a program names (its NEEDED entries).
std::string neededLibraries(const std::string& program) {
  std::string out;
  FILE* pipe = popen(("readelf -d '" + program + "' 2>&1").c_str(), "r");
  if (!pipe) return out;
  std::array<char, 4096> buffer{};
  while (size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) out.append(buffer.data(), n);
  pclose(pipe);
  return out;
}

TEST(CommandLineTest, TheCommandsLoadNoWindowToolkitTheViewerDoes) {
  const std::string commands = neededLibraries(LUMETRA_EXE);
  const std::string viewer = neededLibraries(LUMETRA_VIEWER_EXE);
  ASSERT_NE(commands.find("(NEEDED)"), std::string::npos) << commands;
  for (const char* library : {"libwx_gtk3u_core", "libwx_gtk3u_gl", "libgtk-3", "libgdk-3"})
    EXPECT_EQ(commands.find(library), std::string::npos) << library << " in\n" << commands;
  // The toolkit comes in through its window libraries.
  for (const char* library : {"libwx_gtk3u_core", "libwx_gtk3u_gl"})
    EXPECT_NE(viewer.find(library), std::string::npos) << library << " in\n" << viewer;
}

// The viewer's program started directly with a command runs the command
// as lumetra does, instead of opening a window and dropping it.
TEST(CommandLineTest, TheViewerProgramRunsCommandsAsLumetraDoes) {
  const std::string model = std::string(LUMETRA_SOURCE_DIR) + "/examples/webshop.xmi";
  const std::string saved = "/tmp/lumetra-saved-" + std::to_string(::getpid());
  auto slurp = [](const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
      std::array<char, 4096> buffer{};
      while (size_t n = std::fread(buffer.data(), 1, buffer.size(), f)) text.append(buffer.data(), n);
      std::fclose(f);
    }
    return text;
  };
  for (const std::string& args : {std::string("--version"), "--save-diagram " + saved + " " + model,
                                  "--save-diagram " + saved + " /tmp/no-such-model.xmi"}) {
    SCOPED_TRACE(args);
    const ProgramRun commands = runLumetra(args);
    const std::string commandsFile = slurp(saved);
    std::remove(saved.c_str());
    const ProgramRun viewer = runLumetra(args, true, LUMETRA_VIEWER_EXE);
    const std::string viewerFile = slurp(saved);
    std::remove(saved.c_str());
    EXPECT_EQ(viewer.exitCode, commands.exitCode);
    EXPECT_EQ(viewer.out, commands.out);
    EXPECT_EQ(viewerFile, commandsFile);
    EXPECT_EQ(commandsFile.empty(), args.find("webshop") == std::string::npos) << "written only from the example";
    EXPECT_EQ(viewer.out.find("no display"), std::string::npos);
  }
}

TEST(CommandLineTest, WithoutTheViewerProgramTheViewerCannotStartAndSaysSo) {
  // The command program alone in a folder: no viewer beside it or where
  // an installation beside it would keep one.
  const std::string dir = "/tmp/lumetra-alone-" + std::to_string(::getpid());
  const std::string copy = dir + "/bin/lumetra";
  ASSERT_EQ(std::system(("mkdir -p '" + dir + "/bin' && cp '" LUMETRA_EXE "' '" + copy + "'").c_str()), 0);
  const std::string command = "env -u DISPLAY '" + copy + "' model.xmi 2>&1 </dev/null";
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::array<char, 4096> buffer{};
  while (size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) out.append(buffer.data(), n);
  const int status = pclose(pipe);
  std::system(("rm -rf '" + dir + "'").c_str());
  if (out.rfind("no display:", 0) == 0) GTEST_SKIP() << "a viewer is installed in the configured folder";
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
  EXPECT_EQ(out.rfind("lumetra: cannot start the viewer: lumetra-viewer not found", 0), 0u) << out;
}

}  // namespace

namespace {

// --import-cpp stands where MODEL stands: the batch save imports the project
// with its progress on stderr and lists the unit that did not parse.
TEST(CommandLineTest, SaveDiagramImportsACppProject) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("lumetra-cli-cpp-" + std::to_string(::getpid()));
  const std::string database = lumetra::testing::writeShapesDatabase(folder).string();
  const std::string out = (folder / "out.dia").string();
  ProgramRun r = runLumetra("--save-diagram " + out + " --import-cpp " + database);
  EXPECT_EQ(r.exitCode, 0) << r.out;
  EXPECT_NE(r.out.find("importing 4/4"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("warning: 1 of 4 units had errors: " + lumetra::testing::shapesSources().string() + "/tools/Report.cpp"),
            std::string::npos) << r.out;
  std::stringstream written;
  written << std::ifstream(out).rdbuf();
  EXPECT_NE(written.str().find("scene::Scene"), std::string::npos);
  // Kept folders: only geo's classes.
  ASSERT_EQ(runLumetra("--save-diagram " + out + " --import-root " + lumetra::testing::shapesSources().string() +
                       "/geo --import-cpp " + database).exitCode, 0);
  written.str("");
  written << std::ifstream(out).rdbuf();
  EXPECT_EQ(written.str().find("scene::Scene"), std::string::npos);
  EXPECT_NE(written.str().find("geo::Circle"), std::string::npos);

  EXPECT_EQ(runLumetra("--save-diagram " + out + " --import-cpp " + database + " other.xmi").exitCode, 2);
  ProgramRun notDatabase = runLumetra("--save-diagram " + out + " --import-cpp model.xmi");
  EXPECT_EQ(notDatabase.exitCode, 2);
  EXPECT_NE(notDatabase.out.find("--import-cpp needs a compile_commands.json"), std::string::npos) << notDatabase.out;
  std::filesystem::remove_all(folder);
}

}  // namespace
