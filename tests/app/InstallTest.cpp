// Installing as a desktop program: `cmake --install` into a temporary
// prefix gives the tree a desktop expects, and the Debian package CPack
// builds, unpacked into a throw-away root, runs from there and finds its
// font in its own data folder.

#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct CommandRun {
  int exitCode = -1;
  std::string output;  // stdout and stderr
};

CommandRun run(const std::string& command, const fs::path& scratch) {
  const fs::path out = scratch / "command-output.txt";
  const int status = std::system((command + " >'" + out.string() + "' 2>&1 </dev/null").c_str());
  CommandRun r;
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.output = readFile(out);
  fs::remove(out);
  return r;
}

class InstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("lumetra-install-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "elsewhere");
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs the installed program from a folder without a font of its own,
  // so that it has to find the installed one.
  CommandRun lumetra(const fs::path& root, const std::string& args) {
    return run("cd '" + (dir_ / "elsewhere").string() + "' && '" + (root / "bin" / "lumetra").string() + "' " + args,
               dir_);
  }

  // What every installed tree under root (a prefix) must hold.
  void expectDesktopTree(const fs::path& root) {
    for (const char* file : {"bin/lumetra", "share/lumetra/arial.ttf", "share/lumetra/examples/webshop.xmi",
                             "share/lumetra/examples/webshop.met", "share/lumetra/examples/traffic-monitoring.scenario",
                             "share/applications/lumetra.desktop", "share/icons/hicolor/scalable/apps/lumetra.svg",
                             "share/mime/packages/lumetra.xml", "share/man/man1/lumetra.1"})
      EXPECT_TRUE(fs::is_regular_file(root / file)) << file;
    EXPECT_NE(fs::status(root / "bin/lumetra").permissions() & fs::perms::owner_exec, fs::perms::none);
    // The viewer program, which bin/lumetra hands the window over to.
    const fs::path viewer = root / "libexec/lumetra/lumetra-viewer";
    EXPECT_TRUE(fs::is_regular_file(viewer));
    EXPECT_NE(fs::status(viewer).permissions() & fs::perms::owner_exec, fs::perms::none);
    // Started without a display, the installed command reaches the
    // installed viewer, which says it needs one.
    const CommandRun viewerRun =
        run("cd '" + (dir_ / "elsewhere").string() + "' && env -u DISPLAY -u WAYLAND_DISPLAY '" +
                (root / "bin" / "lumetra").string() + "' model.xmi",
            dir_);
    EXPECT_EQ(viewerRun.exitCode, 1) << viewerRun.output;
    EXPECT_NE(viewerRun.output.find("no display:"), std::string::npos) << viewerRun.output;

    // The desktop entry passes the freedesktop checker, names the
    // installed icon and only MIME types the installed file defines.
    const fs::path entry = root / "share/applications/lumetra.desktop";
    const CommandRun check = run("desktop-file-validate '" + entry.string() + "'", dir_);
    EXPECT_EQ(check.exitCode, 0) << check.output;
    EXPECT_EQ(check.output, "");
    std::set<std::string> wanted;
    std::istringstream lines(readFile(entry));
    for (std::string line; std::getline(lines, line);) {
      if (line == "Icon=lumetra") wanted.insert("icon");
      if (line.rfind("Exec=lumetra ", 0) == 0) wanted.insert("exec");
      if (line.rfind("MimeType=", 0) != 0) continue;
      std::istringstream types(line.substr(9));
      for (std::string type; std::getline(types, type, ';');) wanted.insert(type);
    }
    EXPECT_TRUE(wanted.erase("icon"));
    EXPECT_TRUE(wanted.erase("exec"));
    pugi::xml_document mime;
    ASSERT_TRUE(mime.load_file((root / "share/mime/packages/lumetra.xml").c_str()));
    std::set<std::string> globs;
    for (pugi::xml_node type : mime.child("mime-info").children("mime-type")) {
      EXPECT_TRUE(wanted.erase(type.attribute("type").value())) << type.attribute("type").value();
      for (pugi::xml_node glob : type.children("glob")) globs.insert(glob.attribute("pattern").value());
    }
    EXPECT_TRUE(wanted.empty()) << "types the entry opens that no file defines: " << *wanted.begin();
    EXPECT_EQ(globs, (std::set<std::string>{"*.xmi", "*.scenario"}));

    // The man page is the program's own help.
    const std::string man = readFile(root / "share/man/man1/lumetra.1");
    for (const char* text : {".TH LUMETRA \"1\"", "\\-\\-export", ".svg or .pdf", "\\-\\-save\\-diagram", "EXAMPLES"})
      EXPECT_NE(man.find(text), std::string::npos) << text;
  }

  fs::path dir_;
};

