// Moving a box with Ctrl records again only the parts of a window's scene
// that depend on it, and the picture is exactly the one a full recording
// gives: the box, its glyphs, the relations ending on it, the area around
// it, and a service's interfaces with their connection.

#include <GL/gl.h>
#include <wx/event.h>

#include <cmath>
#include <string>
#include <vector>

#include "areas/Area.h"
#include "diagram/CanvasMouse.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "diagram/SelectionManager.h"
#include "platform/GLExtensions.h"
#include "render/Canvas.h"
#include "render/CanvasOwner.h"
#include "render/CanvasWindow.h"
#include "tests/diagram/DiagramScene.h"
#include "tests/diagram/GLTestSupport.h"

namespace lumetra {
namespace {

using test::DiagramScene;

class DrawingHost : public WindowHost {
 public:
  void refreshWindow(CanvasWindow* window, bool useCache) override { window->render(useCache); }
  // As the canvas: every view follows the selection, window is redrawn.
  void selectionChanged(CanvasWindow* window, const SelectionChange& change) override {
    for (CanvasWindow* view : views) view->selectionChanged(change);
    refreshWindow(window, true);
  }
  std::vector<CanvasWindow*> views;
};

wxMouseEvent mouseEvent(wxEventType type, int x, int y, bool ctrl, bool shift = false) {
  wxMouseEvent event(type);
  event.SetPosition(wxPoint(x, y));
  event.SetLeftDown(true);
  event.SetControlDown(ctrl);
  event.SetShiftDown(shift);
  return event;
}

// The views every case is seen in.
struct View {
  const char* name;
  float zoom;  // 0: the whole diagram fitted
  float turn, tilt;
};
const View kViews[] = {
    {"the whole diagram", 0.0f, 0, 0},
    {"close up", 0.8f, 0, 0},
    {"close up, turned and tilted", 0.7f, 30, 45},
};

class PartialRecompileTest : public test::GLPainterTest {
 protected:
  static constexpr int kColumns = 8;
  static constexpr int kRows = 6;

  PartialRecompileTest() {
    painter.setSelectionManager(&selection);
    painter.setMetricSet(&metrics);
    painter.setAreas(&areas);
    painter.setBlendEquation(lookupBlendEquation());
    // A grid of classes 150 units apart, each associated with its left
    // neighbour and inheriting from the one below, with a flat and a
    // rising glyph on each; two services joined through their interfaces;
    // an area over two neighbours.
    auto* flat = test::makeBarMetric("Flat", Color(0.2f, 0.4f, 0.9f, 1.0f), {});
    auto* rising = test::makeBarMetric("Rising", Color(0.9f, 0.4f, 0.1f, 1.0f), {});
    rising->setVisualizer("3D Bar");
    for (int row = 0; row < kRows; ++row)
      for (int column = 0; column < kColumns; ++column) {
        const std::string id = name(row, column);
        const Vec2 lo(-600.0f + 150.0f * column, -450.0f + 150.0f * row);
        scene.addClass(id, "Class " + id, lo, lo + Vec2(90, 60));
        if (column > 0) scene.addAssociation("a" + id, id, name(row, column - 1));
        if (row > 0) scene.addInheritance("g" + id, name(row - 1, column), id);
        flat->addValue(id, row + column);
        rising->addValue(id, (row * 7 + column * 3) % 11);
      }
    flat->computeRange();
    rising->computeRange();
    metrics.add(flat);
    metrics.add(rising);
    metrics.showMetric("Flat");
    metrics.showMetric("Rising");
    scene.addService("s1", "Billing", {-600, 500}, {-480, 580});
    scene.addService("s2", "Ledger", {-300, 500}, {-180, 580});
    PelkInterface* out = scene.addPort("s1", "charge", {-487, 533}, {-473, 547});
    PelkInterface* in = scene.addPort("s2", "book", {-307, 533}, {-293, 547});
    scene.addConnection("k1", out, in);
    auto* area = new Area("Green");
    area->setColor(new Color(1.0f, 0.0f, 1.0f, 1.0f));  // stored inverted: shows green
    area->addElement(name(2, 3));
    area->addElement(name(2, 4));
    areas.addArea(area);
    showArea(areas, scene.diagram(), "Green");
    window.setVisualizer(&painter);
    window.setDiagram(scene.diagram());
  }
  ~PartialRecompileTest() override { areas.clear(); }

