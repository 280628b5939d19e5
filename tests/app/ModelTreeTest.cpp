// The model tree in a shown frame: what it lists and with which icons, what
// selecting, double-clicking and Enter do to the canvas, and clearing.

#include <wx/app.h>
#include <wx/uiaction.h>

#include <cstring>

#include "render/Canvas.h"
#include "tests/app/PanelFixture.h"
#include "tests/platform/WaitFor.h"

namespace lumetra::test {
namespace {

using ModelTreeTest = PanelFixture;

std::vector<std::string> childLabels(wxTreeCtrl* tree, wxTreeItemId item) {
  std::vector<std::string> labels;
  wxTreeItemIdValue cookie;
  for (wxTreeItemId c = tree->GetFirstChild(item, cookie); c.IsOk(); c = tree->GetNextChild(item, cookie))
    labels.push_back(tree->GetItemText(c).utf8_string());
  return labels;
}

wxTreeItemId childNamed(wxTreeCtrl* tree, wxTreeItemId item, const std::string& label) {
  wxTreeItemIdValue cookie;
  for (wxTreeItemId c = tree->GetFirstChild(item, cookie); c.IsOk(); c = tree->GetNextChild(item, cookie))
    if (tree->GetItemText(c).utf8_string() == label) return c;
  return {};
}

// Where an item's label is drawn (client pixels), once the tree has laid its
// items out.
wxRect labelRect(wxTreeCtrl* tree, wxTreeItemId item) {
  wxRect rect;
  yieldUntil([&] {
    if (tree->GetBoundingRect(item, rect, true) && rect.width > 0) return true;
    tree->Update();
    return false;
  });
  return rect;
}

TEST_F(ModelTreeTest, ListsEveryDiagramWithItsClassesAndTheIconOfItsKind) {
  const std::vector<wxTreeItemId> items = fillTree();
  EXPECT_EQ(childLabels(tree, tree->GetRootItem()), (std::vector<std::string>{"Orders", "Billing", "Notes"}));
  EXPECT_EQ(tree->GetItemText(tree->GetRootItem()), "root node");

  const int classIcon = UMLModelTree::iconIndex("tv-class");
  struct Case {
    const char* diagram;
    int icon;
    std::vector<std::string> classes;  // interfaces and services get no item
  };
  const Case cases[] = {
      {"Orders", UMLModelTree::iconIndex("tv-class-diagram-node"), {"Order", "Customer"}},
      {"Billing", UMLModelTree::iconIndex("tv-component-diagram"), {"Order"}},
      {"Notes", -1, {"Customer"}},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.diagram);
    EXPECT_EQ(tree->GetItemImage(items[i]), c.icon);
    EXPECT_EQ(childLabels(tree, items[i]), c.classes);
    wxTreeItemIdValue cookie;
    for (wxTreeItemId child = tree->GetFirstChild(items[i], cookie); child.IsOk();
         child = tree->GetNextChild(items[i], cookie)) {
      EXPECT_EQ(tree->GetItemImage(child), classIcon);
      EXPECT_EQ(tree->diagramOf(child), tree->diagramOf(items[i]));
    }
  }
  EXPECT_EQ(tree->diagramOf(items[1]), billing());
  EXPECT_EQ(tree->elementOf(childNamed(tree, items[1], "Order")), order);
  // A diagram the layout made gets its own icon, whatever its kind.
  orders()->setGenerated(true);
  EXPECT_EQ(tree->GetItemImage(tree->addDiagram(tree->GetRootItem(), orders())),
            UMLModelTree::iconIndex("tv-generated-diagram"));
}

TEST_F(ModelTreeTest, TheIconsTheTreeUsesAreDistinctPictures) {
  const char* names[] = {"tv-class-diagram-node", "tv-component-diagram", "tv-class", "tv-generated-diagram"};
  std::vector<wxImage> images;
  for (const char* name : names) {
    const int index = UMLModelTree::iconIndex(name);
    ASSERT_GE(index, 0) << name;
    wxImage image = tree->GetImageList()->GetBitmap(index).ConvertToImage();
    ASSERT_EQ(image.GetSize(), wxSize(16, 16)) << name;
    int opaque = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) opaque += image.HasMask() && image.IsTransparent(x, y) ? 0 : 1;
    EXPECT_GT(opaque, 40) << name << " is nearly empty";
    images.push_back(image);
  }
  EXPECT_EQ(UMLModelTree::iconIndex("tv-no-such-icon"), -1);
  for (std::size_t a = 0; a < images.size(); ++a)
    for (std::size_t b = a + 1; b < images.size(); ++b)
      EXPECT_NE(std::memcmp(images[a].GetData(), images[b].GetData(), 16 * 16 * 3), 0) << names[a] << " = " << names[b];
}

