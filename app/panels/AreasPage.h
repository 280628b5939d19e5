#pragma once
// The "Areas" page of the left notebook: a splitter with the area list
// ("Available Areas") above a notebook of the selected area's options:
//   "Visualizer"  which painter draws the area ("Inner", "Outer", "Square"),
//                 the inner painter's radius and the outer painter's
//                 iterations and distance (shared by all areas);
//   "Drawing"     the painter's drawing mode and softness, the priority
//                 switch, the eraser's softness and the outer painter's
//                 method.
//
// The page binds its controls itself. Its sliders act while the thumb is
// dragged: each event stores the value at once, and the canvas repaint they
// ask for runs once the queued events are done (RefreshCoalescer), so a drag
// never queues repaints behind the pointer. Every control here changes only
// what the areas show, so that repaint is an area-only refresh
// (ViewerLink::refreshAreas): the windows keep their recorded diagrams and
// draw the area picture anew. The selected area is forgotten
// by modelClosed; with none selected the area's controls do nothing.

#include <wx/panel.h>

#include <string>

#include "app/panels/PanelSupport.h"

class wxCheckBox;
class wxChoice;
class wxNotebook;
class wxSlider;
class wxSplitterWindow;

namespace lumetra {

class Area;
class AreaListCtrl;
class AreaSet;
class AreaVisualizer;
class Document;
class ViewerLink;

class AreasPage : public wxPanel {
 public:
  AreasPage(wxWindow* parent, ViewerLink* link);

  // The area list (window 10091).
  AreaListCtrl* areaList() const { return list_; }

  // Shows the options of the area of that name for editing: its painter's
  // kind, drawing mode, softness and method, and which parameter controls
  // that kind uses. An unknown name selects nothing.
  void selectArea(const std::string& name);
  // The area being edited, or null. An area that is no longer among the
  // loaded areas counts as none.
  Area* selectedArea() const;
  // Brings the page in line with the document: when its model or metrics
  // were replaced since the last sync, the selected area is forgotten and
  // the list filled anew (empty without metrics); then the list's check
  // marks follow the shown areas. The list is enabled once the active
  // window shows a diagram (checking an area identifies it over that one).
  void sync(Document& document);
  // The loaded model went away or is being replaced: forget the selected
  // area and disable the controls that act on it.
  void modelClosed();
  // Metrics (and with them the areas) were read: the eraser softness becomes
  // usable and the parameter controls take the "Inner" painter's state.
  void metricsOpened();
  // Whether shown areas are drawn in the order of their values: the area
  // set's choice, which "&Use area value as a priority" switches.
  bool usePriority() const;
  // Sets the radius, iterations and distance sliders from the area set,
  // the eraser softness from the painter (when it was set) and the priority
  // switch, after they were changed elsewhere (a loaded configuration), and
  // shows the selected area's options again.
  void syncAreaSetControls(bool priority);

  // Runs a repaint the handlers asked for and that is still waiting for the
  // event loop.
  void flushRefresh() { refresh_.flush(); }

 private:
  wxWindow* buildVisualizerPage(wxNotebook* book);
  wxWindow* buildDrawingPage(wxNotebook* book);
  void bindEvents();
  // Enables the radius, iterations, distance and method controls as the
  // painter of that name uses them; other names leave them as they are.
  void setPainterKindControls(const std::string& painterName);
  void enableAreaControls(bool on);
  AreaVisualizer* selectedPainter() const;

  void onPainterKind();
  void onDrawingMode();
  void onMethod();
  void onSoftness();
  // Stores a parameter of the area set from its slider, shows it as the
  // slider's tooltip and asks for an area repaint.
  template <typename Value>
  void setAreaParameter(wxSlider* slider, void (AreaSet::*set)(Value), Value value);
  void onRadius();
  void onIterations();
  void onDistance();
  void onEraserSoftness();
  void onPriority();

  ViewerLink* link_;
  RefreshCoalescer refresh_;
  Area* selected_ = nullptr;  // not owned; the link's area set owns it
  unsigned shownRevision_ = 0;  // the document's revision the list was filled at

  wxSplitterWindow* splitter_ = nullptr;
  AreaListCtrl* list_ = nullptr;
  wxNotebook* options_ = nullptr;
  wxChoice* painterKind_ = nullptr;
  wxSlider* radius_ = nullptr;
  wxSlider* iterations_ = nullptr;
  wxSlider* distance_ = nullptr;
  wxChoice* drawingMode_ = nullptr;
  wxSlider* softness_ = nullptr;
  wxCheckBox* priority_ = nullptr;
  wxSlider* eraserSoftness_ = nullptr;
  wxChoice* method_ = nullptr;
};

// The area parameters behind the slider positions: radius = position / 20,
// distance = position / 2000.
float radiusFromSlider(int position);
float distanceFromSlider(int position);

}  // namespace lumetra
