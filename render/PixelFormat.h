#pragma once
// The canvas pixel format: RGBA, double buffer, stencil 8 and the deepest
// depth buffer the display offers of 32, 24 and 16 bits.

#include <wx/glcanvas.h>

namespace lumetra {

// The attributes for a canvas on the current display. When no depth of the
// three is supported the 16-bit request is returned all the same, so that
// canvas creation reports the failure.
wxGLAttributes chooseCanvasAttributes();

// The depth size chooseCanvasAttributes settled on.
int chosenDepthSize();

}  // namespace lumetra
