#include "app/panels/LayoutPreview.h"

#include <wx/dcbuffer.h>

#include "app/panels/CheckListCtrl.h"
#include "app/panels/ViewerLink.h"
#include "app/panels/WindowIds.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "metrics/MetricSet.h"

namespace lumetra {

namespace {
const wxColour kBackground(255, 255, 238);

int truncated(float v) { return static_cast<int>(v); }

unsigned char channel(float v) {
  // The metrics reader keeps components in 0..1; clamp anyway so that an odd
  // value cannot wrap around a byte.
  const int byte = truncated(v * 255.0f);
  return static_cast<unsigned char>(byte < 0 ? 0 : (byte > 255 ? 255 : byte));
}
}  // namespace

wxRect previewRect(Vec2 c1, Vec2 c2, int height) {
  return wxRect(truncated(c1.x), truncated(static_cast<float>(height - 1) - c2.y), truncated(c2.x - c1.x + 1.0f),
                truncated(c2.y - c1.y + 1.0f));
}

lmLayoutPreview::lmLayoutPreview(wxWindow* parent, ViewerLink* link)
    : wxPanel(parent, ids::LayoutPreview, wxDefaultPosition, wxSize(-1, 64), wxTAB_TRAVERSAL, "panel"), link_(link) {
  SetMinSize(wxSize(-1, 64));
  // The whole client area is painted every time; no background erase.
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &lmLayoutPreview::onPaint, this);
  Bind(wxEVT_LEFT_DOWN, &lmLayoutPreview::onMouse, this);
  Bind(wxEVT_RIGHT_DOWN, &lmLayoutPreview::onMouse, this);
}

void lmLayoutPreview::setMetrics(MetricSet* metrics) {
  metrics_ = metrics;
  Refresh();
}

void lmLayoutPreview::setCurrentMetric(const std::string& name) {
  currentMetric_ = name;
  Refresh();
}

std::vector<lmLayoutPreview::Cell> lmLayoutPreview::cells(const wxSize& size) const {
  std::vector<Cell> result;
  MetricsVisualizerSimple* painter = link_ ? link_->painter() : nullptr;
  if (!painter || !metrics_ || size.x <= 0 || size.y <= 0) return result;
  const Vec2 lo(0.0f, 0.0f);
  const Vec2 hi(static_cast<float>(size.x - 1), static_cast<float>(size.y - 1));
  for (std::size_t i = 0; i < metrics_->getMetricCount(); ++i) {
    Metric* metric = metrics_->getMetric(i);
    Vec2 c1, c2;
    // Metrics that are not shown have no glyph cell.
    if (!painter->glyphRectangle(metric->getName(), lo, hi, false, c1, c2)) continue;
    const Color* colour = metric->getColor();
    result.push_back({metric->getName(), c1, c2, previewRect(c1, c2, size.y),
                      wxColour(channel(colour->r), channel(colour->g), channel(colour->b))});
  }
  return result;
}

void lmLayoutPreview::paintOn(wxDC& dc, const wxSize& size) const {
  dc.SetBrush(wxBrush(kBackground));
  dc.SetPen(wxPen(*wxRED, 1));
  dc.DrawRectangle(0, 0, size.x, size.y);
  for (const Cell& cell : cells(size)) {
    wxPen pen(*wxBLACK, cell.name == currentMetric_ ? 3 : 1);
    if (cell.name == currentMetric_) pen.SetJoin(wxJOIN_MITER);
    dc.SetPen(pen);
    dc.SetBrush(wxBrush(cell.colour));
    dc.DrawRectangle(cell.rect);
  }
}

std::vector<std::string> lmLayoutPreview::metricsAt(int x, int y, const wxSize& size) const {
  std::vector<std::string> names;
  // The layout counts y upwards from the preview's bottom row.
  const float px = static_cast<float>(x);
  const float py = static_cast<float>(size.y - y - 1);
  for (const Cell& cell : cells(size)) {
    // Bounds inclusive: the outline belongs to the rectangle.
    if (px >= cell.lower.x && px <= cell.upper.x && py >= cell.lower.y && py <= cell.upper.y)
      names.push_back(cell.name);
  }
  return names;
}

void lmLayoutPreview::selectRow(const std::string& name) {
  const long row = list_ ? list_->findRow(name) : -1;
  if (row < 0) return;
  // Selecting the row makes the list run its own selection handling (the
  // metric becomes the one being edited).
  list_->SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  list_->EnsureVisible(row);
}

void lmLayoutPreview::onPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  paintOn(dc, GetClientSize());
}

void lmLayoutPreview::onMouse(wxMouseEvent& event) {
  event.Skip();
  for (const std::string& name : metricsAt(event.GetX(), event.GetY(), GetClientSize())) selectRow(name);
}

}  // namespace lumetra
