#include "platform/FontLookup.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <system_error>

#ifndef LUMETRA_DATA_DIR
#define LUMETRA_DATA_DIR "/usr/local/share/lumetra"
#endif
// The installed data folder relative to the installed executable's folder.
#ifndef LUMETRA_BIN_TO_DATA
#define LUMETRA_BIN_TO_DATA "../share/lumetra"
#endif

namespace lumetra {
namespace fs = std::filesystem;

std::string executableDir() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return exe.parent_path().string();
}

std::vector<std::string> fontCandidates(const std::string& fileName) {
  std::vector<std::string> out{fileName};
  if (fs::path(fileName).is_absolute()) return out;
  if (std::string dir = executableDir(); !dir.empty()) {
    out.push_back((fs::path(dir) / fileName).string());
    // An installed tree moved elsewhere (a package unpacked under another
    // root, a prefix copied) keeps its data beside its bin folder.
    out.push_back((fs::path(dir) / LUMETRA_BIN_TO_DATA / fileName).lexically_normal().string());
  }
  out.push_back((fs::path(LUMETRA_DATA_DIR) / fileName).string());
  return out;
}

std::string findFontFile(const std::string& fileName) {
  for (const std::string& candidate : fontCandidates(fileName)) {
    std::error_code ec;
    if (fs::is_regular_file(candidate, ec)) return candidate;
  }
  return {};
}

std::vector<InstalledFont> installedFonts() {
  std::vector<InstalledFont> fonts;
  std::set<std::string> names;
  auto add = [&](const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension != ".ttf" && extension != ".otf") return;
    if (names.insert(path.stem().string()).second) fonts.push_back({path.stem().string(), path.string()});
  };
  if (const std::string own = findFontFile("arial.ttf"); !own.empty()) add(own);
  std::vector<fs::path> folders{"/usr/share/fonts", "/usr/local/share/fonts", LUMETRA_DATA_DIR};
  if (const char* home = std::getenv("HOME"); home && *home) {
    folders.push_back(fs::path(home) / ".local/share/fonts");
    folders.push_back(fs::path(home) / ".fonts");
  }
  const std::size_t first = fonts.size();
  for (const fs::path& folder : folders) {
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
    // A bounded walk: a folder of thousands of files is not read to its end.
    for (int seen = 0; !ec && it != end && seen < 20000; it.increment(ec), ++seen)
      if (it->is_regular_file(ec)) add(it->path());
  }
  std::sort(fonts.begin() + static_cast<std::ptrdiff_t>(first), fonts.end(),
            [](const InstalledFont& a, const InstalledFont& b) { return a.name < b.name; });
  return fonts;
}

}  // namespace lumetra
