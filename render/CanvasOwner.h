#pragma once
// What a canvas and its windows report to, and ask of, the frame that holds
// them. The main frame implements both interfaces' owner side.

#include <string>

namespace lumetra {

class CanvasWindow;
class DiagramElement;
class LayoutSnapshot;
struct SelectionChange;

// The frame side of a canvas: told which window is active after a click in
// another window, a split or a delete, and which metric a click picked.
class CanvasOwner {
 public:
  // rootOnly: the canvas has a single window (nothing to delete).
  virtual void activeWindowChanged(CanvasWindow* window, bool rootOnly) = 0;
  // A left press on a metric glyph picked the metric of this name (the frame
  // highlights its row and makes it the metric its options act on).
  virtual void metricPicked(const std::string& name) {}
  // The element under the pointer has this label (empty: none), as the
  // hover pick found it.
  virtual void pointerOver(const std::string& label) {}
  // A Ctrl-drag that moved boxes ended; before holds them as they were at
  // the press (the frame keeps it to undo the move).
  virtual void boxesDragged(CanvasWindow* window, const LayoutSnapshot& before) {}
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
  // Makes the host's GL context current before mouse handling picks; false
  // when it cannot (the window is not shown yet).
  virtual bool makeContextCurrent() { return true; }
  // shape, on the diagram window shows, moved: every window showing that
  // diagram recompiles what depends on the shape's geometry (not the whole
  // scene, see CanvasWindow::shapeMoved) and window is shown. By default
  // only window.
  virtual void shapeMoved(CanvasWindow* window, DiagramElement* shape);
  // The selected state of what change names flipped: every window brings
  // its recorded scene up to date (only the parts drawn differently, see
  // CanvasWindow::selectionChanged) and window is shown. By default only
  // window.
  virtual void selectionChanged(CanvasWindow* window, const SelectionChange& change);
  virtual ~WindowHost() = default;
};

// A host for a window drawn once and read back (export, benchmarks): there is
// no screen to refresh.
class OffscreenWindowHost : public WindowHost {
 public:
  void refreshWindow(CanvasWindow*, bool) override {}
};

}  // namespace lumetra
