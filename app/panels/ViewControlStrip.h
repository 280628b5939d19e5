#pragma once
// The strip of view controls above the canvas, in three boxed groups:
//   "View Control"       zoom to fit, reset zoom, zoom in, zoom out, reset
//                        camera; "Perspective" and "Stereo";
//   "Window Management"  split vertically, split horizontally, delete the
//                        active window;
//   "Transparency"       the model, metrics and areas sliders.
// Every control acts on the canvas's active window or on the painter every
// window shares. The strip binds its controls' events itself; the frame
// calls syncViewControls when another window becomes active or the split
// tree changes, and that is the one place where the strip's state is
// computed from the window. sync follows what the document has loaded.

#include <wx/panel.h>

class wxCheckBox;
class wxSlider;

namespace lumetra {

class CanvasWindow;
class Document;
class ViewerLink;

class ViewControlStrip : public wxPanel {
 public:
  ViewControlStrip(wxWindow* parent, ViewerLink* link);

  // One control's event, by its window ID: a button click, a check box
  // click or any scroll event of a slider. Does nothing before the canvas
  // exists.
  void onViewControl(int id);
  // Perspective and stereo from the window, the transparency sliders from
  // the painter every window shares; "Delete active window" enabled
  // exactly when the canvas holds more than one window.
  void syncViewControls(CanvasWindow* window, bool singleWindow);
  // The metrics transparency is usable at start-up and while metrics are
  // loaded, not with a model without metrics nor after it was closed.
  void sync(const Document& document);

 private:
  wxSizer* buildViewGroup();
  wxSizer* buildWindowGroup();
  wxSizer* buildTransparencyGroup();
  void refresh(bool contentChanged);
  void bindEvents();

  ViewerLink* link_;
  wxCheckBox* perspective_ = nullptr;
  wxCheckBox* stereo_ = nullptr;
  wxSlider* model_ = nullptr;
  wxSlider* metrics_ = nullptr;
  wxSlider* areas_ = nullptr;
  bool modelSeen_ = false;  // a model was loaded since start-up
};

}  // namespace lumetra
