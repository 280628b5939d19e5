// The toolkit's mouse events as the canvas hands them to its windows' mouse
// handlers: every field of the plain pointer event, for each kind of event.

#include <gtest/gtest.h>

#include "render/Canvas.h"

namespace lumetra {
namespace {

struct Row {
  const char* name;
  wxEventType type;
  bool left, right, shift, control;
  int rotation;
  wxMouseWheelAxis axis;
  PointerEvent expected;
};

TEST(PointerEventTest, EveryFieldComesFromTheToolkitsEvent) {
  const Row rows[] = {
      {"left press", wxEVT_LEFT_DOWN, true, false, false, false, 0, wxMOUSE_WHEEL_VERTICAL,
       {.x = 7, .y = 9, .leftPressed = true, .leftDown = true}},
      {"left release with Ctrl", wxEVT_LEFT_UP, false, false, false, true, 0, wxMOUSE_WHEEL_VERTICAL,
       {.x = 7, .y = 9, .leftReleased = true, .control = true}},
      {"drag with Shift", wxEVT_MOTION, true, false, true, false, 0, wxMOUSE_WHEEL_VERTICAL,
       {.x = 7, .y = 9, .leftDown = true, .dragging = true, .shift = true}},
      {"drag with the right button", wxEVT_MOTION, false, true, false, false, 0, wxMOUSE_WHEEL_VERTICAL,
       {.x = 7, .y = 9, .rightDown = true, .dragging = true}},
      {"plain move", wxEVT_MOTION, false, false, false, false, 0, wxMOUSE_WHEEL_VERTICAL, {.x = 7, .y = 9}},
      {"wheel back", wxEVT_MOUSEWHEEL, false, false, false, false, -240, wxMOUSE_WHEEL_VERTICAL,
       {.x = 7, .y = 9, .wheelRotation = -240}},
      {"sideways wheel", wxEVT_MOUSEWHEEL, false, false, false, false, 120, wxMOUSE_WHEEL_HORIZONTAL,
       {.x = 7, .y = 9}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    wxMouseEvent event(row.type);
    event.SetPosition(wxPoint(7, 9));
    event.SetLeftDown(row.left);
    event.SetRightDown(row.right);
    event.SetShiftDown(row.shift);
    event.SetControlDown(row.control);
    event.m_wheelRotation = row.rotation;
    event.m_wheelAxis = row.axis;
    const PointerEvent got = pointerEventOf(event);
    const PointerEvent& want = row.expected;
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
    EXPECT_EQ(got.leftPressed, want.leftPressed);
    EXPECT_EQ(got.leftReleased, want.leftReleased);
    EXPECT_EQ(got.leftDown, want.leftDown);
    EXPECT_EQ(got.middleDown, want.middleDown);
    EXPECT_EQ(got.rightDown, want.rightDown);
    EXPECT_EQ(got.dragging, want.dragging);
    EXPECT_EQ(got.shift, want.shift);
    EXPECT_EQ(got.control, want.control);
    EXPECT_EQ(got.wheelRotation, want.wheelRotation);
  }
}

}  // namespace
}  // namespace lumetra
