#pragma once
// The "Metrics" page of the left notebook, top to bottom:
//   "Layout preview"        the glyph layout preview and the HPan, VPan and
//                           Zoom sliders that move and scale the glyph area
//                           of the painter, with "Reset";
//   "Available metrics"     the metric list (shown / edited metric);
//   "Visualization options" the glyph kind, transparency and display
//                           thresholds of the metric being edited (its
//                           colour is its swatch in the list).
//
// The page binds its controls itself and acts on the selected metric, the
// frame's painter (through ViewerLink) and the canvas (refreshCanvas). It
// keeps the selected metric; modelClosed forgets it, so no handler reaches a
// metric of a model that was replaced. With no metric selected the options
// are disabled and their handlers do nothing.
//
// The page scrolls when the notebook is too short for its three groups.

#include <wx/scrolwin.h>

#include <string>

#include "app/panels/PanelSupport.h"
#include "settings/Color.h"

class wxBitmap;
class wxButton;
class wxChoice;
class wxSlider;

namespace lumetra {

class DiagramPainter;
class Document;
class lmCheckListCtrl;
class lmLayoutPreview;
class Metric;
class MetricsVisualizer;
class ViewerLink;

class MetricsPage : public wxScrolledWindow {
 public:
  MetricsPage(wxWindow* parent, ViewerLink* link);

  // The metric list (window 10036).
  lmCheckListCtrl* metricList() const { return list_; }
  lmLayoutPreview* preview() const { return preview_; }

  // Shows the options of that metric for editing: glyph kinds for its type
  // with its current one chosen, transparency 0..100, thresholds for an
  // integer metric. Null selects nothing and disables the options.
  void selectMetric(Metric* metric);
  // A metric picked on the canvas: its row highlighted and its options
  // shown (an unknown name selects nothing).
  void showPicked(const std::string& name);
  // The metric being edited, or null. A metric that is no longer among the
  // loaded metrics counts as none.
  Metric* selectedMetric() const;
  // Brings the page in line with the document: when its model or metrics
  // were replaced since the last sync, the selected metric is forgotten and
  // the list filled anew (empty, and the page disabled, without metrics);
  // then the list's check marks follow the shown metrics and the options
  // the selected metric. The frame calls it after every change of what is
  // loaded or shown.
  void sync(Document& document);
  // The loaded model went away or is being replaced: forget the selected
  // metric, empty the preview and disable every control but the preview.
  void modelClosed();
  // Metrics were read: the list and the layout controls become usable and
  // the preview shows the loaded metrics.
  void metricsOpened();
  // Sets HPan, VPan and Zoom from the glyph area of the active window's
  // painter and enables them, or disables them when that painter overlays
  // no metrics.
  void syncLayoutSliders(DiagramPainter* activePainter);

  // Runs a repaint the handlers asked for and that is still waiting for the
  // event loop (see RefreshCoalescer).
  void flushRefresh() { refresh_.flush(); }

 private:
  void buildLayoutGroup(wxSizer* page);
  void buildListGroup(wxSizer* page);
  void buildOptionsGroup(wxSizer* page);
  void bindEvents();
  void enableOptions(bool on);
  void setLayoutSliders(const MetricsVisualizer& painter);
  MetricsVisualizer* layoutPainter() const;

  void onVisualizerChoice();
  void onTransparency();
  void onThreshold(bool upper);
  void onLayoutSlider(int id);
  void onLayoutReset();

  ViewerLink* link_;
  RefreshCoalescer refresh_;
  Metric* selected_ = nullptr;  // not owned; the link's metric set owns it
  unsigned shownRevision_ = 0;  // the document's revision the list was filled at

  lmLayoutPreview* preview_ = nullptr;
  wxSlider* hPan_ = nullptr;
  wxSlider* vPan_ = nullptr;
  wxSlider* zoom_ = nullptr;
  wxButton* reset_ = nullptr;
  lmCheckListCtrl* list_ = nullptr;
  wxChoice* visualizer_ = nullptr;
  wxSlider* transparency_ = nullptr;
  wxSlider* upper_ = nullptr;
  wxSlider* lower_ = nullptr;
};

// The glyph colours offered: the metric palette (metrics/Metric.h), the
// first a translucent black. The entry of a colour, or wxNOT_FOUND.
inline constexpr int kMetricPaletteSize = 16;
wxString paletteEntryName(int index);
wxBitmap paletteSwatch(int index);
int paletteIndexOf(const Color& colour);

// The slider positions (-255..255) of a glyph area and back: offset = pan x 2
// / 255; zoom = position / 255 + 1 upwards, position / 512 + 1 downwards.
int panSliderPosition(float offset);
int zoomSliderPosition(float zoom);
float panFromSlider(int position);
float zoomFromSlider(int position);

}  // namespace lumetra
