// The "Metrics" page driven through its controls: what a selected metric
// offers, what each control changes, the layout sliders, and that nothing
// happens without a live selected metric.

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/listctrl.h>
#include <wx/slider.h>
#include <wx/stattext.h>

#include <vector>

#include "app/panels/LayoutPreview.h"
#include "app/panels/WindowIds.h"
#include "tests/app/PageFixture.h"

namespace lumetra::test {
namespace {

IntegerMetric* addInteger(MetricSet& metrics, const std::string& name, std::vector<int> values) {
  auto* metric = new IntegerMetric(name, new Color(0.2f, 0.4f, 0.6f, 1.0f), new Color());
  int i = 0;
  for (int v : values) metric->addValue("e" + std::to_string(i++), v);
  metric->computeRange();
  metrics.add(metric);
  return metric;
}

BooleanMetric* addBoolean(MetricSet& metrics, const std::string& name) {
  auto* metric = new BooleanMetric(name, new Color(1.0f, 0.0f, 0.0f, 1.0f), new Color());
  metric->addValue("e0", true);
  metrics.add(metric);
  return metric;
}

std::vector<std::string> entries(wxChoice* choice) {
  std::vector<std::string> out;
  for (unsigned i = 0; i < choice->GetCount(); ++i) out.push_back(choice->GetString(i).utf8_string());
  return out;
}

using MetricsPageTest = PageTest;

TEST_F(MetricsPageTest, ControlsStartWithTheirIdsRangesValuesAndStates) {
  struct SliderCase {
    int id, min, max, value;
    bool enabled;
  };
  const SliderCase sliders[] = {
      {ids::LayoutHPan, -255, 255, 0, false},        {ids::LayoutVPan, -255, 255, 0, false},
      {ids::LayoutZoom, -255, 255, 0, false},        {ids::MetricTransparency, 0, 255, 255, false},
      {ids::UpperThreshold, 0, 100, 0, false},       {ids::LowerThreshold, 0, 100, 0, false},
      {ids::InnerRadius, 10, 60, 20, true},          {ids::OuterIterations, 0, 20, 10, true},
      {ids::OuterDistance, 1, 20, 10, true},         {ids::AreaSoftness, 1, 100, 50, false},
      {ids::EraserSoftness, 1, 100, 50, false},
  };
  for (const SliderCase& c : sliders) {
    SCOPED_TRACE(c.id);
    auto* slider = control<wxSlider>(c.id);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->GetMin(), c.min);
    EXPECT_EQ(slider->GetMax(), c.max);
    EXPECT_EQ(slider->GetValue(), c.value);
    EXPECT_EQ(slider->IsEnabled(), c.enabled);
  }

  struct ChoiceCase {
    int id;
    std::vector<std::string> entries;
    int selection;
  };
  const ChoiceCase choices[] = {
      {ids::MetricVisualizer, {}, wxNOT_FOUND},
      {ids::AreaVisualizer, {"Inner", "Outer", "Square"}, 0},
      {ids::AreaDrawing, {"Area", "Contour"}, 0},
      {ids::OuterMethod, {"Polygons", "Splatting", "Line"}, 0},
  };
  for (const ChoiceCase& c : choices) {
    SCOPED_TRACE(c.id);
    auto* choice = control<wxChoice>(c.id);
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(entries(choice), c.entries);
    EXPECT_EQ(choice->GetSelection(), c.selection);
    EXPECT_FALSE(choice->IsEnabled());
  }

  const std::pair<int, const char*> labels[] = {
      {ids::LayoutHPanLabel, "HPan"},         {ids::LayoutVPanLabel, "VPan"},
      {ids::LayoutZoomLabel, "Zoom"},         {ids::MetricTransparencyLabel, "Transparency"},
      {ids::UpperThresholdLabel, "Upper threshold"}, {ids::LowerThresholdLabel, "Lower threshold"},
      {ids::AreaSoftnessLabel, "Softness"},
  };
  for (const auto& [id, text] : labels) EXPECT_EQ(control<wxStaticText>(id)->GetLabel(), text) << id;

