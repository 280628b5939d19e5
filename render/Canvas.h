#pragma once
// The OpenGL drawing surface of the main frame: a split tree of windows,
// separator bars between them, and the one GL context they share.
//
// Thin glue over SplitTree (layout, hit test) and CanvasWindow (camera,
// display list, drawing). The GL context is made current and the fixed GL
// state set as soon as the widget can take a context (on GTK only once it is
// shown); the default font is loaded in the constructor, which ends the
// program with a message box when no font file can be opened.

#include <wx/glcanvas.h>

#include <memory>

#include "render/CanvasOwner.h"
#include "render/CanvasWindow.h"
#include "render/DefaultFont.h"
#include "render/FixedGLState.h"
#include "render/SplitTree.h"

namespace lumetra {

class Canvas : public wxGLCanvas, public WindowHost {
 public:
  // Makes the GL context current and loads the default font. Throws
  // GraphicsException when the font cannot be loaded: the canvas cannot
  // draw any text, and whoever builds it tells the user and stops.
  Canvas(wxWindow* parent, wxWindowID id);
  ~Canvas() override;

  // Makes the context current and, the first time, sets the fixed GL state.
  // False while the widget cannot take a context yet.
  bool makeCurrent();

  // Splits the active window; horizontal stacks the halves. The old window
  // stays active; the new one gets its diagram and painter, fitted.
  void splitActive(bool horizontal, float fraction);
  // Removes the active window; its sibling's leftmost leaf becomes active.
  void deleteActive();
  // Makes window (one of this canvas's) the active one and tells the owner,
  // as a click in it does; does not redraw. Other windows: nothing.
  void activate(CanvasWindow* window);
  // Recomputes every window's rectangle from the tree and the client size.
  void layout();
  // Sets every window's diagram to null without redrawing.
  void forEachWindowClearDiagram();

  // Redraws one window (after replaying the others from their display lists,
  // so that the whole picture stays intact), the separators, and swaps.
  void refreshWindow(CanvasWindow* window, bool useCache) override;
  bool makeContextCurrent() override { return makeCurrent(); }
  // Every window brings its scene up to date with the selection (only the
  // parts drawn differently), then window is redrawn and the others
  // replayed.
  void selectionChanged(CanvasWindow* window, const SelectionChange& change) override;
  // Every window showing window's diagram brings its scene up to date, then
  // window is redrawn and the others replayed.
  void shapeMoved(CanvasWindow* window, DiagramElement* shape) override;
  // Only what the areas show changed: every window records its background
  // (the area pass or its picture) again and keeps the diagram's recorded
  // parts, then every window is replayed and the picture shown. A window
  // that cannot keep its parts records everything.
  void areasChanged();
  // Redraws every window uncached, the separators, and swaps.
  void repaint();
  // Draws every window uncached with its frame, then the separators, into
  // the back buffer without swapping (for reading the picture back). Needs
  // the context current (makeCurrent).
  void renderAllWindows();

  CanvasWindow* activeWindow() const { return activeWindow_; }
  CanvasOwner* owner() const override { return owner_; }
  void setOwner(CanvasOwner* owner) { owner_ = owner; }
  SplitTree& tree() { return tree_; }
  bool rootOnly() const { return tree_.root().isLeaf(); }
  PixelRect clientRect() const;

  // Separator thickness and colour are read from the settings at each use.
  void drawSeparators();

 private:
  void onPaint(wxPaintEvent& event);
  void onSize(wxSizeEvent& event);
  void onEraseBackground(wxEraseEvent& event) {}
  void onEnter(wxMouseEvent& event);
  void onLeave(wxMouseEvent& event);
  void onMouse(wxMouseEvent& event);
  void notifyOwner();
  void drawAll(CanvasWindow* window, bool useCache);
  // Replays every window (one whose list is stale records it), the
  // separators, and swaps: after what leaves every recording valid (a
  // split, a removed window, a moved separator, another active window, an
  // expose). A window's recording is in diagram units, so its new size or
  // place does not spoil it.
  void redrawCached();

  std::unique_ptr<wxGLContext> context_;
  bool glReady_ = false;
  SplitTree tree_;
  WindowNode* activeNode_ = nullptr;
  CanvasWindow* activeWindow_ = nullptr;
  CanvasOwner* owner_ = nullptr;

  // Separator drag state.
  WindowNode* dragNode_ = nullptr;
  int dragStart_ = 0;
  int dragEnd_ = 0;
  bool pointerInActive_ = false;

  wxDECLARE_EVENT_TABLE();
};

// The toolkit's mouse event as the windows' mouse handlers take it.
PointerEvent pointerEventOf(const wxMouseEvent& event);

}  // namespace lumetra
