#include "app/commands/ViewerLaunch.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "platform/FontLookup.h"

namespace fs = std::filesystem;

namespace lumetra {

const char* const kViewerInstallDir = LUMETRA_VIEWER_DIR;

std::vector<std::string> viewerCandidates() {
  std::vector<std::string> out;
  if (const std::string dir = executableDir(); !dir.empty()) {
    out.push_back((fs::path(dir) / kViewerName).string());
    out.push_back((fs::path(dir) / LUMETRA_BIN_TO_VIEWER / kViewerName).lexically_normal().string());
  }
  out.push_back((fs::path(kViewerInstallDir) / kViewerName).string());
  return out;
}

std::string findViewer() {
  for (const std::string& candidate : viewerCandidates()) {
    std::error_code ec;
    if (fs::is_regular_file(candidate, ec) && ::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

}  // namespace lumetra
