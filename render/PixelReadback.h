#pragma once
// Reading rendered pixels back, for image export and tests.

#include <cstdint>
#include <vector>

namespace lumetra {

// RGBA bytes of the rectangle (x, y, width, height) in GL window coordinates
// (y up), rows bottom first, read from the back buffer after glFinish. Needs
// a current GL context.
std::vector<std::uint8_t> readBackBufferRGBA(int x, int y, int width, int height);

}  // namespace lumetra
