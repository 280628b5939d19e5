// Recorded parts drawn grouped by kind, as a user sees them: a window that
// reorders its pieces shows the same pixels as one that records them in the
// painter's order, on a grid of classes, on Commons Lang and in a tilted
// perspective; shapes that overlap keep their order; a view that brings
// reordered pieces together falls back to the painter's order.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "areas/Area.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "diagram/OffscreenGL.h"
#include "diagram/SelectionManager.h"
#include "metrics/MetricParser.h"
#include "metrics/MetricSet.h"
#include "model/Model.h"
#include "modelfiles/ModelLoader.h"
#include "platform/GLExtensions.h"
#include "render/CanvasOwner.h"
#include "render/CanvasWindow.h"
#include "render/DefaultFont.h"
#include "render/FixedGLState.h"
#include "render/PieceReorder.h"
#include "tests/diagram/DiagramScene.h"
#include "tests/diagram/GLTestSupport.h"

namespace lumetra {
namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

using Frame = std::vector<unsigned char>;
using View = std::function<void(CanvasWindow&)>;

Frame readWindow() {
  Frame rgb(static_cast<std::size_t>(kWidth) * kHeight * 3);
  glFinish();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}

// A grid of classes side units square, gap units apart, each with an
// association to its left neighbour and a bar glyph.
struct Grid {
  Grid(int rows, int columns, float side, float gap) {
    auto* size = test::makeBarMetric("Size", Color(0.2f, 0.4f, 0.9f, 1.0f), {});
    const float step = side + gap;
    for (int row = 0; row < rows; ++row)
      for (int column = 0; column < columns; ++column) {
        const std::string id = "c" + std::to_string(row) + "_" + std::to_string(column);
        const Vec2 lo(step * (static_cast<float>(column) - columns / 2.0f),
                      step * (static_cast<float>(row) - rows / 2.0f));
        scene.addClass(id, "Class" + id, lo, lo + Vec2(side, side));
        if (column > 0)
          scene.addAssociation("a" + id, id, "c" + std::to_string(row) + "_" + std::to_string(column - 1));
        size->addValue(id, 1 + (row * 7 + column * 3) % 10);
        low = Vec2(std::min(low.x, lo.x), std::min(low.y, lo.y));
        high = Vec2(std::max(high.x, lo.x + side), std::max(high.y, lo.y + side));
      }
    size->computeRange();
    metrics.add(size);
    metrics.showMetric("Size");
  }
  test::DiagramScene scene;
  MetricSet metrics;
  Vec2 low{1e9f, 1e9f}, high{-1e9f, -1e9f};
};

// A model read from files as the viewer reads it, with the named metrics
// shown.
struct Loaded {
  Loaded(const std::string& file, const std::string& metricsFile, const std::vector<std::string>& shown) {
    EXPECT_TRUE(loadModel(file, diagrams, pool).ok()) << file;
    if (!metricsFile.empty()) {
      MetricParser parser(&metrics, &areas);
      EXPECT_TRUE(parser.load(metricsFile)) << parser.lastError();
    }
    for (const std::string& name : shown) metrics.showMetric(name);
  }
  ~Loaded() {
    areas.clear();
    for (Diagram* d : diagrams) delete d;
  }
  Diagram* diagram() const { return diagrams.empty() ? nullptr : diagrams.front(); }
  ModelElementsPool pool;
  std::vector<Diagram*> diagrams;
  MetricSet metrics;
  AreaSet areas;
};

// What a window showed, and what its recording did.
struct Shot {
  Frame frame;
  PieceReorder::Counts recording;  // of the first recording
  int reorderedBefore = 0;         // parts out of order after the first replay
  int reorderedAfter = 0;          // ... and after the view change
  int recordings = 0;
};

class PieceReorderTest : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    if (gl_) return;
    gl_ = std::make_unique<OffscreenGL>(kWidth, kHeight);
    loadDefaultFont();
    applyFixedGLState();
  }

 protected:
  PieceReorderTest() {
    painter.setBlendEquation(lookupBlendEquation());
    painter.setSelectionManager(&selection);
  }

  // A fresh window on the diagram records it under `view` and replays it;
  // then, if given, `change` alters the view and the window replays again
  // (as a pan or turn does, without recording anew).
  Shot shoot(Diagram* diagram, MetricSet* metrics, bool reorder, const View& view, const View& change = {}) {
    painter.setMetricSet(metrics);
    CanvasWindow window(&host, 0, 0, kWidth, kHeight);
    window.setPieceReordering(reorder);
    window.setVisualizer(&painter);
    window.setDiagram(diagram);
    view(window);
    Shot shot;
    const PieceReorder::Counts before = PieceReorder::counts();
    window.render(false);
    const PieceReorder::Counts after = PieceReorder::counts();
    shot.recording = {after.primitives - before.primitives, after.runsInOrder - before.runsInOrder,
                      after.runsDrawn - before.runsDrawn};
    window.render(true);
    shot.reorderedBefore = shot.reorderedAfter = window.reorderedParts();
    if (change) {
      change(window);
      window.render(true);
      shot.reorderedAfter = window.reorderedParts();
    }
    shot.recordings = window.sceneRecordings();
    shot.frame = readWindow();
    return shot;
  }

  static std::unique_ptr<OffscreenGL> gl_;
  SelectionManager selection;
  MetricsVisualizerSimple painter;
  OffscreenWindowHost host;
};

