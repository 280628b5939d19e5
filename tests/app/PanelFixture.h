#pragma once
// A shown frame holding the model tree, the metric list, the area list, the
// layout preview and the program's canvas, wired to a fake frame (FakeLink) that records what
// the panels ask of it; a small loaded model with three diagrams, metrics
// and areas; real input through the X server (wxUIActionSimulator) and
// read-back of the canvas pixels.

#include <gtest/gtest.h>
#include <wx/frame.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/panels/CheckListCtrl.h"
#include "app/panels/LayoutPreview.h"
#include "app/panels/ModelTree.h"
#include "app/panels/ViewerLink.h"
#include "areas/Area.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "diagram/SelectionManager.h"
#include "metrics/MetricSet.h"
#include "model/Model.h"

namespace lumetra {

class Canvas;

namespace test {

class FakeLink : public ViewerLink {
 public:
  Canvas* canvas() override { return canvasWindow; }
  MetricsVisualizerSimple* painter() override { return &overlay; }
  MetricSet& metrics() override { return metricSet; }
  AreaSet& areas() override { return areaSet; }
  SelectionManager& selection() override { return selectionManager; }

  void metricSelected(Metric* metric) override { selectedMetrics.push_back(metric); }
  void areaSelected(const std::string& name) override { selectedAreas.push_back(name); }
  // As the frame does: over the active window's diagram; nothing without one.
  bool showArea(const std::string& name) override;
  void identifyShownAreasAgain(Diagram* diagram) override { reidentified.push_back(diagram); }
  // As the frame does: a shown diagram makes the area list usable.
  bool showDiagram(Diagram* diagram) override {
    const bool shown = ViewerLink::showDiagram(diagram);
    if (shown && areaList != nullptr) areaList->Enable();
    return shown;
  }
  void centreOnElement(Diagram* diagram, ModelElement* element) override { centred.emplace_back(diagram, element); }
  void refreshCanvas(bool) override {}

  Canvas* canvasWindow = nullptr;
  wxWindow* areaList = nullptr;
  MetricsVisualizerSimple overlay;
  MetricSet metricSet;
  AreaSet areaSet;
  SelectionManager selectionManager;

  std::vector<Metric*> selectedMetrics;
  std::vector<std::string> selectedAreas;
  std::vector<Diagram*> reidentified;
  std::vector<std::pair<Diagram*, ModelElement*>> centred;
};

class PanelFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // --- the model -------------------------------------------------------------
  // "Orders" (class diagram): classes Order and Customer, interface Payable.
  // "Billing" (component diagram): class Order again and service Invoicing.
  // "Notes" (plain diagram): class Customer.
  Diagram* orders() const { return diagrams_[0].get(); }
  Diagram* billing() const { return diagrams_[1].get(); }
  Diagram* notes() const { return diagrams_[2].get(); }
  Class* order = nullptr;
  Class* customer = nullptr;
  // Loads the metrics "Lines" (integer, pure green, 2D bar on both classes)
  // and "Tested" (boolean), and the area "Core" (Order; stored colour
  // (0, 1, 0.5)) into the link.
  void loadMetricsAndAreas();
  // Fills the tree with root and the three diagrams; returns the diagram
  // items.
  std::vector<wxTreeItemId> fillTree();

  // --- real input ---------------------------------------------------------------
  // Lets the toolkit handle what is queued.
  void yield();
  // Yields until done() holds or a generous limit has passed (a minute: a
  // loaded machine is slow, a passing test never waits it out); returns
  // done().
  bool yieldUntil(const std::function<bool()>& done);
  // Moves the pointer to a point of a window's client area.
  void movePointer(wxWindow* window, wxPoint clientPoint);
  // A left click (or double click) at a point of a window's client area.
  void clickAt(wxWindow* window, wxPoint clientPoint, bool twice = false);
  // A click on the picture column or on the name of a list row.
  void clickPicture(lmCheckListCtrl* list, long row);
  void clickName(lmCheckListCtrl* list, long row);

  // --- what the canvas shows -------------------------------------------------
  // Draws every window and counts the pixels within tolerance of the colour.
  int canvasPixelsNear(int r, int g, int b, int tolerance = 40);

  FakeLink link;
  wxFrame* frame = nullptr;
  Canvas* canvas = nullptr;
  UMLModelTree* tree = nullptr;
  lmCheckListCtrl* metricList = nullptr;
  AreaListCtrl* areaList = nullptr;
  lmLayoutPreview* preview = nullptr;

 private:
  ModelElementsPool pool_;
  std::vector<std::unique_ptr<Diagram>> diagrams_;
};

}  // namespace test
}  // namespace lumetra
