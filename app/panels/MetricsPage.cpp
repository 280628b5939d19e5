#include "app/panels/MetricsPage.h"

#include <wx/button.h>
#include <wx/dcmemory.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <algorithm>
#include <cmath>

#include "app/document/Document.h"
#include "app/panels/CheckListCtrl.h"
#include "app/panels/LayoutPreview.h"
#include "app/panels/ViewerLink.h"
#include "app/panels/WindowIds.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "metrics/Metric.h"
#include "metrics/MetricSet.h"

namespace lumetra {

namespace {

// The glyph kinds an integer metric offers, in the order of the choice.
const char* const kIntegerGlyphs[] = {"3D Bar", "3D Cylinder", "2D Bar", "2D Pie"};
const char* const kBooleanGlyph = "Default Boolean";

wxSlider* makeSlider(wxWindow* parent, int id, int value, int min, int max, int width = -1) {
  return new wxSlider(parent, id, value, min, max, wxDefaultPosition, wxSize(width, -1), wxSL_HORIZONTAL);
}

// A label and its slider as one row of a two-column grid.
wxSlider* addSliderRow(wxFlexGridSizer* grid, wxWindow* parent, int labelId, const char* label, int id, int value,
                       int min, int max, int width = -1) {
  grid->Add(new wxStaticText(parent, labelId, label), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
  wxSlider* slider = makeSlider(parent, id, value, min, max, width);
  grid->Add(slider, 1, wxEXPAND);
  return slider;
}

}  // namespace

int panSliderPosition(float offset) { return static_cast<int>(offset * 255.0f / 2.0f); }

int zoomSliderPosition(float zoom) {
  return static_cast<int>(zoom >= 1.0f ? (zoom - 1.0f) * 255.0f : (zoom - 1.0f) * 512.0f);
}

float panFromSlider(int position) { return static_cast<float>(position) * 2.0f / 255.0f; }

float zoomFromSlider(int position) {
  const float p = static_cast<float>(position);
  return position < 0 ? p / 512.0f + 1.0f : p / 255.0f + 1.0f;
}

MetricsPage::MetricsPage(wxWindow* parent, ViewerLink* link)
    : wxScrolledWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxVSCROLL),
      link_(link),
      refresh_(this, link) {
  SetScrollRate(0, 8);
  auto* page = new wxBoxSizer(wxVERTICAL);
  buildLayoutGroup(page);
  buildListGroup(page);
  buildOptionsGroup(page);
  SetSizer(page);
  bindEvents();
}

void MetricsPage::buildLayoutGroup(wxSizer* page) {
  auto* group = new wxStaticBoxSizer(wxVERTICAL, this, "Layout preview");
  wxWindow* box = group->GetStaticBox();
  preview_ = new lmLayoutPreview(box, link_);
  // "Reset" beside the preview rather than below the sliders: a row less,
  // so that the page's lowest slider shows on a 1024 x 768 screen.
  reset_ = new wxButton(box, ids::LayoutReset, "Reset", wxDefaultPosition, wxSize(80, -1));
  auto* previewRow = new wxBoxSizer(wxHORIZONTAL);
  previewRow->Add(preview_, 1, wxEXPAND | wxALL, 2);
  previewRow->Add(reset_, 0, wxALIGN_BOTTOM | wxALL, 2);
  group->Add(previewRow, 0, wxEXPAND);

  auto* grid = new wxFlexGridSizer(2, 2, 2);
  grid->AddGrowableCol(1);
  hPan_ = addSliderRow(grid, box, ids::LayoutHPanLabel, "HPan", ids::LayoutHPan, 0, -255, 255, 100);
  vPan_ = addSliderRow(grid, box, ids::LayoutVPanLabel, "VPan", ids::LayoutVPan, 0, -255, 255);
  zoom_ = addSliderRow(grid, box, ids::LayoutZoomLabel, "Zoom", ids::LayoutZoom, 0, -255, 255);
  group->Add(grid, 0, wxEXPAND | wxALL, 2);

  for (wxWindow* w : {static_cast<wxWindow*>(hPan_), static_cast<wxWindow*>(vPan_), static_cast<wxWindow*>(zoom_),
                      static_cast<wxWindow*>(reset_)})
    w->Disable();
  page->Add(group, 0, wxEXPAND | wxALL, 2);
}

void MetricsPage::buildListGroup(wxSizer* page) {
  auto* group = new wxStaticBoxSizer(wxVERTICAL, this, "Available metrics");
  list_ = new lmCheckListCtrl(group->GetStaticBox(), link_);
  list_->Disable();
  preview_->setMetricList(list_);
  group->Add(list_, 1, wxEXPAND | wxALL, 2);
  page->Add(group, 1, wxEXPAND | wxALL, 2);
}

void MetricsPage::buildOptionsGroup(wxSizer* page) {
  auto* group = new wxStaticBoxSizer(wxVERTICAL, this, "Visualization options");
  wxWindow* box = group->GetStaticBox();
  // The glyph kind; the colour is each metric's swatch in the list.
  visualizer_ = new wxChoice(box, ids::MetricVisualizer, wxDefaultPosition, wxSize(100, -1));
  auto* kindRow = new wxBoxSizer(wxHORIZONTAL);
  kindRow->Add(visualizer_, 0, wxALL, 2);
  kindRow->Add(new wxStaticText(box, wxID_ANY, "Colour: click a metric's swatch"), 0,
               wxALIGN_CENTER_VERTICAL | wxALL, 2);
  group->Add(kindRow, 0, wxALL, 0);

  auto* grid = new wxFlexGridSizer(2, 2, 2);
  grid->AddGrowableCol(1);
  transparency_ =
      addSliderRow(grid, box, ids::MetricTransparencyLabel, "Transparency", ids::MetricTransparency, 255, 0, 255);
  upper_ = addSliderRow(grid, box, ids::UpperThresholdLabel, "Upper threshold", ids::UpperThreshold, 0, 0, 100, 100);
  lower_ = addSliderRow(grid, box, ids::LowerThresholdLabel, "Lower threshold", ids::LowerThreshold, 0, 0, 100, 100);
  group->Add(grid, 0, wxEXPAND | wxALL, 2);
  enableOptions(false);
  page->Add(group, 0, wxEXPAND | wxALL, 2);
}

void MetricsPage::bindEvents() {
  Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { onVisualizerChoice(); }, ids::MetricVisualizer);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { onLayoutReset(); }, ids::LayoutReset);
  bindSliderScroll(this, ids::MetricTransparency, [this] { onTransparency(); });
  bindSliderScroll(this, ids::UpperThreshold, [this] { onThreshold(true); });
  bindSliderScroll(this, ids::LowerThreshold, [this] { onThreshold(false); });
  for (int id : {ids::LayoutHPan, ids::LayoutVPan, ids::LayoutZoom})
    bindSliderScroll(this, id, [this, id] { onLayoutSlider(id); });
}