TEST_F(ModelTreeTest, ClickingADiagramShowsItAndReidentifiesTheShownAreas) {
  const std::vector<wxTreeItemId> items = fillTree();
  areaList->Disable();
  const int whiteBefore = canvasPixelsNear(255, 255, 255, 0);

  const wxRect rect = labelRect(tree, items[0]);
  ASSERT_GT(rect.width, 12);
  clickAt(tree, rect.GetPosition() + wxPoint(4, rect.height / 2));
  ASSERT_TRUE(yieldUntil([&] { return canvas->activeWindow()->diagram() == orders(); }));
  EXPECT_EQ(link.reidentified, std::vector<Diagram*>{orders()});
  EXPECT_TRUE(areaList->IsEnabled());
  // The class boxes now cover part of the white canvas.
  EXPECT_LT(canvasPixelsNear(255, 255, 255, 0), whiteBefore - 2000);
  EXPECT_GT(canvasPixelsNear(255, 255, 204, 8), 2000);

  // The active window came to show another diagram (another view was made
  // active): clicking the selected item again brings its diagram back.
  // (Away from the first click, so that the two do not make a double click.)
  canvas->activeWindow()->setDiagram(notes());
  clickAt(tree, rect.GetPosition() + wxPoint(rect.width - 4, rect.height / 2));
  EXPECT_TRUE(yieldUntil([&] { return canvas->activeWindow()->diagram() == orders(); }));
  EXPECT_EQ(link.reidentified, (std::vector<Diagram*>{orders(), orders()}));
  link.reidentified.clear();

  // Another diagram replaces it; a class item changes nothing.
  tree->SelectItem(items[1]);
  yield();
  EXPECT_EQ(canvas->activeWindow()->diagram(), billing());
  tree->SelectItem(childNamed(tree, items[0], "Order"));
  yield();
  EXPECT_EQ(canvas->activeWindow()->diagram(), billing());
  EXPECT_EQ(link.reidentified, std::vector<Diagram*>{billing()});
  EXPECT_TRUE(link.centred.empty());
}

TEST_F(ModelTreeTest, DoubleClickOrEnterOnAClassShowsItsDiagramAndCentresTheClass) {
  const std::vector<wxTreeItemId> items = fillTree();
  tree->SelectItem(items[2]);  // "Notes" is shown
  tree->ExpandAll();
  yield();
  ASSERT_EQ(canvas->activeWindow()->diagram(), notes());

  const wxTreeItemId orderInBilling = childNamed(tree, items[1], "Order");
  const wxRect rect = labelRect(tree, orderInBilling);
  ASSERT_GT(rect.width, 12);
  clickAt(tree, rect.GetPosition() + wxPoint(4, rect.height / 2), true);
  ASSERT_TRUE(yieldUntil([&] { return !link.centred.empty(); }));
  EXPECT_EQ(link.centred.back(), std::make_pair(billing(), static_cast<ModelElement*>(order)));
  EXPECT_EQ(canvas->activeWindow()->diagram(), billing());

  // Enter on the Customer of "Orders" (the pointer keeps the keyboard focus
  // in the tree under a server without a window manager).
  const wxTreeItemId customerInOrders = childNamed(tree, items[0], "Customer");
  tree->SelectItem(customerInOrders);
  tree->SetFocus();
  yield();
  wxUIActionSimulator().Char(WXK_RETURN);
  ASSERT_TRUE(yieldUntil([&] { return link.centred.size() == 2; }));
  EXPECT_EQ(link.centred.back(), std::make_pair(orders(), static_cast<ModelElement*>(customer)));
  EXPECT_EQ(canvas->activeWindow()->diagram(), orders());

  // Enter on a diagram item shows it again where another diagram is shown,
  // and centres nothing.
  tree->SelectItem(items[2]);
  yield();
  canvas->activeWindow()->setDiagram(billing());
  wxUIActionSimulator().Char(WXK_RETURN);
  EXPECT_TRUE(yieldUntil([&] { return canvas->activeWindow()->diagram() == notes(); }));
  EXPECT_EQ(link.centred.size(), 2u);
}

TEST_F(ModelTreeTest, ClearEmptiesTheTreeAndTheActiveWindow) {
  const std::vector<wxTreeItemId> items = fillTree();
  tree->SelectItem(items[0]);
  yield();
  ASSERT_EQ(canvas->activeWindow()->diagram(), orders());
  const int reidentified = static_cast<int>(link.reidentified.size());

  tree->clear();
  yield();
  EXPECT_EQ(tree->GetCount(), 0u);
  EXPECT_FALSE(tree->GetRootItem().IsOk());
  EXPECT_EQ(canvas->activeWindow()->diagram(), nullptr);
  EXPECT_EQ(static_cast<int>(link.reidentified.size()), reidentified) << "a deleted item reached the frame";
  EXPECT_GT(canvasPixelsNear(255, 255, 255, 0), 300 * 190) << "the canvas still shows the diagram";

  // Refilled, it shows nothing until a diagram is selected again.
  const std::vector<wxTreeItemId> again = fillTree();
  yield();
  EXPECT_EQ(canvas->activeWindow()->diagram(), nullptr);
  tree->SelectItem(again[1]);
  yield();
  EXPECT_EQ(canvas->activeWindow()->diagram(), billing());
}

}  // namespace
}  // namespace lumetra::test
