// The "Areas" page driven through its controls: the selected area's painter
// options, the painter kinds and the parameters they use, the shared
// parameters behind the sliders, and slider drags that repaint once.

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/slider.h>

#include <algorithm>
#include <functional>

#include "app/panels/WindowIds.h"
#include "areas/AreaElementsEraser.h"
#include "areas/AreaVisualizer.h"
#include "tests/app/PageFixture.h"

namespace lumetra::test {
namespace {

class AreasPageTest : public PageTest {
 protected:
  Area* addArea(const std::string& name, int value = 0) {
    auto* area = new Area(name);
    area->setValue(value);
    link_.areas().addArea(area);
    return area;
  }
  bool enabled(int id) { return control<wxWindow>(id)->IsEnabled(); }
};

TEST_F(AreasPageTest, SelectingAnAreaShowsItsPainter) {
  Area* area = addArea("core");
  area->getVisualizer()->setDrawingMode(AREA_MODE_CONTOUR);
  area->getVisualizer()->setSoftness(70);
  areasPage_->metricsOpened();
  areasPage_->selectArea("core");

  EXPECT_EQ(areasPage_->selectedArea(), area);
  EXPECT_EQ(control<wxChoice>(ids::AreaDrawing)->GetStringSelection(), "Contour");
  EXPECT_EQ(control<wxChoice>(ids::AreaVisualizer)->GetStringSelection(), "Inner");
  EXPECT_EQ(control<wxSlider>(ids::AreaSoftness)->GetValue(), 70);
  for (int id : {ids::AreaDrawing, ids::AreaVisualizer, ids::AreaSoftness, ids::InnerRadius, ids::EraserSoftness})
    EXPECT_TRUE(enabled(id)) << id;
  for (int id : {ids::OuterMethod, ids::OuterIterations, ids::OuterDistance}) EXPECT_FALSE(enabled(id)) << id;

  // An unknown name selects nothing; the area's controls go quiet.
  areasPage_->selectArea("no such area");
  EXPECT_EQ(areasPage_->selectedArea(), nullptr);
  for (int id : {ids::AreaDrawing, ids::AreaVisualizer, ids::AreaSoftness, ids::OuterMethod})
    EXPECT_FALSE(enabled(id)) << id;
}

TEST_F(AreasPageTest, PainterKindDecidesWhichParametersApply) {
  Area* area = addArea("core");
  areasPage_->metricsOpened();
  areasPage_->selectArea("core");
  struct Case {
    const char* kind;
    bool radius, iterations, distance, method;
  };
  const Case cases[] = {
      {"Square", false, false, false, false},
      {"Outer", true, true, true, true},
      {"Inner", true, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    choose(ids::AreaVisualizer, c.kind);
    EXPECT_EQ(area->getVisualizer()->getName(), c.kind);
    EXPECT_EQ(enabled(ids::InnerRadius), c.radius);
    EXPECT_EQ(enabled(ids::OuterIterations), c.iterations);
    EXPECT_EQ(enabled(ids::OuterDistance), c.distance);
    EXPECT_EQ(enabled(ids::OuterMethod), c.method);
    // Only the outer painter draws by method.
    const std::string before = area->getVisualizer()->getMethod();
    choose(ids::OuterMethod, before == "Line" ? "Splatting" : "Line");
    EXPECT_EQ(area->getVisualizer()->getMethod() != before, c.method);
  }
  drain();
  EXPECT_GE(link_.refreshes, 1);
}

TEST_F(AreasPageTest, SlidersSetTheParametersWithTooltips) {
  Area* area = addArea("core");
  areasPage_->metricsOpened();
  areasPage_->selectArea("core");
  AreaSet& areas = link_.areas();
  struct Case {
    int id, position;
    std::function<float()> read;
    float expected;
    const char* tooltip;
  };
  const Case cases[] = {
      {ids::InnerRadius, 10, [&] { return areas.getRadius(); }, 0.5f, "0.5"},
      {ids::InnerRadius, 25, [&] { return areas.getRadius(); }, 1.25f, "1.25"},
      {ids::InnerRadius, 20, [&] { return areas.getRadius(); }, 1.0f, "1"},
      {ids::OuterDistance, 20, [&] { return areas.getDistance(); }, 0.01f, "0.01"},
      {ids::OuterDistance, 1, [&] { return areas.getDistance(); }, 0.0005f, "0.0005"},
      {ids::OuterIterations, 7, [&] { return static_cast<float>(areas.getIterations()); }, 7.0f, "7"},
      {ids::AreaSoftness, 80, [&] { return static_cast<float>(area->getVisualizer()->getSoftness()); }, 80.0f, "80"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.id << " at " << c.position);
    link_.refreshes = 0;
    link_.areaRefreshes = 0;
    link_.erased = false;
    slide(c.id, c.position);
    EXPECT_FLOAT_EQ(c.read(), c.expected);
    EXPECT_EQ(control<wxSlider>(c.id)->GetToolTipText(), c.tooltip);
    drain();
    EXPECT_EQ(link_.refreshes, 1);
    EXPECT_EQ(link_.areaRefreshes, 1) << "a parameter changes only the areas";
    EXPECT_TRUE(link_.erased) << "parameters repaint with the background erased";
  }

  const unsigned generation = link_.painter()->eraser().textureGeneration();
  slide(ids::EraserSoftness, 90);
  EXPECT_GT(link_.painter()->eraser().textureGeneration(), generation) << "the eraser's halo was not reshaped";
  EXPECT_EQ(control<wxSlider>(ids::EraserSoftness)->GetToolTipText(), "90");

  choose(ids::AreaDrawing, "Contour");
  EXPECT_EQ(area->getVisualizer()->getDrawingMode(), "Contour");
}

TEST_F(AreasPageTest, DraggedSliderRepaintsOnceWithTheNewestValue) {
  addArea("core");
  areasPage_->metricsOpened();
  areasPage_->selectArea("core");
  // A drag: one scroll notification per pointer move, faster than repaints.
  for (int position = 10; position <= 60; ++position) slide(ids::InnerRadius, position);
  for (int position = 1; position <= 100; ++position) slide(ids::AreaSoftness, position);
  EXPECT_EQ(link_.refreshes, 0) << "no repaint may run inside the drag's events";
  drain();
  EXPECT_EQ(link_.refreshes, 1);
  EXPECT_TRUE(link_.erased);
  EXPECT_FLOAT_EQ(link_.areas().getRadius(), 3.0f);
  EXPECT_EQ(areasPage_->selectedArea()->getVisualizer()->getSoftness(), 100);
}

TEST_F(AreasPageTest, PriorityOrdersShownAreasByValue) {
  addArea("high", 9);
  addArea("low", 1);
  link_.areas().addIdentified(new IdentifiedArea("high"));
  link_.areas().getIdentifiedArea(0)->setValue(9);
  link_.areas().addIdentified(new IdentifiedArea("low"));
  link_.areas().getIdentifiedArea(1)->setValue(1);

  click(ids::AreaPriority);
  EXPECT_TRUE(areasPage_->usePriority());
  EXPECT_EQ(link_.areas().getIdentifiedArea(0)->getName(), "low");
  drain();
  EXPECT_EQ(link_.refreshes, 1);

  click(ids::AreaPriority);  // unchecking changes nothing at once
  EXPECT_FALSE(areasPage_->usePriority());
  drain();
  EXPECT_EQ(link_.refreshes, 1);
  EXPECT_EQ(link_.areas().getIdentifiedArea(0)->getName(), "low");
}

TEST_F(AreasPageTest, HandlersDoNothingWithoutALiveSelectedArea) {
  addArea("core");
  areasPage_->metricsOpened();
  areasPage_->selectArea("core");
  // Another model replaced the areas without the page being told.
  link_.areas().clear();
  EXPECT_EQ(areasPage_->selectedArea(), nullptr);
  choose(ids::AreaVisualizer, "Inner");
  choose(ids::AreaDrawing, "Contour");
  choose(ids::OuterMethod, "Line");
  slide(ids::AreaSoftness, 3);
  drain();
  EXPECT_EQ(link_.refreshes, 0);

  Area* area = addArea("core");
  areasPage_->selectArea("core");
  areasPage_->modelClosed();
  EXPECT_FALSE(enabled(ids::AreaSoftness));
  slide(ids::AreaSoftness, 3);
  EXPECT_EQ(area->getVisualizer()->getSoftness(), 50);
}

}  // namespace
}  // namespace lumetra::test
