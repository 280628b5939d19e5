#pragma once
// lmLayoutPreview: the "Layout preview" strip of the "Metrics" page. It shows
// where the glyph of every shown metric sits on an element box, using the
// same glyph layout the painter uses on the canvas, with the whole preview
// as the box. The metric being edited gets a thick outline; clicking a
// rectangle selects that metric's row in the metric list.
//
// Preview pixels are y down; the glyph layout is y up with the box from
// (0, 0) to (width - 1, height - 1).

#include <wx/gdicmn.h>
#include <wx/panel.h>

#include <string>
#include <vector>

#include "model/Vec2.h"

class wxDC;

namespace lumetra {

class lmCheckListCtrl;
class MetricSet;
class ViewerLink;

// Where a glyph rectangle with lower corner c1 and upper corner c2 (y up,
// inside a preview of that height) lands in preview pixels (y down).
wxRect previewRect(Vec2 c1, Vec2 c2, int height);

class lmLayoutPreview : public wxPanel {
 public:
  lmLayoutPreview(wxWindow* parent, ViewerLink* link);

  // The metrics whose glyphs are shown (null: none, before metrics are
  // opened and after the model is closed). Not owned.
  void setMetrics(MetricSet* metrics);
  MetricSet* metrics() const { return metrics_; }
  // The name of the metric being edited (drawn with a thick outline).
  void setCurrentMetric(const std::string& name);
  const std::string& currentMetric() const { return currentMetric_; }
  // The list whose rows a click selects (not owned).
  void setMetricList(lmCheckListCtrl* list) { list_ = list; }

  // Paints the preview of that size onto dc (the paint handler, and tests
  // that read the pixels of a memory bitmap).
  void paintOn(wxDC& dc, const wxSize& size) const;
  // What a press at preview pixel (x, y) selects: the names of all metric
  // rectangles containing it, in list order.
  std::vector<std::string> metricsAt(int x, int y, const wxSize& size) const;

 private:
  struct Cell {
    std::string name;
    Vec2 lower, upper;  // the glyph layout's corners, y up
    wxRect rect;        // preview pixels, y down
    wxColour colour;
  };
  // Every shown metric's rectangle, in list order; empty while the painter
  // or the metrics are missing.
  std::vector<Cell> cells(const wxSize& size) const;
  void selectRow(const std::string& name);

  void onPaint(wxPaintEvent& event);
  void onMouse(wxMouseEvent& event);

  ViewerLink* link_;
  std::string currentMetric_;
  MetricSet* metrics_ = nullptr;
  lmCheckListCtrl* list_ = nullptr;
};

}  // namespace lumetra
