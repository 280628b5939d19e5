#include "app/ExportChoice.h"

#include <algorithm>
#include <cctype>

namespace lumetra {

const char* const kExportImageFilter =
    "PNG image, window size|*.png|PNG image, twice the window size|*.png|PNG image, four times the window size|*.png|"
    "JPEG image, window size|*.jpg;*.jpeg|JPEG image, twice the window size|*.jpg;*.jpeg|"
    "JPEG image, four times the window size|*.jpg;*.jpeg";

bool exportChoiceFor(std::string& path, int filterIndex, ExportChoice& choice) {
  static const int kScales[3] = {1, 2, 4};
  const bool known = filterIndex >= 0 && filterIndex < 6;
  ExportChoice result;
  result.scale = known ? kScales[filterIndex % 3] : 1;
  const ImageFormat entryFormat = known && filterIndex >= 3 ? ImageFormat::Jpeg : ImageFormat::Png;

  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash) &&
                            dot + 1 < path.size();
  if (!hasExtension) {
    result.format = entryFormat;
    path += entryFormat == ImageFormat::Png ? ".png" : ".jpg";
    choice = result;
    return true;
  }
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  if (ext == "png") result.format = ImageFormat::Png;
  else if (ext == "jpg" || ext == "jpeg") result.format = ImageFormat::Jpeg;
  else return false;
  choice = result;
  return true;
}

}  // namespace lumetra
