#pragma once
// Keys in a canvas window: arrows pan by a tenth of the window, '+' and '-'
// zoom by kKeyZoomStep about the window's centre, Home fits the diagram,
// Escape clears the selection. The caller (the widget that received the
// key) hands the active window and the key code, as wxKeyEvent gives it.

namespace lumetra {

class CanvasWindow;

inline constexpr float kKeyZoomStep = 1.25f;

// True when the key is one of the above (handled, the window redrawn);
// false for any other key, which is left to the toolkit. Nothing happens
// (false) while the window shows no diagram.
bool onCanvasKey(CanvasWindow& window, int keyCode);

}  // namespace lumetra
