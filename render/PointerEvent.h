#pragma once
// One pointer event as the canvas windows and their mouse handlers see it:
// plain data, so that handlers and their tests need no widget toolkit. The
// canvas fills it from the toolkit's event (pointerEventOf in Canvas.h).

namespace lumetra {

struct PointerEvent {
  // Where the pointer is, in canvas pixels, y down.
  int x = 0;
  int y = 0;
  // The left button went down, or up, with this event.
  bool leftPressed = false;
  bool leftReleased = false;
  // The buttons held.
  bool leftDown = false;
  bool middleDown = false;
  bool rightDown = false;
  // A motion with some button held.
  bool dragging = false;
  bool shift = false;
  bool control = false;
  // The vertical wheel's turn (a notch is usually 120); 0 for every other
  // event, a sideways wheel included.
  int wheelRotation = 0;
};

}  // namespace lumetra
