// A change of what the areas show, brought to a window by recording only its
// background again (CanvasWindow::areasChanged) and replaying the kept
// diagram, gives exactly the pixels of a full recording: every kind of area
// change, in a fitted view, close up (a coarser area picture) and turned
// and tilted. The diagram's own parts are not recorded again.

#include <GL/gl.h>

#include <functional>
#include <string>
#include <vector>

#include "areas/Area.h"
#include "areas/AreaElementsEraser.h"
#include "areas/AreaVisualizer.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "diagram/SelectionManager.h"
#include "platform/GLExtensions.h"
#include "render/CanvasOwner.h"
#include "render/CanvasWindow.h"
#include "tests/diagram/DiagramScene.h"
#include "tests/diagram/GLTestSupport.h"

namespace lumetra {
namespace {

using test::DiagramScene;

// A 5 x 4 grid of classes with associations and a glyph each; three areas
// drawn by the three painters, and free classes between them.
struct AreaScene {
  AreaScene() {
    painter.setSelectionManager(&selection);
    painter.setMetricSet(&metrics);
    painter.setAreas(&areas);
    painter.setBlendEquation(lookupBlendEquation());
    auto* size = test::makeBarMetric("Size", Color(0.2f, 0.4f, 0.9f, 1.0f), {});
    for (int row = 0; row < 4; ++row)
      for (int column = 0; column < 5; ++column) {
        const std::string id = name(row, column);
        const Vec2 lo(-90.0f + 38.0f * column, -75.0f + 40.0f * row);
        scene.addClass(id, "C" + id, lo, lo + Vec2(24, 18));
        if (column > 0) scene.addAssociation("a" + id, id, name(row, column - 1));
        size->addValue(id, row + column);
      }
    size->computeRange();
    metrics.add(size);
    metrics.showMetric("Size");
    addArea("Blue", Color(1.0f, 1.0f, 0.0f, 1.0f), AREA_PAINTER_INNER, {name(0, 0), name(0, 1), name(1, 0)}, 3);
    addArea("Red", Color(0.0f, 1.0f, 1.0f, 1.0f), AREA_PAINTER_OUTER,
            {name(2, 2), name(2, 3), name(3, 2), name(3, 4), name(1, 4)}, 1);
    addArea("Green", Color(1.0f, 0.0f, 1.0f, 1.0f), AREA_PAINTER_SQUARE, {name(0, 3), name(0, 4)}, 2);
    painter.setAreaAlpha(0.4f);
  }
  ~AreaScene() { areas.clear(); }

  static std::string name(int row, int column) { return "c" + std::to_string(row) + std::to_string(column); }

  void addArea(const std::string& areaName, Color stored, const char* kind, const std::vector<std::string>& members,
               int value) {
    auto* area = new Area(areaName);
    area->setColor(new Color(stored));
    area->setValue(value);
    for (const std::string& member : members) area->addElement(member);
    area->setVisualizer(kind);
    areas.addArea(area);
    show(areaName);
  }
  void show(const std::string& areaName) { EXPECT_TRUE(showArea(areas, scene.diagram(), areaName)) << areaName; }
  void hide(const std::string& areaName) {
    while (areas.isIdentified(areaName)) areas.removeIdentified(areaName);
    areas.computeFreeElements(scene.diagram());
  }
  AreaVisualizer* painterOf(const std::string& areaName) { return areas.findArea(areaName)->getVisualizer(); }

