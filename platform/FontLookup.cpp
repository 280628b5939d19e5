#include "platform/FontLookup.h"

#include <filesystem>
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

}  // namespace lumetra
