#include "diagram/CanvasKeys.h"

#include <wx/defs.h>

#include <cmath>

#include "diagram/SelectionManager.h"
#include "diagram/UMLModelVisualizer.h"
#include "render/CanvasOwner.h"
#include "render/CanvasWindow.h"

namespace lumetra {

bool onCanvasKey(CanvasWindow& window, int keyCode) {
  if (window.diagram() == nullptr) return false;
  Camera& camera = window.camera();
  // A tenth of the window in diagram units at the current zoom.
  const float stepX = 0.1f * static_cast<float>(window.width()) / camera.zoom;
  const float stepY = 0.1f * static_cast<float>(window.height()) / camera.zoom;
  switch (keyCode) {
    // The view moves the way the arrow points (the diagram the other way),
    // as a scroll bar would move it.
    case WXK_LEFT: case WXK_NUMPAD_LEFT: camera.pan.x -= stepX; break;
    case WXK_RIGHT: case WXK_NUMPAD_RIGHT: camera.pan.x += stepX; break;
    case WXK_UP: case WXK_NUMPAD_UP: camera.pan.y += stepY; break;
    case WXK_DOWN: case WXK_NUMPAD_DOWN: camera.pan.y -= stepY; break;
    case '+': case '=': case WXK_ADD: case WXK_NUMPAD_ADD: window.setZoom(window.zoom() * kKeyZoomStep); break;
    case '-': case WXK_SUBTRACT: case WXK_NUMPAD_SUBTRACT: window.setZoom(window.zoom() / kKeyZoomStep); break;
    case WXK_HOME: case WXK_NUMPAD_HOME: window.zoomToFit(); break;
    case WXK_ESCAPE: {
      auto* painter = dynamic_cast<UMLModelVisualizer*>(window.visualizer());
      SelectionManager* selection = painter ? painter->selectionManager() : nullptr;
      if (selection == nullptr) return true;
      const SelectionManager::Snapshot before = selection->snapshot();
      selection->clear();
      // Every window re-records what shows the flipped selected states.
      window.canvas()->selectionChanged(&window, selection->changeSince(before));
      return true;
    }
    default: return false;
  }
  if (!std::isnormal(camera.zoom)) window.zoomToFit();  // never a zoom that blanks the view
  window.canvas()->refreshWindow(&window, true);  // only the camera changed
  return true;
}

}  // namespace lumetra