  DiagramScene scene;
  SelectionManager selection;
  MetricSet metrics;
  AreaSet areas;
  MetricsVisualizerSimple painter;
};

struct AreaChange {
  const char* what;
  std::function<void(AreaScene&)> apply;
  bool shows = true;  // whether the fitted view must change
};

// Applied in order, each on top of the ones before.
const AreaChange kChanges[] = {
    {"radius", [](AreaScene& s) { s.areas.setRadius(1.8f); }},
    {"iterations", [](AreaScene& s) { s.areas.setIterations(0); }},
    {"distance", [](AreaScene& s) { s.areas.setDistance(0.02f); }},
    {"softness", [](AreaScene& s) { s.painterOf("Blue")->setSoftness(90); }},
    {"sharp softness", [](AreaScene& s) { s.painterOf("Red")->setSoftness(5); }},
    {"drawing mode", [](AreaScene& s) { s.painterOf("Red")->setDrawingMode(AREA_MODE_CONTOUR); }},
    {"method", [](AreaScene& s) { s.painterOf("Red")->setMethod(AREA_METHOD_LINE); }},
    {"painter kind", [](AreaScene& s) { s.areas.findArea("Blue")->setVisualizer(AREA_PAINTER_OUTER); }},
    {"area alpha", [](AreaScene& s) { s.painter.setAreaAlpha(0.8f); }},
    {"colour", [](AreaScene& s) { s.areas.findArea("Green")->setColor(new Color(0.0f, 0.0f, 1.0f, 1.0f)); }},
    // Compositing adds the areas' colours, so their order may not show.
    {"drawing order", [](AreaScene& s) { s.areas.sortByValue(); }, false},
    {"eraser softness", [](AreaScene& s) { s.painter.eraser().setSoftness(3); }},
    {"area hidden", [](AreaScene& s) { s.hide("Red"); }},
    {"area shown again", [](AreaScene& s) { s.show("Red"); }},
    {"every area hidden", [](AreaScene& s) { s.hide("Blue"); s.hide("Red"); s.hide("Green"); }},
    {"an area shown on a white view", [](AreaScene& s) { s.show("Green"); }},
};

using AreaRefreshTest = test::GLPainterTest;

TEST_F(AreaRefreshTest, AreaOnlyRefreshGivesThePixelsOfAFullRecording) {
  struct View {
    const char* name;
    float zoom;  // times the fitted zoom
    float turn, tilt;
    bool everyChangeShows;
  };
  const View views[] = {
      {"fitted", 1.0f, 0, 0, true},
      {"close up", 3.0f, 0, 0, false},
      {"turned and tilted", 1.0f, 25, 40, false},
  };
  OffscreenWindowHost host;
  for (const View& view : views) {
    SCOPED_TRACE(view.name);
    AreaScene s;  // every view starts from the same areas
    CanvasWindow window(&host, 0, 0, kSize, kSize);
    window.setVisualizer(&s.painter);
    window.setDiagram(s.scene.diagram());
    window.setZoom(window.zoom() * view.zoom);
    window.camera().rotationZ = view.turn;
    window.camera().rotationX = view.tilt;
    window.render(false);
    std::vector<unsigned char> before = test::readFrame();
    for (const AreaChange& change : kChanges) {
      SCOPED_TRACE(change.what);
      change.apply(s);
      const int recordings = window.sceneRecordings();
      ASSERT_TRUE(window.areasChanged());
      window.render(true);
      const std::vector<unsigned char> refreshed = test::readFrame();
      EXPECT_EQ(window.sceneRecordings(), recordings) << "the diagram was recorded again";
      if (view.everyChangeShows && change.shows) {
        EXPECT_GT(test::differingPixels(refreshed, before), 20) << "the change must show";
      }

      window.render(false);
      const std::vector<unsigned char> full = test::readFrame();
      EXPECT_EQ(window.sceneRecordings(), recordings + 1);
      EXPECT_EQ(test::differingPixels(refreshed, full), 0);
      before = full;
    }
  }
}

// Where the window holds nothing it can keep, the refresh leaves the whole
// scene to the next render, which then shows the change.
TEST_F(AreaRefreshTest, WindowWithoutAKeptRecordingRecordsEverythingNext) {
  OffscreenWindowHost host;
  AreaScene s;
  struct Case {
    const char* what;
    std::function<void(CanvasWindow&)> setUp;
  };
  const Case cases[] = {
      {"never drawn", [](CanvasWindow&) {}},
      {"stereo", [](CanvasWindow& w) { w.render(false); w.setStereo(true); }},
      {"list made stale", [](CanvasWindow& w) { w.render(false); w.invalidateDisplayList(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CanvasWindow window(&host, 0, 0, kSize, kSize);
    window.setVisualizer(&s.painter);
    window.setDiagram(s.scene.diagram());
    c.setUp(window);
    s.painter.setAreaAlpha(s.painter.getAreaAlpha() + 0.1f);
    EXPECT_FALSE(window.areasChanged());
    EXPECT_FALSE(window.displayListValid());
    window.render(true);
    const std::vector<unsigned char> shown = test::readFrame();
    window.render(false);
    EXPECT_EQ(test::differingPixels(shown, test::readFrame()), 0);
  }
}

}  // namespace
}  // namespace lumetra
