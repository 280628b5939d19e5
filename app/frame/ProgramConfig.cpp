#include "app/frame/ProgramConfig.h"

#include <wx/fileconf.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace lumetra {

std::string programConfigPath() {
  if (const char* file = std::getenv("LUMETRA_CONFIG_FILE"); file != nullptr && *file != '\0') return file;
  std::string folder;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg != '\0') {
    folder = xdg;
  } else {
    const char* home = std::getenv("HOME");
    folder = std::string(home != nullptr ? home : ".") + "/.config";
  }
  return folder + "/lumetra/lumetra.ini";
}

wxConfigBase* installProgramConfig(const std::string& path) {
  // The folder is made now, so that the first write finds it; a folder that
  // cannot be made leaves a configuration that only fails to write.
  std::error_code ignored;
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
  auto* config = new wxFileConfig("lumetra", wxEmptyString, wxString::FromUTF8(path), wxEmptyString,
                                  wxCONFIG_USE_LOCAL_FILE);
  delete wxConfigBase::Set(config);
  return config;
}

}  // namespace lumetra
