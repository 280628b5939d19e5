#pragma once
// What a canvas and its windows report to, and ask of, the frame that holds
// them. The main frame implements both interfaces' owner side.

namespace lumetra {

class CanvasWindow;

// The frame side of a canvas: told which window is active after a click in
// another window, a split or a delete.
class CanvasOwner {
 public:
  // rootOnly: the canvas has a single window (nothing to delete).
  virtual void activeWindowChanged(CanvasWindow* window, bool rootOnly) = 0;
  virtual ~CanvasOwner() = default;
};

// The canvas side a window needs: redraw me. The canvas implements it; an
// offscreen renderer (image export, tests) may implement it with a host that
// draws nothing on refresh and reads pixels after an explicit render.
class WindowHost {
 public:
  // Redraws window (from its display list when useCache) and shows the
  // result. Needs the host's GL context.
  virtual void refreshWindow(CanvasWindow* window, bool useCache) = 0;
  // The frame that owns the host, or null while none is set.
  virtual CanvasOwner* owner() const { return nullptr; }
  virtual ~WindowHost() = default;
};

// A host for a window drawn once and read back (export, benchmarks): there is
// no screen to refresh.
class OffscreenWindowHost : public WindowHost {
 public:
  void refreshWindow(CanvasWindow*, bool) override {}
};

}  // namespace lumetra
