// The two notebook pages inside the real main frame, on the web shop
// example: metric and area rows picked in the lists as a user picks them,
// the options they bring up, and what moving those controls does to the
// canvas (pixels read back) and to the layout preview.

#include <gtest/gtest.h>
#include <wx/choice.h>
#include <wx/slider.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/panels/AreasPage.h"
#include "app/panels/CheckListCtrl.h"
#include "app/panels/LayoutPreview.h"
#include "app/panels/MetricsPage.h"
#include "app/panels/WindowIds.h"
#include "app/frame/mainFrame.h"
#include "areas/AreaVisualizer.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "metrics/Metric.h"
#include "render/Canvas.h"
#include "render/CanvasWindow.h"
#include "render/PixelReadback.h"
#include "tests/app/FrameTestSupport.h"

namespace lumetra {
namespace {

const std::string kExamples = std::string(LUMETRA_SOURCE_DIR) + "/examples/";

class PagesFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    h.dialogs.answers.push_back(kExamples + "webshop.xmi");
    h.command(ids::OpenModel);
    ASSERT_TRUE(frame().showDiagram(frame().document().findDiagram("Orders and billing")));
    FrameHarness::settle();
    h.dialogs.answers.push_back(kExamples + "webshop.met");
    h.command(ids::OpenMetrics);
    ASSERT_TRUE(h.dialogs.errors.empty()) << h.dialogs.errors.front();
  }

  mainFrame& frame() { return h.frame(); }
  template <typename T>
  T* find(int id) {
    auto* w = dynamic_cast<T*>(frame().FindWindow(id));
    EXPECT_NE(w, nullptr) << "no control " << id;
    return w;
  }
  bool enabled(int id) { return find<wxWindow>(id)->IsEnabled(); }

  // A row picked with the pointer on its name: the list's own selection
  // handling runs (highlight, then the frame hands it to the page).
  void pick(lmCheckListCtrl* list, const std::string& name) {
    const long row = list->findRow(name);
    ASSERT_GE(row, 0) << name;
    list->SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    FrameHarness::settle();
    ASSERT_EQ(list->selectedRow(), row);
  }
  void show(lmCheckListCtrl* list, const std::string& name) {
    list->setChecked(list->findRow(name), true);
    FrameHarness::settle();
  }
  void choose(int id, const std::string& text) {
    auto* choice = find<wxChoice>(id);
    ASSERT_TRUE(choice->SetStringSelection(text)) << text;
    wxCommandEvent event(wxEVT_CHOICE, id);
    event.SetEventObject(choice);
    event.SetInt(choice->GetSelection());
    event.SetString(text);
    choice->ProcessWindowEvent(event);
    FrameHarness::settle();
  }
  static std::vector<std::string> entries(wxChoice* choice) {
    std::vector<std::string> out;
    for (unsigned i = 0; i < choice->GetCount(); ++i) out.push_back(choice->GetString(i).utf8_string());
    return out;
  }
  static int differing(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    int n = 0;
    for (std::size_t i = 0; i + 2 < a.size() && i + 2 < b.size(); i += 3)
      if (std::abs(a[i] - b[i]) + std::abs(a[i + 1] - b[i + 1]) + std::abs(a[i + 2] - b[i + 2]) > 12) ++n;
    return n;
  }

  // What a window shows from its recorded scene, or from a full recording
  // of it (its rectangle of the back buffer). Replayed in both cases: a
  // recording that draws text through the font while it compiles leaves a
  // few pixels a level apart from its replay.
  std::vector<unsigned char> pixels(CanvasWindow* window, bool recordAgain) {
    frame().canvas()->makeCurrent();
    if (recordAgain) window->render(false);
    window->render(true);
    const std::vector<std::uint8_t> rgba = readBackBufferRGBA(window->x(), window->y(), window->width(), window->height());
    return std::vector<unsigned char>(rgba.begin(), rgba.end());
  }
  static int unequalBytes(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    if (a.size() != b.size()) return -1;
    int unequal = 0;
    for (std::size_t k = 0; k < a.size(); ++k) unequal += a[k] != b[k];
    return unequal;
  }

  FrameHarness h;
};

