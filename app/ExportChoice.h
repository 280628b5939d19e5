#pragma once
// What "Export to image" offers: PNG or JPEG at the active window's size or
// at two or four times it, as entries of the save dialog's filter.

#include <string>

#include "app/ImageFile.h"

namespace lumetra {

// Six entries: PNG at 1x, 2x, 4x, then JPEG at 1x, 2x, 4x.
extern const char* const kExportImageFilter;

struct ExportChoice {
  ImageFormat format = ImageFormat::Png;
  int scale = 1;
};

// The choice for a chosen file and filter entry (-1: unknown). The file's
// extension (.png, .jpg, .jpeg, any case) decides the format; a file without
// one gets the extension of the chosen entry's format added to path. The
// entry decides the scale (unknown: 1). False, with path unchanged, for
// another extension.
bool exportChoiceFor(std::string& path, int filterIndex, ExportChoice& choice);

}  // namespace lumetra
