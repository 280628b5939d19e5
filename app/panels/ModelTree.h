#pragma once
// The model tree (upper left of the main frame): every loaded diagram under a
// hidden root, each with the classes it shows as children. It is how a loaded
// diagram reaches the screen:
//   - selecting a diagram item has the frame show that diagram in the
//     canvas's active window (ViewerLink::showDiagram: fitted, the shown
//     areas identified again over it) and enables the area list;
//   - selecting the root clears the active window; selecting a class changes
//     nothing;
//   - double-clicking a class item, or pressing Enter on it, shows its
//     diagram if the active window shows another one, then selects the class
//     and centres it there;
//   - clicking the selected diagram item again, double-clicking a diagram
//     item or pressing Enter on it shows that diagram in the active window
//     if it shows another one (after another view was made active).
//
// Items refer to diagrams and model elements without owning them: the frame
// calls clear() before it destroys the diagrams they point into.

#include <wx/treectrl.h>

#include <string>

namespace lumetra {

class CanvasWindow;
class Diagram;
class ModelElement;
class ViewerLink;

class UMLModelTree : public wxTreeCtrl {
 public:
  // link: the frame; may be null (the tree then only lists).
  UMLModelTree(wxWindow* parent, ViewerLink* link);
  ~UMLModelTree() override;

  // Adds the hidden root "root node" (the tree holds one root at most).
  wxTreeItemId addRoot();
  // Appends a diagram item under root with a child for every shape of the
  // diagram, in order, that shows a Class, and returns the diagram item.
  wxTreeItemId addDiagram(wxTreeItemId root, Diagram* diagram);
  // Deletes every item and has the active window drop its diagram.
  void clear();
  // Selects the item of a diagram that was shown by other means (Find, the
  // command line, a configuration) without acting on the selection. False
  // when the tree lists no such diagram.
  bool markShown(Diagram* diagram);

  // The diagram an item stands for: a diagram item's own, a class item's
  // diagram; null for the root or an invalid item.
  Diagram* diagramOf(const wxTreeItemId& item) const;
  // The class a class item stands for; null for any other item.
  ModelElement* elementOf(const wxTreeItemId& item) const;

  // Index in the tree's image list of the named icon, -1 when the icon
  // table has no such name. The table is read once per process.
  static int iconIndex(const std::string& name);

 private:
  void onSelectionChanged(wxTreeEvent& event);
  void onItemActivated(wxTreeEvent& event);
  void onLeftDown(wxMouseEvent& event);
  // The canvas's active window, null while there is none.
  CanvasWindow* activeWindow() const;
  // Shows a diagram in the active window the way selecting its item does.
  void showDiagram(Diagram* diagram);

  ViewerLink* link_;
  bool clearing_ = false;  // set while clear() deletes items
  bool marking_ = false;   // set while markShown selects an item
};

}  // namespace lumetra