  EXPECT_EQ(control<wxButton>(ids::LayoutReset)->GetLabel(), "Reset");
  EXPECT_FALSE(control<wxButton>(ids::LayoutReset)->IsEnabled());
  EXPECT_FALSE(control<wxListCtrl>(ids::MetricList)->IsEnabled());
  EXPECT_TRUE(control<wxListCtrl>(ids::AreaList)->IsEnabled());
  EXPECT_EQ(control<lmLayoutPreview>(ids::LayoutPreview)->GetClientSize().y, 64);
  auto* book = control<wxNotebook>(ids::AreaOptionsNotebook);
  ASSERT_EQ(book->GetPageCount(), 2u);
  EXPECT_EQ(book->GetPageText(0), "Visualizer");
  EXPECT_EQ(book->GetPageText(1), "Drawing");
  EXPECT_EQ(book->GetSelection(), 0);
}

TEST_F(MetricsPageTest, SelectedMetricOffersTheGlyphKindsAndThresholdsOfItsType) {
  IntegerMetric* integer = addInteger(link_.metrics(), "LOC", {3, 40, 70});
  integer->setVisualizer("2D Pie");
  integer->setUpperBound(60);
  BooleanMetric* boolean = addBoolean(link_.metrics(), "Tested");

  struct Case {
    Metric* metric;
    std::vector<std::string> glyphs;
    std::string chosen;
    bool thresholds;
  };
  const Case cases[] = {
      {integer, {"3D Bar", "3D Cylinder", "2D Bar", "2D Pie"}, "2D Pie", true},
      {boolean, {"Default Boolean"}, "Default Boolean", false},
      // Back to the integer metric: the boolean's entries are gone again.
      {integer, {"3D Bar", "3D Cylinder", "2D Bar", "2D Pie"}, "2D Pie", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.metric->getName());
    metricsPage_->selectMetric(c.metric);
    auto* choice = control<wxChoice>(ids::MetricVisualizer);
    EXPECT_EQ(entries(choice), c.glyphs);
    EXPECT_EQ(choice->GetStringSelection(), c.chosen);
    EXPECT_TRUE(choice->IsEnabled());
    // Built 0..255, the transparency reads 0..100 once a metric is chosen.
    auto* transparency = control<wxSlider>(ids::MetricTransparency);
    EXPECT_TRUE(transparency->IsEnabled());
    EXPECT_EQ(transparency->GetMin(), 0);
    EXPECT_EQ(transparency->GetMax(), 100);
    EXPECT_EQ(transparency->GetValue(), 50);
    EXPECT_EQ(control<wxSlider>(ids::UpperThreshold)->IsEnabled(), c.thresholds);
    EXPECT_EQ(control<wxSlider>(ids::LowerThreshold)->IsEnabled(), c.thresholds);
  }
  EXPECT_EQ(control<wxSlider>(ids::UpperThreshold)->GetValue(), 60);
  EXPECT_EQ(control<wxSlider>(ids::LowerThreshold)->GetValue(), 3);

  metricsPage_->selectMetric(nullptr);
  for (int id : {ids::MetricVisualizer, ids::MetricTransparency, ids::UpperThreshold, ids::LowerThreshold})
    EXPECT_FALSE(control<wxWindow>(id)->IsEnabled()) << id;
}

TEST_F(MetricsPageTest, OptionsCarryTheirValuesIntoTheSelectedMetric) {
  IntegerMetric* metric = addInteger(link_.metrics(), "LOC", {0, 9270, 345});
  metricsPage_->selectMetric(metric);

  choose(ids::MetricVisualizer, "3D Cylinder");
  EXPECT_EQ(metric->getVisualizerName(), "3D Cylinder");
  slide(ids::MetricTransparency, 37);
  EXPECT_FLOAT_EQ(metric->getTransparency(), 0.37f);
  // The thresholds reach the metric's largest value, far above 100.
  slide(ids::UpperThreshold, 5000);
  EXPECT_EQ(metric->getUpperBound(), 5000);
  EXPECT_EQ(control<wxSlider>(ids::UpperThreshold)->GetToolTipText(), "5000");
  slide(ids::LowerThreshold, 300);
  EXPECT_EQ(metric->getLowerBound(), 300);
  EXPECT_EQ(control<wxSlider>(ids::LowerThreshold)->GetToolTipText(), "300");
  EXPECT_EQ(metric->getMaximum(), 9270);
  EXPECT_EQ(control<wxSlider>(ids::UpperThreshold)->GetMax(), 9270);

  drain();
  EXPECT_EQ(link_.refreshes, 1) << "the four changes repaint the canvas once";
  EXPECT_EQ(link_.areaRefreshes, 0) << "a metric change is no area-only change";
}

TEST_F(MetricsPageTest, HandlersDoNothingWithoutALiveSelectedMetric) {
  auto act = [this] {
    choose(ids::MetricVisualizer, control<wxChoice>(ids::MetricVisualizer)->GetString(0).utf8_string());
    slide(ids::MetricTransparency, 10);
    slide(ids::UpperThreshold, 1);
    slide(ids::LowerThreshold, 1);
    drain();
  };
  IntegerMetric* metric = addInteger(link_.metrics(), "LOC", {1, 2});
  metricsPage_->selectMetric(metric);

  // The model was replaced without the page being told: the metric is
  // deleted, its options still on screen.
  link_.metrics().clear();
  EXPECT_EQ(metricsPage_->selectedMetric(), nullptr);
  act();
  EXPECT_EQ(link_.refreshes, 0);

  // Closing the model forgets the selection and disables the options.
  metric = addInteger(link_.metrics(), "LOC", {1, 2});
  metricsPage_->selectMetric(metric);
  metricsPage_->modelClosed();
  EXPECT_EQ(metricsPage_->selectedMetric(), nullptr);
  EXPECT_FALSE(control<wxSlider>(ids::MetricTransparency)->IsEnabled());
  slide(ids::MetricTransparency, 10);
  drain();
  EXPECT_FLOAT_EQ(metric->getTransparency(), 0.5f);
  EXPECT_EQ(link_.refreshes, 0);
}

TEST_F(MetricsPageTest, LayoutSlidersMoveAndScaleTheGlyphArea) {
  metricsPage_->metricsOpened();
  for (int id : {ids::LayoutHPan, ids::LayoutVPan, ids::LayoutZoom, ids::LayoutReset, ids::MetricList})
    EXPECT_TRUE(control<wxWindow>(id)->IsEnabled()) << id;
  MetricsVisualizerSimple& painter = *link_.painter();

  slide(ids::LayoutHPan, 255);
  slide(ids::LayoutVPan, -51);
  EXPECT_FLOAT_EQ(painter.getGlyphAreaCentre().x, 2.0f);
  EXPECT_FLOAT_EQ(painter.getGlyphAreaCentre().y, -0.4f);
  slide(ids::LayoutZoom, 255);
  EXPECT_FLOAT_EQ(painter.getGlyphAreaSize(), 2.0f);
  slide(ids::LayoutZoom, -128);
  EXPECT_FLOAT_EQ(painter.getGlyphAreaSize(), 0.75f);

  click(ids::LayoutReset);
  EXPECT_FLOAT_EQ(painter.getGlyphAreaCentre().x, 0.0f);
  EXPECT_FLOAT_EQ(painter.getGlyphAreaCentre().y, 0.0f);
  EXPECT_FLOAT_EQ(painter.getGlyphAreaSize(), 1.0f);
  for (int id : {ids::LayoutHPan, ids::LayoutVPan, ids::LayoutZoom})
    EXPECT_EQ(control<wxSlider>(id)->GetValue(), 0) << id;
  drain();
  EXPECT_EQ(link_.refreshes, 1);
}

TEST_F(MetricsPageTest, ActiveWindowPainterSetsTheLayoutSliders) {
  MetricsVisualizerSimple other;
  other.setGlyphAreaSize(0.75f);
  other.setGlyphAreaCentre(Vec2(1.0f, -0.5f));
  metricsPage_->syncLayoutSliders(&other);
  EXPECT_EQ(control<wxSlider>(ids::LayoutZoom)->GetValue(), -128);
  EXPECT_EQ(control<wxSlider>(ids::LayoutHPan)->GetValue(), 127);
  EXPECT_EQ(control<wxSlider>(ids::LayoutVPan)->GetValue(), -63);
  EXPECT_TRUE(control<wxSlider>(ids::LayoutZoom)->IsEnabled());

  // A painter that overlays no metrics (or none at all) has no layout.
  metricsPage_->syncLayoutSliders(nullptr);
  for (int id : {ids::LayoutHPan, ids::LayoutVPan, ids::LayoutZoom})
    EXPECT_FALSE(control<wxSlider>(id)->IsEnabled()) << id;
}

}  // namespace
}  // namespace lumetra::test
