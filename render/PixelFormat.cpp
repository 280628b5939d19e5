#include "render/PixelFormat.h"

namespace lumetra {
namespace {
wxGLAttributes attributesWithDepth(int depth) {
  wxGLAttributes attributes;
  attributes.PlatformDefaults().RGBA().DoubleBuffer().Depth(depth).Stencil(8).EndList();
  return attributes;
}

int depthSupported() {
  for (int depth : {32, 24, 16})
    if (wxGLCanvas::IsDisplaySupported(attributesWithDepth(depth))) return depth;
  return 16;
}
}  // namespace

int chosenDepthSize() {
  static const int depth = depthSupported();
  return depth;
}

wxGLAttributes chooseCanvasAttributes() { return attributesWithDepth(chosenDepthSize()); }

}  // namespace lumetra
