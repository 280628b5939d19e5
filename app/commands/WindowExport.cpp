#include "app/commands/WindowExport.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "app/commands/ExportCommand.h"
#include "render/CanvasWindow.h"
#include "render/FramebufferTarget.h"

namespace lumetra {

std::string writeWindowPicture(Document& document, const CanvasWindow& window, const MetricsVisualizerSimple* look,
                               const std::string& path, const ExportChoice& choice) {
  const int scale = choice.vector ? 1 : std::max(1, choice.scale);
  Camera camera = window.camera();
  camera.zoom *= static_cast<float>(scale);
  const ViewPicture picture{window.diagram(), window.width() * scale,  window.height() * scale,
                            &camera,          look,                    window.levelOfDetail(),
                            static_cast<float>(scale)};
  std::vector<unsigned char> pixels;
  try {
    FramebufferTarget target(picture.width, picture.height);
    if (!target.ok()) return "cannot export to " + path + ": " + target.error();
    if (choice.vector) {
      // A vector picture reads the area pass back from this framebuffer.
      writeViewVector(document, picture, path, choice.vectorFormat);
      return {};
    }
    drawViewPicture(document, picture);
    pixels = target.readRGBRows();
    writeImageFile(pixels, picture.width, picture.height, path, choice.format);
  } catch (const std::exception& e) {
    return e.what();
  }
  return {};
}

}  // namespace lumetra
