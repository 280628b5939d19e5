// What the pages' controls do to the picture on the canvas: the program's
// canvas shows a diagram of two classes through the frame's painter, and
// the pixels are read back after each change made through a control.

#include <wx/slider.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>

#include "app/panels/WindowIds.h"
#include "areas/AreaVisualizer.h"
#include "render/Canvas.h"
#include "render/CanvasWindow.h"
#include "tests/app/PageFixture.h"
#include "tests/diagram/DiagramScene.h"
#include "tests/support/GLTestHarness.h"

namespace lumetra::test {
namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 120;

class PageCanvasTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    gl_ = GLTestWindow::withCanvas(kWidth, kHeight);
    ASSERT_TRUE(gl_->ok());
    link_.canvasWidget = gl_->canvas();
    scene_.addClass("A", "Left", Vec2(-100, -30), Vec2(-20, 30));
    scene_.addClass("B", "Right", Vec2(20, -30), Vec2(100, 30));
    CanvasWindow* window = gl_->canvas()->activeWindow();
    window->setVisualizer(link_.painter());
    window->setDiagram(scene_.diagram());
  }
  void TearDown() override {
    link_.canvasWidget = nullptr;
    gl_.reset();
    PageTest::TearDown();
  }

  // Runs the repaint the page asked for and returns the picture.
  std::vector<std::uint8_t> picture() {
    drain();
    gl_->makeCurrent();
    gl_->canvas()->renderAllWindows();
    return gl_->pixels();
  }
  // Pixels of the metric's pure blue in the left and the right half.
  static std::pair<int, int> bluePixels(const std::vector<std::uint8_t>& rgba) {
    std::pair<int, int> count{0, 0};
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const std::uint8_t* p = &rgba[4 * (static_cast<std::size_t>(y) * kWidth + x)];
        if (p[0] < 60 && p[1] < 60 && p[2] > 200) (x < kWidth / 2 ? count.first : count.second)++;
      }
    return count;
  }
  static int differing(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    int n = 0;
    for (std::size_t i = 0; i + 3 < a.size() && i + 3 < b.size(); i += 4)
      if (std::abs(a[i] - b[i]) + std::abs(a[i + 1] - b[i + 1]) + std::abs(a[i + 2] - b[i + 2]) > 12) ++n;
    return n;
  }

  std::unique_ptr<GLTestWindow> gl_;
  DiagramScene scene_;
};

TEST_F(PageCanvasTest, ThresholdsHideGlyphsOutsideThem) {
  // "Z" is on no box; it puts the range's minimum at 0.
  IntegerMetric* metric = makeBarMetric("LOC", Color(0, 0, 1, 1), {{"A", 50}, {"B", 90}, {"Z", 0}});
  link_.metrics().add(metric);
  link_.metrics().showMetric("LOC");
  metricsPage_->metricsOpened();
  metricsPage_->selectMetric(metric);

  const auto both = bluePixels(picture());
  EXPECT_GT(both.first, 20) << "the left glyph is not drawn";
  EXPECT_GT(both.second, both.first) << "the right glyph (90) is not taller than the left (50)";

  slide(ids::UpperThreshold, 60);
  const auto leftOnly = bluePixels(picture());
  EXPECT_EQ(leftOnly.first, both.first);
  EXPECT_EQ(leftOnly.second, 0) << "90 is above the upper threshold";

  slide(ids::LowerThreshold, 55);
  EXPECT_EQ(bluePixels(picture()), std::make_pair(0, 0)) << "50 is below the lower threshold";

  slide(ids::UpperThreshold, 90);
  slide(ids::LowerThreshold, 0);
  EXPECT_EQ(bluePixels(picture()), both);
}

TEST_F(PageCanvasTest, AreaPainterModeAndSoftnessChangeThePicture) {
  auto* area = new Area("core");
  area->addElement("A");
  area->addElement("B");
  area->setColor(new Color(0.0f, 0.8f, 0.8f, 1.0f));  // stored inverted: drawn red
  link_.areas().addArea(area);
  ASSERT_TRUE(showArea(link_.areas(), scene_.diagram(), "core"));
  areasPage_->metricsOpened();
  areasPage_->selectArea("core");

  link_.areas().clearIdentified();
  const auto without = picture();
  ASSERT_TRUE(showArea(link_.areas(), scene_.diagram(), "core"));
  auto previous = picture();
  EXPECT_GT(differing(without, previous), 500) << "the area is not on the canvas";

  struct Step {
    const char* what;
    std::function<void()> act;
  };
  std::vector<Step> steps = {
      {"drawing mode Contour", [this] { choose(ids::AreaDrawing, "Contour"); }},
      {"drawing mode Area", [this] { choose(ids::AreaDrawing, "Area"); }},
      {"softness 5", [this] { slide(ids::AreaSoftness, 5); }},
      {"radius 60", [this] { slide(ids::InnerRadius, 60); }},
  };
  for (const char* kind : {AREA_PAINTER_SQUARE, AREA_PAINTER_OUTER, AREA_PAINTER_INNER})
    steps.push_back({kind, [this, kind] { choose(ids::AreaVisualizer, kind); }});
  for (const char* method : {AREA_METHOD_SPLATTING, AREA_METHOD_LINE}) {
    steps.insert(steps.end() - 1, {method, [this, method] { choose(ids::OuterMethod, method); }});
  }
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    const auto now = picture();
    EXPECT_GT(differing(previous, now), 100);
    previous = now;
  }
}

}  // namespace
}  // namespace lumetra::test
