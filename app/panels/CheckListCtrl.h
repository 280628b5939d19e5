#pragma once
// The metric list ("Available metrics", lmCheckListCtrl) and the area list
// ("Available Areas", AreaListCtrl): report-mode lists whose rows each show
// a 40 x 15 picture (check box and colour swatch) and a name.
//
//   - Clicking the picture of a row toggles it: a metric is shown or hidden
//     as glyphs, an area is identified over the active window's diagram or
//     dropped, and the active window is redrawn at once.
//   - Selecting a row highlights it (blue background, white text; the
//     toolkit's own selection is cleared at once, so that clicking the same
//     row again selects it again) and tells the frame which metric or area is
//     now being edited.
//   - Space toggles the highlighted row.
//   - In the metric list the swatch is the metric's colour button: a click
//     on it opens the metric palette (the first entry a translucent black
//     that hides the text below it), and the colour chosen shows at once in
//     the glyphs, the legend, the swatch and the layout preview. A click on
//     the check box toggles. (An area's swatch toggles like its check box.)
//
// A row's checked state is which of its two pictures it shows: the row's
// image base (unchecked) or base + 1 (checked). Rows refer to metrics and
// areas by name only and look them up through the ViewerLink at each use,
// so a list never holds a pointer into a model that was replaced.
//
// The metric list keeps the layout preview of the "Metrics" page up to date:
// a picked row becomes the preview's current metric, and showing or hiding a
// metric redraws the preview.

#include <wx/listctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "app/panels/WindowIds.h"

namespace lumetra {

class AreaSet;
class lmLayoutPreview;
class MetricSet;
class ViewerLink;

// Kind of a metric row; picks the letter drawn on its swatch.
enum RowKind : int { UnknownRow = 0, BooleanRow = 1, IntegerRow = 2 };

class lmCheckListCtrl : public wxListCtrl {
 public:
  // link: the frame; may be null (the list then only shows rows).
  lmCheckListCtrl(wxWindow* parent, ViewerLink* link, wxWindowID id = ids::MetricList);
  ~lmCheckListCtrl() override;

  // Appends an unchecked row; kind is a RowKind (other values draw "?").
  virtual void addItem(const std::string& name, const wxColour& colour, int kind);
  // Marks the row with the highlight colours and restores the previous one.
  // Out of range: nothing.
  virtual void highlightRow(long row);
  // The highlighted row, -1 for none.
  virtual long selectedRow() const { return selectedRow_; }
  // Draws the row's unchecked and checked pictures with that swatch colour.
  virtual void drawRowPictures(long row, const wxColour& colour);
  // Shows (checked) or hides the row's metric, redraws the active window
  // and shows the matching picture. Out of range: nothing.
  virtual void setChecked(long row, bool checked);
  virtual bool isChecked(long row) const;
  // The first row of that name, -1 when there is none.
  virtual long findRow(const std::string& name) const;
  // Empty for a row out of range.
  virtual std::string rowName(long row) const;
  virtual std::string selectedName() const { return rowName(selectedRow_); }
  // The toolkit's item-selected notification: highlight, tell the frame,
  // toggle when the click was on the picture.
  virtual void onItemSelected(wxListEvent& event);
  // The toolkit's item-deleted notification: forget the row's pictures; the
  // other rows keep theirs.
  virtual void onItemDeleted(wxListEvent& event);

  // Refills the list from the loaded metrics: columns "Checkbox and Color"
  // and "Metric", one unchecked row per metric in order with its colour and
  // kind, the picture column as wide as the whole picture shows and the
  // name column fitted.
  void fill(const MetricSet& metrics);
  // Deletes every row with its pictures; nothing is highlighted afterwards.
  void clearRows();
  // Highlights the row of that name (a metric picked on the canvas); an
  // unknown name leaves the highlight as it is.
  void highlightByName(const std::string& name);
  // Every row shows checked exactly when its metric (area) is shown, after
  // the shown ones were changed elsewhere (a loaded configuration).
  void syncChecks();

  // The row's picture as the list shows it (checked or not); a null bitmap
  // for a row out of range.
  wxBitmap rowPicture(long row, bool checked) const;
  // The colour of the row's swatch; invalid for a row out of range.
  wxColour rowColour(long row) const;
  // Gives the row's metric the palette colour of that entry (what choosing
  // it from the swatch's palette does). Out of range: nothing.
  void chooseColour(long row, int paletteIndex);
  // Asks which palette entry a metric gets (its name given): the entry's
  // index, or -1 when the user chose none. The frame asks through its
  // dialogs; without one, a swatch click does nothing.
  using PaletteChooser = std::function<int(const std::string& metric)>;
  void setPaletteChooser(PaletteChooser chooser) { paletteChooser_ = std::move(chooser); }

