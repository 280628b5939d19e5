#include "app/panels/ViewControlStrip.h"

#include <wx/bmpbuttn.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <cmath>

#include "app/document/Document.h"
#include "app/panels/PanelSupport.h"
#include "app/panels/ToolPictures.h"
#include "app/panels/ViewerLink.h"
#include "app/panels/WindowIds.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "render/Canvas.h"

namespace lumetra {

namespace {

wxBitmapButton* pictureButton(wxWindow* parent, int id, ToolPicture picture, const char* tip, bool enabled = true) {
  auto* button = new wxBitmapButton(parent, id, toolPicture(picture));
  button->SetToolTip(tip);
  button->Enable(enabled);
  return button;
}

// A boxed group at least as wide as its title (GTK clips a title wider than
// the group's content).
wxStaticBoxSizer* titledGroup(wxWindow* parent, int orientation, const char* title) {
  auto* group = new wxStaticBoxSizer(orientation, parent, title);
  group->SetMinSize(wxSize(group->GetStaticBox()->GetTextExtent(title).GetWidth() + 24, -1));
  return group;
}

}  // namespace

ViewControlStrip::ViewControlStrip(wxWindow* parent, ViewerLink* link) : wxPanel(parent, wxID_ANY), link_(link) {
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(buildViewGroup(), 0, wxEXPAND | wxALL, 2);
  row->Add(buildWindowGroup(), 0, wxEXPAND | wxALL, 2);
  row->Add(buildTransparencyGroup(), 0, wxEXPAND | wxALL, 2);
  SetSizer(row);
  bindEvents();
}

void ViewControlStrip::bindEvents() {
  for (int id : {ids::ZoomToFit, ids::ResetZoom, ids::ZoomIn, ids::ZoomOut, ids::ResetCamera, ids::RefreshCanvas,
                 ids::SplitVertically, ids::SplitHorizontally, ids::DeleteWindow})
    Bind(wxEVT_BUTTON, [this, id](wxCommandEvent&) { onViewControl(id); }, id);
  for (int id : {ids::Perspective, ids::Stereo})
    Bind(wxEVT_CHECKBOX, [this, id](wxCommandEvent&) { onViewControl(id); }, id);
  for (int id : {ids::ModelTransparency, ids::MetricsTransparency, ids::AreasTransparency})
    bindSliderScroll(this, id, [this, id] { onViewControl(id); });
}

void ViewControlStrip::sync(const Document& document) {
  if (document.hasModel()) modelSeen_ = true;
  metrics_->Enable(!modelSeen_ || document.hasMetrics());
}

wxSizer* ViewControlStrip::buildViewGroup() {
  auto* group = titledGroup(this, wxHORIZONTAL, "View Control");
  wxWindow* box = group->GetStaticBox();
  group->Add(pictureButton(box, ids::ZoomToFit, ToolPicture::ZoomToFit, "Zoom to fit diagram"), 0, wxALIGN_CENTER_VERTICAL);
  group->Add(pictureButton(box, ids::ResetZoom, ToolPicture::ResetZoom, "Reset zoom factor"), 0, wxALIGN_CENTER_VERTICAL);
  group->Add(pictureButton(box, ids::ZoomIn, ToolPicture::ZoomIn, "Zoom in"), 0, wxALIGN_CENTER_VERTICAL);
  group->Add(pictureButton(box, ids::ZoomOut, ToolPicture::ZoomOut, "Zoom out"), 0, wxALIGN_CENTER_VERTICAL);
  group->Add(pictureButton(box, ids::ResetCamera, ToolPicture::ResetCamera, "Reset camera orientation"), 0,
             wxALIGN_CENTER_VERTICAL);
  auto* switches = new wxBoxSizer(wxVERTICAL);
  perspective_ = new wxCheckBox(box, ids::Perspective, "Perspective");
  stereo_ = new wxCheckBox(box, ids::Stereo, "Stereo");
  perspective_->SetValue(true);
  switches->Add(perspective_, 0, wxBOTTOM, 2);
  switches->Add(stereo_);
  group->Add(switches, 0, wxLEFT | wxALIGN_CENTER_VERTICAL, 6);
  return group;
}

wxSizer* ViewControlStrip::buildWindowGroup() {
  auto* group = titledGroup(this, wxHORIZONTAL, "Window Management");
  wxWindow* box = group->GetStaticBox();
  group->Add(pictureButton(box, ids::SplitVertically, ToolPicture::SplitVertically, "Vertically split active window"),
             0, wxALIGN_CENTER_VERTICAL);
  group->Add(
      pictureButton(box, ids::SplitHorizontally, ToolPicture::SplitHorizontally, "Horizontally split active window"),
      0, wxALIGN_CENTER_VERTICAL);
  group->Add(pictureButton(box, ids::DeleteWindow, ToolPicture::DeleteWindow, "Delete active window", false), 0,
             wxALIGN_CENTER_VERTICAL);
  return group;
}

wxSizer* ViewControlStrip::buildTransparencyGroup() {
  auto* group = titledGroup(this, wxVERTICAL, "Transparency");
  wxWindow* box = group->GetStaticBox();
  auto* grid = new wxFlexGridSizer(2, 0, 6);
  const wxSize sliderSize(120, -1);
  model_ = new wxSlider(box, ids::ModelTransparency, 255, 0, 255, wxDefaultPosition, sliderSize);
  metrics_ = new wxSlider(box, ids::MetricsTransparency, 128, 0, 255, wxDefaultPosition, sliderSize);
  areas_ = new wxSlider(box, ids::AreasTransparency, 20, 0, 100, wxDefaultPosition, sliderSize);
  areas_->SetToolTip("20");
  const std::pair<const char*, wxSlider*> rows[] = {{"Model", model_}, {"Metrics", metrics_}, {"Areas", areas_}};
  for (const auto& [label, slider] : rows) {
    const int id = slider == model_ ? ids::ModelLabel : ids::MetricsAreasLabel;
    grid->Add(new wxStaticText(box, id, label), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(slider, 0, wxALIGN_CENTER_VERTICAL);
  }
  group->Add(grid);
  return group;
}

void ViewControlStrip::refresh(bool contentChanged) {
  Canvas* canvas = link_->canvas();
  if (contentChanged || canvas->activeWindow() == nullptr)
    canvas->repaint();
  else
    canvas->refreshWindow(canvas->activeWindow(), true);  // a camera change replays the cached scene
}

void ViewControlStrip::onViewControl(int id) {
  Canvas* canvas = link_ ? link_->canvas() : nullptr;
  if (canvas == nullptr) return;
  CanvasWindow* window = canvas->activeWindow();
  if (window == nullptr) return;
  DiagramPainter* painter = window->visualizer();
  switch (id) {
    case ids::ZoomToFit:
      window->zoomToFit();
      refresh(false);
      break;
    case ids::ResetZoom:
      window->setZoom(1.0f);
      refresh(false);
      break;
    case ids::ZoomIn:
      window->setZoom(window->zoom() * 1.25f);
      refresh(false);
      break;
    case ids::ZoomOut:
      window->setZoom(window->zoom() * 0.8f);
      refresh(false);
      break;
    case ids::ResetCamera:
      window->resetCamera();
      window->zoomToFit();
      refresh(false);
      break;
    case ids::RefreshCanvas: refresh(true); break;
    case ids::Perspective:
      window->setPerspective(perspective_->GetValue());
      refresh(false);
      break;
    case ids::Stereo:
      window->setStereo(stereo_->GetValue());
      refresh(true);
      break;
    case ids::SplitVertically: canvas->splitActive(false, 0.5f); break;
    case ids::SplitHorizontally: canvas->splitActive(true, 0.5f); break;
    case ids::DeleteWindow:
      // The last window stays: the button is disabled then, but a stray
      // event must not leave the canvas without a window.
      if (!canvas->rootOnly()) canvas->deleteActive();
      break;
    case ids::ModelTransparency:
      if (auto* uml = dynamic_cast<UMLModelVisualizer*>(painter)) {
        uml->setTransparency(static_cast<float>(model_->GetValue()) / 255.0f);
        refresh(true);
      }
      break;
    case ids::MetricsTransparency:
      if (auto* overlay = dynamic_cast<MetricsVisualizer*>(painter)) {
        overlay->setMetricsAlpha(static_cast<float>(metrics_->GetValue()) / 255.0f);
        refresh(true);
      }
      break;
    case ids::AreasTransparency:
      areas_->SetToolTip(wxString::Format("%d", areas_->GetValue()));
      if (auto* uml = dynamic_cast<UMLModelVisualizer*>(painter)) {
        uml->setAreaAlpha(static_cast<float>(areas_->GetValue()) / 100.0f);
        canvas->areasChanged();  // the area picture alone is drawn anew
      }
      break;
    default: break;
  }
}

void ViewControlStrip::syncViewControls(CanvasWindow* window, bool singleWindow) {
  if (window != nullptr) {
    perspective_->SetValue(window->perspective());
    stereo_->SetValue(window->stereo());
  }
  if (MetricsVisualizerSimple* painter = link_ ? link_->painter() : nullptr) {
    model_->SetValue(static_cast<int>(std::lround(painter->getTransparency() * 255.0f)));
    metrics_->SetValue(static_cast<int>(std::lround(painter->getMetricsAlpha() * 255.0f)));
    areas_->SetValue(static_cast<int>(std::lround(painter->getAreaAlpha() * 100.0f)));
  }
  if (wxWindow* remove = FindWindow(ids::DeleteWindow)) remove->Enable(!singleWindow);
}

}  // namespace lumetra
