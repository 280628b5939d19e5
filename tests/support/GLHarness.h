#pragma once
// The GL test harness every pixel test shares: an offscreen picture with the
// canvas's fixed GL state and default font (a scene to draw into without a
// window), and pixel reading from whatever picture is current. Tests that
// need a real window use GLTestWindow (GLTestWindow.h) from the same library.
//
// Pixels come back as bytes, bottom row first, RGB or RGBA per pixel.

#include <memory>
#include <vector>

#include "render/OffscreenGL.h"

namespace lumetra::test {

// An offscreen picture of width x height made current, with the fixed GL
// state and the default font loaded into its context: what a suite of
// painter tests draws into.
std::unique_ptr<OffscreenGL> openOffscreenScene(int width, int height);

// The pixels of the rectangle (x, y) - (x + width, y + height) of the
// current read buffer, after everything drawn so far has finished.
std::vector<unsigned char> readRGB(int x, int y, int width, int height);
std::vector<unsigned char> readRGBA(int x, int y, int width, int height);

// How many pixels of two RGB pictures differ in any channel.
int differingPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b);

}  // namespace lumetra::test
