#pragma once
// The two notebook pages in a small shown frame, wired to a stand-in for the
// main frame: the stand-in owns the metrics, the areas and the painter, and
// counts the canvas repaints the pages ask for.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/notebook.h>

#include <string>

#include "app/panels/AreasPage.h"
#include "app/panels/MetricsPage.h"
#include "app/panels/ViewerLink.h"
#include "areas/Area.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "diagram/SelectionManager.h"
#include "metrics/MetricSet.h"

namespace lumetra::test {

class FakeViewerLink : public ViewerLink {
 public:
  FakeViewerLink() {
    painter_.setMetricSet(&metrics_);
    painter_.setAreas(&areas_);
    painter_.setSelectionManager(&selection_);
  }
  Canvas* canvas() override { return canvasWidget; }
  MetricsVisualizerSimple* painter() override { return &painter_; }
  MetricSet& metrics() override { return metrics_; }
  AreaSet& areas() override { return areas_; }
  SelectionManager& selection() override { return selection_; }
  void metricSelected(Metric* metric) override { lastMetric = metric; }
  void areaSelected(const std::string& name) override { lastArea = name; }
  bool showArea(const std::string&) override { return false; }
  void identifyShownAreasAgain(Diagram*) override {}
  void centreOnElement(Diagram*, ModelElement*) override {}
  void refreshCanvas(bool erase) override {
    ++refreshes;
    erased = erased || erase;
  }
  // Counted as a repaint too, with the background erased, as the default
  // does.
  void refreshAreas() override {
    ++areaRefreshes;
    refreshCanvas(true);
  }

  Canvas* canvasWidget = nullptr;  // none unless a test draws
  int refreshes = 0;
  int areaRefreshes = 0;  // of the repaints, those for the areas alone
  bool erased = false;
  Metric* lastMetric = nullptr;
  std::string lastArea;

 private:
  MetricSet metrics_;
  AreaSet areas_;
  SelectionManager selection_;
  MetricsVisualizerSimple painter_;
};

class PageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame_ = new wxFrame(nullptr, wxID_ANY, "pages", wxDefaultPosition, wxSize(360, 900));
    auto* book = new wxNotebook(frame_, wxID_ANY);
    metricsPage_ = new MetricsPage(book, &link_);
    areasPage_ = new AreasPage(book, &link_);
    book->AddPage(metricsPage_, "Metrics", true);
    book->AddPage(areasPage_, "Areas");
    frame_->Show();
    frame_->Layout();
    wxTheApp->Yield(true);
  }
  void TearDown() override {
    frame_->Destroy();
    wxTheApp->Yield(true);
  }

  // The control of that ID on either page.
  template <typename T>
  T* control(int id) const {
    wxWindow* w = wxWindow::FindWindowById(id, frame_);
    EXPECT_NE(w, nullptr) << "no window " << id;
    return dynamic_cast<T*>(w);
  }
  // Moves a slider as a user would: its value changes and it sends a scroll
  // notification (thumb track) to the page.
  void slide(int id, int value);
  // Picks an entry of a choice and sends the choice notification.
  void choose(int id, const std::string& text);
  void click(int id);
  // Lets the queued events (the deferred canvas repaint) run.
  void drain() { wxTheApp->ProcessPendingEvents(); }

  FakeViewerLink link_;
  wxFrame* frame_ = nullptr;
  MetricsPage* metricsPage_ = nullptr;
  AreasPage* areasPage_ = nullptr;
};

}  // namespace lumetra::test
