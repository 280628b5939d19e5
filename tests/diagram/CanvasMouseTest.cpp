// The mouse in a canvas window, driven by synthesised toolkit events on a
// window drawn into an offscreen buffer: hover boxes as the user sees them,
// click selection, glyph clicks reaching the frame, moving boxes with Ctrl,
// and the camera moves.
//
// The window is 200 x 200 pixels and shows a diagram without a box of its
// own at zoom 1, so diagram point (x, y) lies under the event position
// (100 + x, 100 - y).

#include <wx/event.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "areas/Area.h"
#include "diagram/CanvasMouse.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "diagram/SelectionManager.h"
#include "model/ScenarioElements.h"
#include "render/Canvas.h"
#include "render/CanvasOwner.h"
#include "render/CanvasWindow.h"
#include "render/HoverInfoBox.h"
#include "tests/diagram/DiagramScene.h"
#include "tests/diagram/GLTestSupport.h"

namespace lumetra {
namespace {

using test::DiagramScene;
using test::Rgb;

// The diagram painter without glyphs (no hover boxes).
class PlainPainter : public UMLModelVisualizer {
 public:
  void drawDeferredEntry(DiagramElement*) override {}
};

// Draws a window when asked and records what the frame is told.
class RecordingHost : public WindowHost, public CanvasOwner {
 public:
  void refreshWindow(CanvasWindow* window, bool useCache) override {
    window->render(useCache);
    ++refreshes;
  }
  CanvasOwner* owner() const override { return const_cast<RecordingHost*>(this); }
  void activeWindowChanged(CanvasWindow*, bool) override {}
  void metricPicked(const std::string& name) override { pickedMetrics.push_back(name); }

  int refreshes = 0;
  std::vector<std::string> pickedMetrics;
};

struct Keys {
  bool shift = false;
  bool ctrl = false;
};

wxMouseEvent mouseEvent(wxEventType type, Vec2 diagramPoint, bool leftDown, Keys keys = {}) {
  wxMouseEvent event(type);
  event.SetPosition(wxPoint(static_cast<int>(std::lround(100.0f + diagramPoint.x)),
                            static_cast<int>(std::lround(100.0f - diagramPoint.y))));
  event.SetLeftDown(leftDown);
  event.SetShiftDown(keys.shift);
  event.SetControlDown(keys.ctrl);
  return event;
}

class CanvasMouseTest : public test::GLPainterTest {
 protected:
  CanvasMouseTest() {
    for (UMLModelVisualizer* p : {static_cast<UMLModelVisualizer*>(&overlay), static_cast<UMLModelVisualizer*>(&plain)}) {
      p->setSelectionManager(&selection);
      p->setMetricSet(&metrics);
      p->setAreas(&areas);
    }
  }

  void show(UMLModelVisualizer& painter) {
    window.setVisualizer(&painter);
    window.setDiagram(scene.diagram());
  }

  void send(const wxMouseEvent& event) { mouse.onMouse(window, pointerEventOf(event), kSize); }
  void hover(Vec2 at) { send(mouseEvent(wxEVT_MOTION, at, false)); }
  void click(Vec2 at, Keys keys = {}) {
    send(mouseEvent(wxEVT_LEFT_DOWN, at, true, keys));
    send(mouseEvent(wxEVT_LEFT_UP, at, false, keys));
  }
  // Press at from, then move with the left button down to to in steps.
  void drag(Vec2 from, Vec2 to, Keys keys, int steps = 2) {
    send(mouseEvent(wxEVT_LEFT_DOWN, from, true, keys));
    for (int i = 1; i <= steps; ++i) {
      const float t = static_cast<float>(i) / static_cast<float>(steps);
      send(mouseEvent(wxEVT_MOTION, from + (to - from) * t, true, keys));
    }
    send(mouseEvent(wxEVT_LEFT_UP, to, false, keys));
  }

  const TextHoverInfoBox* textBox() const { return dynamic_cast<TextHoverInfoBox*>(window.hoverBox()); }

