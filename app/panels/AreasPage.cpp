#include "app/panels/AreasPage.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/notebook.h>
#include <wx/scrolwin.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/splitter.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "app/document/Document.h"
#include "app/panels/CheckListCtrl.h"
#include "app/panels/ViewerLink.h"
#include "app/panels/WindowIds.h"
#include "areas/Area.h"
#include "areas/AreaElementsEraser.h"
#include "areas/AreaVisualizer.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "render/Canvas.h"
#include "render/CanvasWindow.h"

namespace lumetra {

namespace {

wxChoice* makeChoice(wxWindow* parent, int id, std::initializer_list<const char*> entries) {
  auto* choice = new wxChoice(parent, id, wxDefaultPosition, wxSize(110, -1));
  for (const char* entry : entries) choice->Append(entry);
  choice->SetSelection(0);
  return choice;
}

// A drop-down alone in a titled group of the page, disabled until an area
// is chosen.
wxChoice* addChoiceGroup(wxWindow* page, wxSizer* sizer, const char* title, int id,
                         std::initializer_list<const char*> entries) {
  auto* group = new wxStaticBoxSizer(wxVERTICAL, page, title);
  wxChoice* choice = makeChoice(group->GetStaticBox(), id, entries);
  choice->Disable();
  group->Add(choice, 0, wxALL, 2);
  sizer->Add(group, 0, wxEXPAND | wxALL, 2);
  return choice;
}

// A group of label + slider rows on one of the option pages.
class SliderGroup {
 public:
  SliderGroup(wxWindow* page, const char* title)
      : sizer_(new wxStaticBoxSizer(wxVERTICAL, page, title)), grid_(new wxFlexGridSizer(2, 2, 2)) {
    grid_->AddGrowableCol(1);
    sizer_->Add(grid_, 0, wxEXPAND | wxALL, 2);
  }
  wxWindow* box() const { return sizer_->GetStaticBox(); }
  wxStaticBoxSizer* sizer() const { return sizer_; }
  wxSlider* add(const char* label, int labelId, int id, int value, int min, int max) {
    grid_->Add(new wxStaticText(box(), labelId, label), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    auto* slider = new wxSlider(box(), id, value, min, max, wxDefaultPosition, wxDefaultSize, wxSL_HORIZONTAL);
    grid_->Add(slider, 1, wxEXPAND);
    return slider;
  }

 private:
  wxStaticBoxSizer* sizer_;
  wxFlexGridSizer* grid_;
};

// Selects the entry with that text; false (selection unchanged) when the
// choice has none.
bool selectText(wxChoice* choice, const std::string& text) {
  return choice->SetStringSelection(wxString::FromUTF8(text));
}

}  // namespace

float radiusFromSlider(int position) { return static_cast<float>(position / 20.0); }
float distanceFromSlider(int position) { return static_cast<float>(position / 2000.0); }

AreasPage::AreasPage(wxWindow* parent, ViewerLink* link) : wxPanel(parent, wxID_ANY), link_(link), refresh_(this, link) {
  splitter_ = new wxSplitterWindow(this, wxID_ANY, wxDefaultPosition, wxSize(160, 120), wxSP_3D | wxSP_LIVE_UPDATE);
  splitter_->SetMinimumPaneSize(64);

  auto* upper = new wxPanel(splitter_);
  auto* listGroup = new wxStaticBoxSizer(wxVERTICAL, upper, "Available Areas");
  list_ = new AreaListCtrl(listGroup->GetStaticBox(), link_);
  listGroup->Add(list_, 1, wxEXPAND | wxALL, 2);
  auto* upperSizer = new wxBoxSizer(wxVERTICAL);
  upperSizer->Add(listGroup, 1, wxEXPAND | wxALL, 2);
  upper->SetSizer(upperSizer);

  auto* lower = new wxPanel(splitter_);
  options_ = new wxNotebook(lower, ids::AreaOptionsNotebook);
  options_->AddPage(buildVisualizerPage(options_), "Visualizer", true);
  options_->AddPage(buildDrawingPage(options_), "Drawing", false);
  auto* lowerSizer = new wxBoxSizer(wxVERTICAL);
  lowerSizer->Add(options_, 1, wxEXPAND);
  lower->SetSizer(lowerSizer);

  // The options pane starts at the height its controls need and keeps it
  // when the page grows: the area list takes the rest. Where the page is
  // too short the options scroll. The splitter's first size is what the
  // toolkit lays out before the notebook sizes the page: it holds the
  // options (with room for their scroll bar) and the list, so that their
  // tabs and labels are never given less room than they take.
  const wxSize options = notebookSizeForPages(*options_);
  const int scrollBar = std::max(wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this), 0);
  splitter_->SetSize(wxSize(std::max(options.x + scrollBar, 160), options.y + 120));
  splitter_->SetSashGravity(1.0);
  splitter_->SplitHorizontally(upper, lower, -options.y);
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(splitter_, 1, wxEXPAND);
  SetSizer(sizer);
  bindEvents();
}

namespace {
// An options page that scrolls when the pane below the list is too short.
wxScrolledWindow* optionsPage(wxNotebook* book) {
  auto* page = new wxScrolledWindow(book, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxVSCROLL);
  page->SetScrollRate(0, 8);
  return page;
}
}  // namespace

wxWindow* AreasPage::buildVisualizerPage(wxNotebook* book) {
  auto* page = optionsPage(book);
  auto* sizer = new wxBoxSizer(wxVERTICAL);

  painterKind_ = addChoiceGroup(page, sizer, "Area Visualizer", ids::AreaVisualizer,
                                {AREA_PAINTER_INNER, AREA_PAINTER_OUTER, AREA_PAINTER_SQUARE});

  SliderGroup inner(page, "Inner Visualizer ");
  radius_ = inner.add("Radius", wxID_ANY, ids::InnerRadius, 20, 10, 60);
  sizer->Add(inner.sizer(), 0, wxEXPAND | wxALL, 2);

  SliderGroup outer(page, "Outer Visualizer ");
  iterations_ = outer.add("Iterations", wxID_ANY, ids::OuterIterations, 10, 0, 20);
  distance_ = outer.add("Distance", wxID_ANY, ids::OuterDistance, 10, 1, 20);
  sizer->Add(outer.sizer(), 0, wxEXPAND | wxALL, 2);

  page->SetSizer(sizer);
  return page;
}

wxWindow* AreasPage::buildDrawingPage(wxNotebook* book) {
  auto* page = optionsPage(book);
  auto* sizer = new wxBoxSizer(wxVERTICAL);

  SliderGroup drawing(page, "Area Drawing");
  drawingMode_ = makeChoice(drawing.box(), ids::AreaDrawing, {AREA_MODE_AREA, AREA_MODE_CONTOUR});
  drawingMode_->Disable();
  drawing.sizer()->Insert(0, drawingMode_, 0, wxALL, 2);
  softness_ = drawing.add("Softness", ids::AreaSoftnessLabel, ids::AreaSoftness, 50, 1, 100);
  softness_->Disable();
  priority_ = new wxCheckBox(drawing.box(), ids::AreaPriority, "&Use area value as a priority");
  drawing.sizer()->Add(priority_, 0, wxALL, 2);
  sizer->Add(drawing.sizer(), 0, wxEXPAND | wxALL, 2);

  SliderGroup eraser(page, "Eraser");
  eraserSoftness_ = eraser.add("Softness", wxID_ANY, ids::EraserSoftness, 50, 1, 100);
  eraserSoftness_->Disable();
  sizer->Add(eraser.sizer(), 0, wxEXPAND | wxALL, 2);

  method_ = addChoiceGroup(page, sizer, "Visualizer Method", ids::OuterMethod,
                           {AREA_METHOD_POLYGONS, AREA_METHOD_SPLATTING, AREA_METHOD_LINE});

  page->SetSizer(sizer);
  return page;
}

void AreasPage::bindEvents() {
  Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { onPainterKind(); }, ids::AreaVisualizer);
  Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { onDrawingMode(); }, ids::AreaDrawing);
  Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { onMethod(); }, ids::OuterMethod);
  Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { onPriority(); }, ids::AreaPriority);
  bindSliderScroll(this, ids::AreaSoftness, [this] { onSoftness(); });
  bindSliderScroll(this, ids::InnerRadius, [this] { onRadius(); });
  bindSliderScroll(this, ids::OuterIterations, [this] { onIterations(); });
  bindSliderScroll(this, ids::OuterDistance, [this] { onDistance(); });
  bindSliderScroll(this, ids::EraserSoftness, [this] { onEraserSoftness(); });
}

