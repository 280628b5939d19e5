#pragma once
// What "Export to image" offers: PNG or JPEG at the active window's size or
// at two or four times it, or an SVG or PDF vector picture of the window,
// as entries of the save dialog's filter.

#include <string>

#include "app/commands/ImageFile.h"
#include "diagram/VectorExport.h"

namespace lumetra {

// Eight entries: PNG at 1x, 2x, 4x, JPEG at 1x, 2x, 4x, then SVG and PDF.
extern const char* const kExportImageFilter;

struct ExportChoice {
  ImageFormat format = ImageFormat::Png;
  int scale = 1;  // of a raster image
  bool vector = false;
  VectorFormat vectorFormat = VectorFormat::Svg;
};

// The choice for a chosen file and filter entry (-1: unknown). The file's
// extension (.png, .jpg, .jpeg, .svg, .pdf, any case) decides the format; a
// file without one gets the extension of the chosen entry's format added to
// path. The entry decides the scale of a raster image (unknown, or an entry
// of another format: 1); a vector picture has the window's size. False, with path unchanged, for
// another extension.
bool exportChoiceFor(std::string& path, int filterIndex, ExportChoice& choice);

}  // namespace lumetra