 protected:
  struct Row {
    int imageBase;  // unchecked picture; the checked one follows it
    int kind;
    wxColour colour;
  };

  bool validRow(long row) const { return row >= 0 && row < static_cast<long>(rows_.size()); }
  const Row& row(long index) const { return rows_[static_cast<std::size_t>(index)]; }
  ViewerLink* link() const { return link_; }
  // Appends a row with its pictures.
  void appendRow(const std::string& name, const wxColour& colour, int kind);
  // Clears everything and sets up the two columns; nameHeading names the
  // second one.
  void beginFill(const wxString& nameHeading);
  // Sets the column widths once the rows are in.
  void endFill();
  // Draws the 40 x 15 row picture on white: check box, swatch, and the
  // letter when letter is not empty.
  wxBitmap paintPicture(const wxColour& colour, const wxString& letter, bool checked) const;
  void storePictures(long row, const wxColour& colour, const wxString& letter);
  void showPicture(long row, bool checked);
  // Toggles the row when the mouse press that selected (or activated) it
  // was on its picture: the check box or the swatch, not the name.
  void toggleIfPictureClicked(long row);
  // Redraws the canvas's active window at once.
  void redrawActiveWindow();
  // Whether the row's metric (area) is shown.
  virtual bool isShown(const std::string& name) const;
  // Whether a click on the swatch opens the palette rather than toggling.
  virtual bool swatchChoosesColour() const { return true; }
  // The layout preview of the "Metrics" page (found by its ID in this
  // window's frame), null when there is none.
  lmLayoutPreview* layoutPreview();

 private:
  // Binds (on) or unbinds the handlers of the list's own events.
  void bindHandlers(bool on);
  void forwardItemSelected(wxListEvent& event) { onItemSelected(event); }
  void forwardItemDeleted(wxListEvent& event) { onItemDeleted(event); }
  void onAllItemsDeleted(wxListEvent& event);
  // A second click on a row that came quickly enough to count as a double
  // click: toggles again when it was on the picture, as a check box does.
  void onItemActivated(wxListEvent& event);
  // Space toggles the highlighted row.
  void onKeyDown(wxListEvent& event);
  // A left press on the rows: remembers which row it hit and whether on the
  // picture, for the selection it causes.
  void onPress(wxMouseEvent& event);
  // Asks the palette chooser for the row's colour and gives it.
  void openPalette(long row);
  // Forgets every row's pictures and the highlight.
  void forgetRows();

  ViewerLink* link_;
  std::vector<Row> rows_;  // by row index
  long selectedRow_ = -1;
  long pressRow_ = -1;          // row of the last press not yet acted on
  bool pressOnPicture_ = false;
  bool pressOnSwatch_ = false;  // on the picture's swatch, right of the check box
  PaletteChooser paletteChooser_;
  wxImageList* images_;    // owned by the list control
};

class AreaListCtrl : public lmCheckListCtrl {
 public:
  AreaListCtrl(wxWindow* parent, ViewerLink* link);

  // Appends an unchecked row with a plain swatch.
  virtual void addAreaItem(const std::string& name, const wxColour& colour);
  // The area set whose shown areas the rows toggle; null (the default) uses
  // the link's.
  virtual void setAreas(AreaSet* areas) { areas_ = areas; }

  void drawRowPictures(long row, const wxColour& colour) override;
  // Identifies the row's area over the active window's diagram (checked) or
  // drops it from the shown areas. The row shows checked only when the area
  // is shown afterwards (it is not when the window has no diagram).
  void setChecked(long row, bool checked) override;
  void onItemSelected(wxListEvent& event) override;

 protected:
  bool isShown(const std::string& name) const override;
  bool swatchChoosesColour() const override { return false; }

 public:
  // Refills the list from the loaded areas: columns "Checkbox and Color" and
  // "Area", one unchecked row per area with the inverse of its stored colour
  // (which is the colour the metrics file gave it).
  void fill(const AreaSet& areas);

 private:
  AreaSet* areaSet() const;

  AreaSet* areas_ = nullptr;
};

// The list part of a page's sync (the metrics and the areas page): when the
// document's revision differs from the one the list was filled at
// (shownRevision), the page forgets its selection (closed), the rows go
// and, with something to list (a non-null set), the list is filled again
// and the page made usable (opened); then the check marks follow what is
// shown.
template <typename List, typename Set, typename Closed, typename Opened>
void syncPageList(unsigned revision, unsigned& shownRevision, List& list, const Set* set, Closed&& closed,
                  Opened&& opened) {
  if (revision != shownRevision) {
    shownRevision = revision;
    closed();
    list.clearRows();
    if (set != nullptr) {
      list.fill(*set);
      opened();
    }
  }
  if (set != nullptr) list.syncChecks();
}

}  // namespace lumetra
