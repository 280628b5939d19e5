#include "diagram/CanvasMouse.h"

#include <cmath>
#include <exception>
#include <memory>

#include "diagram/MetricsVisualizer.h"
#include "diagram/SelectionElement.h"
#include "diagram/SelectionManager.h"
#include "diagram/UMLModelVisualizer.h"
#include "metrics/Metric.h"
#include "model/Diagram.h"
#include "model/ScenarioElements.h"
#include "platform/DebugOutput.h"
#include "render/CanvasOwner.h"
#include "render/HoverInfoBox.h"

namespace lumetra {

namespace {

// The pick region's side in pixels, and how far right of the pointer a
// hover box starts.
constexpr double kPickSize = 4.0;
constexpr int kHoverOffset = 16;

// The event's position in window pixels, y up.
Vec2 windowPoint(const CanvasWindow& window, const PointerEvent& event, int canvasHeight) {
  return {static_cast<float>(event.x - window.x()), static_cast<float>(canvasHeight - event.y - window.y())};
}

UMLModelVisualizer* diagramPainter(const CanvasWindow& window) {
  return dynamic_cast<UMLModelVisualizer*>(window.visualizer());
}

}  // namespace

Vec2 screenToDiagramOffset(const Camera& camera, float dx, float dy) {
  // Screen y grows downwards, diagram y upwards; one diagram unit is zoom
  // pixels at the diagram plane.
  Vec2 screen(dx / camera.zoom, -dy / camera.zoom);
  // The tilt shortens the diagram's y on screen by its cosine; nearly edge
  // on, that would throw the box far away, so it is left as it is there.
  const float tilt = std::cos(camera.rotationX * Camera::kDegToRad);
  if (std::fabs(tilt) > 0.1f) screen.y /= tilt;
  // Undo the turn in the plane, so that the box follows the pointer.
  const float turn = camera.rotationZ * Camera::kDegToRad;
  const float c = std::cos(turn), s = std::sin(turn);
  return {screen.x * c + screen.y * s, -screen.x * s + screen.y * c};
}

DiagramElement* CanvasMouse::shapeOf(Diagram* diagram, const ModelElement* model) {
  if (diagram == nullptr || model == nullptr) return nullptr;
  return findShapeOrChild(*diagram, [model](const DiagramElement& shape) { return shape.getModelElement() == model; });
}

void CanvasMouse::moveShape(DiagramElement* shape, float dx, float dy) {
  if (shape == nullptr) return;
  if (VisualElementLayout* layout = shape->getCurrentLayout();
      layout != nullptr && layout->getLowerLeft() != nullptr && layout->getUpperRight() != nullptr) {
    const Vec2 offset(dx, dy);
    layout->setCorners(new Vec2(*layout->getLowerLeft() + offset), new Vec2(*layout->getUpperRight() + offset));
  }
  if (auto* composed = dynamic_cast<ComposedDiagramElement*>(shape))
    for (DiagramElement* child : composed->getChildren()) moveShape(child, dx, dy);
}

bool CanvasMouse::pickAt(CanvasWindow& window, const PointerEvent& event, int canvasHeight, PickResult& result) {
  UMLModelVisualizer* painter = diagramPainter(window);
  if (painter == nullptr || !window.canvas()->makeContextCurrent()) return false;
  const Vec2 at = windowPoint(window, event, canvasHeight);
  try {
    window.loadPickMatrices(at.x, at.y, kPickSize);
    painter->pick(result, window.diagram());
  } catch (const std::exception& e) {
    // A pick that fails finds nothing; the next repaint loads its own
    // matrices.
    result.clear();
    debugOutput(std::string("\n ERROR: PICKING FAILED: ") + e.what() + " \n");
    return false;
  }
  return true;
}

void CanvasMouse::showHoverBox(CanvasWindow& window, const PointerEvent& event, int canvasHeight) {
  PickResult result;
  pickAt(window, event, canvasHeight, result);
  const Vec2 at = windowPoint(window, event, canvasHeight);
  const float x = at.x + static_cast<float>(kHoverOffset);
  const std::vector<MetricSelection*> glyphs = result.metricHits();
  const std::vector<ModelSelectionElement*> elements = result.elementHits();
  if (!glyphs.empty() && glyphs.front()->getMetric() != nullptr) {
    Metric* metric = glyphs.front()->getMetric();
    const std::string text =
        metric->getName() + " -> value: " + metric->getValueText(glyphs.front()->getElementId());
    window.setHoverBox(std::make_unique<TextHoverInfoBox>(text, x, at.y, at.y, kHoverMetricColor));
  } else if (!elements.empty()) {
    window.setHoverBox(std::make_unique<TextHoverInfoBox>(elements.front()->getLabel(), x, at.y, at.y,
                                                          kHoverElementColor));
  }
  if (CanvasOwner* owner = window.canvas()->owner())
    owner->pointerOver(elements.empty() ? std::string() : elements.front()->getLabel());
  window.canvas()->refreshWindow(&window, true);
}

void CanvasMouse::press(CanvasWindow& window, const PointerEvent& event, int canvasHeight) {
  PickResult result;
  pickAt(window, event, canvasHeight, result);
  UMLModelVisualizer* painter = diagramPainter(window);
  SelectionManager* selection = painter != nullptr ? painter->selectionManager() : nullptr;
  const SelectionManager::Snapshot before = selection != nullptr ? selection->snapshot() : SelectionManager::Snapshot();
  if (selection != nullptr && !event.shift) selection->clear();

  const std::vector<MetricSelection*> glyphs = result.metricHits();
  const std::vector<ModelSelectionElement*> elements = result.elementHits();
  if (!glyphs.empty() && glyphs.front()->getMetric() != nullptr) {
    Metric* metric = glyphs.front()->getMetric();
    if (selection != nullptr) selection->toggleMetric(metric);
    if (CanvasOwner* owner = window.canvas()->owner()) owner->metricPicked(metric->getName());
  } else if (selection != nullptr) {
    for (ModelSelectionElement* hit : elements)
      if (hit->getModelElement() != nullptr) selection->toggleElement(hit->getModelElement());
  }

  dragPosition_ = positionOf(event);
  dragStart_ = {};
  pressed_ = true;
  // Every window re-records only what shows the flipped selected states.
  window.canvas()->selectionChanged(&window, selection != nullptr ? selection->changeSince(before) : SelectionChange());
  pressTarget_ = elements.empty() ? nullptr : elements.front()->getModelElement();
}

void CanvasMouse::dragShape(CanvasWindow& window, float dx, float dy) {
  // Found by address first: a target the shown diagram does not hold is
  // not read at all (its model may be gone).
  DiagramElement* shape = shapeOf(window.diagram(), pressTarget_);
  if (shape == nullptr) return;
  // Component interfaces sit where their service places them.
  if (dynamic_cast<PelkInterface*>(shape->getModelElement()) != nullptr) return;
  const Vec2 offset = screenToDiagramOffset(window.camera(), dx, dy);
  if (!std::isfinite(offset.x) || !std::isfinite(offset.y)) return;
  if (dragStart_.empty()) dragStart_ = LayoutSnapshot::ofShape(shape);
  moveShape(shape, offset.x, offset.y);
  window.canvas()->shapeMoved(&window, shape);
}

void CanvasMouse::drag(CanvasWindow& window, const PointerEvent& event) {
  // From where the last step of this press left off: an event in between
  // that was no drag step (a motion reported without the button) is not
  // skipped over.
  const Position from = pressed_ ? dragPosition_ : lastPosition_;
  const float dx = static_cast<float>(event.x - from.x);
  const float dy = static_cast<float>(event.y - from.y);
  Camera& camera = window.camera();
  if (event.shift) {
    camera.rotationZ += dx / 5.0f;
    camera.rotationX += dy / 5.0f;
    window.canvas()->refreshWindow(&window, true);
  } else if (event.control) {
    if (pressTarget_ != nullptr) dragShape(window, dx, dy);
    else window.canvas()->refreshWindow(&window, true);
  } else {
    camera.pan.x -= dx / camera.zoom;
    camera.pan.y += dy / camera.zoom;
    window.canvas()->refreshWindow(&window, true);
  }
}

void CanvasMouse::onMouse(CanvasWindow& window, const PointerEvent& event, int canvasHeight) {
  if (window.diagram() == nullptr) return;

  // Every step below that runs redraws the window; a box taken away by an
  // event that runs none of them is taken off the screen at the end.
  bool redrawn = false;
  const bool hadBox = window.hoverBox() != nullptr;
  window.setHoverBox(nullptr);

  // The wheel zooms before the hover box is picked, so that the box shows
  // what lies under the pointer at the new zoom and one redraw shows both.
  const bool wheel = event.wheelRotation != 0;
  if (wheel) {
    // Multiplicative and without limits, except that a zoom that would no
    // longer be a positive finite number (and would blank the view for
    // good) is not taken.
    const float zoom = window.zoom() * std::exp2(static_cast<float>(event.wheelRotation) / 1024.0f);
    if (std::isnormal(zoom) && zoom > 0.0f) window.setZoom(zoom);
  }

  const bool anyButton = event.leftDown || event.middleDown || event.rightDown;
  if (!anyButton && dynamic_cast<MetricsVisualizer*>(window.visualizer()) != nullptr) {
    showHoverBox(window, event, canvasHeight);
    redrawn = true;
  }

  if (event.leftPressed) {
    press(window, event, canvasHeight);
    redrawn = true;
  }

  if (event.dragging && event.leftDown && !event.rightDown) {
    drag(window, event);
    dragPosition_ = positionOf(event);
    redrawn = true;
  }

  if (event.leftReleased && pressed_) {
    pressed_ = false;
    // The rest of a Ctrl-drag the motions did not bring.
    const int restX = event.x - dragPosition_.x;
    const int restY = event.y - dragPosition_.y;
    if (event.control && !event.shift && pressTarget_ != nullptr && (restX != 0 || restY != 0)) {
      dragShape(window, static_cast<float>(restX), static_cast<float>(restY));
      redrawn = true;
    }
    if (!dragStart_.empty()) {
      const LayoutSnapshot before = std::move(dragStart_);
      dragStart_ = {};
      if (CanvasOwner* owner = window.canvas()->owner(); owner && !(before.now() == before))
        owner->boxesDragged(&window, before);
    }
  }

  // A zoom some step above did not already redraw, or a box taken away.
  if ((wheel || hadBox) && !redrawn) window.canvas()->refreshWindow(&window, true);
  lastPosition_ = positionOf(event);
}

}  // namespace lumetra