void MetricsPage::enableOptions(bool on) {
  visualizer_->Enable(on);
  transparency_->Enable(on);
  upper_->Enable(on);
  lower_->Enable(on);
}

Metric* MetricsPage::selectedMetric() const {
  return selected_ != nullptr && link_ != nullptr && link_->metrics().isLoaded(selected_) ? selected_ : nullptr;
}

void MetricsPage::selectMetric(Metric* metric) {
  selected_ = metric;
  visualizer_->Clear();
  if (!metric) {
    enableOptions(false);
    return;
  }
  transparency_->Enable();
  transparency_->SetRange(0, 100);
  transparency_->SetValue(static_cast<int>(metric->getTransparency() * 100.0f));

  if (auto* integer = dynamic_cast<IntegerMetric*>(metric)) {
    for (const char* name : kIntegerGlyphs) visualizer_->Append(name);
    visualizer_->SetStringSelection(wxString::FromUTF8(metric->getVisualizerName()));
    // The thresholds span the metric's values: a fixed 0..100 could neither
    // show nor reach the bounds of a metric such as lines of code.
    const int low = std::min(integer->getMinimum(), integer->getLowerBound());
    const int high = std::max({integer->getMaximum(), integer->getUpperBound(), low + 1});
    for (wxSlider* slider : {upper_, lower_}) {
      slider->Enable();
      slider->SetRange(low, high);
    }
    upper_->SetValue(integer->getUpperBound());
    lower_->SetValue(integer->getLowerBound());
    upper_->SetToolTip(wxString::FromUTF8(integer->formatValue(integer->getUpperBound())));
    lower_->SetToolTip(wxString::FromUTF8(integer->formatValue(integer->getLowerBound())));
  } else {
    visualizer_->Append(kBooleanGlyph);
    visualizer_->SetStringSelection(wxString::FromUTF8(metric->getVisualizerName()));
    upper_->Disable();
    lower_->Disable();
  }
  visualizer_->Enable();
}

wxString paletteEntryName(int index) {
  if (index == 0) return "Translucent black";  // dark enough to hide the text below it
  const Color c = paletteColor(index);
  auto byte = [](float v) { return static_cast<int>(std::lround(v * 255.0f)); };
  return wxString::Format("#%02X%02X%02X", byte(c.r), byte(c.g), byte(c.b));
}

wxBitmap paletteSwatch(int index) {
  const Color c = paletteColor(index);
  auto byte = [](float v) { return static_cast<unsigned char>(std::lround(v * 255.0f)); };
  wxBitmap swatch(16, 16);
  wxMemoryDC dc(swatch);
  dc.SetBackground(*wxWHITE_BRUSH);
  dc.Clear();
  // The colour as it shows over a white box (its alpha blended in).
  const float a = c.a;
  const wxColour shown(byte(c.r * a + (1.0f - a)), byte(c.g * a + (1.0f - a)), byte(c.b * a + (1.0f - a)));
  dc.SetBrush(wxBrush(shown));
  dc.SetPen(*wxBLACK_PEN);
  dc.DrawRectangle(0, 0, 16, 16);
  dc.SelectObject(wxNullBitmap);
  return swatch;
}

