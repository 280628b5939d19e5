#include "app/panels/ModelTree.h"

#include <wx/bitmap.h>
#include <wx/imaglist.h>
#include <wx/utils.h>
#include <wx/toplevel.h>

#include <map>

#include "app/panels/PanelPictures.h"
#include "app/panels/ViewerLink.h"
#include "app/panels/WindowIds.h"
#include "model/Diagram.h"
#include "model/UmlElements.h"
#include "render/Canvas.h"
#include "render/CanvasWindow.h"

namespace lumetra {

namespace {

constexpr int ICON_SIZE = 16;

// What an item stands for. The tree owns the data and deletes it with the
// item, so a binding never outlives its item.
class ItemBinding : public wxTreeItemData {
 public:
  ItemBinding(Diagram* diagram, ModelElement* element) : diagram(diagram), element(element) {}
  Diagram* const diagram;       // not owned
  ModelElement* const element;  // the class of a class item, else null; not owned
};

// Icon name -> image index, filled while the first tree builds its image list.
std::map<std::string, int>& iconNames() {
  static std::map<std::string, int> names;
  return names;
}

// One image per entry of the icon table, in table order, recording each
// name's index.
wxImageList* buildImageList() {
  auto* images = new wxImageList(ICON_SIZE, ICON_SIZE, true);
  std::map<std::string, int>& names = iconNames();
  for (int i = 0; pictures::treeIcons[i].name != nullptr; ++i) {
    images->Add(wxBitmap(pictures::treeIcons[i].xpm));
    names[pictures::treeIcons[i].name] = i;
  }
  return images;
}

const char* diagramIconName(const Diagram* diagram) {
  if (diagram != nullptr && diagram->isGenerated()) return "tv-generated-diagram";
  if (dynamic_cast<const ClassDiagram*>(diagram) != nullptr) return "tv-class-diagram-node";
  if (dynamic_cast<const PelkComponentDiagram*>(diagram) != nullptr) return "tv-component-diagram";
  return nullptr;
}

}  // namespace

UMLModelTree::UMLModelTree(wxWindow* parent, ViewerLink* link)
    // Single selection: one diagram is shown per selection, and the hidden
    // root stands for "nothing shown".
    : wxTreeCtrl(parent, ids::ModelTree, wxDefaultPosition, wxDefaultSize,
                 wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_SINGLE | wxTR_HIDE_ROOT | wxSUNKEN_BORDER),
      link_(link) {
  AssignImageList(buildImageList());
  Bind(wxEVT_TREE_SEL_CHANGED, &UMLModelTree::onSelectionChanged, this, ids::ModelTree);
  Bind(wxEVT_TREE_ITEM_ACTIVATED, &UMLModelTree::onItemActivated, this, ids::ModelTree);
  Bind(wxEVT_LEFT_DOWN, &UMLModelTree::onLeftDown, this);
}

UMLModelTree::~UMLModelTree() {
  // The toolkit's tree deletes its items after this destructor has run: no
  // notification of that may reach the handlers.
  Unbind(wxEVT_TREE_SEL_CHANGED, &UMLModelTree::onSelectionChanged, this, ids::ModelTree);
  Unbind(wxEVT_TREE_ITEM_ACTIVATED, &UMLModelTree::onItemActivated, this, ids::ModelTree);
  Unbind(wxEVT_LEFT_DOWN, &UMLModelTree::onLeftDown, this);
}

int UMLModelTree::iconIndex(const std::string& name) {
  const std::map<std::string, int>& names = iconNames();
  auto it = names.find(name);
  return it == names.end() ? -1 : it->second;
}

wxTreeItemId UMLModelTree::addRoot() {
  if (GetRootItem().IsOk()) return GetRootItem();
  return AddRoot("root node");
}

wxTreeItemId UMLModelTree::addDiagram(wxTreeItemId root, Diagram* diagram) {
  if (!root.IsOk() || diagram == nullptr) return {};
  const char* icon = diagramIconName(diagram);
  const int image = icon != nullptr ? iconIndex(icon) : -1;
  const wxTreeItemId item = AppendItem(root, wxString::FromUTF8(diagram->getName()), image, image,
                                       new ItemBinding(diagram, nullptr));
  const int classImage = iconIndex("tv-class");
  for (DiagramElement* shape : diagram->getElements()) {
    auto* cls = dynamic_cast<Class*>(shape != nullptr ? shape->getModelElement() : nullptr);
    if (cls == nullptr) continue;
    AppendItem(item, wxString::FromUTF8(cls->getName()), classImage, classImage, new ItemBinding(diagram, cls));
  }
  return item;
}

void UMLModelTree::clear() {
  // Deleting the selected item may report a selection change on the way:
  // none of the items being deleted may reach the canvas.
  clearing_ = true;
  DeleteAllItems();
  clearing_ = false;
  Canvas* canvas = link_ != nullptr ? link_->canvas() : nullptr;
  if (canvas != nullptr && canvas->activeWindow() != nullptr) {
    canvas->activeWindow()->clearDiagram();
    canvas->refreshWindow(canvas->activeWindow(), false);
  }
}

Diagram* UMLModelTree::diagramOf(const wxTreeItemId& item) const {
  if (!item.IsOk()) return nullptr;
  auto* binding = dynamic_cast<ItemBinding*>(GetItemData(item));
  return binding != nullptr ? binding->diagram : nullptr;
}

ModelElement* UMLModelTree::elementOf(const wxTreeItemId& item) const {
  if (!item.IsOk()) return nullptr;
  auto* binding = dynamic_cast<ItemBinding*>(GetItemData(item));
  return binding != nullptr ? binding->element : nullptr;
}

void UMLModelTree::showDiagram(Diagram* diagram) {
  // Recording a big diagram takes seconds: the pointer says so meanwhile.
  wxBusyCursor busy;
  link_->showDiagram(diagram);
}

bool UMLModelTree::markShown(Diagram* diagram) {
  const wxTreeItemId root = GetRootItem();
  if (!root.IsOk() || diagram == nullptr) return false;
  wxTreeItemIdValue cookie;
  for (wxTreeItemId item = GetFirstChild(root, cookie); item.IsOk(); item = GetNextChild(root, cookie))
    if (diagramOf(item) == diagram) {
      marking_ = true;
      SelectItem(item);
      marking_ = false;
      return true;
    }
  return false;
}

void UMLModelTree::onSelectionChanged(wxTreeEvent& event) {
  event.Skip();
  CanvasWindow* window = activeWindow();
  const wxTreeItemId item = event.GetItem();
  if (clearing_ || marking_ || window == nullptr || !item.IsOk()) return;
  if (elementOf(item) != nullptr) return;  // a class item: nothing changes
  if (Diagram* diagram = diagramOf(item)) {
    showDiagram(diagram);
  } else if (item == GetRootItem()) {
    window->clearDiagram();
    link_->canvas()->refreshWindow(window, false);
  }
}

CanvasWindow* UMLModelTree::activeWindow() const {
  Canvas* canvas = link_ != nullptr ? link_->canvas() : nullptr;
  return canvas != nullptr ? canvas->activeWindow() : nullptr;
}

void UMLModelTree::onItemActivated(wxTreeEvent& event) {
  const wxTreeItemId item = event.GetItem();
  Diagram* diagram = diagramOf(item);
  CanvasWindow* window = activeWindow();
  if (diagram == nullptr || window == nullptr) {
    event.Skip();
    return;
  }
  if (window->diagram() != diagram) showDiagram(diagram);
  if (ModelElement* element = elementOf(item)) {
    link_->centreOnElement(diagram, element);
  } else {
    event.Skip();  // diagram items also expand and collapse as usual
  }
}

void UMLModelTree::onLeftDown(wxMouseEvent& event) {
  event.Skip();
  // A click on the diagram item that is already selected reports no
  // selection change; it still shows the diagram in the active window when
  // that window shows another one (another view was made active since).
  int flags = 0;
  const wxTreeItemId item = HitTest(event.GetPosition(), flags);
  // Anywhere on the item's row selects it, except its expand button.
  if (!item.IsOk() || (flags & wxTREE_HITTEST_ONITEMBUTTON) != 0 || !IsSelected(item) || elementOf(item) != nullptr)
    return;
  Diagram* diagram = diagramOf(item);
  CanvasWindow* window = activeWindow();
  if (diagram != nullptr && window != nullptr && window->diagram() != diagram) showDiagram(diagram);
}

}  // namespace lumetra