TEST_F(PagesFrameTest, PickedMetricBringsUpTheOptionsOfItsType) {
  show(frame().metricList(), "Lines of code");
  show(frame().metricList(), "Unit tested");
  struct Case {
    const char* row;
    std::vector<std::string> glyphs;
    bool thresholds;
  };
  const Case cases[] = {
      {"Unit tested", {"Default Boolean"}, false},
      {"Lines of code", {"3D Bar", "3D Cylinder", "2D Bar", "2D Pie"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    pick(frame().metricList(), c.row);
    ASSERT_NE(frame().metricsPage()->selectedMetric(), nullptr);
    EXPECT_EQ(frame().metricsPage()->selectedMetric()->getName(), c.row);
    EXPECT_EQ(frame().metricsPage()->preview()->currentMetric(), c.row);
    EXPECT_EQ(entries(find<wxChoice>(ids::MetricVisualizer)), c.glyphs);
    EXPECT_TRUE(enabled(ids::MetricVisualizer));
    auto* transparency = find<wxSlider>(ids::MetricTransparency);
    EXPECT_TRUE(transparency->IsEnabled());
    EXPECT_EQ(transparency->GetMin(), 0);
    EXPECT_EQ(transparency->GetMax(), 100);
    EXPECT_EQ(enabled(ids::UpperThreshold), c.thresholds);
    EXPECT_EQ(enabled(ids::LowerThreshold), c.thresholds);
  }
}

TEST_F(PagesFrameTest, ThresholdsHideGlyphsOutsideThemOnTheCanvas) {
  const std::vector<unsigned char> plain = h.activePixels();
  show(frame().metricList(), "Lines of code");
  pick(frame().metricList(), "Lines of code");
  auto* metric = dynamic_cast<IntegerMetric*>(frame().metricsPage()->selectedMetric());
  ASSERT_NE(metric, nullptr);
  const std::vector<unsigned char> all = h.activePixels();
  ASSERT_GT(differing(plain, all), 300) << "no glyphs on the canvas";

  // Nothing lies between the bounds: every glyph goes.
  h.slide(ids::LowerThreshold, metric->getMaximum());
  h.slide(ids::UpperThreshold, metric->getMinimum());
  EXPECT_EQ(metric->getLowerBound(), metric->getMaximum());
  EXPECT_EQ(find<wxSlider>(ids::UpperThreshold)->GetToolTipText(), std::to_string(metric->getMinimum()));
  EXPECT_EQ(differing(plain, h.activePixels()), 0);

  // Half the range: some glyphs, not all.
  h.slide(ids::LowerThreshold, metric->getMinimum());
  h.slide(ids::UpperThreshold, (metric->getMinimum() + metric->getMaximum()) / 2);
  const std::vector<unsigned char> some = h.activePixels();
  EXPECT_GT(differing(plain, some), 50);
  EXPECT_GT(differing(all, some), 50);

  h.slide(ids::UpperThreshold, metric->getMaximum());
  EXPECT_EQ(h.activePixels(), all);
}

TEST_F(PagesFrameTest, ClickOnAPreviewRectangleSelectsThatMetricsRow) {
  for (const char* name : {"Lines of code", "Operations", "Coupling"}) show(frame().metricList(), name);
  lmLayoutPreview* preview = frame().metricsPage()->preview();
  const wxSize size = preview->GetClientSize();
  ASSERT_GT(size.x, 20);
  // Where the painter puts the third glyph in a box the preview's size
  // (y up), as preview pixels (y down).
  Vec2 lo, hi;
  ASSERT_TRUE(frame().painter()->glyphRectangle("Coupling", Vec2(0, 0), Vec2(size.x - 1, size.y - 1), false, lo, hi));
  const wxPoint inside(static_cast<int>((lo.x + hi.x) / 2), size.y - 1 - static_cast<int>((lo.y + hi.y) / 2));

  wxMouseEvent press(wxEVT_LEFT_DOWN);
  press.SetPosition(inside);
  press.SetEventObject(preview);
  preview->ProcessWindowEvent(press);
  FrameHarness::settle();
  EXPECT_EQ(frame().metricList()->selectedRow(), frame().metricList()->findRow("Coupling"));
  ASSERT_NE(frame().metricsPage()->selectedMetric(), nullptr);
  EXPECT_EQ(frame().metricsPage()->selectedMetric()->getName(), "Coupling");
  EXPECT_EQ(preview->currentMetric(), "Coupling");
}

TEST_F(PagesFrameTest, ResetPutsTheLayoutSlidersBack) {
  MetricsVisualizerSimple& painter = *frame().painter();
  h.slide(ids::LayoutHPan, 100);
  h.slide(ids::LayoutVPan, -50);
  h.slide(ids::LayoutZoom, 80);
  EXPECT_NE(painter.getGlyphAreaCentre().x, 0.0f);
  EXPECT_NE(painter.getGlyphAreaSize(), 1.0f);

  h.click(ids::LayoutReset);
  for (int id : {ids::LayoutHPan, ids::LayoutVPan, ids::LayoutZoom}) EXPECT_EQ(find<wxSlider>(id)->GetValue(), 0) << id;
  EXPECT_EQ(painter.getGlyphAreaCentre().x, 0.0f);
  EXPECT_EQ(painter.getGlyphAreaCentre().y, 0.0f);
  EXPECT_EQ(painter.getGlyphAreaSize(), 1.0f);
}

TEST_F(PagesFrameTest, AreaOptionsChangeTheAreaOnTheCanvas) {
  show(frame().areaList(), "Checkout");
  ASSERT_TRUE(frame().areas().isIdentified("Checkout"));
  pick(frame().areaList(), "Checkout");
  ASSERT_NE(frame().areasPage()->selectedArea(), nullptr);
  EXPECT_EQ(frame().areasPage()->selectedArea()->getName(), "Checkout");

  h.slide(ids::InnerRadius, 10);
  EXPECT_FLOAT_EQ(frame().areas().getRadius(), 0.5f);
  EXPECT_EQ(find<wxSlider>(ids::InnerRadius)->GetToolTipText(), "0.5");
  h.slide(ids::OuterDistance, 20);
  EXPECT_FLOAT_EQ(frame().areas().getDistance(), 0.01f);

  struct Step {
    const char* what;
    std::function<void()> act;
    bool radius, outer;  // the parameter controls enabled afterwards
  };
  const Step steps[] = {
      {"Square", [this] { choose(ids::AreaVisualizer, "Square"); }, false, false},
      {"Outer", [this] { choose(ids::AreaVisualizer, "Outer"); }, true, true},
      {"Inner", [this] { choose(ids::AreaVisualizer, "Inner"); }, true, false},
      {"Contour", [this] { choose(ids::AreaDrawing, "Contour"); }, true, false},
      {"softness 90", [this] { h.slide(ids::AreaSoftness, 90); }, true, false},
  };
  std::vector<unsigned char> before = h.activePixels();
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    const std::vector<unsigned char> after = h.activePixels();
    EXPECT_GT(differing(before, after), 100) << "the canvas did not change";
    EXPECT_EQ(enabled(ids::InnerRadius), step.radius);
    for (int id : {ids::OuterIterations, ids::OuterDistance, ids::OuterMethod}) EXPECT_EQ(enabled(id), step.outer) << id;
    before = after;
  }
}

// Every control that changes only the areas redraws every window from the
// diagram it recorded before, with the area picture drawn anew: what each
// window then replays is what recording it in full gives, and nothing of
// the diagram was recorded again.
TEST_F(PagesFrameTest, AreaControlsRedrawEveryWindowFromItsKeptDiagram) {
  show(frame().areaList(), "Checkout");
  show(frame().areaList(), "Payments");
  pick(frame().areaList(), "Checkout");
  h.click(ids::SplitVertically);
  Canvas* canvas = frame().canvas();
  std::vector<CanvasWindow*> windows;
  for (WindowNode* leaf : canvas->tree().leaves()) windows.push_back(leaf->window);
  ASSERT_EQ(windows.size(), 2u);
  ASSERT_EQ(windows[0]->diagram(), windows[1]->diagram());

  struct Step {
    const char* what;
    std::function<void()> act;
    bool shows;  // whether the active window's picture must change
  };
  const Step steps[] = {
      {"radius", [this] { h.slide(ids::InnerRadius, 40); }, true},
      {"Outer painter", [this] { choose(ids::AreaVisualizer, "Outer"); }, true},
      {"iterations", [this] { h.slide(ids::OuterIterations, 0); }, true},
      {"distance", [this] { h.slide(ids::OuterDistance, 2); }, true},
      {"method", [this] { choose(ids::OuterMethod, "Line"); }, true},
      {"drawing mode", [this] { choose(ids::AreaDrawing, "Contour"); }, true},
      {"softness", [this] { h.slide(ids::AreaSoftness, 95); }, true},
      {"eraser softness", [this] { h.slide(ids::EraserSoftness, 2); }, true},
      {"areas transparency", [this] { h.slide(ids::AreasTransparency, 70); }, true},
      {"priority", [this] { h.click(ids::AreaPriority); }, false},
      {"area hidden", [this] { frame().areaList()->setChecked(frame().areaList()->findRow("Payments"), false); }, true},
      {"area shown", [this] { show(frame().areaList(), "Payments"); }, true},
  };
  std::vector<unsigned char> before = pixels(windows[0], false);
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    std::vector<int> recordings;
    for (CanvasWindow* window : windows) recordings.push_back(window->sceneRecordings());
    step.act();
    for (std::size_t i = 0; i < windows.size(); ++i) {
      const std::vector<unsigned char> shown = pixels(windows[i], false);
      EXPECT_EQ(windows[i]->sceneRecordings(), recordings[i]) << "window " << i << " recorded its diagram again";
      if (i == 0 && step.shows) {
        EXPECT_GT(differing(before, shown), 100) << "the change does not show";
      }
      const std::vector<unsigned char> full = pixels(windows[i], true);
      EXPECT_EQ(unequalBytes(shown, full), 0) << "window " << i;
      if (i == 0) before = full;
    }
  }
}