bool AreasPage::usePriority() const { return link_ != nullptr ? link_->areas().drawsByValue() : priority_->GetValue(); }

void AreasPage::syncAreaSetControls(bool priority) {
  priority_->SetValue(priority);
  if (link_ == nullptr) return;
  link_->areas().setDrawsByValue(priority);
  const AreaSet& areas = link_->areas();
  radius_->SetValue(static_cast<int>(std::lround(areas.getRadius() * 20.0f)));
  iterations_->SetValue(areas.getIterations());
  distance_->SetValue(static_cast<int>(std::lround(areas.getDistance() * 2000.0f)));
  if (const MetricsVisualizerSimple* painter = link_->painter(); painter && painter->eraserSoftness() > 0)
    eraserSoftness_->SetValue(painter->eraserSoftness());
  if (Area* area = selectedArea()) selectArea(area->getName());
}

Area* AreasPage::selectedArea() const {
  return selected_ != nullptr && link_ != nullptr && link_->areas().isLoaded(selected_) ? selected_ : nullptr;
}

AreaVisualizer* AreasPage::selectedPainter() const {
  Area* area = selectedArea();
  return area ? area->getVisualizer() : nullptr;
}

void AreasPage::enableAreaControls(bool on) {
  painterKind_->Enable(on);
  drawingMode_->Enable(on);
  softness_->Enable(on);
  if (!on) method_->Disable();
}