  static std::string name(int row, int column) { return "c" + std::to_string(row) + "_" + std::to_string(column); }

  void send(const wxMouseEvent& event) { mouse.onMouse(window, pointerEventOf(event), kSize); }

  DiagramScene scene;
  SelectionManager selection;
  MetricSet metrics;
  AreaSet areas;
  MetricsVisualizerSimple painter;
  DrawingHost host;
  CanvasWindow window{&host, 0, 0, kSize, kSize};
  CanvasMouse mouse;
};

TEST_F(PartialRecompileTest, MovedBoxGivesThePixelsOfAFullRecording) {
  const char* targets[] = {"c2_3", "s1"};
  for (const char* target : targets) {
    for (const View& view : kViews) {
      SCOPED_TRACE(std::string(target) + ", " + view.name);
      // Each case starts with the box where the scene put it.
      DiagramElement* shape = scene.shape(target);
      const Vec2 at = *shape->getCurrentLayout()->getLowerLeft();
      const Vec2 home = std::string(target) == "s1" ? Vec2(-600, 500) : Vec2(-150, -150);
      CanvasMouse::moveShape(shape, home.x - at.x, home.y - at.y);
      // Press on the box at the window centre, then take the view (the
      // press target stays) and record the scene under it.
      window.resetCamera();
      window.centreOnShape(shape);
      send(mouseEvent(wxEVT_LEFT_DOWN, kSize / 2, kSize / 2, false));
      ASSERT_EQ(mouse.pressTarget(), shape->getModelElement());
      selection.clear();
      if (view.zoom == 0.0f) {
        window.camera().zoomToFit({-600, -450}, {600, 580}, kSize, kSize);
      } else {
        window.setZoom(view.zoom);
        window.centreOnShape(shape);
      }
      window.camera().rotationZ = view.turn;
      window.camera().rotationX = view.tilt;
      window.render(false);
      const std::vector<unsigned char> before = test::readFrame();

      // Two Ctrl-drag steps of (12, 8) pixels.
      send(mouseEvent(wxEVT_MOTION, kSize / 2 + 12, kSize / 2 + 8, true));
      send(mouseEvent(wxEVT_MOTION, kSize / 2 + 24, kSize / 2 + 16, true));
      ASSERT_GT(window.partsRecordedAgain(), 0);
      EXPECT_LT(window.partsRecordedAgain(), window.scenePartCount());
      const std::vector<unsigned char> partial = test::readFrame();
      EXPECT_GT(test::differingPixels(partial, before), 50) << "the move must show";

      window.render(false);
      const std::vector<unsigned char> full = test::readFrame();
      EXPECT_EQ(test::differingPixels(partial, full), 0);
    }
  }
}

// A second window on the same diagram is brought up to date too; one on
// another diagram records nothing.
TEST_F(PartialRecompileTest, EveryWindowOnTheDiagramFollowsTheMove) {
  CanvasWindow other(&host, 0, 0, kSize, kSize);
  other.setVisualizer(&painter);
  other.setDiagram(scene.diagram());
  DiagramScene elsewhere;
  elsewhere.addClass("x", "Elsewhere", {-20, -20}, {20, 20});
  CanvasWindow unrelated(&host, 0, 0, kSize, kSize);
  unrelated.setVisualizer(&painter);
  unrelated.setDiagram(elsewhere.diagram());

  DiagramElement* shape = scene.shape("c2_3");
  CanvasMouse::moveShape(shape, 40, -30);
  window.shapeMoved(shape);
  other.shapeMoved(shape);
  EXPECT_GT(other.partsRecordedAgain(), 0);
  other.render(true);
  const std::vector<unsigned char> updated = test::readFrame();
  other.render(false);
  EXPECT_EQ(test::differingPixels(updated, test::readFrame()), 0);

  // A shape the window's diagram does not hold: the next render records
  // everything rather than trust the parts.
  unrelated.shapeMoved(shape);
  EXPECT_EQ(unrelated.partsRecordedAgain(), -1);
  EXPECT_FALSE(unrelated.displayListValid());
}

// A click that changes the selection records again only the parts showing
// the elements whose selected state flipped, in every view, and the picture
// is exactly the one a full recording gives; nothing is recorded whole.
TEST_F(PartialRecompileTest, ClickedSelectionGivesThePixelsOfAFullRecording) {
  struct Click {
    const char* what;
    Vec2 at;  // diagram point clicked (centred in the window first)
    bool shift;
    std::vector<std::string> selected;  // afterwards
    std::size_t metrics;                // how many metrics are selected afterwards
    bool shows;                         // the fitted picture changes
  };
  // Glyphs in the middle of their boxes, so that a box can be clicked
  // beside them.
  painter.setGlyphAreaSize(0.4f);
  Vec2 glyphLo, glyphHi;
  ASSERT_TRUE(painter.glyphRectangle("Flat", {-450, 150}, {-360, 210}, true, glyphLo, glyphHi));  // on c4_1
  const Vec2 glyph = (glyphLo + glyphHi) * 0.5f;
  // Applied in order, each on top of the ones before.
  const Click clicks[] = {
      {"select a class", {-135, -100}, false, {"c2_3"}, 0, true},
      {"Shift-add an association", {120, -120}, true, {"c2_3", "ac2_5"}, 0, true},
      {"Shift-add an inheritance", {345, -45}, true, {"c2_3", "ac2_5", "gc3_6"}, 0, true},
      {"Shift-click the class: deselected", {-135, -100}, true, {"ac2_5", "gc3_6"}, 0, true},
      {"select a service", {-570, 560}, false, {"s1"}, 0, true},
      {"select a glyph's metric", glyph, false, {}, 1, true},
      {"Shift-click the glyph: metric deselected", glyph, true, {}, 0, false},
      {"select a class again", {-135, -100}, false, {"c2_3"}, 0, true},
      {"click on empty space: cleared", {-530, -360}, false, {}, 0, true},
  };
  CanvasWindow other(&host, 0, 0, kSize, kSize);  // a second view of the diagram, fitted
  other.setVisualizer(&painter);
  other.setDiagram(scene.diagram());
  host.views = {&window, &other};
  for (const View& view : kViews) {
    SCOPED_TRACE(view.name);
    selection.clear();
    window.resetCamera();
    if (view.zoom == 0.0f) window.camera().zoomToFit({-600, -450}, {600, 580}, kSize, kSize);
    else window.setZoom(view.zoom);
    window.camera().rotationZ = view.turn;
    window.camera().rotationX = view.tilt;
    window.render(false);
    other.render(false);
    for (const Click& click : clicks) {
      SCOPED_TRACE(click.what);
      window.centreOn(click.at);
      window.render(true);
      const std::vector<unsigned char> before = test::readFrame();
      const int recordings = window.sceneRecordings(), otherRecordings = other.sceneRecordings();
      send(mouseEvent(wxEVT_LEFT_DOWN, kSize / 2, kSize / 2, false, click.shift));

      std::vector<std::string> selected;
      for (const ModelElement* element : selection.selectedElements()) selected.push_back(element->getId());
      ASSERT_EQ(selected, click.selected);
      ASSERT_EQ(selection.selectedMetrics().size(), click.metrics);
      EXPECT_EQ(window.sceneRecordings(), recordings) << "the scene was recorded whole";
      EXPECT_EQ(other.sceneRecordings(), otherRecordings);
      ASSERT_GE(window.partsRecordedAgain(), click.shows ? 1 : 0);
      EXPECT_LT(window.partsRecordedAgain(), window.scenePartCount() / 2);
      const std::vector<unsigned char> partial = test::readFrame();
      if (view.zoom == 0.0f) {
        if (click.shows) EXPECT_GT(test::differingPixels(partial, before), 20) << "the selection must show";
        else EXPECT_EQ(test::differingPixels(partial, before), 0);
      }
      window.render(false);
      EXPECT_EQ(test::differingPixels(partial, test::readFrame()), 0);

      other.render(true);
      const std::vector<unsigned char> otherPartial = test::readFrame();
      other.render(false);
      EXPECT_EQ(test::differingPixels(otherPartial, test::readFrame()), 0) << "the other view";
    }
  }
}

}  // namespace
}  // namespace lumetra
