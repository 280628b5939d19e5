// Inner areas drawn with one trail per member, read back: a member listed k
// times shows as dark as k separate trails (within their rounding), and a
// large area's picture is the one every member's own trail gives.

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "areas/Area.h"
#include "areas/AreaElementsEraser.h"
#include "areas/AreaPass.h"
#include "areas/AreaVisualizer.h"
#include "areas/AreaVisualizerInner.h"
#include "platform/GLExtensions.h"
#include "tests/areas/AreaScene.h"
#include "tests/support/PixelCanvas.h"

namespace lumetra {
namespace {

using test::AreaScene;
using test::Pixel;
using test::PixelCanvas;
using test::PixelCanvasTest;

// Sets the trail drawing for a scope.
class ExactTrails {
 public:
  explicit ExactTrails(bool on) { AreaVisualizerInner::setExactTrails(on); }
  ~ExactTrails() { AreaVisualizerInner::setExactTrails(false); }
};

class InnerTrailPixelTest : public PixelCanvasTest<200, 200, false> {
 protected:

  Area* addArea(const std::string& name, Color colour, const std::vector<std::string>& ids) {
    auto* area = new Area(name);
    area->setColor(new Color(colour));
    for (const auto& id : ids) area->addElement(id);
    areas.addArea(area);
    return area;
  }
  // The whole pass as the diagram painter runs it, read back.
  std::vector<Pixel> pass(bool exact, float alpha = 0.2f) {
    ExactTrails trails(exact);
    canvas_->clear(1.0f, 0.0f, 1.0f);
    drawAreaPass(areas, &scene.diagram, alpha, lookupBlendEquation(), eraser);
    std::vector<Pixel> pixels;
    for (int y = 0; y < canvas_->height(); ++y)
      for (int x = 0; x < canvas_->width(); ++x) pixels.push_back(canvas_->at(x, y));
    return pixels;
  }
  static int channelDifference(const Pixel& a, const Pixel& b) {
    return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
  }

  AreaScene scene;
  AreaSet areas;
  AreaElementsEraser eraser;
};

TEST_F(InnerTrailPixelTest, AMemberListedKTimesIsAsDarkAsKTrails) {
  // The member's own box region, where each listing lays several full
  // layers of the area alpha, so that the layers add up in whole levels.
  scene.addClass("m", {30, 80}, {69, 119});
  scene.addClass("n", {130, 80}, {169, 119});
  int previous = 3 * 255;
  for (int k : {1, 2, 3, 5}) {
    SCOPED_TRACE("listed " + std::to_string(k) + " times");
    areas.clear();
    std::vector<std::string> ids(static_cast<std::size_t>(k), "m");
    ids.push_back("n");
    Area* area = addArea("A", Color(0.1f, 0.8f, 0.8f, 1.0f), ids);  // inverted: a red ink
    area->getVisualizer()->setSoftness(1);
    ASSERT_TRUE(showArea(areas, &scene.diagram, "A"));
    const std::vector<Pixel> separate = pass(true, 0.1f);
    const std::vector<Pixel> merged = pass(false, 0.1f);
    const int at = 100 * 200 + 50;  // the member's centre
    // Separate trails round each of their layers to whole levels (a few
    // dozen here), which drifts by a few levels; the stacked trail rounds
    // once per disc. A wrong count or a doubled alpha is off by tens.
    if (k == 1) EXPECT_EQ(merged[at], separate[at]);
    EXPECT_LE(channelDifference(merged[at], separate[at]), 5) << merged[at] << " vs " << separate[at];
    EXPECT_LT(merged[at].sum(), previous) << "each listing darkens the member's trail";
    previous = merged[at].sum();
    auto* inner = dynamic_cast<AreaVisualizerInner*>(area->getVisualizer());
    ASSERT_NE(inner, nullptr);
    std::size_t trailsAtMember = 0;
    for (const AreaDisc& d : inner->getDiscs()) trailsAtMember += d.x == 49.5f && d.y == 99.5f ? 1 : 0;
    EXPECT_EQ(trailsAtMember, 4u) << "one trail starts at the member (three discs and its first step)";
  }
}

TEST_F(InnerTrailPixelTest, ALargeAreaLooksAsWithEveryMembersOwnTrail) {
  // 300 boxes over 2,000 x 1,500 units shown in 200 x 200 pixels: one area
  // over all of them in Contour mode (more than 65,000 discs, drawn in
  // several arrays) and three areas over blocks of them, some overlapping.
  std::vector<std::string> all, blocks[3];
  for (int row = 0; row < 15; ++row)
    for (int column = 0; column < 20; ++column) {
      const std::string id = "c" + std::to_string(row) + "_" + std::to_string(column);
      scene.addClass(id, {100.0f * column, 100.0f * row}, {100.0f * column + 59, 100.0f * row + 59});
      all.push_back(id);
      for (int b = 0; b < 3; ++b)
        if (column / 5 == b + 1 && row / 5 == b % 3) blocks[b].push_back(id);
    }
  addArea("all", Color(0.2f, 0.7f, 0.7f, 1.0f), all)->getVisualizer()->setDrawingMode(AREA_MODE_CONTOUR);
  addArea("b0", Color(0.7f, 0.2f, 0.7f, 1.0f), blocks[0]);
  addArea("b1", Color(0.7f, 0.7f, 0.2f, 1.0f), blocks[1]);
  addArea("b2", Color(0.5f, 0.5f, 0.8f, 1.0f), blocks[2]);
  for (const char* name : {"all", "b0", "b1", "b2"}) ASSERT_TRUE(showArea(areas, &scene.diagram, name));

  canvas_->resetView();
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-50.0, 2050.0, -300.0, 1800.0, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  const std::vector<Pixel> separate = pass(true);
  const std::vector<Pixel> merged = pass(false);
  canvas_->resetView();

  auto* inner = dynamic_cast<AreaVisualizerInner*>(areas.findArea("all")->getVisualizer());
  ASSERT_NE(inner, nullptr);
  EXPECT_GT(inner->getContourDiscs().size(), 4 * 16384u) << "several arrays";
  int largest = 0, inked = 0;
  for (std::size_t i = 0; i < merged.size(); ++i) {
    largest = std::max(largest, channelDifference(merged[i], separate[i]));
    if (merged[i].sum() < 3 * 255 - 30) ++inked;
  }
  EXPECT_LE(largest, 2);
  EXPECT_GT(inked, 200 * 150 / 2) << "the areas cover most of the picture";
}

}  // namespace
}  // namespace lumetra