void AreasPage::setPainterKindControls(const std::string& painterName) {
  bool radius, outer;
  if (painterName == AREA_PAINTER_OUTER) {
    radius = true;
    outer = true;
  } else if (painterName == AREA_PAINTER_INNER) {
    radius = true;
    outer = false;
  } else if (painterName == AREA_PAINTER_SQUARE) {
    radius = false;
    outer = false;
  } else {
    return;
  }
  radius_->Enable(radius);
  iterations_->Enable(outer);
  distance_->Enable(outer);
  method_->Enable(outer);
}

void AreasPage::selectArea(const std::string& name) {
  method_->Disable();
  selected_ = link_ ? link_->areas().findArea(name) : nullptr;
  AreaVisualizer* painter = selected_ ? selected_->getVisualizer() : nullptr;
  if (!painter) {
    selected_ = nullptr;
    enableAreaControls(false);
    return;
  }
  drawingMode_->Enable();
  // A painter draws as an area unless its mode is "Contour".
  if (!selectText(drawingMode_, painter->getDrawingMode())) drawingMode_->SetSelection(0);
  painterKind_->Enable();
  selectText(painterKind_, painter->getName());
  softness_->Enable();
  softness_->SetValue(painter->getSoftness());
  softness_->SetToolTip(wxString::Format("%d", painter->getSoftness()));
  selectText(method_, painter->getMethod());
  setPainterKindControls(painter->getName());
}

void AreasPage::sync(Document& document) {
  // The model's packages are areas before any metrics file is read.
  const bool loaded = document.areas().getLoadedCount() > 0;
  syncPageList(document.revision(), shownRevision_, *list_, loaded ? &document.areas() : nullptr,
               [this] { modelClosed(); }, [this] { metricsOpened(); });
  priority_->SetValue(document.areas().drawsByValue());
  Canvas* canvas = link_ != nullptr ? link_->canvas() : nullptr;
  if (canvas != nullptr && canvas->activeWindow() != nullptr && canvas->activeWindow()->diagram() != nullptr)
    list_->Enable();
}

void AreasPage::modelClosed() {
  selected_ = nullptr;
  enableAreaControls(false);
}

void AreasPage::metricsOpened() {
  eraserSoftness_->Enable();
  setPainterKindControls(AREA_PAINTER_INNER);
}

void AreasPage::onPainterKind() {
  Area* area = selectedArea();
  if (!area || painterKind_->GetSelection() == wxNOT_FOUND) return;
  const std::string kind = painterKind_->GetStringSelection().utf8_string();
  // A kind no painter answers to keeps the current painter and its controls.
  if (area->setVisualizer(kind)) setPainterKindControls(kind);
  else selectText(painterKind_, area->getVisualizer()->getName());
  refresh_.requestAreas();
}

void AreasPage::onDrawingMode() {
  AreaVisualizer* painter = selectedPainter();
  if (!painter) return;
  painter->setDrawingMode(drawingMode_->GetStringSelection().utf8_string());
  refresh_.requestAreas();
}

void AreasPage::onMethod() {
  AreaVisualizer* painter = selectedPainter();
  // Only the outer painter draws by method.
  if (!painter || painter->getName() != AREA_PAINTER_OUTER) return;
  painter->setMethod(method_->GetStringSelection().utf8_string());
  refresh_.requestAreas();
}

void AreasPage::onSoftness() {
  AreaVisualizer* painter = selectedPainter();
  if (!painter) return;
  const int value = softness_->GetValue();
  painter->setSoftness(value);
  softness_->SetToolTip(wxString::Format("%d", value));
  refresh_.requestAreas();
}

template <typename Value>
void AreasPage::setAreaParameter(wxSlider* slider, void (AreaSet::*set)(Value), Value value) {
  if (!link_) return;
  (link_->areas().*set)(value);
  if constexpr (std::is_same_v<Value, int>) slider->SetToolTip(wxString::Format("%d", value));
  else slider->SetToolTip(wxString::FromUTF8(floatText(value)));
  refresh_.requestAreas();
}

void AreasPage::onRadius() { setAreaParameter(radius_, &AreaSet::setRadius, radiusFromSlider(radius_->GetValue())); }

void AreasPage::onIterations() { setAreaParameter(iterations_, &AreaSet::setIterations, iterations_->GetValue()); }

void AreasPage::onDistance() {
  setAreaParameter(distance_, &AreaSet::setDistance, distanceFromSlider(distance_->GetValue()));
}

void AreasPage::onEraserSoftness() {
  MetricsVisualizerSimple* painter = link_ ? link_->painter() : nullptr;
  if (!painter) return;
  const int value = eraserSoftness_->GetValue();
  painter->eraser().setSoftness(value);
  eraserSoftness_->SetToolTip(wxString::Format("%d", value));
  refresh_.requestAreas();
}

void AreasPage::onPriority() {
  // Unchecking keeps the current order until the areas are identified again.
  if (link_) link_->areas().setDrawsByValue(priority_->GetValue());
  if (!priority_->GetValue() || !link_) return;
  link_->areas().sortByValue();
  refresh_.requestAreas();
}

}  // namespace lumetra
