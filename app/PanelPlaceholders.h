#pragma once
// Stand-ins for the model tree, the metric and area lists and the two
// notebook pages, with the interface the frame uses, until those panels are
// built. They list and toggle, nothing more.

#include <wx/listctrl.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/treectrl.h>

#include "app/ViewerLink.h"
#include "app/WindowIds.h"
#include "areas/Area.h"
#include "metrics/MetricSet.h"
#include "model/Diagram.h"
#include "render/Canvas.h"

namespace lumetra {

class UMLModelTree : public wxTreeCtrl {
 public:
  UMLModelTree(wxWindow* parent, ViewerLink* link)
      : wxTreeCtrl(parent, ids::ModelTree, wxDefaultPosition, wxDefaultSize,
                   wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_HIDE_ROOT | wxSUNKEN_BORDER),
        link_(link) {
    Bind(wxEVT_TREE_SEL_CHANGED, [this](wxTreeEvent& e) {
      if (clearing_ || !e.GetItem().IsOk()) return;
      auto* data = static_cast<Item*>(GetItemData(e.GetItem()));
      if (data == nullptr || link_ == nullptr) return;
      link_->canvas()->activeWindow()->setDiagram(data->diagram);
      link_->identifyShownAreasAgain(data->diagram);
      link_->refreshCanvas();
    });
  }
  wxTreeItemId addRoot() { return AddRoot("root node"); }
  wxTreeItemId addDiagram(wxTreeItemId root, Diagram* diagram) {
    return AppendItem(root, wxString::FromUTF8(diagram->getName()), -1, -1, new Item(diagram));
  }
  void clear() {
    clearing_ = true;
    DeleteAllItems();
    clearing_ = false;
    if (link_ && link_->canvas()->activeWindow()) link_->canvas()->activeWindow()->clearDiagram();
  }

 private:
  struct Item : wxTreeItemData {
    explicit Item(Diagram* d) : diagram(d) {}
    Diagram* diagram;
  };
  ViewerLink* link_;
  bool clearing_ = false;
};

class lmCheckListCtrl : public wxListCtrl {
 public:
  lmCheckListCtrl(wxWindow* parent, ViewerLink* link, wxWindowID id = ids::MetricList)
      : wxListCtrl(parent, id, wxDefaultPosition, wxDefaultSize, wxLC_REPORT), link_(link) {
    InsertColumn(0, "Checkbox and Color");
    InsertColumn(1, "Metric");
  }
  void fill(const MetricSet& metrics) {
    clearRows();
    for (std::size_t i = 0; i < metrics.getMetricCount(); ++i)
      addRow(metrics.getMetric(i)->getName());
  }
  void clearRows() {
    DeleteAllItems();
    checked_.clear();
  }
  void highlightByName(const std::string&) {}
  long findRow(const std::string& name) const {
    for (long r = 0; r < GetItemCount(); ++r)
      if (GetItemText(r, 1).utf8_string() == name) return r;
    return -1;
  }
  bool isChecked(long row) const { return row >= 0 && row < static_cast<long>(checked_.size()) && checked_[row]; }
  virtual void setChecked(long row, bool on) {
    if (row < 0 || row >= GetItemCount()) return;
    const std::string name = GetItemText(row, 1).utf8_string();
    if (on && !link_->metrics().findShownMetric(name)) link_->metrics().showMetric(name);
    if (!on) link_->metrics().hideMetric(name);
    checked_[row] = on;
    SetItem(row, 0, on ? "[x]" : "[ ]");
    link_->refreshCanvas();
  }

 protected:
  void addRow(const std::string& name) {
    const long row = InsertItem(GetItemCount(), "[ ]");
    SetItem(row, 1, wxString::FromUTF8(name));
    checked_.push_back(false);
  }
  ViewerLink* link_;
  std::vector<bool> checked_;
};

class AreaListCtrl : public lmCheckListCtrl {
 public:
  AreaListCtrl(wxWindow* parent, ViewerLink* link) : lmCheckListCtrl(parent, link, ids::AreaList) {}
  void fill(const AreaSet& areas) {
    clearRows();
    for (std::size_t i = 0; i < areas.getLoadedCount(); ++i) addRow(areas.getLoadedArea(i)->getName());
  }
  void setChecked(long row, bool on) override {
    if (row < 0 || row >= GetItemCount()) return;
    const std::string name = GetItemText(row, 1).utf8_string();
    if (on) on = link_->showArea(name);
    else link_->areas().removeIdentified(name);
    checked_[row] = on;
    link_->refreshCanvas();
  }
};

}  // namespace lumetra