std::unique_ptr<OffscreenGL> PieceReorderTest::gl_;

View fit(const Grid& grid) {
  return [&grid](CanvasWindow& w) { w.camera().zoomToFit(grid.low, grid.high, kWidth, kHeight); };
}
View zoomBy(float factor) {
  return [factor](CanvasWindow& w) { w.setZoom(w.zoom() * factor); };
}
View tilt(float degrees, float turn) {
  return [degrees, turn](CanvasWindow& w) {
    w.setPerspective(true);
    w.camera().rotationX = degrees;
    w.camera().rotationZ = turn;
  };
}
View asOpened = [](CanvasWindow&) {};

TEST_F(PieceReorderTest, ReorderedRecordingShowsTheSamePixelsAsThePaintersOrder) {
  Grid grid(14, 14, 40.0f, 30.0f);
  const std::string examples = std::string(LUMETRA_SOURCE_DIR) + "/examples/";
  Loaded commonsLang(std::string(LUMETRA_TEST_DATA_DIR) + "/commons-lang.xmi", "", {});
  Loaded webShop(examples + "webshop.xmi", examples + "webshop.met",
                 {"Lines of code", "Operations", "Coupling", "Unit tested", "Changed last release"});
  Loaded traffic(examples + "traffic-monitoring.scenario", "", {});
  ASSERT_TRUE(commonsLang.diagram() && webShop.diagram() && traffic.diagram());
  struct Case {
    const char* what;
    Diagram* diagram;
    MetricSet* metrics;
    View view;
    bool grouped = true;  // some part is drawn grouped by kind
  } cases[] = {
      {"grid fitted", grid.scene.diagram(), &grid.metrics, fit(grid)},
      {"grid at zoom 1", grid.scene.diagram(), &grid.metrics, [](CanvasWindow& w) { w.resetCamera(); }},
      {"grid tilted in perspective", grid.scene.diagram(), &grid.metrics,
       [&grid](CanvasWindow& w) {
         fit(grid)(w);
         tilt(35.0f, 20.0f)(w);
       }},
      {"Commons Lang as opened", commonsLang.diagram(), &commonsLang.metrics, asOpened},
      // Partly out of the view: parts crossing its edges keep the order.
      {"Commons Lang at four times", commonsLang.diagram(), &commonsLang.metrics, zoomBy(4.0f)},
      // Every part crosses the view's edge.
      {"web shop at four times", webShop.diagram(), &webShop.metrics, zoomBy(4.0f), false},
      {"traffic scenario at four times", traffic.diagram(), &traffic.metrics, zoomBy(4.0f), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Shot inOrder = shoot(c.diagram, c.metrics, false, c.view);
    const Shot reordered = shoot(c.diagram, c.metrics, true, c.view);
    EXPECT_EQ(test::differingPixels(inOrder.frame, reordered.frame), 0);
    // The comparison is with the painter's order, and the reordering drew
    // the same primitives in fewer runs of one kind.
    EXPECT_EQ(inOrder.recording.primitives, 0u);
    EXPECT_EQ(inOrder.reorderedBefore, 0);
    EXPECT_GT(reordered.recording.primitives, 0u);
    if (c.grouped) {
      EXPECT_LT(reordered.recording.runsDrawn, reordered.recording.runsInOrder);
      EXPECT_GT(reordered.reorderedBefore, 0);
    } else {
      EXPECT_EQ(reordered.recording.runsDrawn, reordered.recording.runsInOrder);
      EXPECT_EQ(reordered.reorderedBefore, 0);
    }
  }
}

// Two classes placed over each other, and a relation drawn before the class
// it crosses: drawn fill by fill they would show the first class's outline
// over the second, and the crossed class's fill under the relation. The
// other classes are apart and do get grouped.
TEST_F(PieceReorderTest, OverlappingShapesKeepThePaintersOrder) {
  test::DiagramScene scene;
  for (int i = 0; i < 6; ++i) {
    const Vec2 lo(-280.0f + 90.0f * i, 120.0f);
    scene.addClass("free" + std::to_string(i), "Free", lo, lo + Vec2(60, 40));
  }
  scene.addClass("under", "Under", {-200, -60}, {-80, 20});
  scene.addClass("over", "Over", {-140, -100}, {-20, -20});
  scene.addClass("left", "Left", {20, -40}, {80, 0});
  scene.addClass("right", "Right", {220, -40}, {280, 0});
  scene.addAssociation("across", "left", "right");
  scene.addClass("crossed", "Crossed", {120, -60}, {180, 20});
  MetricSet noMetrics;
  const View zoom1 = [](CanvasWindow& w) { w.resetCamera(); };
  const Shot inOrder = shoot(scene.diagram(), &noMetrics, false, zoom1);
  const Shot reordered = shoot(scene.diagram(), &noMetrics, true, zoom1);
  EXPECT_EQ(test::differingPixels(inOrder.frame, reordered.frame), 0);
  EXPECT_GT(reordered.reorderedBefore, 0);
  EXPECT_LT(reordered.recording.runsDrawn, reordered.recording.runsInOrder);
}

// A list is replayed under views it was not recorded under. Pieces drawn
// out of order whose footprints come together (zoomed out, strongly
// tilted) are recorded again in the painter's order before the replay; a
// small pan keeps the recording as it is. Either way the picture is that
// of the same steps in the painter's order.
TEST_F(PieceReorderTest, ViewsThatBringReorderedPiecesTogetherFallBackToThePaintersOrder) {
  // Classes 30 units square, 6.5 apart: their smoothed outlines reach 2.5
  // pixels out, so they are apart at zoom 1 and touch at 0.7.
  Grid grid(10, 10, 30.0f, 6.5f);
  const View zoom1 = [](CanvasWindow& w) { w.resetCamera(); };
  struct Case {
    const char* what;
    View change;
    bool fallsBack;
  } cases[] = {
      {"panned by a few pixels", [](CanvasWindow& w) { w.camera().pan = w.camera().pan + Vec2(3.0f, 2.0f); }, false},
      {"zoomed out to 0.75", zoomBy(0.75f), true},
      // In perspective a tilt brings the near edge closer, past the recorded
      // detail: that records everything anew. Flat, it only squeezes rows.
      {"tilted by 70 degrees without perspective",
       [](CanvasWindow& w) {
         w.setPerspective(false);
         w.camera().rotationX = 70.0f;
       },
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Shot inOrder = shoot(grid.scene.diagram(), &grid.metrics, false, zoom1, c.change);
    const Shot reordered = shoot(grid.scene.diagram(), &grid.metrics, true, zoom1, c.change);
    EXPECT_EQ(test::differingPixels(inOrder.frame, reordered.frame), 0);
    ASSERT_GT(reordered.reorderedBefore, 0);
    if (c.fallsBack)
      EXPECT_LT(reordered.reorderedAfter, reordered.reorderedBefore);
    else
      EXPECT_EQ(reordered.reorderedAfter, reordered.reorderedBefore);
    // Single parts were recorded again, not the whole scene.
    EXPECT_EQ(reordered.recordings, 1);
  }
}

}  // namespace
}  // namespace lumetra
