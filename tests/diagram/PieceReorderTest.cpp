// Recorded parts drawn grouped by kind, as a user sees them: a window that
// reorders its pieces shows the same pixels as one that records them in the
// painter's order, on a grid of classes, on Commons Lang and in a tilted
// perspective; shapes that overlap keep their order; a view that brings
// reordered pieces together falls back to the painter's order; random
// walks through views, resizes, clicks, drags and switches keep showing
// the painter's pixels.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "areas/Area.h"
#include "diagram/CanvasMouse.h"
#include "diagram/MetricsVisualizerSimple.h"
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
#include "render/OffscreenGL.h"
#include "render/PieceReorder.h"
#include "tests/diagram/DiagramScene.h"
#include "tests/diagram/GLTestSupport.h"

namespace lumetra {
namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

using Frame = std::vector<unsigned char>;
using View = std::function<void(CanvasWindow&)>;

Frame readWindow() { return test::readRGB(0, 0, kWidth, kHeight); }

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
    if (!gl_) gl_ = test::openOffscreenScene(kWidth, kHeight);
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

namespace lumetra {
namespace {

// ---- random walks ----
//
// Two windows on one diagram take the same random steps: one reorders its
// pieces, the other records in the painter's order and records its whole
// scene whenever the first did, so both hold recordings made under the same
// views. After every step their pictures must be equal byte for byte.
// LUMETRA_REORDER_SEEDS and LUMETRA_REORDER_STEPS make the walk longer by
// hand (LUMETRA_REORDER_FIRST_SEED picks where the seeds start,
// LUMETRA_REORDER_ONLY the diagrams).

int fromEnvironment(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && std::atoi(value) > 0 ? std::atoi(value) : fallback;
}

Frame readRect(const PixelRect& r) {
  Frame rgb(static_cast<std::size_t>(r.width) * r.height * 3);
  glFinish();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(r.x, r.y, r.width, r.height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}

// The shapes a walk may click and drag: boxes of top-level shapes with a
// model element.
std::vector<DiagramElement*> boxes(Diagram* diagram) {
  std::vector<DiagramElement*> found;
  for (DiagramElement* shape : diagram->getElements()) {
    const VisualElementLayout* layout = shape->getCurrentLayout();
    if (shape->getModelElement() != nullptr && layout != nullptr && layout->getLowerLeft() != nullptr &&
        layout->getUpperRight() != nullptr)
      found.push_back(shape);
  }
  return found;
}

// A diagram to walk on, built afresh for every seed so that a seed alone
// repeats a walk.
struct Subject {
  Diagram* diagram = nullptr;
  MetricSet* metrics = nullptr;
  std::vector<std::string> metricNames;  // what a step may show or hide
};

struct WalkStats {
  int steps = 0;
  int withReorderedParts = 0;  // steps whose picture came from reordered parts
  int fellBack = 0;            // steps after which fewer parts were reordered
};

class RandomWalk {
 public:
  RandomWalk(const Subject& subject, SelectionManager& selection, MetricsVisualizerSimple& painter, WindowHost& host,
             unsigned seed)
      : subject_(subject), selection_(selection), painter_(painter), random_(seed) {
    for (int i = 0; i < 2; ++i) {
      windows_[i] = std::make_unique<CanvasWindow>(&host, 0, 0, kWidth, kHeight);
      windows_[i]->setPieceReordering(i == 0);
      windows_[i]->setVisualizer(&painter);
      windows_[i]->setDiagram(subject.diagram);
    }
    shapes_ = boxes(subject.diagram);
    selection_.clear();
    painter_.setMetricSet(subject.metrics);
  }
  ~RandomWalk() { selection_.clear(); }

  // Takes one random step; returns what it did, and the number of pixels
  // the two windows then differ in.
  int step(std::string& what, WalkStats& stats) {
    std::ostringstream said;
    bool recordBoth = false;
    // Weighted towards what moves pieces on the screen: pans, zooms, tilts.
    static const std::vector<double> kWeights = {3, 2, 1, 3, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 2};
    int kind = std::discrete_distribution<int>(kWeights.begin(), kWeights.end())(random_);
    CanvasWindow& lead = *windows_[0];
    switch (kind) {
      case 0:
      case 1: {  // a pan, often far enough to push pieces over the edge
        const bool small = kind == 1;
        const float reach = small ? 6.0f : 0.7f * static_cast<float>(std::max(lead.width(), lead.height()));
        const Vec2 by(real(-reach, reach) / lead.zoom(), real(-reach, reach) / lead.zoom());
        said << "pan by " << by.x << ", " << by.y;
        both([by](CanvasWindow& w) { w.camera().pan = w.camera().pan + by; });
        lastPan_ = by;
        break;
      }
      case 2:  // the last pan undone: the pieces come back
        said << "pan back by " << -lastPan_.x << ", " << -lastPan_.y;
        both([this](CanvasWindow& w) { w.camera().pan = w.camera().pan - lastPan_; });
        lastPan_ = Vec2();
        break;
      case 3:
      case 13: {                                               // zoom within and beyond the recorded detail
        const float factor = kind == 13    ? real(0.1f, 0.5f)  // far out: pieces run into each other
                             : chance(0.3) ? real(0.95f, 1.05f)
                                           : std::exp(real(std::log(0.55f), std::log(1.9f)));
        said << "zoom by " << factor;
        both([factor](CanvasWindow& w) { w.setZoom(w.zoom() * factor); });
        break;
      }
      case 4: {
        const float degrees = chance(0.3) ? real(-2.0f, 2.0f) : real(-180.0f, 180.0f);
        said << "turn by " << degrees;
        both([degrees](CanvasWindow& w) { w.camera().rotationZ += degrees; });
        break;
      }
      case 5: {
        const float degrees = chance(0.3) ? 0.0f : real(0.0f, 85.0f);
        said << "tilt to " << degrees;
        both([degrees](CanvasWindow& w) { w.camera().rotationX = degrees; });
        break;
      }
      case 6: {
        const bool on = !lead.perspective();
        said << "perspective " << (on ? "on" : "off");
        both([on](CanvasWindow& w) { w.setPerspective(on); });
        break;
      }
      case 7: {  // split-like, tiny and odd window sizes
        PixelRect r{0, 0, kWidth, kHeight};
        switch (uniform(0, 4)) {
          case 0:
            break;
          case 1:
            r = {uniform(0, 1) * kWidth / 2, 0, kWidth / 2, kHeight};
            break;
          case 2:
            r = {0, uniform(0, 1) * kHeight / 2, kWidth, kHeight / 2};
            break;
          case 3:
            r = {uniform(0, kWidth - 64), uniform(0, kHeight - 64), uniform(1, 64), uniform(1, 64)};
            break;
          default:
            r = {uniform(0, 200), uniform(0, 200), uniform(200, kWidth - 200), uniform(200, kHeight - 200)};
        }
        said << "window " << r.x << ", " << r.y << ", " << r.width << " x " << r.height;
        both([r](CanvasWindow& w) { w.setRect(r.x, r.y, r.width, r.height); });
        break;
      }
      case 8: {  // a click: selects one box, or Shift adds or removes one
        if (shapes_.empty()) break;
        DiagramElement* shape = pick();
        const bool shift = chance(0.5);
        said << (shift ? "shift-click " : "click ") << shape->getModelElement()->getId();
        const SelectionManager::Snapshot before = selection_.snapshot();
        if (!shift) selection_.clear();
        selection_.toggleElement(shape->getModelElement());
        const SelectionChange change = selection_.changeSince(before);
        both([&change](CanvasWindow& w) { w.selectionChanged(change); });
        break;
      }
      case 9: {  // a Ctrl-drag of a box onto or beside another
        if (shapes_.size() < 2) break;
        DiagramElement* shape = pick();
        DiagramElement* other = pick();
        const Vec2 at = *shape->getCurrentLayout()->getLowerLeft();
        const Vec2 lo = *other->getCurrentLayout()->getLowerLeft();
        const Vec2 hi = *other->getCurrentLayout()->getUpperRight();
        const Vec2 to = chance(0.5) ? lo + Vec2(real(-10.0f, 10.0f), real(-10.0f, 10.0f))
                                    : Vec2(hi.x + real(0.0f, 8.0f), lo.y + real(-5.0f, 5.0f));
        said << "drag " << shape->getModelElement()->getId() << " to " << other->getModelElement()->getId();
        CanvasMouse::moveShape(shape, to.x - at.x, to.y - at.y);
        both([shape](CanvasWindow& w) { w.shapeMoved(shape); });
        break;
      }
      case 10: {  // a metric shown or hidden (or another setting): the painter
                  // draws anew
        recordBoth = true;
        if (subject_.metricNames.empty()) {
          said << "a setting changed";
          break;
        }
        const std::string& name = subject_.metricNames[uniform(0, static_cast<int>(subject_.metricNames.size()) - 1)];
        const bool shown = subject_.metrics->findShownMetric(name) != nullptr;
        said << (shown ? "hide " : "show ") << name;
        if (shown)
          subject_.metrics->hideMetric(name);
        else
          subject_.metrics->showMetric(name);
        break;
      }
      case 11: {
        const bool on = !lead.levelOfDetail();
        said << "level of detail " << (on ? "on" : "off");
        both([on](CanvasWindow& w) { w.setLevelOfDetail(on); });
        break;
      }
      case 14: {  // a box brought to the middle, as the tree's "show" does
        if (shapes_.empty()) break;
        DiagramElement* shape = pick();
        said << "centre on " << shape->getModelElement()->getId();
        both([shape](CanvasWindow& w) { w.centreOnShape(shape); });
        break;
      }
      default:
        said << "fit";
        both([](CanvasWindow& w) { w.zoomToFit(); });
    }
    what = said.str();

    const int recordings = lead.sceneRecordings();
    const int reorderedBefore = lead.reorderedParts();
    lead.render(!recordBoth);
    const Frame reordered = readRect(lead.rect());
    const int reorderedNow = lead.reorderedParts();
    // The painter's order, recorded whenever the lead window recorded.
    windows_[1]->render(!recordBoth && lead.sceneRecordings() == recordings);
    const Frame inOrder = readRect(windows_[1]->rect());
    ++stats.steps;
    if (reorderedNow > 0 && lead.scenePartsReplayed() > 0) ++stats.withReorderedParts;
    if (reorderedNow < reorderedBefore && lead.sceneRecordings() == recordings) ++stats.fellBack;
    return test::differingPixels(reordered, inOrder);
  }

 private:
  int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  float real(float low, float high) { return std::uniform_real_distribution<float>(low, high)(random_); }
  bool chance(double p) { return std::bernoulli_distribution(p)(random_); }
  DiagramElement* pick() { return shapes_[uniform(0, static_cast<int>(shapes_.size()) - 1)]; }
  void both(const std::function<void(CanvasWindow&)>& change) {
    for (auto& window : windows_) change(*window);
  }

  const Subject& subject_;
  SelectionManager& selection_;
  MetricsVisualizerSimple& painter_;
  std::mt19937 random_;
  std::unique_ptr<CanvasWindow> windows_[2];
  std::vector<DiagramElement*> shapes_;
  Vec2 lastPan_;
};

TEST_F(PieceReorderTest, RandomWalksShowThePaintersPixelsAtEveryStep) {
  const int seeds = fromEnvironment("LUMETRA_REORDER_SEEDS", 3);
  const int steps = fromEnvironment("LUMETRA_REORDER_STEPS", 24);
  const int firstSeed = fromEnvironment("LUMETRA_REORDER_FIRST_SEED", 1);
  const std::string examples = std::string(LUMETRA_SOURCE_DIR) + "/examples/";
  // Each diagram is built afresh for every seed (drags move its boxes).
  struct Kind {
    const char* what;
    std::function<void(std::unique_ptr<Grid>&, std::unique_ptr<Loaded>&, Subject&)> make;
  } kinds[] = {
      {"grid",
       [](auto& grid, auto&, Subject& s) {
         grid = std::make_unique<Grid>(12, 12, 40.0f, 30.0f);
         // Rising bars: tilted in perspective they reach over their
         // neighbours.
         auto* height = test::makeBarMetric("Height", Color(0.9f, 0.4f, 0.1f, 0.6f), {});
         height->setVisualizer("3D Bar");
         height->setTransparency(0.6f);
         for (int i = 0; i < 144; ++i)
           height->addValue("c" + std::to_string(i / 12) + "_" + std::to_string(i % 12), i % 13);
         height->computeRange();
         grid->metrics.add(height);
         grid->metrics.showMetric("Height");
         s = {grid->scene.diagram(), &grid->metrics, {"Size", "Height"}};
       }},
      {"grid with notes",
       [](auto& grid, auto&, Subject& s) {
         grid = std::make_unique<Grid>(16, 16, 30.0f, 6.5f);
         grid->scene.addNote("n1", "A note over\ntwo lines", {-200, 140}, {-40, 200});
         grid->scene.addNote("n2", "Beside", {40, 140}, {120, 180});
         grid->scene.addNote("n3", "Over the classes", {-60, -40}, {60, 10});
         // Text only the font's own drawing shows (a barrier, and lists
         // drawn while recorded), and an interface.
         grid->scene.addClass("u1", "Größe Ω", {-300, -330}, {-180, -300});
         grid->scene.addInterface("i1", "Shown", {200, -330}, {260, -290});
         s = {grid->scene.diagram(), &grid->metrics, {"Size"}};
       }},
      {"Commons Lang",
       [](auto&, auto& loaded, Subject& s) {
         loaded = std::make_unique<Loaded>(std::string(LUMETRA_TEST_DATA_DIR) + "/commons-lang.xmi", "",
                                           std::vector<std::string>{});
         s = {loaded->diagram(), &loaded->metrics, {}};
       }},
      {"web shop",
       [&examples](auto&, auto& loaded, Subject& s) {
         const std::vector<std::string> names = {"Lines of code", "Operations", "Coupling", "Unit tested",
                                                 "Changed last release"};
         loaded = std::make_unique<Loaded>(examples + "webshop.xmi", examples + "webshop.met", names);
         s = {loaded->diagram(), &loaded->metrics, names};
       }},
      {"traffic scenario",
       [&examples](auto&, auto& loaded, Subject& s) {
         loaded = std::make_unique<Loaded>(examples + "traffic-monitoring.scenario", "", std::vector<std::string>{});
         s = {loaded->diagram(), &loaded->metrics, {}};
       }},
  };
  WalkStats stats;
  // LUMETRA_REORDER_ONLY: only the diagrams whose name holds this text.
  const char* only = std::getenv("LUMETRA_REORDER_ONLY");
  for (const Kind& kind : kinds) {
    if (only != nullptr && std::string(kind.what).find(only) == std::string::npos) continue;
    const unsigned walkOfKind = static_cast<unsigned>(&kind - kinds);
    for (int seed = firstSeed; seed < firstSeed + seeds; ++seed) {
      std::unique_ptr<Grid> grid;
      std::unique_ptr<Loaded> loaded;
      Subject subject;
      kind.make(grid, loaded, subject);
      ASSERT_NE(subject.diagram, nullptr) << kind.what;
      RandomWalk walk(subject, selection, painter, host, static_cast<unsigned>(seed) * 8u + walkOfKind);
      const WalkStats was = stats;
      std::string log;
      for (int i = 0; i < steps; ++i) {
        std::string what;
        const int differing = walk.step(what, stats);
        log += "\n  " + std::to_string(i) + ": " + what;
        if (differing != 0) {
          ADD_FAILURE() << kind.what << ", seed " << seed << ": " << differing << " pixels differ after" << log;
          break;
        }
      }
      if (std::getenv("LUMETRA_REORDER_VERBOSE"))
        std::printf("%s, seed %d: %d of %d steps with reordered parts\n", kind.what, seed,
                    stats.withReorderedParts - was.withReorderedParts, stats.steps - was.steps);
    }
  }
  std::printf("%d steps, %d with reordered parts, %d fell back\n", stats.steps, stats.withReorderedParts,
              stats.fellBack);
  // In an eighth of the steps at least the picture must have come from
  // reordered parts (long walks drift into parts kept in the painter's
  // order), or the walks tested little.
  EXPECT_GT(stats.withReorderedParts, stats.steps / 8);
}

}  // namespace
}  // namespace lumetra