TEST_F(InstallTest, InstallPutsTheDesktopProgramTogether) {
  const fs::path prefix = dir_ / "prefix";
  const CommandRun install = run("'" CMAKE_COMMAND "' --install '" LUMETRA_BUILD_DIR "' --prefix '" + prefix.string() + "'",
                          dir_);
  ASSERT_EQ(install.exitCode, 0) << install.output;
  expectDesktopTree(prefix);

  const CommandRun version = lumetra(prefix, "--version");
  EXPECT_EQ(version.exitCode, 0) << version.output;
  EXPECT_EQ(version.output.rfind("lumetra ", 0), 0u) << version.output;
  const CommandRun exported =
      lumetra(prefix, "--export out.svg '" + (prefix / "share/lumetra/examples/webshop.xmi").string() + "'");
  EXPECT_EQ(exported.exitCode, 0) << exported.output;
  EXPECT_NE(readFile(dir_ / "elsewhere/out.svg").find(">Customer</text>"), std::string::npos);
}

TEST_F(InstallTest, DebianPackageRunsFromAThrowAwayRoot) {
  const fs::path packages = dir_ / "packages";
  const CommandRun pack = run("'" CPACK_COMMAND "' -G DEB --config '" LUMETRA_BUILD_DIR "/CPackConfig.cmake' -B '" +
                           packages.string() + "'",
                       dir_);
  ASSERT_EQ(pack.exitCode, 0) << pack.output;
  fs::path deb;
  for (const auto& e : fs::directory_iterator(packages))
    if (e.path().extension() == ".deb") deb = e.path();
  ASSERT_FALSE(deb.empty()) << pack.output;

  // The libraries the program links come in as dependencies.
  const CommandRun info = run("dpkg-deb -f '" + deb.string() + "' Package Version Depends", dir_);
  ASSERT_EQ(info.exitCode, 0) << info.output;
  for (const char* text : {"Package: lumetra", "Version: " LUMETRA_VERSION, "libwxgtk3.2", "libwxgtk-gl3.2", "libgl2ps", "libftgl",
                           "libglu1"})
    EXPECT_NE(info.output.find(text), std::string::npos) << text << " in\n" << info.output;

  const fs::path root = dir_ / "root";
  const CommandRun unpack = run("dpkg -x '" + deb.string() + "' '" + root.string() + "'", dir_);
  ASSERT_EQ(unpack.exitCode, 0) << unpack.output;
  expectDesktopTree(root / "usr");

  const CommandRun version = lumetra(root / "usr", "--version");
  EXPECT_EQ(version.exitCode, 0) << version.output;
  EXPECT_EQ(version.output, "lumetra " LUMETRA_VERSION "\n");
  const CommandRun exported = lumetra(root / "usr", "--export out.pdf --metrics '" +
                                                 (root / "usr/share/lumetra/examples/webshop.met").string() +
                                                 "' --metric 'Lines of code' '" +
                                                 (root / "usr/share/lumetra/examples/webshop.xmi").string() + "'");
  ASSERT_EQ(exported.exitCode, 0) << exported.output;
  const CommandRun text = run("pdftotext '" + (dir_ / "elsewhere/out.pdf").string() + "' -", dir_);
  EXPECT_EQ(text.exitCode, 0) << text.output;
  EXPECT_NE(text.output.find("ShoppingCart"), std::string::npos) << text.output;
}

}  // namespace
