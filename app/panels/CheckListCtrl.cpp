#include "app/panels/CheckListCtrl.h"

#include <wx/dcmemory.h>
#include <wx/imaglist.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include <cmath>

#include "app/panels/LayoutPreview.h"
#include "app/panels/MetricsPage.h"
#include "app/panels/PanelPictures.h"
#include "app/panels/ViewerLink.h"
#include "areas/Area.h"
#include "metrics/Metric.h"
#include "metrics/MetricSet.h"
#include "render/Canvas.h"

namespace lumetra {

namespace {

constexpr int PICTURE_WIDTH = 40;
constexpr int PICTURE_HEIGHT = 15;
// The toolkit's report list clips a cell 8 pixels short of its column's
// width, picture included: a 42-pixel column cut the swatch's right side.
constexpr int PICTURE_COLUMN_WIDTH = PICTURE_WIDTH + 8;

const wxColour HIGHLIGHT_BACKGROUND(0, 0, 255);
const wxColour HIGHLIGHT_TEXT(255, 255, 255);
const wxColour PLAIN_BACKGROUND(255, 255, 255);
const wxColour PLAIN_TEXT(0, 0, 0);

// A colour component in 0..1 as a byte, truncated; out-of-range values are
// held to 0..255 and one that is not a number reads as 0.
unsigned char componentByte(float value) {
  if (!(value > 0.0f)) return 0;
  const float scaled = value * 255.0f;
  return scaled >= 255.0f ? 255 : static_cast<unsigned char>(scaled);
}

// The letter drawn on a metric row's swatch.
wxString kindLetter(int kind) {
  switch (kind) {
    case BooleanRow: return "b";
    case IntegerRow: return "i";
    default: return "?";
  }
}

// Black on light swatches, white on dark ones (relative luminance of the
// sRGB primaries).
wxColour letterColour(const wxColour& swatch) {
  const double luminance =
      0.212671 * swatch.Red() / 255.0 + 0.71516 * swatch.Green() / 255.0 + 0.072169 * swatch.Blue() / 255.0;
  return luminance > 0.5 ? *wxBLACK : *wxWHITE;
}

}  // namespace

// ---------------------------------------------------------------------------
// lmCheckListCtrl

lmCheckListCtrl::lmCheckListCtrl(wxWindow* parent, ViewerLink* link, wxWindowID id)
    : wxListCtrl(parent, id, wxDefaultPosition, wxSize(160, 120),
                 wxLC_REPORT | wxLC_SINGLE_SEL | wxLC_NO_HEADER | wxSUNKEN_BORDER, wxDefaultValidator,
                 "listCtrl"),
      link_(link),
      images_(new wxImageList(PICTURE_WIDTH, PICTURE_HEIGHT, true)) {
  AssignImageList(images_, wxIMAGE_LIST_SMALL);
  bindHandlers(true);
}

lmCheckListCtrl::~lmCheckListCtrl() {
  // The toolkit's list deletes its items after this destructor has run, and
  // reports that: the handlers must not reach the rows destroyed by then.
  bindHandlers(false);
}

void lmCheckListCtrl::bindHandlers(bool on) {
  const auto bind = [&](wxEvtHandler* source, const auto& type, auto handler, int id) {
    if (on) source->Bind(type, handler, this, id);
    else source->Unbind(type, handler, this, id);
  };
  // Bound to the list's own ID and forwarded virtually, so that the area
  // list's overrides run.
  const wxWindowID id = GetId();
  bind(this, wxEVT_LIST_ITEM_SELECTED, &lmCheckListCtrl::forwardItemSelected, id);
  bind(this, wxEVT_LIST_DELETE_ITEM, &lmCheckListCtrl::forwardItemDeleted, id);
  bind(this, wxEVT_LIST_DELETE_ALL_ITEMS, &lmCheckListCtrl::onAllItemsDeleted, id);
  bind(this, wxEVT_LIST_ITEM_ACTIVATED, &lmCheckListCtrl::onItemActivated, id);
  bind(this, wxEVT_LIST_KEY_DOWN, &lmCheckListCtrl::onKeyDown, id);
  // The rows are drawn in, and pressed on, a child window of the list.
  for (wxWindow* child : GetChildren()) {
    bind(child, wxEVT_LEFT_DOWN, &lmCheckListCtrl::onPress, wxID_ANY);
    bind(child, wxEVT_LEFT_DCLICK, &lmCheckListCtrl::onPress, wxID_ANY);
  }
}

void lmCheckListCtrl::addItem(const std::string& name, const wxColour& colour, int kind) {
  appendRow(name, colour, kind);
}

void lmCheckListCtrl::appendRow(const std::string& name, const wxColour& colour, int kind) {
  if (GetColumnCount() < 2) {
    // Rows added before fill() still need both columns.
    while (GetColumnCount() > 0) DeleteColumn(0);
    InsertColumn(0, "Checkbox and Color");
    InsertColumn(1, GetId() == ids::AreaList ? "Area" : "Metric");
  }
  const long index = GetItemCount();
  const wxBitmap blank(PICTURE_WIDTH, PICTURE_HEIGHT);
  images_->Add(blank);
  images_->Add(blank);
  rows_.push_back({images_->GetImageCount() - 2, kind, colour});
  InsertItem(index, "", rows_.back().imageBase);
  SetItem(index, 1, wxString::FromUTF8(name));
  drawRowPictures(index, colour);
}

wxBitmap lmCheckListCtrl::paintPicture(const wxColour& colour, const wxString& letter, bool checked) const {
  wxBitmap picture(PICTURE_WIDTH, PICTURE_HEIGHT);
  wxMemoryDC dc(picture);
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(*wxWHITE_BRUSH);
  dc.DrawRectangle(0, 0, PICTURE_WIDTH, PICTURE_HEIGHT);
  dc.DrawBitmap(wxBitmap(checked ? pictures::checkBoxChecked : pictures::checkBoxUnchecked), 0, 0, true);
  dc.SetPen(*wxBLACK_PEN);
  dc.SetBrush(wxBrush(colour));
  dc.DrawRectangle(20, 1, 19, 13);
  if (!letter.empty()) {
    const int x = letter == "i" ? 27 : 26;  // the narrow letter sits one pixel right
    dc.SetFont(wxFont(wxFontInfo(7).Family(wxFONTFAMILY_DEFAULT).Bold()));
    dc.SetTextForeground(letterColour(colour));
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc.DrawText(letter, x, 1);
  }
  dc.SelectObject(wxNullBitmap);
  return picture;
}

void lmCheckListCtrl::storePictures(long index, const wxColour& colour, const wxString& letter) {
  if (!validRow(index)) return;
  Row& r = rows_[static_cast<std::size_t>(index)];
  images_->Replace(r.imageBase, paintPicture(colour, letter, false));
  images_->Replace(r.imageBase + 1, paintPicture(colour, letter, true));
  r.colour = colour;
  RefreshItem(index);
}

void lmCheckListCtrl::drawRowPictures(long index, const wxColour& colour) {
  if (!validRow(index)) return;
  storePictures(index, colour, kindLetter(row(index).kind));
}

void lmCheckListCtrl::showPicture(long index, bool checked) {
  if (!validRow(index)) return;
  SetItemImage(index, row(index).imageBase + (checked ? 1 : 0));
}

bool lmCheckListCtrl::isChecked(long index) const {
  if (!validRow(index)) return false;
  wxListItem item;
  item.SetId(index);
  item.SetMask(wxLIST_MASK_IMAGE);
  if (!GetItem(item)) return false;
  return item.GetImage() == row(index).imageBase + 1;
}

void lmCheckListCtrl::highlightRow(long index) {
  if (!validRow(index)) return;
  if (validRow(selectedRow_)) {
    SetItemBackgroundColour(selectedRow_, PLAIN_BACKGROUND);
    SetItemTextColour(selectedRow_, PLAIN_TEXT);
  }
  SetItemBackgroundColour(index, HIGHLIGHT_BACKGROUND);
  SetItemTextColour(index, HIGHLIGHT_TEXT);
  // Only the colours mark the row: without the toolkit's selection, clicking
  // the same row again selects it again (and can toggle it again).
  SetItemState(index, 0, wxLIST_STATE_SELECTED);
  selectedRow_ = index;
}

void lmCheckListCtrl::highlightByName(const std::string& name) {
  const long index = findRow(name);
  if (index < 0) return;
  highlightRow(index);
  EnsureVisible(index);
}

long lmCheckListCtrl::findRow(const std::string& name) const {
  const wxString wanted = wxString::FromUTF8(name);
  for (long i = 0; i < GetItemCount(); ++i) {
    if (GetItemText(i, 1) == wanted) return i;
  }
  return -1;
}

std::string lmCheckListCtrl::rowName(long index) const {
  if (index < 0 || index >= GetItemCount() || GetColumnCount() < 2) return {};
  return GetItemText(index, 1).utf8_string();
}

lmLayoutPreview* lmCheckListCtrl::layoutPreview() {
  wxWindow* top = wxGetTopLevelParent(this);
  return top != nullptr ? dynamic_cast<lmLayoutPreview*>(top->FindWindow(ids::LayoutPreview)) : nullptr;
}

void lmCheckListCtrl::redrawActiveWindow() {
  // Recording a big diagram takes seconds: the pointer says so meanwhile.
  wxBusyCursor busy;
  Canvas* canvas = link_ != nullptr ? link_->canvas() : nullptr;
  if (canvas != nullptr && canvas->activeWindow() != nullptr) canvas->refreshWindow(canvas->activeWindow(), false);
}

bool lmCheckListCtrl::isShown(const std::string& name) const {
  return link_ != nullptr && link_->metrics().indexOfShownMetric(name) >= 0;
}

void lmCheckListCtrl::syncChecks() {
  for (long index = 0; index < static_cast<long>(rows_.size()); ++index) showPicture(index, isShown(rowName(index)));
}

void lmCheckListCtrl::setChecked(long index, bool checked) {
  if (!validRow(index) || link_ == nullptr) return;
  const std::string name = rowName(index);
  MetricSet& metrics = link_->metrics();
  // The row's state follows the request: a metric already shown stays shown
  // when its row is checked again (and every entry of its name goes when
  // it is unchecked).
  const bool shown = metrics.indexOfShownMetric(name) >= 0;
  if (checked && !shown) {
    metrics.showMetric(name);
  } else if (!checked) {
    while (metrics.indexOfShownMetric(name) >= 0) metrics.hideMetric(name);
  }
  redrawActiveWindow();
  if (lmLayoutPreview* preview = layoutPreview()) preview->Refresh();
  showPicture(index, metrics.indexOfShownMetric(name) >= 0);
}

void lmCheckListCtrl::onPress(wxMouseEvent& event) {
  event.Skip();  // the list selects the row after this
  int flags = 0;
  pressRow_ = HitTest(event.GetPosition(), flags);
  pressOnPicture_ = pressRow_ >= 0 && (flags & wxLIST_HITTEST_ONITEMLABEL) == 0;
  // The swatch is the picture's right part (paintPicture draws it from x 20).
  wxRect icon;
  pressOnSwatch_ = pressOnPicture_ && GetItemRect(pressRow_, icon, wxLIST_RECT_ICON) &&
                   event.GetPosition().x >= icon.x + 19 && event.GetPosition().x < icon.x + PICTURE_WIDTH;
}

void lmCheckListCtrl::toggleIfPictureClicked(long index) {
  // Only the press that made this notification counts: a row selected from
  // the keyboard, or by the layout preview, is not toggled wherever the
  // pointer rests.
  const bool onPicture = pressRow_ == index && pressOnPicture_;
  const bool onSwatch = onPicture && pressOnSwatch_;
  pressRow_ = -1;
  pressOnSwatch_ = false;
  if (!onPicture || !validRow(index)) return;
  if (onSwatch && swatchChoosesColour()) {
    // After the selection has run its course, not inside its notification.
    CallAfter([this, name = rowName(index)] { openPalette(findRow(name)); });
    return;
  }
  setChecked(index, !isChecked(index));
}

void lmCheckListCtrl::openPalette(long index) {
  if (!validRow(index) || !paletteChooser_) return;
  const int chosen = paletteChooser_(rowName(index));
  // The rows may have been refilled while the user chose.
  if (chosen >= 0 && chosen < kMetricPaletteSize && validRow(index)) chooseColour(index, chosen);
}

void lmCheckListCtrl::chooseColour(long index, int paletteIndex) {
  if (!validRow(index) || link_ == nullptr) return;
  Metric* metric = link_->metrics().findMetric(rowName(index));
  if (metric == nullptr || metric->getColor() == nullptr) return;
  const Color c = paletteColor(paletteIndex);
  *metric->getColor() = c;
  drawRowPictures(index, wxColour(componentByte(c.r), componentByte(c.g), componentByte(c.b)));
  if (lmLayoutPreview* preview = layoutPreview()) preview->Refresh();
  redrawActiveWindow();
}

void lmCheckListCtrl::onItemSelected(wxListEvent& event) {
  const long index = event.GetIndex();
  // The notification may come from rows that were replaced since.
  if (!validRow(index) || index >= GetItemCount()) return;
  highlightRow(index);
  // Toggle first, so that the frame edits the metric a click just showed
  // (and nothing when the click just hid it).
  toggleIfPictureClicked(index);
  const std::string name = selectedName();
  if (lmLayoutPreview* preview = layoutPreview()) preview->setCurrentMetric(name);
  if (link_ != nullptr) {
    // Null when the row's metric is not shown: nothing to edit then.
    link_->metricSelected(link_->metrics().findShownMetric(name));
  }
}

void lmCheckListCtrl::onItemDeleted(wxListEvent& event) {
  // Sent before the row goes: the rows after it still have their old
  // indices in the control.
  const long index = event.GetIndex();
  if (!validRow(index)) return;
  const int base = row(index).imageBase;
  std::vector<bool> wasChecked(rows_.size());
  for (long i = 0; i < static_cast<long>(rows_.size()); ++i) wasChecked[static_cast<std::size_t>(i)] = isChecked(i);
  images_->Remove(base + 1);
  images_->Remove(base);
  rows_.erase(rows_.begin() + index);
  wasChecked.erase(wasChecked.begin() + index);
  // The pictures after the removed pair moved down by two: point the rows
  // that used them at their new places.
  for (long i = 0; i < static_cast<long>(rows_.size()); ++i) {
    Row& r = rows_[static_cast<std::size_t>(i)];
    if (r.imageBase < base) continue;
    r.imageBase -= 2;
    const long itemNow = i >= index ? i + 1 : i;
    SetItemImage(itemNow, r.imageBase + (wasChecked[static_cast<std::size_t>(i)] ? 1 : 0));
  }
  if (selectedRow_ == index) {
    selectedRow_ = -1;
  } else if (selectedRow_ > index) {
    --selectedRow_;
  }
}

void lmCheckListCtrl::onItemActivated(wxListEvent& event) {
  const long index = event.GetIndex();
  if (!validRow(index) || index >= GetItemCount()) return;
  toggleIfPictureClicked(index);
}

void lmCheckListCtrl::onKeyDown(wxListEvent& event) {
  if (event.GetKeyCode() != WXK_SPACE || !validRow(selectedRow_)) {
    event.Skip();
    return;
  }
  setChecked(selectedRow_, !isChecked(selectedRow_));
}

void lmCheckListCtrl::onAllItemsDeleted(wxListEvent& event) {
  forgetRows();
  event.Skip();
}

void lmCheckListCtrl::forgetRows() {
  rows_.clear();
  images_->RemoveAll();
  selectedRow_ = -1;
}

void lmCheckListCtrl::clearRows() {
  DeleteAllItems();
  forgetRows();
}

void lmCheckListCtrl::beginFill(const wxString& nameHeading) {
  ClearAll();
  forgetRows();
  InsertColumn(0, "Checkbox and Color");
  InsertColumn(1, nameHeading);
}

void lmCheckListCtrl::endFill() {
  SetColumnWidth(0, PICTURE_COLUMN_WIDTH);
  SetColumnWidth(1, wxLIST_AUTOSIZE);
}

void lmCheckListCtrl::fill(const MetricSet& metrics) {
  beginFill("Metric");
  for (std::size_t i = 0; i < metrics.getMetricCount(); ++i) {
    const Metric* metric = metrics.getMetric(i);
    const Color* c = metric->getColor();
    int kind = UnknownRow;
    if (dynamic_cast<const IntegerMetric*>(metric) != nullptr) {
      kind = IntegerRow;
    } else if (dynamic_cast<const BooleanMetric*>(metric) != nullptr) {
      kind = BooleanRow;
    }
    addItem(metric->getName(), wxColour(componentByte(c->r), componentByte(c->g), componentByte(c->b)), kind);
  }
  endFill();
}

wxBitmap lmCheckListCtrl::rowPicture(long index, bool checked) const {
  if (!validRow(index)) return wxNullBitmap;
  return images_->GetBitmap(row(index).imageBase + (checked ? 1 : 0));
}

wxColour lmCheckListCtrl::rowColour(long index) const {
  return validRow(index) ? row(index).colour : wxColour();
}

// ---------------------------------------------------------------------------
// AreaListCtrl

AreaListCtrl::AreaListCtrl(wxWindow* parent, ViewerLink* link) : lmCheckListCtrl(parent, link, ids::AreaList) {}

void AreaListCtrl::addAreaItem(const std::string& name, const wxColour& colour) {
  appendRow(name, colour, UnknownRow);
}

void AreaListCtrl::drawRowPictures(long index, const wxColour& colour) { storePictures(index, colour, {}); }

AreaSet* AreaListCtrl::areaSet() const {
  if (areas_ != nullptr) return areas_;
  return link() != nullptr ? &link()->areas() : nullptr;
}

bool AreaListCtrl::isShown(const std::string& name) const {
  const AreaSet* areas = areaSet();
  return areas != nullptr && areas->isIdentified(name);
}

void AreaListCtrl::setChecked(long index, bool checked) {
  AreaSet* areas = areaSet();
  if (!validRow(index) || areas == nullptr) return;
  const std::string name = rowName(index);
  const bool shown = areas->isIdentified(name);
  if (checked && !shown) {
    if (link() != nullptr) link()->showArea(name);  // false without a diagram: nothing changes
  } else if (!checked && shown) {
    while (areas->isIdentified(name)) areas->removeIdentified(name);
    // The removed area's elements are free again: they get their halos.
    areas->computeFreeElements(areas->getIdentifiedDiagram());
  }
  // Only the area picture changes, in every window; over many members
  // that takes a while.
  if (link() != nullptr) {
    wxBusyCursor busy;
    link()->refreshAreas();
  }
  showPicture(index, areas->isIdentified(name));
}

void AreaListCtrl::onItemSelected(wxListEvent& event) {
  const long index = event.GetIndex();
  if (!validRow(index) || index >= GetItemCount()) return;
  highlightRow(index);
  if (link() != nullptr) link()->areaSelected(selectedName());
  toggleIfPictureClicked(index);
}

void AreaListCtrl::fill(const AreaSet& areas) {
  beginFill("Area");
  for (std::size_t i = 0; i < areas.getLoadedCount(); ++i) {
    const Area* area = areas.getLoadedArea(i);
    const Color* c = area->getColor();
    addAreaItem(area->getName(),
                wxColour(componentByte(1.0f - c->r), componentByte(1.0f - c->g), componentByte(1.0f - c->b)));
  }
  endFill();
}

}  // namespace lumetra