// A diagram chosen in the model tree while areas are shown gets them at
// once: the window does not keep the picture it drew before they were
// identified over the diagram.
TEST_F(PagesFrameTest, AreasShowOverADiagramChosenInTheTreeAtOnce) {
  CanvasWindow* window = frame().canvas()->activeWindow();
  const std::vector<unsigned char> bare = pixels(window, false);
  Diagram* overview = frame().document().findDiagram("Overview");
  ASSERT_NE(overview, nullptr);
  ASSERT_TRUE(frame().showDiagram(overview));
  FrameHarness::settle();
  ASSERT_EQ(window->diagram(), overview);

  show(frame().areaList(), "Checkout");
  ASSERT_TRUE(frame().areas().isShownOn(overview));
  ASSERT_TRUE(frame().showDiagram(frame().document().findDiagram("Orders and billing")));
  FrameHarness::settle();
  const std::vector<unsigned char> shown = pixels(window, false);
  EXPECT_TRUE(frame().areas().isShownOn(window->diagram()));
  EXPECT_EQ(unequalBytes(shown, pixels(window, true)), 0);
  EXPECT_GT(differing(shown, bare), 100) << "the areas do not show";
}

TEST_F(PagesFrameTest, OptionsOfAReplacedModelDoNothing) {
  show(frame().metricList(), "Lines of code");
  pick(frame().metricList(), "Lines of code");
  show(frame().areaList(), "Checkout");
  pick(frame().areaList(), "Checkout");

  h.dialogs.answers.push_back(kExamples + "webshop.xmi");
  h.command(ids::OpenModel);
  EXPECT_EQ(frame().metricsPage()->selectedMetric(), nullptr);
  EXPECT_EQ(frame().areasPage()->selectedArea(), nullptr);
  for (int id : {ids::MetricVisualizer, ids::MetricTransparency, ids::UpperThreshold, ids::AreaVisualizer,
                 ids::AreaDrawing, ids::AreaSoftness})
    EXPECT_FALSE(enabled(id)) << id;
  // Events that still arrive (a drag in progress) change nothing and do not
  // reach the deleted metric or area.
  h.slide(ids::UpperThreshold, 1);
  h.slide(ids::AreaSoftness, 3);
  choose(ids::AreaDrawing, "Contour");
  EXPECT_EQ(frame().metrics().getMetricCount(), 0u);
}

}  // namespace
}  // namespace lumetra
