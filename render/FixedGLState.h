#pragma once
// The fixed GL state every painter relies on (blending on, depth test off
// with depth function GL_ALWAYS, scissor test on, smooth lines, white clear),
// applied once to each context: the viewer's canvas and every offscreen
// picture. Kept apart from the canvas widget so that drawing without a
// window needs no window toolkit.

namespace lumetra {

void applyFixedGLState();

}  // namespace lumetra