int paletteIndexOf(const Color& colour) {
  for (int i = 0; i < kMetricPaletteSize; ++i)
    if (paletteColor(i) == colour) return i;
  return wxNOT_FOUND;
}

void MetricsPage::sync(Document& document) {
  const bool loaded = document.hasMetrics();
  syncPageList(document.revision(), shownRevision_, *list_, loaded ? &document.metrics() : nullptr,
               [this] { modelClosed(); }, [this] { metricsOpened(); });
  preview_->Refresh();
  if (loaded) selectMetric(selectedMetric());
}

void MetricsPage::showPicked(const std::string& name) {
  list_->highlightByName(name);
  selectMetric(link_ != nullptr ? link_->metrics().findMetric(name) : nullptr);
}

void MetricsPage::modelClosed() {
  selected_ = nullptr;
  visualizer_->Clear();
  enableOptions(false);
  for (wxWindow* w : {static_cast<wxWindow*>(hPan_), static_cast<wxWindow*>(vPan_), static_cast<wxWindow*>(zoom_),
                      static_cast<wxWindow*>(reset_), static_cast<wxWindow*>(list_)})
    w->Disable();
  preview_->setCurrentMetric("");
  preview_->setMetrics(nullptr);
}

void MetricsPage::metricsOpened() {
  if (link_) preview_->setMetrics(&link_->metrics());
  for (wxWindow* w : {static_cast<wxWindow*>(hPan_), static_cast<wxWindow*>(vPan_), static_cast<wxWindow*>(zoom_),
                      static_cast<wxWindow*>(reset_), static_cast<wxWindow*>(list_)})
    w->Enable();
}

void MetricsPage::setLayoutSliders(const MetricsVisualizer& painter) {
  const Vec2 centre = painter.getGlyphAreaCentre();
  hPan_->SetValue(panSliderPosition(centre.x));
  vPan_->SetValue(panSliderPosition(centre.y));
  zoom_->SetValue(zoomSliderPosition(painter.getGlyphAreaSize()));
}

void MetricsPage::syncLayoutSliders(DiagramPainter* activePainter) {
  auto* painter = dynamic_cast<MetricsVisualizer*>(activePainter);
  for (wxSlider* slider : {hPan_, vPan_, zoom_}) slider->Enable(painter != nullptr);
  if (painter) setLayoutSliders(*painter);
}

MetricsVisualizer* MetricsPage::layoutPainter() const { return link_ ? link_->painter() : nullptr; }

void MetricsPage::onVisualizerChoice() {
  Metric* metric = selectedMetric();
  if (!metric || visualizer_->GetSelection() == wxNOT_FOUND) return;
  metric->setVisualizer(visualizer_->GetStringSelection().utf8_string());
  refresh_.request();
}

void MetricsPage::onTransparency() {
  Metric* metric = selectedMetric();
  if (!metric) return;
  metric->setTransparency(static_cast<float>(transparency_->GetValue()) / 100.0f);
  refresh_.request();
}

void MetricsPage::onThreshold(bool upper) {
  auto* metric = dynamic_cast<IntegerMetric*>(selectedMetric());
  if (!metric) return;
  wxSlider* slider = upper ? upper_ : lower_;
  const int value = slider->GetValue();
  if (upper)
    metric->setUpperBound(value);
  else
    metric->setLowerBound(value);
  slider->SetToolTip(wxString::FromUTF8(metric->formatValue(value)));
  refresh_.request();
}

void MetricsPage::onLayoutSlider(int id) {
  MetricsVisualizer* painter = layoutPainter();
  if (!painter) return;
  Vec2 centre = painter->getGlyphAreaCentre();
  if (id == ids::LayoutHPan) {
    centre.x = panFromSlider(hPan_->GetValue());
    painter->setGlyphAreaCentre(centre);
  } else if (id == ids::LayoutVPan) {
    centre.y = panFromSlider(vPan_->GetValue());
    painter->setGlyphAreaCentre(centre);
  } else {
    painter->setGlyphAreaSize(zoomFromSlider(zoom_->GetValue()));
  }
  refresh_.request();
}

void MetricsPage::onLayoutReset() {
  MetricsVisualizer* painter = layoutPainter();
  if (!painter) return;
  painter->setGlyphAreaCentre(Vec2(0.0f, 0.0f));
  painter->setGlyphAreaSize(1.0f);
  setLayoutSliders(*painter);
  refresh_.request();
}

}  // namespace lumetra
