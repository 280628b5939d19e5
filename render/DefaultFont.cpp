#include "render/DefaultFont.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/DebugOutput.h"
#include "platform/FontLookup.h"
#include "render/Exceptions.h"
#include "render/GLPainter.h"

namespace lumetra {

namespace {

std::string& loadedPath() {
  static std::string path;
  return path;
}

}  // namespace

const std::string& textFontPath() { return loadedPath(); }

std::string loadTextFont(const std::string& file) {
  for (const std::string& candidate : fontCandidates(file)) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(candidate, error)) continue;
    try {
      GLPainter::createFont(candidate, kDefaultFontName, kDefaultFontSize);
      loadedPath() = candidate;
      return {};
    } catch (const GraphicsException& e) {
      debugOutput(std::string("\n ") + e.what() + " \n");
    }
  }
  return "Could not construct font from " + file;
}

void loadDefaultFont() {
  // A candidate that exists but cannot be read as a font (a damaged copy in
  // the working directory) does not hide the ones after it.
  for (const std::string& candidate : fontCandidates(kDefaultFontFile)) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(candidate, error)) continue;
    try {
      GLPainter::createFont(candidate, kDefaultFontName, kDefaultFontSize);
      loadedPath() = candidate;
      return;
    } catch (const GraphicsException& e) {
      debugOutput(std::string("\n ") + e.what() + " \n");
    }
  }
  throw GraphicsException(std::string("Could not construct font from ") + kDefaultFontFile);
}

}  // namespace lumetra
