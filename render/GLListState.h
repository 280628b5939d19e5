#pragma once

// What the current GL context is doing, asked of it directly.
namespace lumetra {

// A display list is being compiled without being drawn.
bool compilingOnly();
// A display list is being compiled (drawn or not).
bool compilingList();
// Drawing goes to pixels, not to a selection or feedback buffer: a pick
// must see the glyphs themselves, and feedback records what is drawn.
bool renderingPixels();
// A GL context is current in this thread.
bool glContextIsCurrent();
// The viewport: x, y, width, height in window pixels.
void readViewport(int out[4]);
// The largest texture side the context takes.
int maxTextureSide();

}  // namespace lumetra
