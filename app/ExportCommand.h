#pragma once
// `lumetra --export OUT.png|.svg|.pdf [--diagram NAME] [--size WxH] [--metrics FILE]
// [--metric NAME]... [--area NAME[:PAINTER]]... MODEL`: reads MODEL as the viewer opens
// it, optionally a metrics file, shows the named metrics and areas over one
// diagram and renders a single view of it, zoomed to fit, with every setting
// at its default and no window frame, into a PNG or JPEG image or an SVG or
// PDF vector picture (chosen by the file's extension; diagram/VectorExport.h).
// Needs an X display (a desktop or Xvfb) but shows no
// window: drawing goes to an offscreen buffer.

#include <string>

#include "app/CommandLine.h"

namespace lumetra {

inline constexpr int kDefaultExportWidth = 1024;
inline constexpr int kDefaultExportHeight = 768;
// The largest side accepted for an exported picture.
inline constexpr int kMaxExportSide = 16384;

// Returns the process exit code: 0 when OUT was written. On any failure
// (unknown diagram, metric or area name, unreadable model or metrics file,
// bad size or file type, no display, failed write) prints one line on stderr
// naming what and why, returns 1 and leaves no OUT behind (an existing file
// of that name is left as it was).
int runExport(const CommandLineOptions& options);

// "WIDTHxHEIGHT" with both sides in 1..kMaxExportSide; false otherwise.
bool parseImageSize(const std::string& text, int& width, int& height);

}  // namespace lumetra
