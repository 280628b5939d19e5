// The canvas: GL context, split tree glue, separators and their dragging.
//
// Sections: construction; tree operations; drawing;
// events.

#include "render/Canvas.h"

#include <GL/gl.h>
#include <wx/dcclient.h>
#include <wx/utils.h>

#include "platform/DebugOutput.h"
#include "platform/FontLookup.h"
#include "render/DefaultFont.h"
#include "render/Exceptions.h"
#include "render/GLPainter.h"
#include "render/PixelFormat.h"
#include "settings/SettingsStore.h"

namespace lumetra {

// --- construction ---------------------------------------------------------------

wxBEGIN_EVENT_TABLE(Canvas, wxGLCanvas) EVT_PAINT(Canvas::onPaint) EVT_SIZE(Canvas::onSize)
    EVT_ERASE_BACKGROUND(Canvas::onEraseBackground) EVT_ENTER_WINDOW(Canvas::onEnter) EVT_LEAVE_WINDOW(Canvas::onLeave)
        EVT_MOUSE_EVENTS(Canvas::onMouse) wxEND_EVENT_TABLE()

            Canvas::Canvas(wxWindow* parent, wxWindowID id)
    : wxGLCanvas(parent, chooseCanvasAttributes(), id, wxDefaultPosition, wxDefaultSize, 0, "GLCanvas") {
  context_ = std::make_unique<wxGLContext>(this);
  makeCurrent();
  loadDefaultFont();
  const PixelRect client = clientRect();
  tree_.root().window = new CanvasWindow(this, client.x, client.y, client.width, client.height);
  activeNode_ = &tree_.root();
  activeWindow_ = tree_.root().window;
}

Canvas::~Canvas() {
  // The display lists are released in this context, if it can still be
  // made current.
  if (context_) SetCurrent(*context_);
  while (activeNode_->parent != nullptr) {
    CanvasWindow* old = activeWindow_;
    activeNode_ = tree_.remove(activeNode_);
    delete old;
    activeWindow_ = activeNode_->window;
  }
  delete activeWindow_;
  tree_.root().window = nullptr;
}

bool Canvas::makeCurrent() {
  if (!context_ || !IsShownOnScreen()) return false;
  if (!SetCurrent(*context_)) return false;
  if (!glReady_) {
    applyFixedGLState();
    glReady_ = true;
  }
  return true;
}

PixelRect Canvas::clientRect() const {
  const wxSize size = GetClientSize();
  return {0, 0, size.GetWidth(), size.GetHeight()};
}

// --- tree operations --------------------------------------------------------------

void Canvas::layout() {
  tree_.forEachLeaf(clientRect(),
                    [](WindowNode& node, const PixelRect& r) { node.window->setRect(r.x, r.y, r.width, r.height); });
}

void Canvas::splitActive(bool horizontal, float fraction) {
  const PixelRect client = clientRect();
  auto [kept, added] = tree_.split(activeNode_, horizontal, fraction);
  const PixelRect addedRect = tree_.rectOf(added, client);
  added->window = new CanvasWindow(this, addedRect.x, addedRect.y, addedRect.width, addedRect.height);
  const PixelRect keptRect = tree_.rectOf(kept, client);
  kept->window->setRect(keptRect.x, keptRect.y, keptRect.width, keptRect.height);
  activeNode_ = kept;
  dragNode_ = nullptr;

  CanvasWindow* fresh = added->window;
  fresh->setMouseHandler(activeWindow_->mouseHandler());  // one handler serves the canvas
  fresh->setContent(activeWindow_->diagram(), activeWindow_->visualizer());
  notifyOwner();
  redrawCached();  // the new window records its scene, the others replay theirs
}

void Canvas::deleteActive() {
  if (activeNode_->parent != nullptr) {
    makeCurrent();
    CanvasWindow* old = activeWindow_;
    activeNode_ = tree_.remove(activeNode_);
    delete old;
    activeWindow_ = activeNode_->window;
    dragNode_ = nullptr;  // the node under a drag may be gone
    pointerInActive_ = false;
    layout();
  }
  notifyOwner();
  redrawCached();
}

void Canvas::activate(CanvasWindow* window) {
  for (WindowNode* leaf : tree_.leaves())
    if (leaf->window == window) {
      if (pointerInActive_ && activeWindow_ != window) activeWindow_->leave();
      pointerInActive_ = false;
      activeNode_ = leaf;
      activeWindow_ = window;
      notifyOwner();
      return;
    }
}

void Canvas::forEachWindowClearDiagram() {
  for (WindowNode* leaf : tree_.leaves()) leaf->window->clearDiagram();
}

void Canvas::notifyOwner() {
  if (owner_ != nullptr) owner_->activeWindowChanged(activeWindow_, rootOnly());
}

// --- drawing ------------------------------------------------------------------------

void Canvas::drawAll(CanvasWindow* window, bool useCache) {
  // The painter is shared by all windows and keeps what it drew last for
  // picking, so the window asked for is drawn last; the others replay their
  // display lists so that the picture stays whole whatever the buffer swap
  // left in the back buffer.
  for (WindowNode* leaf : tree_.leaves()) {
    CanvasWindow* w = leaf->window;
    if (w == window) continue;
    w->render(true);
    w->drawFrame(w == activeWindow_);
  }
  window->render(useCache);
  window->drawFrame(window == activeWindow_);
  drawSeparators();
  SwapBuffers();
}

void Canvas::refreshWindow(CanvasWindow* window, bool useCache) {
  if (window == nullptr || !makeCurrent()) return;
  drawAll(window, useCache);
}

void Canvas::shapeMoved(CanvasWindow* window, DiagramElement* shape) {
  if (window == nullptr || !makeCurrent()) return;
  for (WindowNode* leaf : tree_.leaves())
    if (leaf->window->diagram() == window->diagram()) leaf->window->shapeMoved(shape);
  drawAll(window, true);
}

void Canvas::selectionChanged(CanvasWindow* window, const SelectionChange& change) {
  if (window == nullptr || !makeCurrent()) return;
  for (WindowNode* leaf : tree_.leaves()) leaf->window->selectionChanged(change);
  drawAll(window, true);
}

void Canvas::areasChanged() {
  if (!makeCurrent()) return;
  for (WindowNode* leaf : tree_.leaves()) leaf->window->areasChanged();
  drawAll(activeWindow_, true);
}

void Canvas::redrawCached() {
  if (makeCurrent()) drawAll(activeWindow_, true);
}

void Canvas::repaint() {
  if (!makeCurrent()) return;
  renderAllWindows();
  SwapBuffers();
}

void Canvas::renderAllWindows() {
  for (WindowNode* leaf : tree_.leaves()) {
    leaf->window->render(false);
    leaf->window->drawFrame(leaf->window == activeWindow_);
  }
  drawSeparators();
}

void Canvas::drawSeparators() {
  const PixelRect client = clientRect();
  glViewport(0, 0, client.width, client.height);
  glScissor(0, 0, client.width, client.height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, client.width, 0.0, client.height, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const float s = settings().getFloat("Canvas.Separator.Size");
  const Color color = settings().getColor("Canvas.Separator.Color");
  GLPainter painter;
  for (const SeparatorBar& bar : tree_.separatorBars(client, s))
    painter.filledRect(bar.lowerLeft, bar.upperRight, color);
}

// --- events ---------------------------------------------------------------------------

void Canvas::onPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  // An expose (a menu or dialog closed over the canvas, the frame
  // uncovered or resized) changes nothing a window recorded.
  redrawCached();
}

void Canvas::onSize(wxSizeEvent& event) {
  event.Skip();
  makeCurrent();
  layout();
  Refresh(false);  // not every toolkit repaints a window that shrank
}

void Canvas::onEnter(wxMouseEvent& event) {
  SetFocus();
  onMouse(event);
}

void Canvas::onLeave(wxMouseEvent& event) {
  activeWindow_->leave();
  onMouse(event);
}

void Canvas::onMouse(wxMouseEvent& wxEvent) {
  const PointerEvent event = pointerEventOf(wxEvent);
  const int canvasHeight = GetClientSize().GetHeight();
  wxPoint pos(event.x, event.y);
  if (wxEvent.GetEventType() == wxEVT_MOUSEWHEEL) pos = ScreenToClient(wxGetMousePosition());
  const int px = pos.x;
  const int py = canvasHeight - pos.y;

  if (dragNode_ != nullptr && event.leftDown) {
    const int p = dragNode_->horizontal ? py : px;
    dragNode_->fraction = dragFraction(p, dragStart_, dragEnd_);
    layout();
    redrawCached();
    return;
  }

  dragNode_ = nullptr;
  SetCursor(wxNullCursor);
  const SplitHit hit = tree_.hitTest(clientRect(), px, py, settings().getFloat("Canvas.Separator.Size"));
  if (hit.separator != nullptr) {
    SetCursor(wxCursor(hit.separator->horizontal ? wxCURSOR_SIZENS : wxCURSOR_SIZEWE));
    dragNode_ = hit.separator;
    dragStart_ = hit.start;
    dragEnd_ = hit.end;
    return;
  }

  CanvasWindow* window = hit.leaf->window;
  if (window == activeWindow_) {
    pointerInActive_ = true;
    window->onMouse(event, canvasHeight);
    return;
  }
  if (pointerInActive_) {
    activeWindow_->leave();
    pointerInActive_ = false;
  }
  if (event.leftReleased) {
    activeNode_ = hit.leaf;
    activeWindow_ = window;
    notifyOwner();
    redrawCached();  // only the frames change
  }
}

PointerEvent pointerEventOf(const wxMouseEvent& event) {
  PointerEvent pointer;
  pointer.x = event.GetX();
  pointer.y = event.GetY();
  pointer.leftPressed = event.LeftDown();
  pointer.leftReleased = event.LeftUp();
  pointer.leftDown = event.LeftIsDown();
  pointer.middleDown = event.MiddleIsDown();
  pointer.rightDown = event.RightIsDown();
  pointer.dragging = event.Dragging();
  pointer.shift = event.ShiftDown();
  pointer.control = event.ControlDown();
  if (event.GetEventType() == wxEVT_MOUSEWHEEL && event.GetWheelAxis() == wxMOUSE_WHEEL_VERTICAL)
    pointer.wheelRotation = event.GetWheelRotation();
  return pointer;
}

}  // namespace lumetra
