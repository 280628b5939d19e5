#include "app/commands/ExportChoice.h"

#include <algorithm>
#include <cctype>

namespace lumetra {

const char* const kExportImageFilter =
    "PNG image, window size|*.png|PNG image, twice the window size|*.png|PNG image, four times the window size|*.png|"
    "JPEG image, window size|*.jpg;*.jpeg|JPEG image, twice the window size|*.jpg;*.jpeg|"
    "JPEG image, four times the window size|*.jpg;*.jpeg|SVG picture|*.svg|PDF document|*.pdf";

bool exportChoiceFor(std::string& path, int filterIndex, ExportChoice& choice) {
  static const int kScales[3] = {1, 2, 4};
  enum Entry { PngEntry, JpegEntry, SvgEntry, PdfEntry };
  const Entry entry = filterIndex == 6   ? SvgEntry
                      : filterIndex == 7 ? PdfEntry
                      : filterIndex >= 3 && filterIndex < 6 ? JpegEntry
                                                            : PngEntry;
  ExportChoice result;
  result.scale = filterIndex >= 0 && filterIndex < 6 ? kScales[filterIndex % 3] : 1;

  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash) &&
                            dot + 1 < path.size();
  std::string ext;
  if (hasExtension) {
    ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  } else {
    static const char* const kExtensions[] = {"png", "jpg", "svg", "pdf"};
    ext = kExtensions[entry];
    path += "." + ext;
  }
  if (ext == "png") {
    result.format = ImageFormat::Png;
  } else if (ext == "jpg" || ext == "jpeg") {
    result.format = ImageFormat::Jpeg;
  } else if (ext == "svg" || ext == "pdf") {
    result.vector = true;
    result.vectorFormat = ext == "svg" ? VectorFormat::Svg : VectorFormat::Pdf;
    result.scale = 1;
  } else {
    return false;
  }
  choice = result;
  return true;
}

}  // namespace lumetra
