#pragma once
// The viewer's "Export to image": what a canvas window shows written as a
// picture file through the same drawing as --export (ExportCommand.h), in
// the GL context that is current (the canvas's own, so that its fonts and
// the areas' textures serve and no window covering the canvas spoils what
// is read back).

#include <string>

#include "app/commands/ExportChoice.h"

namespace lumetra {

class CanvasWindow;
class Document;
class MetricsVisualizerSimple;

// The window's diagram with its camera and level of detail and the look of
// the painter, choice.scale times the window's pixels for a raster image
// (the same camera with that many more pixels per diagram unit, the legend
// magnified as much), the window's size for a vector picture. Drawn into a
// framebuffer of the picture's size and written to path. Returns why it
// could not be written ("cannot export to PATH: reason"), empty when it was.
// The window must show a diagram.
std::string writeWindowPicture(Document& document, const CanvasWindow& window, const MetricsVisualizerSimple* look,
                               const std::string& path, const ExportChoice& choice);

}  // namespace lumetra