  // The colour of a pixel just inside the box's top-left corner, in the
  // spacing around the text.
  Rgb boxBackgroundPixel() const {
    const Vec2 corner = textBox()->placedCorner(kSize, kSize);
    return pixelAt(corner.x + 2.0f - kSize / 2.0f, corner.y - 2.0f - kSize / 2.0f);
  }

  std::vector<std::string> selectedIds() const {
    std::vector<std::string> ids;
    for (ModelElement* e : selection.selectedElements()) ids.push_back(e->getId());
    return ids;
  }

  static Vec2 corner(DiagramElement* shape) { return *shape->getCurrentLayout()->getLowerLeft(); }

  DiagramScene scene;
  SelectionManager selection;
  MetricSet metrics;
  AreaSet areas;
  MetricsVisualizerSimple overlay;
  PlainPainter plain;
  RecordingHost host;
  CanvasWindow window{&host, 0, 0, kSize, kSize};
  CanvasMouse mouse;
};

// What the user sees next to the pointer, over white background, for each
// painter and spot: no box with the plain painter, the class name in light
// green over a class, the metric's value in light red over its glyph.
TEST_F(CanvasMouseTest, HoverShowsTheLabelOrTheGlyphValueInItsColour) {
  scene.addClass("c1", "Order", {-95, -40}, {-35, 40});
  scene.addClass("c2", "Bare", {-95, -90}, {-35, -50});
  metrics.add(test::makeBarMetric("LOC", Color(0xFFFF0000u), {{"c1", 120}, {"c2", 10}}));
  metrics.showMetric("LOC");
  const Rgb lightRed = test::over(Color(kHoverMetricColor), Color(1, 1, 1, 1));
  const Rgb lightGreen = test::over(Color(kHoverElementColor), Color(1, 1, 1, 1));
  struct Case {
    const char* what;
    UMLModelVisualizer* painter;
    Vec2 at;
    const char* text;  // null: no box
    Rgb background;
  };
  const Case cases[] = {
      {"plain painter over a class", &plain, {-40, 35}, nullptr, {}},
      {"overlay over the glyph", &overlay, {-40, 35}, "LOC -> value: 120", lightRed},
      // The glyph of the smallest value is a bar of no height: the class.
      {"overlay over a class without a raised glyph", &overlay, {-40, -55}, "Bare", lightGreen},
      {"overlay over white", &overlay, {60, 60}, nullptr, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    show(*c.painter);
    hover(c.at);
    if (c.text == nullptr) {
      EXPECT_EQ(window.hoverBox(), nullptr);
      continue;
    }
    ASSERT_NE(textBox(), nullptr);
    EXPECT_EQ(textBox()->text(), c.text);
    // 16 pixels right of the pointer, at its height.
    EXPECT_EQ(textBox()->position().x, 100.0f + c.at.x + 16.0f);
    EXPECT_EQ(textBox()->position().y, 100.0f + c.at.y);
    EXPECT_RGB_NEAR(boxBackgroundPixel(), c.background, 3);
    // The next event takes the box away, and the redraw shows the white.
    const Vec2 corner = textBox()->placedCorner(kSize, kSize);
    hover({80, -90});
    EXPECT_EQ(window.hoverBox(), nullptr);
    EXPECT_RGB_NEAR(pixelAt(corner.x + 2.0f - kSize / 2.0f, corner.y - 2.0f - kSize / 2.0f), (Rgb{255, 255, 255}), 0);
  }
}

TEST_F(CanvasMouseTest, HoverBoxSizeFollowsTheSettingsAndStaysInsideTheWindow) {
  TextHoverInfoBox flat("ooo", 10, 100, 100, kHoverElementColor);
  TextHoverInfoBox deep("ppp", 10, 100, 100, kHoverElementColor);
  // The height counts the text height twice: descenders make a taller box.
  EXPECT_GT(deep.size().y, flat.size().y);
  const float spacing = settings().getFloat("HoverInfo.Spacing");
  const float fontSize = settings().getFloat("HoverInfo.FontSize");
  const Vec2 before = flat.size();
  settings().setFloat("HoverInfo.FontSize", fontSize * 2.0f);
  const Vec2 after = flat.size();
  settings().setFloat("HoverInfo.FontSize", fontSize);
  EXPECT_NEAR(after.x - 2.0f * spacing, 2.0f * (before.x - 2.0f * spacing), 1.0f);

  // A box at the bottom-right corner moves left and up into the window.
  TextHoverInfoBox corner("a long label at the corner", 190, 3, 3, kHoverElementColor);
  const Vec2 placed = corner.placedCorner(kSize, kSize);
  EXPECT_NEAR(placed.x + corner.size().x, kSize, 0.01f);
  EXPECT_NEAR(placed.y - corner.size().y, 0.0f, 0.01f);
  EXPECT_EQ(flat.placedCorner(kSize, kSize).x, 10.0f);
}

// Clicks on two overlapping classes a (-60..10) and b (-10..60), both
// covering x -10..10, and on c apart; the selection before and after.
TEST_F(CanvasMouseTest, ClicksSelectWhatIsUnderThePointer) {
  scene.addClass("a", "A", {-60, -20}, {10, 20});
  scene.addClass("b", "B", {-10, -20}, {60, 20});
  scene.addClass("c", "C", {-60, 50}, {-20, 90});
  show(overlay);
  struct Case {
    const char* what;
    std::vector<std::string> before;
    Vec2 at;
    bool shift;
    std::vector<std::string> after;
  };
  const Case cases[] = {
      {"a click selects only what it hits", {"c"}, {-40, 0}, false, {"a"}},
      {"a click on the overlap toggles both", {}, {0, 0}, false, {"b", "a"}},
      {"shift-click adds", {"c"}, {40, 0}, true, {"c", "b"}},
      {"shift-click on a selected element deselects it and keeps the rest", {"a", "c"}, {-40, 0}, true, {"c"}},
      {"shift-click on the overlap toggles each", {"a", "c"}, {0, 0}, true, {"c", "b"}},
      {"a click on nothing clears", {"a", "b"}, {80, -80}, false, {}},
      {"shift-click on nothing keeps", {"a", "b"}, {80, -80}, true, {"a", "b"}},
  };
  for (const Case& c : cases) {
    selection.clear();
    for (const std::string& id : c.before) selection.toggleElement(scene.pool().find(id));
    click(c.at, {c.shift, false});
    EXPECT_EQ(selectedIds(), c.after) << c.what;
  }
  // The selection shows at once: the highlight colour covers the box.
  click({80, -80});
  const Rgb unselected = pixelAt(-50, -10);
  click({-40, 0});
  EXPECT_NE(pixelAt(-50, -10), unselected);
}

TEST_F(CanvasMouseTest, ClickOnAGlyphSelectsItsMetricAndTellsTheFrame) {
  scene.addClass("c1", "Order", {-60, -40}, {60, 40});
  Metric* loc = test::makeBarMetric("LOC", Color(0xFFFF0000u), {{"c1", 120}, {"c2", 10}});
  metrics.add(loc);
  metrics.showMetric("LOC");
  show(overlay);
  selection.toggleElement(scene.pool().find("c1"));
  click({0, 0});
  EXPECT_TRUE(selection.isMetricSelected(loc));
  EXPECT_TRUE(selection.selectedElements().empty());  // cleared, and a glyph hit toggles no element
  EXPECT_EQ(host.pickedMetrics, (std::vector<std::string>{"LOC"}));
  click({0, 0}, {true, false});
  EXPECT_FALSE(selection.isMetricSelected(loc));
}

// Ctrl-drags at zoom 2 by (+20, +10) pixels: a box moves by (10, -5)
// diagram units (screen y down, diagram y up).
TEST_F(CanvasMouseTest, CtrlDragMovesThePressedBoxButNoComponentInterface) {
  scene.addService("s1", "Billing", {-90, -30}, {-30, 30});
  scene.addPort("s1", "charge", {-37, -7}, {-23, 7});
  scene.addClass("k", "Ledger", {30, -30}, {90, 30});
  show(overlay);
  window.setZoom(2.0f);
  struct Case {
    const char* what;
    Vec2 press;  // diagram units
    std::vector<std::string> moved;
  };
  // At zoom 2, diagram (x, y) lies under event (100 + 2x, 100 - 2y).
  const Case cases[] = {
      {"a component interface stays", {-30, 0}, {}},
      {"a class", {40, 0}, {"k"}},
      {"a service takes its interface along", {-40, 20}, {"s1", "charge"}},
  };
  for (const Case& c : cases) {
    const std::vector<std::string> ids = {"s1", "charge", "k"};
    std::vector<Vec2> before;
    for (const std::string& id : ids) before.push_back(corner(CanvasMouse::shapeOf(scene.diagram(), scene.pool().find(id))));
    const Vec2 from = c.press * 2.0f;
    drag(from, from + Vec2(20, -10), {false, true});
    for (std::size_t i = 0; i < ids.size(); ++i) {
      const bool moves = std::find(c.moved.begin(), c.moved.end(), ids[i]) != c.moved.end();
      const Vec2 now = corner(CanvasMouse::shapeOf(scene.diagram(), scene.pool().find(ids[i])));
      const Vec2 expected = before[i] + (moves ? Vec2(10, -5) : Vec2());
      EXPECT_EQ(now.x, expected.x) << c.what << ": " << ids[i];
      EXPECT_EQ(now.y, expected.y) << c.what << ": " << ids[i];
    }
  }
}

// A busy program learns of a motion late, with the pointer's state of then:
// the button and Ctrl may already be up, or the motion may not come at all
// before the release. A Ctrl-drag whose steps came so once left the box
// where it was (the saved diagram lost the move); it ends under the release.
TEST_F(CanvasMouseTest, CtrlDragWithLateOrMissingMotionsStillEndsUnderTheRelease) {
  scene.addClass("k", "Ledger", {30, -30}, {90, 30});
  show(plain);
  window.setZoom(1.0f);
  const Vec2 press(60, 0), half(70, -5), release(80, -10);
  struct Step {
    wxEventType type;
    Vec2 at;
    bool leftDown;
    Keys keys;
  };
  const Keys ctrl{false, true};
  struct Case {
    const char* what;
    std::vector<Step> after;  // the events after the Ctrl press
    Vec2 moved;               // diagram units (zoom 1)
  };
  const Case cases[] = {
      {"motions all the way", {{wxEVT_MOTION, release, true, ctrl}, {wxEVT_LEFT_UP, release, false, ctrl}}, {20, -10}},
      {"no motion before the release", {{wxEVT_LEFT_UP, release, false, ctrl}}, {20, -10}},
      {"a motion reported with the button and Ctrl up",
       {{wxEVT_MOTION, release, false, {}}, {wxEVT_LEFT_UP, release, false, ctrl}},
       {20, -10}},
      {"half way, then the release further",
       {{wxEVT_MOTION, half, true, ctrl}, {wxEVT_LEFT_UP, release, false, ctrl}},
       {20, -10}},
      {"a late motion between two drag steps",
       {{wxEVT_MOTION, half, true, ctrl}, {wxEVT_MOTION, release, false, {}}, {wxEVT_MOTION, release, true, ctrl},
        {wxEVT_LEFT_UP, release, false, ctrl}},
       {20, -10}},
      {"Ctrl let go before the release", {{wxEVT_LEFT_UP, release, false, {}}}, {0, 0}},
      {"a click", {{wxEVT_LEFT_UP, press, false, ctrl}}, {0, 0}},
  };
  for (const Case& c : cases) {
    const Vec2 before = corner(scene.shape("k"));
    send(mouseEvent(wxEVT_LEFT_DOWN, press, true, ctrl));
    for (const Step& step : c.after) send(mouseEvent(step.type, step.at, step.leftDown, step.keys));
    const Vec2 now = corner(scene.shape("k"));
    EXPECT_EQ(now.x - before.x, c.moved.x) << c.what;
    EXPECT_EQ(now.y - before.y, c.moved.y) << c.what;
    // Put back under the next press.
    CanvasMouse::moveShape(scene.shape("k"), before.x - now.x, before.y - now.y);
  }
  // A release with no press in this window before it moves nothing.
  const Vec2 before = corner(scene.shape("k"));
  send(mouseEvent(wxEVT_LEFT_UP, release, false, ctrl));
  EXPECT_EQ(corner(scene.shape("k")).x, before.x);
}

// In a turned or tilted view the dragged box stays under the pointer: its
// centre moves on screen by the pointer's distance.
TEST_F(CanvasMouseTest, CtrlDraggedBoxFollowsThePointerInATurnedOrTiltedView) {
  scene.addClass("a", "A", {-20, -15}, {20, 15});
  show(plain);
  DiagramElement* shape = scene.shape("a");
  auto screenCentre = [&] {
    const VisualElementLayout* l = shape->getCurrentLayout();
    const Vec2 c = (*l->getLowerLeft() + *l->getUpperRight()) * 0.5f;
    const Vec3 ndc = (window.viewMatrix(0) * window.projectionMatrix(0)).transformPoint({c.x, c.y, 0.0f});
    return Vec2((ndc.x + 1.0f) * 0.5f * kSize, (ndc.y + 1.0f) * 0.5f * kSize);
  };
  struct Case {
    float turn, tilt;
  };
  const Case cases[] = {{0, 0}, {90, 0}, {180, 0}, {37, 0}, {0, 40}, {-120, 55}};
  for (const Case& c : cases) {
    window.resetCamera();
    window.setPerspective(false);
    window.setZoom(1.5f);
    window.camera().rotationZ = c.turn;
    window.camera().rotationX = c.tilt;
    window.centreOnShape(shape);
    const Vec2 before = screenCentre();
    ASSERT_NEAR(before.x, 100.0f, 0.01f);
    // From the window centre, 20 pixels right and 10 down, in two steps.
    drag({0, 0}, {20, -10}, {false, true});
    const Vec2 after = screenCentre();
    EXPECT_NEAR(after.x - before.x, 20.0f, 0.01f) << "turn " << c.turn << ", tilt " << c.tilt;
    EXPECT_NEAR(after.y - before.y, -10.0f, 0.01f) << "turn " << c.turn << ", tilt " << c.tilt;
  }
}

TEST_F(CanvasMouseTest, ForgottenOrForeignPressTargetIsNotMoved) {
  scene.addClass("a", "A", {-20, -20}, {20, 20});
  show(overlay);
  DiagramElement* shape = scene.shape("a");
  const Vec2 start = corner(shape);

  // A press picks a, then the model is replaced: a later Ctrl-drag that
  // starts off any box moves nothing.
  send(mouseEvent(wxEVT_LEFT_DOWN, {0, 0}, true));
  send(mouseEvent(wxEVT_LEFT_UP, {0, 0}, false));
  ASSERT_NE(mouse.pressTarget(), nullptr);
  mouse.forgetPressTarget();
  send(mouseEvent(wxEVT_MOTION, {0, 0}, true, {false, true}));
  send(mouseEvent(wxEVT_MOTION, {30, 30}, true, {false, true}));
  EXPECT_EQ(corner(shape).x, start.x);
  EXPECT_EQ(corner(shape).y, start.y);

  // A target picked on one diagram is not looked for on another one shown
  // since.
  send(mouseEvent(wxEVT_LEFT_DOWN, {0, 0}, true));
  DiagramScene other;
  other.addClass("z", "Z", {-20, -20}, {20, 20});
  window.setDiagram(other.diagram());
  send(mouseEvent(wxEVT_MOTION, {10, 0}, true, {false, true}));
  EXPECT_EQ(corner(shape).x, start.x);
  EXPECT_EQ(corner(other.shape("z")).x, -20.0f);
}

TEST_F(CanvasMouseTest, WheelZoomsAndDragsTurnOrPanTheCamera) {
  scene.addClass("a", "A", {-20, -20}, {20, 20});
  show(plain);
  const Camera& camera = window.camera();

  wxMouseEvent wheel(wxEVT_MOUSEWHEEL);
  wheel.m_wheelRotation = 120;
  wheel.m_wheelAxis = wxMOUSE_WHEEL_VERTICAL;
  window.setZoom(3.0f);
  send(wheel);
  send(wheel);
  EXPECT_FLOAT_EQ(camera.zoom, 3.0f * std::exp2(240.0f / 1024.0f));
  wheel.m_wheelRotation = -240;
  send(wheel);
  EXPECT_FLOAT_EQ(camera.zoom, 3.0f);

  // A plain drag at zoom 2 pans by half the pointer's distance; the
  // diagram follows the pointer.
  window.setZoom(2.0f);
  drag({60, 60}, {80, 50}, {});  // +20 right, +10 down on screen
  EXPECT_FLOAT_EQ(camera.pan.x, -10.0f);
  EXPECT_FLOAT_EQ(camera.pan.y, 5.0f);
  EXPECT_EQ(camera.rotationZ, 0.0f);

  // Shift turns by a fifth of a degree per pixel.
  drag({60, 60}, {110, 35}, {true, false});
  EXPECT_FLOAT_EQ(camera.rotationZ, 10.0f);
  EXPECT_FLOAT_EQ(camera.rotationX, 5.0f);
  EXPECT_FLOAT_EQ(camera.pan.x, -10.0f);
}

// One wheel step or pointer move is one redraw of the window, whatever it
// changes (zoom, hover box or both): on a big diagram each redraw is a
// replay the user waits for. A hover box after a wheel step names what lies
// under the pointer at the new zoom.
TEST_F(CanvasMouseTest, EachWheelStepOrMoveRedrawsTheWindowOnce) {
  scene.addClass("a", "A", {-20, -20}, {20, 20});
  struct Case {
    const char* name;
    UMLModelVisualizer* painter;
    wxEventType type;
    int rotation;
    wxMouseWheelAxis axis;
    int redraws;
    bool box;
  };
  const Case cases[] = {
      {"wheel with the overlay painter", &overlay, wxEVT_MOUSEWHEEL, 120, wxMOUSE_WHEEL_VERTICAL, 1, true},
      {"wheel back with the overlay painter", &overlay, wxEVT_MOUSEWHEEL, -120, wxMOUSE_WHEEL_VERTICAL, 1, true},
      {"wheel with the plain painter", &plain, wxEVT_MOUSEWHEEL, 120, wxMOUSE_WHEEL_VERTICAL, 1, false},
      {"sideways wheel with the plain painter", &plain, wxEVT_MOUSEWHEEL, 120, wxMOUSE_WHEEL_HORIZONTAL, 0, false},
      {"move with the overlay painter", &overlay, wxEVT_MOTION, 0, wxMOUSE_WHEEL_VERTICAL, 1, true},
      {"move with the plain painter", &plain, wxEVT_MOTION, 0, wxMOUSE_WHEEL_VERTICAL, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    show(*c.painter);
    const float zoomBefore = window.zoom();
    wxMouseEvent event = mouseEvent(c.type, {0, 0}, false);
    event.m_wheelRotation = c.rotation;
    event.m_wheelAxis = c.axis;
    host.refreshes = 0;
    send(event);
    EXPECT_EQ(host.refreshes, c.redraws);
    ASSERT_EQ(textBox() != nullptr, c.box);
    if (c.box) EXPECT_NE(textBox()->text().find('A'), std::string::npos) << textBox()->text();
    if (c.redraws == 1 && c.type == wxEVT_MOUSEWHEEL) EXPECT_NE(window.zoom(), zoomBefore);
    window.setHoverBox(nullptr);
  }
}

}  // namespace
}  // namespace lumetra
