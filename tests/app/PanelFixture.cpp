#include "tests/app/PanelFixture.h"

#include <wx/app.h>
#include <wx/sizer.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <cstdlib>

#include "platform/GLExtensions.h"
#include "render/Canvas.h"
#include "render/GLPainter.h"
#include "render/PixelReadback.h"
#include "tests/platform/WaitFor.h"

namespace lumetra::test {

namespace {

constexpr int kCanvasWidth = 320;
constexpr int kCanvasHeight = 200;

DiagramElement* addShape(Diagram* diagram, ModelElement* model, Vec2 lo, Vec2 hi, Color fill) {
  auto* shape = new DiagramElement("shape-" + model->getId() + "-" + diagram->getName(),
                                   new VisualElementLayout("Default", new Vec2(lo), new Vec2(hi)));
  shape->setModelElement(model);
  shape->setAppearance(makeDefaultAppearance());
  shape->getAppearance()->fillColour = fill;
  diagram->addElement(shape);
  return shape;
}

VisualElementLayout* box(float halfWidth, float halfHeight) {
  return new VisualElementLayout("Default", new Vec2(-halfWidth, -halfHeight), new Vec2(halfWidth, halfHeight));
}

}  // namespace

bool FakeLink::showArea(const std::string& name) {
  Diagram* diagram = canvasWindow != nullptr && canvasWindow->activeWindow() != nullptr
                         ? canvasWindow->activeWindow()->diagram()
                         : nullptr;
  if (diagram == nullptr) return false;
  return lumetra::showArea(areaSet, diagram, name);
}

void PanelFixture::SetUp() {
  const Color paleYellow(1.0f, 1.0f, 0.8f, 1.0f);
  order = createClass("order", "Order");
  customer = createClass("customer", "Customer");
  Interface* payable = createInterface("payable", "Payable");
  PelkService* invoicing = createPelkService("invoicing", "Invoicing");
  for (ModelElement* e : std::initializer_list<ModelElement*>{order, customer, payable, invoicing}) pool_.add(e);

  diagrams_.push_back(std::make_unique<ClassDiagram>("d-orders", "Orders", box(100, 60)));
  diagrams_.push_back(std::make_unique<PelkComponentDiagram>("d-billing", "Billing", box(100, 60)));
  diagrams_.push_back(std::make_unique<Diagram>("d-notes", "Notes", box(100, 60)));
  addShape(orders(), order, {-90, -40}, {-10, 40}, paleYellow);
  addShape(orders(), payable, {-5, 45}, {5, 55}, paleYellow);
  addShape(orders(), customer, {10, -40}, {90, 40}, paleYellow);
  addShape(billing(), invoicing, {10, -40}, {90, 40}, paleYellow);
  addShape(billing(), order, {-90, -40}, {-10, 40}, paleYellow);
  addShape(notes(), customer, {-40, -40}, {40, 40}, paleYellow);

  link.overlay.setMetricSet(&link.metricSet);
  link.overlay.setAreas(&link.areaSet);
  link.overlay.setSelectionManager(&link.selectionManager);
  link.overlay.setBlendEquation(lookupBlendEquation());

  frame = new wxFrame(nullptr, wxID_ANY, "panels");
  auto* sizer = new wxBoxSizer(wxHORIZONTAL);
  tree = new UMLModelTree(frame, &link);
  tree->SetMinSize(wxSize(160, kCanvasHeight));
  sizer->Add(tree, 0, wxEXPAND);
  auto* lists = new wxBoxSizer(wxVERTICAL);
  metricList = new lmCheckListCtrl(frame, &link);
  areaList = new AreaListCtrl(frame, &link);
  link.areaList = areaList;
  lists->Add(metricList, 1, wxEXPAND);
  lists->Add(areaList, 1, wxEXPAND);
  preview = new lmLayoutPreview(frame, &link);
  preview->setMetrics(&link.metricSet);
  lists->Add(preview, 0, wxEXPAND);
  sizer->Add(lists, 0, wxEXPAND);
  canvas = new Canvas(frame, wxID_ANY);
  canvas->SetMinSize(wxSize(kCanvasWidth, kCanvasHeight));
  sizer->Add(canvas, 0);
  frame->SetSizerAndFit(sizer);
  link.canvasWindow = canvas;
  frame->Move(0, 0);
  ASSERT_TRUE(showAndWaitForPaint(frame, canvas)) << "the canvas was never painted";
  ASSERT_TRUE(canvas->makeCurrent()) << "the canvas never took its GL context";
  canvas->layout();
  canvas->activeWindow()->setVisualizer(&link.overlay);
  yield();
}

void PanelFixture::TearDown() {
  if (frame == nullptr) return;
  canvas->makeCurrent();
  // The fonts' textures live in this context.
  FontRegistry::instance().clear();
  canvas->Destroy();
  frame->Destroy();
  yield();
}

void PanelFixture::loadMetricsAndAreas() {
  auto* lines = new IntegerMetric("Lines", new Color(0.0f, 1.0f, 0.0f, 1.0f), new Color(METRIC_OUTLINE));
  lines->setVisualizer("2D Bar");
  lines->setTransparency(1.0f);
  lines->addValue("order", 10);
  lines->addValue("customer", 20);
  lines->computeRange();
  link.metricSet.add(lines);
  auto* tested = new BooleanMetric("Tested", new Color(0.0f, 0.0f, 1.0f, 1.0f), new Color(METRIC_OUTLINE));
  tested->addValue("order", true);
  link.metricSet.add(tested);

  auto* core = new Area("Core");
  core->addElement("order");
  core->setColor(new Color(0.0f, 1.0f, 0.5f, 1.0f));
  link.areaSet.addArea(core);
}

std::vector<wxTreeItemId> PanelFixture::fillTree() {
  const wxTreeItemId root = tree->addRoot();
  return {tree->addDiagram(root, orders()), tree->addDiagram(root, billing()), tree->addDiagram(root, notes())};
}

void PanelFixture::yield() {
  for (int i = 0; i < 5; ++i) wxTheApp->Yield(true);
}

bool PanelFixture::yieldUntil(const std::function<bool()>& done) { return test::yieldUntil(done); }

void PanelFixture::movePointer(wxWindow* window, wxPoint clientPoint) {
  const wxPoint target = window->ClientToScreen(clientPoint);
  wxUIActionSimulator().MouseMove(target);
  if (!yieldUntil([&] { return wxGetMousePosition() == target; }))
    ADD_FAILURE() << "the pointer never reached " << target.x << ", " << target.y;
}

void PanelFixture::clickAt(wxWindow* window, wxPoint clientPoint, bool twice) {
  wxUIActionSimulator input;
  // The pointer has to be there before the button goes down.
  movePointer(window, clientPoint);
  if (twice) {
    input.MouseDblClick();
  } else {
    input.MouseClick();
  }
  yield();
}

void PanelFixture::clickPicture(lmCheckListCtrl* list, long row) {
  wxRect rect;
  ASSERT_TRUE(list->GetItemRect(row, rect));
  clickAt(list, wxPoint(rect.x + 9, rect.y + rect.height / 2));  // on the check box
}

void PanelFixture::clickName(lmCheckListCtrl* list, long row) {
  wxRect rect;
  ASSERT_TRUE(list->GetItemRect(row, rect));
  clickAt(list, wxPoint(rect.x + 60, rect.y + rect.height / 2));
}

int PanelFixture::canvasPixelsNear(int r, int g, int b, int tolerance) {
  canvas->makeCurrent();
  canvas->renderAllWindows();
  const wxSize size = canvas->GetClientSize();
  const std::vector<std::uint8_t> rgba = readBackBufferRGBA(0, 0, size.GetWidth(), size.GetHeight());
  int count = 0;
  for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) {
    if (std::abs(rgba[i] - r) <= tolerance && std::abs(rgba[i + 1] - g) <= tolerance &&
        std::abs(rgba[i + 2] - b) <= tolerance)
      ++count;
  }
  return count;
}

}  // namespace lumetra::test
