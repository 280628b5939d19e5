// A window records a large diagram in parts and replays only those that can
// show: after a pan, zoom, turn or tilt the replay gives exactly the pixels
// of a replay of every part (no part that shows goes missing), while a view
// of one corner calls only a few of the parts.

#include <GL/gl.h>

#include <memory>
#include <string>
#include <vector>

#include "diagram/MetricsVisualizerSimple.h"
#include "render/CanvasOwner.h"
#include "render/CanvasWindow.h"
#include "diagram/SelectionManager.h"
#include "tests/diagram/DiagramScene.h"
#include "tests/diagram/GLTestSupport.h"

namespace lumetra {
namespace {

using test::DiagramScene;

int inked(const std::vector<unsigned char>& frame) {
  int n = 0;
  for (std::size_t i = 0; i + 2 < frame.size(); i += 3)
    if (frame[i] + frame[i + 1] + frame[i + 2] < 3 * 255 - 60) ++n;
  return n;
}

class ScenePartsTest : public test::GLPainterTest {
 protected:
  static constexpr int kColumns = 12;
  static constexpr int kRows = 10;

  ScenePartsTest() {
    painter.setSelectionManager(&selection);
    painter.setMetricSet(&metrics);
    // A grid of named classes 150 units apart, each associated with its
    // left neighbour, with a flat and a rising glyph on every class.
    auto* flat = new IntegerMetric("Flat", new Color(0.2f, 0.4f, 0.9f, 1.0f), new Color(METRIC_OUTLINE));
    flat->setVisualizer("2D Bar");
    auto* rising = new IntegerMetric("Rising", new Color(0.9f, 0.4f, 0.1f, 1.0f), new Color(METRIC_OUTLINE));
    rising->setVisualizer("3D Bar");
    for (int row = 0; row < kRows; ++row)
      for (int column = 0; column < kColumns; ++column) {
        const std::string id = "c" + std::to_string(row) + "_" + std::to_string(column);
        const Vec2 lo(-900.0f + 150.0f * column, -750.0f + 150.0f * row);
        scene.addClass(id, "Class " + id, lo, lo + Vec2(90, 60));
        if (column > 0)
          scene.addAssociation("a" + id, id, "c" + std::to_string(row) + "_" + std::to_string(column - 1));
        flat->addValue(id, row + column);
        rising->addValue(id, (row * 7 + column * 3) % 11);
      }
    flat->computeRange();
    rising->computeRange();
    metrics.add(flat);
    metrics.add(rising);
    metrics.showMetric("Flat");
    metrics.showMetric("Rising");
  }

  struct View {
    const char* name;
    float zoom;
    Vec2 pan;
    float turn, tilt;
    bool fit;
  };
  static void apply(CanvasWindow& window, const View& v) {
    window.resetCamera();
    if (v.fit) {
      window.camera().zoomToFit({-900, -750}, {900, 750}, kSize, kSize);
    } else {
      window.setZoom(v.zoom);
      window.camera().pan = v.pan;
    }
    window.camera().rotationZ = v.turn;
    window.camera().rotationX = v.tilt;
  }

  DiagramScene scene;
  SelectionManager selection;
  MetricSet metrics;
  MetricsVisualizerSimple painter;
  OffscreenWindowHost host;
};

TEST_F(ScenePartsTest, ReplayAfterAnyCameraMoveShowsEveryPartThatShows) {
  CanvasWindow window(&host, 0, 0, kSize, kSize);
  window.setVisualizer(&painter);
  window.setDiagram(scene.diagram());
  const View recordedAt{"one corner, close up", 2.0f, {-700, -600}, 0, 0, false};
  std::vector<View> views = {
      recordedAt,
      {"the opposite corner", 2.0f, {700, 600}, 0, 0, false},
      {"between parts", 1.0f, {75, -40}, 0, 0, false},
      {"the whole diagram", 1.0f, {}, 0, 0, true},
      {"turned", 0.8f, {200, 100}, 35, 0, false},
      {"tilted towards the rising glyphs", 1.0f, {-200, 0}, 0, 60, false},
      {"turned and tilted", 0.7f, {300, -200}, 120, 50, false},
  };
  // Steeply tilted views stepping across the grid: the glyphs of classes
  // just beyond the view's edge rise into it.
  for (int step = 0; step < 12; ++step)
    views.push_back({"steep tilt, stepping", 1.5f, {-300.0f + 23.0f * step, -500.0f + 37.0f * step}, 0,
                     step % 2 ? 75.0f : -75.0f, false});
  int replayedAtRecording = 0;
  for (const View& v : views) {
    SCOPED_TRACE(v.name);
    apply(window, recordedAt);
    window.render(false);
    ASSERT_TRUE(window.displayListValid());
    ASSERT_GT(window.scenePartCount(), 10) << "a large diagram is recorded in many parts";
    apply(window, v);
    window.setPartCulling(false);
    window.render(true);
    const auto everyPart = test::readFrame();
    ASSERT_GT(inked(everyPart), 200) << "the view must show part of the diagram";
    EXPECT_EQ(window.scenePartsReplayed(), window.scenePartCount());
    window.setPartCulling(true);
    window.render(true);
    EXPECT_EQ(test::differingPixels(test::readFrame(), everyPart), 0);
    if (v.name == recordedAt.name) replayedAtRecording = window.scenePartsReplayed();
    if (::testing::Test::HasFailure()) break;
  }
  apply(window, recordedAt);
  window.render(true);
  EXPECT_EQ(window.scenePartsReplayed(), replayedAtRecording);
  EXPECT_LT(replayedAtRecording, window.scenePartCount() / 3) << "a close-up calls few parts";
  apply(window, views[3]);  // the whole diagram
  window.render(true);
  EXPECT_GT(window.scenePartsReplayed(), window.scenePartCount() * 3 / 4) << "the whole diagram calls nearly all";
}

// A picture drawn once without recording (as the image export draws) hands
// the scene to the GL in slices; it must give exactly the recorded
// picture, wherever the view looks and whatever was recorded before.
TEST_F(ScenePartsTest, APictureDrawnOnceEqualsTheRecordedOne) {
  CanvasWindow window(&host, 0, 0, kSize, kSize);
  window.setVisualizer(&painter);
  window.setDiagram(scene.diagram());
  const std::vector<View> views = {
      {"the whole diagram", 1.0f, {}, 0, 0, true},
      {"one corner, close up", 2.0f, {-700, -600}, 0, 0, false},
      {"turned and tilted", 0.7f, {300, -200}, 120, 50, false},
  };
  for (const View& v : views) {
    SCOPED_TRACE(v.name);
    apply(window, v);
    window.render(false);
    const auto recorded = test::readFrame();
    ASSERT_GT(inked(recorded), 200) << "the view must show part of the diagram";
    glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    window.renderOnce();
    EXPECT_EQ(test::differingPixels(test::readFrame(), recorded), 0);
    EXPECT_FALSE(window.displayListValid()) << "the list no longer holds what is on screen";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
}

TEST_F(ScenePartsTest, PickingIsNotCut) {
  // Picking draws the pass without a recorder: every shape takes its name.
  CanvasWindow window(&host, 0, 0, kSize, kSize);
  window.setVisualizer(&painter);
  window.setDiagram(scene.diagram());
  window.render(false);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1000, 1000, -1000, 1000, -1000, 1000);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  PickResult result;
  painter.pick(result, scene.diagram());
  // Classes, associations and two glyphs per class.
  EXPECT_EQ(result.size(), static_cast<std::size_t>(kRows * kColumns * 3 + kRows * (kColumns - 1)));
}

}  // namespace
}  // namespace lumetra
