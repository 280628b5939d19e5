// The painter's GL-free parts: segment counts, dashes, segment intersection,
// clipping to a box; and the canvas window's checks that need no context.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "model/Diagram.h"
#include "platform/DebugOutput.h"
#include "render/CanvasOwner.h"
#include "render/CanvasWindow.h"
#include "render/DefaultFont.h"
#include "render/DiagramPainter.h"
#include "render/Exceptions.h"
#include "render/GLPainter.h"

namespace lumetra {
namespace {

TEST(SegmentCountTest, NegativeCountAsksForSegmentLength) {
  struct Case {
    const char* name;
    float n, rx, ry;
    int segments;
  };
  const Case cases[] = {
      {"radii 30 and 10 at 3 units", -3.0f, 30.0f, 10.0f, 63},
      {"larger radius decides", -3.0f, 10.0f, 30.0f, 63},
      {"rounded up", -1.0f, 1.0f, 1.0f, 7},
      {"positive count used as given", 16.0f, 30.0f, 10.0f, 16},
      {"zero radius still one segment", -3.0f, 0.0f, 0.0f, 1},
      {"zero count still one segment", 0.0f, 5.0f, 5.0f, 1},
      {"radius 7000 still at 3 units", -3.0f, 7000.0f, 10.0f, 14661},
      // A glyph on a box millions of units wide (a damaged model) took a
      // million segments per primitive; past the limit the sagitta of a
      // segment stays below a hundredth of a unit per thousand of radius.
      {"absurd radius held to the limit", -3.0f, 1.0e7f, 1.0e7f, GLPainter::kMaxSegments},
      {"infinite radius held to the limit", -3.0f, std::numeric_limits<float>::infinity(), 1.0f,
       GLPainter::kMaxSegments},
      {"radius not a number", -3.0f, std::numeric_limits<float>::quiet_NaN(), 1.0f, 1},
      {"absurd positive count held", 1.0e9f, 1.0f, 1.0f, GLPainter::kMaxSegments},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GLPainter::segmentCount(c.n, c.rx, c.ry), c.segments);
  }
}

TEST(DashTest, LastDashIsNotShortened) {
  // Length 6, dash 3, gap 2: dashes start at 0 and 5; the second runs to 8.
  const auto ends = GLPainter::dashEnds({0, 0}, {6, 0}, 3.0f, 2.0f);
  ASSERT_EQ(ends.size(), 4u);
  EXPECT_EQ(ends[0], Vec2(0, 0));
  EXPECT_EQ(ends[1], Vec2(3, 0));
  EXPECT_EQ(ends[2], Vec2(5, 0));
  EXPECT_EQ(ends[3], Vec2(8, 0));
}

TEST(DashTest, DashCountsAndDirections) {
  struct Case {
    const char* name;
    Vec2 p, q;
    float dash, gap;
    std::size_t ends;
    Vec2 last;
  };
  const Case cases[] = {
      {"exact multiple stops before q", {0, 0}, {10, 0}, 3, 2, 4, {8, 0}},
      {"downwards", {0, 0}, {0, -7}, 2, 1, 6, {0, -8}},
      {"zero length draws nothing", {4, 4}, {4, 4}, 2, 1, 0, {0, 0}},
      {"no step draws solid", {0, 0}, {5, 0}, 0, 0, 2, {5, 0}},
      {"negative step draws solid", {0, 0}, {5, 0}, 1, -3, 2, {5, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto ends = GLPainter::dashEnds(c.p, c.q, c.dash, c.gap);
    ASSERT_EQ(ends.size(), c.ends);
    if (!ends.empty()) {
      EXPECT_NEAR(ends.back().x, c.last.x, 1e-5f);
      EXPECT_NEAR(ends.back().y, c.last.y, 1e-5f);
    }
  }
}

// A relation between shapes absurdly far apart (a damaged file) made one
// dashed line of tens of millions of dashes: hundreds of megabytes and a
// frozen viewer while the display list is recorded.
TEST(DashTest, AbsurdLengthsStayBounded) {
  struct Case {
    const char* name;
    Vec2 q;
    bool drawn;
  };
  const float inf = std::numeric_limits<float>::infinity();
  const Case cases[] = {
      {"a thousand million units", {1.0e9f, 0.0f}, true},
      {"the float range", {3.0e38f, -3.0e38f}, true},
      {"infinite end", {inf, 0.0f}, false},
      {"end not a number", {std::numeric_limits<float>::quiet_NaN(), 0.0f}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto ends = GLPainter::dashEnds({0, 0}, c.q, 8.0f, 5.0f);
    EXPECT_LE(ends.size(), 2 * GLPainter::kMaxDashes + 2);
    EXPECT_EQ(ends.empty(), !c.drawn);
    for (const Vec2& e : ends) EXPECT_TRUE(std::isfinite(e.x) && std::isfinite(e.y));
    if (c.drawn) {
      // Still a dashed line along the whole length: dashes and gaps longer in
      // proportion, not a few dashes at the start.
      EXPECT_GT(ends.size(), 1000u);
      EXPECT_GE((ends.back() - Vec2()).length(), c.q.length() * 0.99f);
      EXPECT_NE(ends[1], ends[2]) << "gaps remain";
    }
  }
  // A long but sane line keeps its 8 + 5 pattern.
  const auto ends = GLPainter::dashEnds({0, 0}, {13000, 0}, 8.0f, 5.0f);
  ASSERT_EQ(ends.size(), 2000u);
  EXPECT_EQ(ends[1], Vec2(8, 0));
  EXPECT_EQ(ends[2], Vec2(13, 0));
}

TEST(SegmentIntersectTest, CrossingsAndMisses) {
  struct Case {
    const char* name;
    Vec2 a, b, c, d;
    bool crosses;
    Vec2 at;
  };
  const Case cases[] = {
      {"cross", {0, 0}, {10, 10}, {0, 10}, {10, 0}, true, {5, 5}},
      {"end point on other segment", {0, 0}, {5, 5}, {0, 10}, {10, 0}, true, {5, 5}},
      {"shared end points", {0, 0}, {4, 0}, {4, 0}, {4, 9}, true, {4, 0}},
      {"parallel", {0, 0}, {10, 0}, {0, 1}, {10, 1}, false, {}},
      {"collinear overlap counts as parallel", {0, 0}, {10, 0}, {5, 0}, {15, 0}, false, {}},
      {"would cross beyond b", {0, 0}, {4, 4}, {0, 10}, {10, 0}, false, {}},
      {"would cross beyond d", {0, 0}, {10, 10}, {0, 10}, {4, 6}, false, {}},
      {"would cross before c", {0, 0}, {10, 10}, {6, 4}, {10, 0}, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Vec2 out(-99, -99);
    ASSERT_EQ(GLPainter::segmentIntersect(c.a, c.b, c.c, c.d, out), c.crosses);
    if (c.crosses) {
      EXPECT_NEAR(out.x, c.at.x, 1e-5f);
      EXPECT_NEAR(out.y, c.at.y, 1e-5f);
      // The same crossing seen from the other segment.
      Vec2 back;
      ASSERT_TRUE(GLPainter::segmentIntersect(c.c, c.d, c.a, c.b, back));
      EXPECT_NEAR(back.x, c.at.x, 1e-5f);
      EXPECT_NEAR(back.y, c.at.y, 1e-5f);
    } else {
      EXPECT_EQ(out, Vec2(-99, -99));
    }
  }
}

TEST(ClipToBoxTest, EdgesAreTestedLeftTopRightBottom) {
  const Vec2 lo(0, 0), hi(10, 10);
  struct Case {
    const char* name;
    Vec2 from, to, clipped;
  };
  const Case cases[] = {
      {"inside stays", {2, 2}, {8, 8}, {8, 8}},
      {"from the centre to the right", {5, 5}, {20, 5}, {10, 5}},
      {"from above to the centre", {5, 20}, {5, 5}, {5, 10}},
      {"through both sides: left wins over right", {15, 5}, {-5, 5}, {0, 5}},
      {"through top and bottom: top wins", {5, -5}, {5, 15}, {5, 10}},
      {"through right and bottom: right wins", {12, 4}, {4, -4}, {10, 2}},
      {"through the top-left corner: left edge", {-5, 15}, {5, 5}, {0, 10}},
      {"outside and missing stays", {20, 20}, {30, 25}, {30, 25}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Vec2 to = c.to;
    GLPainter::clipToBox(lo, hi, c.from, to);
    EXPECT_NEAR(to.x, c.clipped.x, 1e-5f);
    EXPECT_NEAR(to.y, c.clipped.y, 1e-5f);
  }
}

// --- canvas window without a context ---------------------------------------

class RecordingHost : public WindowHost {
 public:
  void refreshWindow(CanvasWindow* window, bool useCache) override { calls.push_back({window, useCache}); }
  std::vector<std::pair<CanvasWindow*, bool>> calls;
};

class NullPainter : public DiagramPainter {
 public:
  void drawDiagram(Diagram*) override {}
};

TEST(CanvasWindowTest, RefusesANullCanvas) {
  try {
    CanvasWindow window(nullptr, 0, 0, 10, 10);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Invalid canvas pointer for window");
  }
}

TEST(CanvasWindowTest, ContentChangesAskForUncachedRedraw) {
  RecordingHost host;
  CanvasWindow window(&host, 0, 0, 400, 300);
  NullPainter painter;
  ClassDiagram diagram("d", new VisualElementLayout("", new Vec2(-100, -10), new Vec2(100, 10)));

  window.setVisualizer(&painter);
  window.setVisualizer(&painter);  // same painter: nothing to redraw
  window.setDiagram(&diagram);
  ASSERT_EQ(host.calls.size(), 2u);
  for (const auto& call : host.calls) {
    EXPECT_EQ(call.first, &window);
    EXPECT_FALSE(call.second);
  }
  EXPECT_FLOAT_EQ(window.zoom(), 2.0f * 0.95f);  // fitted on setDiagram

  window.clearDiagram();
  EXPECT_EQ(window.diagram(), nullptr);
  EXPECT_EQ(host.calls.size(), 2u);  // clearing does not redraw
  window.leave();                    // no hover box: nothing to redraw
  EXPECT_EQ(host.calls.size(), 2u);
}

TEST(CanvasWindowTest, ZoomToFitWithoutDiagramOrBoxIsSafe) {
  RecordingHost host;
  CanvasWindow window(&host, 0, 0, 400, 300);
  window.setZoom(7.0f);
  window.zoomToFit();  // no diagram: nothing changes
  EXPECT_FLOAT_EQ(window.zoom(), 7.0f);
  ClassDiagram noBox("d");
  window.setDiagram(&noBox);
  EXPECT_FLOAT_EQ(window.zoom(), 1.0f);
  window.setZoom(-3.0f);  // stored unchanged
  EXPECT_FLOAT_EQ(window.zoom(), -3.0f);
}

// --- the default font ---------------------------------------------------------

// Runs in a scratch working directory and returns to the old one.
class ScratchDir {
 public:
  ScratchDir() : old_(std::filesystem::current_path()) {
    dir_ = std::filesystem::temp_directory_path() / ("lumetra-font-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
  }
  ~ScratchDir() {
    std::filesystem::current_path(old_);
    std::filesystem::remove_all(dir_);
  }

 private:
  std::filesystem::path old_;
  std::filesystem::path dir_;
};

TEST(DefaultFontTest, DamagedCopyInWorkingDirectoryFallsBackToTheNextCandidate) {
  ScratchDir scratch;
  std::ofstream("arial.ttf") << "not a font";
  std::vector<std::string> trace;
  DebugSink old = setDebugSink([&trace](const std::string& text) { trace.push_back(text); });
  loadDefaultFont();
  setDebugSink(old);
  EXPECT_NE(FontRegistry::instance().current(), nullptr);
  EXPECT_EQ(FontRegistry::instance().current(), FontRegistry::instance().find("Arial"));
  ASSERT_EQ(trace.size(), 1u);
  EXPECT_NE(trace[0].find("Could not construct font from arial.ttf"), std::string::npos) << trace[0];
  FontRegistry::instance().clear();
  EXPECT_EQ(FontRegistry::instance().current(), nullptr);
  EXPECT_EQ(FontRegistry::instance().size(), 0u);
}

}  // namespace
}  // namespace lumetra
