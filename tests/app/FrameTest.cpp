// The viewer's main frame driven as a user drives it: menu and tool
// commands, view controls, list rows and mouse events on the canvas, with
// what the user would see read back from the canvas and the controls.

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <GL/gl.h>
#include <wx/checkbox.h>
#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/slider.h>
#include <wx/splitter.h>
#include <wx/toolbar.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include <unistd.h>

#include "app/panels/CheckListCtrl.h"
#include "app/panels/ModelTree.h"
#include "app/panels/WindowIds.h"
#include "app/panels/AreasPage.h"
#include "app/panels/MetricsPage.h"
#include "app/frame/mainFrame.h"
#include "diagram/CanvasMouse.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "model/VisualElementLayout.h"
#include "render/Canvas.h"
#include "render/PixelReadback.h"
#include "settings/SettingsStore.h"
#include "render/GLPainter.h"
#include "tests/app/FrameTestSupport.h"
#include "tests/sources/ShapesProject.h"

namespace lumetra {
namespace {

const std::string kExamples = std::string(LUMETRA_SOURCE_DIR) + "/examples/";
const std::string kModel = kExamples + "webshop.xmi";
const std::string kMetrics = kExamples + "webshop.met";
const std::string kScenario = kExamples + "traffic-monitoring.scenario";
const std::string kTruncated = std::string(LUMETRA_SOURCE_DIR) + "/tests/modelfiles/data/truncated.xmi";

std::string tempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("lumetra-frame-" + std::to_string(::getpid()) + "-" + name))
      .string();
}

class FrameTest : public ::testing::Test {
 protected:
  mainFrame& frame() { return h.frame(); }
  bool menuEnabled(int id) { return frame().GetMenuBar()->IsEnabled(id); }
  bool toolEnabled(int id) { return frame().GetToolBar()->GetToolEnabled(id); }
  bool enabled(int id) { return frame().FindWindow(id)->IsEnabled(); }
  wxSlider* slider(int id) { return dynamic_cast<wxSlider*>(frame().FindWindow(id)); }
  wxCheckBox* checkBox(int id) { return dynamic_cast<wxCheckBox*>(frame().FindWindow(id)); }
  std::size_t treeDiagrams() {
    wxTreeCtrl* tree = frame().modelTree();
    return tree->GetRootItem().IsOk() ? tree->GetChildrenCount(tree->GetRootItem(), false) : 0;
  }

  void openModelByMenu(const std::string& path) {
    h.dialogs.answers.push_back(path);
    h.command(ids::OpenModel);
  }
  void openExample(const std::string& diagram = "") {
    openModelByMenu(kModel);
    ASSERT_TRUE(frame().showDiagram(diagram.empty() ? frame().document().diagrams().front()
                                                    : frame().document().findDiagram(diagram)));
    FrameHarness::settle();
  }

  FrameHarness h;
};

TEST_F(FrameTest, StartsWithNothingLoadedAndOnlyTheModelCommandsOffered) {
  EXPECT_EQ(frame().GetTitle(), "Lumetra Visualizer");
  // Menus and tools.
  EXPECT_TRUE(menuEnabled(ids::OpenModel));
  EXPECT_FALSE(menuEnabled(ids::OpenMetrics));
  EXPECT_TRUE(menuEnabled(ids::CloseModel));
  EXPECT_TRUE(toolEnabled(ids::ToolOpenModel));
  EXPECT_FALSE(toolEnabled(ids::ToolOpenMetrics));
  EXPECT_TRUE(toolEnabled(ids::ToolSaveDiagram));
  EXPECT_EQ(frame().GetMenuBar()->GetLabel(ids::OpenMetrics), "Open &metrics file...\tCtrl-M");
  // View controls.
  for (int id : {ids::ZoomToFit, ids::ResetZoom, ids::ZoomIn, ids::ZoomOut, ids::ResetCamera, ids::SplitVertically,
                 ids::SplitHorizontally, ids::ModelTransparency, ids::MetricsTransparency, ids::AreasTransparency})
    EXPECT_TRUE(enabled(id)) << id;
  EXPECT_FALSE(enabled(ids::DeleteWindow));
  EXPECT_TRUE(checkBox(ids::Perspective)->GetValue());
  EXPECT_FALSE(checkBox(ids::Stereo)->GetValue());
  EXPECT_EQ(slider(ids::ModelTransparency)->GetValue(), 255);
  EXPECT_EQ(slider(ids::MetricsTransparency)->GetValue(), 128);
  EXPECT_EQ(slider(ids::AreasTransparency)->GetValue(), 20);
  EXPECT_EQ(slider(ids::AreasTransparency)->GetMax(), 100);
  // Panels.
  EXPECT_EQ(treeDiagrams(), 0u);
  auto* notebook = dynamic_cast<wxNotebook*>(frame().FindWindow(ids::LeftNotebook));
  ASSERT_NE(notebook, nullptr);
  EXPECT_EQ(notebook->GetPageText(notebook->GetSelection()), "Metrics");
  EXPECT_EQ(notebook->GetPageText(1), "Areas");
  EXPECT_EQ(frame().canvas()->GetId(), ids::Canvas);
  EXPECT_EQ(frame().canvas()->activeWindow()->diagram(), nullptr);
  // The left pane takes 0.3 of the width.
  EXPECT_EQ(frame().mainSplitter()->GetSashPosition(), static_cast<int>(frame().GetSize().GetWidth() * 0.3f));
}

// The notebook's pages scroll, so their best size is small: the room below
// the tree was once reckoned from it, and at the first start the metric
// list showed one row and the options below it were cut off.
TEST_F(FrameTest, TheNotebookGetsTheRoomItsPagesNeedAtTheFirstStart) {
  auto* notebook = dynamic_cast<wxNotebook*>(frame().FindWindow(ids::LeftNotebook));
  ASSERT_NE(notebook, nullptr);
  wxWindow* page = notebook->GetPage(static_cast<std::size_t>(notebook->GetSelection()));
  const wxRect shown = page->GetScreenRect();
  // The layout preview, the whole list and the options down to the lowest
  // slider show on a frame of 1024 x 768, status bar included.
  for (int id : {ids::LayoutReset, ids::MetricList, ids::LowerThreshold}) {
    wxWindow* control = frame().FindWindow(id);
    ASSERT_NE(control, nullptr) << id;
    EXPECT_TRUE(shown.Contains(control->GetScreenRect()))
        << "control " << id << " lies outside the page shown: " << control->GetScreenRect().GetBottom() << " below "
        << shown.GetBottom();
  }
  EXPECT_GE(frame().FindWindow(ids::MetricList)->GetSize().GetHeight(), 100) << "the metric list is squeezed";
  // The tree gave up the room, down to its least height.
  EXPECT_GE(frame().modelTree()->GetSize().GetHeight(), 100);
}

TEST_F(FrameTest, OpenedModelIsListedAndItsFirstDiagramDrawnAtFit) {
  openModelByMenu(kModel);
  ASSERT_EQ(h.dialogs.asked, std::vector<std::string>{"Open UML Model"});
  EXPECT_TRUE(h.dialogs.errors.empty());
  EXPECT_EQ(treeDiagrams(), 3u);
  FrameHarness::settle();
  CanvasWindow* window = frame().canvas()->activeWindow();
  ASSERT_EQ(window->diagram(), frame().document().diagrams().front());
  EXPECT_GT(FrameHarness::inkCount(h.activePixels()), 2000);
  const float opened = window->zoom();
  window->zoomToFit();
  EXPECT_FLOAT_EQ(window->zoom(), opened) << "shown at fit";
  EXPECT_TRUE(menuEnabled(ids::OpenMetrics));
  EXPECT_TRUE(toolEnabled(ids::ToolOpenMetrics));
  EXPECT_FALSE(enabled(ids::MetricsTransparency));

  ASSERT_TRUE(frame().showDiagram(frame().document().findDiagram("Overview")));
  FrameHarness::settle();
  EXPECT_EQ(frame().canvas()->activeWindow()->diagram()->getName(), "Overview");
  EXPECT_GT(FrameHarness::inkCount(h.activePixels()), 2000);

  // A cancelled dialog changes nothing.
  h.command(ids::OpenModel);
  EXPECT_EQ(frame().canvas()->activeWindow()->diagram()->getName(), "Overview");

  h.command(ids::CloseModel);
  EXPECT_EQ(treeDiagrams(), 0u);
  EXPECT_EQ(frame().canvas()->activeWindow()->diagram(), nullptr);
  EXPECT_FALSE(menuEnabled(ids::OpenMetrics));
  EXPECT_FALSE(enabled(ids::MetricsTransparency));
  EXPECT_EQ(FrameHarness::inkCount(h.activePixels()), 0);
}

TEST_F(FrameTest, ImportedCppProjectBringsDiagramsMetricsAndAreasAndNamesTheUnitThatFailed) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("lumetra-frame-cpp-" + std::to_string(::getpid()));
  h.dialogs.answers.push_back(testing::writeShapesDatabase(folder).string());
  h.command(ids::ImportCpp);
  // The second step, answered with nothing, keeps every folder.
  ASSERT_EQ(h.dialogs.asked, (std::vector<std::string>{"Import C++ Project", "Import C++ Project: Folders"}));
  ASSERT_EQ(h.dialogs.errors.size(), 1u);
  EXPECT_NE(h.dialogs.errors[0].find("tools/Report.cpp"), std::string::npos) << h.dialogs.errors[0];
  EXPECT_EQ(treeDiagrams(), 5u);
  EXPECT_EQ(frame().metricList()->GetItemCount(), 8);
  EXPECT_EQ(frame().areaList()->GetItemCount(), 8);
  EXPECT_TRUE(menuEnabled(ids::OpenMetrics));
  ASSERT_TRUE(frame().showDiagram(frame().document().findDiagram("scene")));
  FrameHarness::settle();
  EXPECT_GT(FrameHarness::inkCount(h.activePixels()), 2000);
  std::filesystem::remove_all(folder);
}

TEST_F(FrameTest, MetricsChangeTheEnablingAndCheckedRowsShowGlyphsAndAreas) {
  openExample("Orders and billing");
  const std::vector<unsigned char> plain = h.activePixels();
  h.dialogs.answers.push_back(kMetrics);
  h.command(ids::ToolOpenMetrics);  // the tool reaches the menu command
  ASSERT_EQ(h.dialogs.asked.back(), "Open Metrics");
  ASSERT_TRUE(h.dialogs.errors.empty()) << h.dialogs.errors.front();
  // More files may follow, and these can be read again.
  EXPECT_TRUE(menuEnabled(ids::OpenMetrics));
  EXPECT_TRUE(toolEnabled(ids::ToolOpenMetrics));
  EXPECT_TRUE(menuEnabled(ids::ReloadMetrics));
  EXPECT_TRUE(enabled(ids::MetricsTransparency));
  EXPECT_EQ(frame().metricList()->GetItemCount(), 5);
  EXPECT_EQ(frame().areaList()->GetItemCount(), 4 + 4);  // the file's and the model's four packages
  EXPECT_EQ(h.activePixels(), plain);  // nothing shown yet

  frame().metricList()->setChecked(frame().metricList()->findRow("Coupling"), true);
  FrameHarness::settle();
  const std::vector<unsigned char> glyphs = h.activePixels();
  EXPECT_EQ(frame().metrics().getShownCount(), 1u);
  EXPECT_GT(FrameHarness::inkCount(glyphs), FrameHarness::inkCount(plain) + 200);

  // The area's colour, as the metrics file gives it, appears where only white
  // or the boxes were.
  const Color* stored = frame().areas().findArea("Checkout")->getColor();
  const double fileColour[3] = {1.0 - stored->r, 1.0 - stored->g, 1.0 - stored->b};
  frame().areaList()->setChecked(frame().areaList()->findRow("Checkout"), true);
  FrameHarness::settle();
  EXPECT_TRUE(frame().areas().isIdentified("Checkout"));
  const std::vector<unsigned char> area = h.activePixels();
  ASSERT_EQ(area.size(), glyphs.size());
  int tinted = 0;
  for (std::size_t i = 0; i + 2 < area.size(); i += 3) {
    if (glyphs[i] < 250 || glyphs[i + 1] < 250 || glyphs[i + 2] < 250) continue;  // was not white
    double drop[3], along = 0, norm = 0, length = 0;
    for (int c = 0; c < 3; ++c) {
      drop[c] = 255.0 - area[i + c];
      const double want = 255.0 * (1.0 - fileColour[c]);
      along += drop[c] * want;
      norm += want * want;
      length += drop[c] * drop[c];
    }
    // The pixel darkened in the proportions the area's colour has.
    if (length > 100 && along > 0.95 * std::sqrt(norm * length)) ++tinted;
  }
  EXPECT_GT(tinted, 500);

  // F5 reads the file again: the same glyphs and area, nothing asked.
  h.command(ids::ReloadMetrics);
  FrameHarness::settle();
  EXPECT_EQ(frame().metrics().getShownCount(), 1u);
  EXPECT_EQ(frame().areaList()->GetItemCount(), 8);
  EXPECT_EQ(h.activePixels(), area);
}

TEST_F(FrameTest, SplitDeleteZoomAndTransparencyControls) {
  openExample();
  Canvas* canvas = frame().canvas();
  h.click(ids::SplitVertically);
  EXPECT_FALSE(canvas->rootOnly());
  EXPECT_TRUE(enabled(ids::DeleteWindow));
  h.click(ids::SplitHorizontally);
  h.click(ids::DeleteWindow);
  EXPECT_TRUE(enabled(ids::DeleteWindow));
  h.click(ids::DeleteWindow);
  EXPECT_TRUE(canvas->rootOnly());
  EXPECT_FALSE(enabled(ids::DeleteWindow));
  h.click(ids::DeleteWindow);  // a stray click on the last window keeps it
  ASSERT_NE(canvas->activeWindow(), nullptr);

  h.click(ids::ResetZoom);
  for (int i = 0; i < 3; ++i) h.click(ids::ZoomIn);
  EXPECT_EQ(canvas->activeWindow()->zoom(), 1.953125f);
  h.click(ids::ZoomOut);
  EXPECT_FLOAT_EQ(canvas->activeWindow()->zoom(), 1.5625f);

  h.click(ids::Perspective);
  EXPECT_FALSE(canvas->activeWindow()->perspective());
  h.click(ids::Stereo);
  EXPECT_TRUE(canvas->activeWindow()->stereo());
  h.click(ids::Stereo);

  h.slide(ids::AreasTransparency, 35);
  EXPECT_FLOAT_EQ(frame().painter()->getAreaAlpha(), 0.35f);
  EXPECT_EQ(frame().FindWindow(ids::AreasTransparency)->GetToolTipText(), "35");
  const int before = FrameHarness::inkCount(h.activePixels());
  h.slide(ids::ModelTransparency, 0);
  EXPECT_FLOAT_EQ(frame().painter()->getTransparency(), 0.0f);
  EXPECT_LT(FrameHarness::inkCount(h.activePixels()), before / 4);  // the boxes fade out
  h.slide(ids::MetricsTransparency, 51);
  EXPECT_FLOAT_EQ(frame().painter()->getMetricsAlpha(), 0.2f);
}

TEST_F(FrameTest, AMalformedModelOverALoadedOneLeavesItOnScreenWithAMessage) {
  openExample();
  const std::vector<unsigned char> before = h.activePixels();
  Diagram* shown = frame().canvas()->activeWindow()->diagram();
  const std::vector<Diagram*> diagrams = frame().document().diagrams();

  for (const std::string& bad : {kTruncated, std::string("/no/such/file.xmi")}) {
    h.dialogs.errors.clear();
    openModelByMenu(bad);
    ASSERT_EQ(h.dialogs.errors.size(), 1u) << bad;
    EXPECT_NE(h.dialogs.errors[0].find(bad), std::string::npos) << h.dialogs.errors[0];
    EXPECT_EQ(frame().document().diagrams(), diagrams);
    EXPECT_EQ(frame().canvas()->activeWindow()->diagram(), shown);
    EXPECT_EQ(treeDiagrams(), 3u);
    EXPECT_EQ(h.activePixels(), before);
  }
  // The broken XML's position is named: "file:line:column: reason".
  openModelByMenu(kTruncated);
  EXPECT_NE(h.dialogs.errors.back().find(kTruncated + ":"), std::string::npos) << h.dialogs.errors.back();

  // A metrics file that cannot be read is named too, and leaves the menu on.
  h.dialogs.errors.clear();
  h.dialogs.answers.push_back("/no/such/metrics.met");
  h.command(ids::OpenMetrics);
  ASSERT_EQ(h.dialogs.errors.size(), 1u);
  EXPECT_NE(h.dialogs.errors[0].find("/no/such/metrics.met"), std::string::npos);
  EXPECT_TRUE(menuEnabled(ids::OpenMetrics));
}

TEST_F(FrameTest, CtrlDragMovesAClassAndTheSavedDiagramHasTheMovedCorners) {
  openExample("Orders and billing");
  Diagram* diagram = frame().canvas()->activeWindow()->diagram();
  DiagramElement* shape = firstShapeOfType(diagram, "Class");
  ASSERT_NE(shape, nullptr);
  const Vec2 lowerLeft = *shape->getCurrentLayout()->getLowerLeft();
  const Vec2 upperRight = *shape->getCurrentLayout()->getUpperRight();
  const wxPoint at = h.centreOn(shape);
  const float zoom = frame().canvas()->activeWindow()->zoom();
  h.click(ids::Perspective);  // straight from above: pointer distance / zoom
  h.ctrlDrag(at, at + wxPoint(40, 20));
  const Vec2 moved = *shape->getCurrentLayout()->getLowerLeft();
  EXPECT_NEAR(moved.x - lowerLeft.x, 40.0f / zoom, 0.5f);
  EXPECT_NEAR(moved.y - lowerLeft.y, -20.0f / zoom, 0.5f);

  // "Save diagram" on the toolbar asks for the file and writes it.
  const std::string out = tempPath("moved.dia");
  std::remove(out.c_str());
  h.dialogs.answers.push_back(out);
  h.command(ids::ToolSaveDiagram);
  EXPECT_EQ(h.dialogs.asked.back(), "Save Diagram");
  pugi::xml_document saved;
  ASSERT_TRUE(saved.load_file(out.c_str()));
  const std::string xpath = "//diagram[@name='Orders and billing']//diagram_element[@model_id='" +
                            shape->getModelElement()->getId() + "']/layouts/layout";
  const pugi::xml_node layout = saved.select_node(xpath.c_str()).node();
  ASSERT_TRUE(layout) << xpath;
  EXPECT_NEAR(layout.attribute("left").as_float(), moved.x, 1e-3);
  EXPECT_NEAR(layout.attribute("down").as_float(), moved.y, 1e-3);
  EXPECT_NEAR(layout.attribute("right").as_float(), upperRight.x + (moved.x - lowerLeft.x), 1e-3);
  EXPECT_NEAR(layout.attribute("up").as_float(), upperRight.y + (moved.y - lowerLeft.y), 1e-3);
  std::remove(out.c_str());

  // Cancelling writes nothing; a folder that does not exist is reported.
  h.command(ids::ToolSaveDiagram);
  EXPECT_FALSE(std::filesystem::exists(out));
  h.dialogs.answers.push_back("/no/such/folder/x.dia");
  h.command(ids::ToolSaveDiagram);
  ASSERT_EQ(h.dialogs.errors.size(), 1u);
  EXPECT_NE(h.dialogs.errors[0].find("/no/such/folder"), std::string::npos) << h.dialogs.errors[0];
}

TEST_F(FrameTest, ShiftClickTogglesTheSelectionAndAComponentInterfaceStaysPut) {
  openModelByMenu(kScenario);
  Diagram* diagram = frame().document().diagrams().front();
  ASSERT_TRUE(frame().showDiagram(diagram));
  FrameHarness::settle();
  h.click(ids::Perspective);
  SelectionManager& selection = frame().selection();

  ModelElement* anInterface = nullptr;
  for (std::size_t i = 0; i < frame().document().pool().size() && anInterface == nullptr; ++i)
    if (frame().document().pool().get(i)->getTypeName() == "PelkInterface") anInterface = frame().document().pool().get(i);
  ASSERT_NE(anInterface, nullptr);
  DiagramElement* interfaceShape = CanvasMouse::shapeOf(diagram, anInterface);
  ASSERT_NE(interfaceShape, nullptr);
  const Vec2 before = *interfaceShape->getCurrentLayout()->getLowerLeft();
  const wxPoint at = h.centreOn(interfaceShape);
  h.ctrlDrag(at, at + wxPoint(30, 30));
  const Vec2 after = *interfaceShape->getCurrentLayout()->getLowerLeft();
  EXPECT_EQ(after.x, before.x);
  EXPECT_EQ(after.y, before.y);

  // Two services: a click selects one alone, Shift-clicks add and remove.
  std::vector<DiagramElement*> services;
  for (DiagramElement* shape : diagram->getElements())
    if (shape->getModelElement() && shape->getModelElement()->getTypeName() == "PelkService") services.push_back(shape);
  ASSERT_GE(services.size(), 2u);
  ModelElement* a = services[0]->getModelElement();
  ModelElement* b = services[1]->getModelElement();
  // Each service box is centred before it is clicked: the window's middle.
  auto inside = [&](DiagramElement* shape) { return h.centreOn(shape); };
  h.leftClick(inside(services[0]));
  EXPECT_TRUE(selection.isElementSelected(a));
  h.leftClick(inside(services[1]), true);
  EXPECT_TRUE(selection.isElementSelected(a));
  EXPECT_TRUE(selection.isElementSelected(b));
  h.leftClick(inside(services[0]), true);
  EXPECT_FALSE(selection.isElementSelected(a));
  EXPECT_TRUE(selection.isElementSelected(b));
  h.leftClick(inside(services[0]));
  EXPECT_TRUE(selection.isElementSelected(a));
  EXPECT_FALSE(selection.isElementSelected(b));
}

TEST_F(FrameTest, CommandLineOpensWhatItNamesAndListsUnknownNamesInOneMessage) {
  CommandLineOptions options;
  options.model = kModel;
  options.metricsFile = kMetrics;
  options.diagram = "Overview";
  options.metrics = {"Coupling", "Lines", "Operations"};
  options.areas = {"Checkout", "Shipping"};
  frame().openFromCommandLine(options);
  FrameHarness::settle();
  EXPECT_EQ(frame().canvas()->activeWindow()->diagram()->getName(), "Overview");
  EXPECT_TRUE(frame().metricList()->isChecked(frame().metricList()->findRow("Coupling")));
  EXPECT_TRUE(frame().metricList()->isChecked(frame().metricList()->findRow("Operations")));
  EXPECT_EQ(frame().metrics().getShownCount(), 2u);
  EXPECT_TRUE(frame().areas().isIdentified("Checkout"));
  EXPECT_TRUE(frame().areaList()->isChecked(frame().areaList()->findRow("Checkout")));
  EXPECT_FALSE(frame().areaList()->isChecked(frame().areaList()->findRow("Payments")));
  EXPECT_EQ(frame().areas().getIdentifiedDiagram(), frame().canvas()->activeWindow()->diagram());
  ASSERT_EQ(h.dialogs.errors.size(), 1u);
  EXPECT_NE(h.dialogs.errors[0].find("unknown metric 'Lines'"), std::string::npos) << h.dialogs.errors[0];
  EXPECT_NE(h.dialogs.errors[0].find("unknown area 'Shipping'"), std::string::npos) << h.dialogs.errors[0];
}

// On a big model every recording of the shown diagram is a wait of a
// second or more: each of these actions records it at most once, and what
// the window then replays from its recording is what a fresh recording
// draws (areas and glyphs included).
TEST_F(FrameTest, EachActionRecordsTheShownDiagramAtMostOnce) {
  CanvasWindow* window = frame().canvas()->activeWindow();
  CommandLineOptions options;
  options.model = kModel;
  options.metricsFile = kMetrics;
  options.diagram = "Overview";
  options.metrics = {"Coupling", "Operations"};
  options.areas = {"Checkout"};
  auto wheel = [&] {
    wxMouseEvent event(wxEVT_MOUSEWHEEL);
    event.SetEventObject(frame().canvas());
    event.SetPosition(wxPoint(window->width() / 2, window->height() / 2));
    event.m_wheelRotation = 120;
    event.m_wheelAxis = wxMOUSE_WHEEL_VERTICAL;
    frame().canvas()->ProcessWindowEvent(event);
  };
  struct Step {
    const char* name;
    std::function<void()> action;
    int recordings;
  };
  const Step steps[] = {
      {"opened from the command line", [&] { frame().openFromCommandLine(options); }, 1},
      {"another diagram chosen with an area shown",
       [&] { frame().showDiagram(frame().document().findDiagram("Orders and billing")); }, 1},
      {"a wheel step", wheel, 0},
      {"the canvas exposed", [&] { frame().canvas()->Refresh(); frame().canvas()->Update(); }, 0},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    const int before = window->sceneRecordings();
    step.action();
    FrameHarness::settle();
    EXPECT_EQ(window->sceneRecordings() - before, step.recordings);
    ASSERT_NE(window->diagram(), nullptr);
    EXPECT_EQ(frame().areas().getIdentifiedDiagram(), window->diagram());
    const std::vector<unsigned char> cached = h.activePixels(true);
    const std::vector<unsigned char> fresh = h.activePixels();
    ASSERT_EQ(cached.size(), fresh.size());
    // The same to the eye: a replay may round a blend a few levels apart;
    // an area or glyph missing from the recording is tens of levels off.
    int most = 0;
    for (std::size_t i = 0; i < cached.size(); ++i) most = std::max(most, std::abs(cached[i] - fresh[i]));
    EXPECT_LE(most, 8);
    EXPECT_GT(FrameHarness::inkCount(fresh), 2000);
  }
  EXPECT_TRUE(h.dialogs.errors.empty()) << h.dialogs.errors.front();
}

// The font's glyphs were made where text was first measured, a pick among
// those places, and came out blank there: a hover box over a glyph read
// "Lines of code  > value  1 0" for "Lines of code -> value: 140". After a
// pick has run, each glyph draws ink in the canvas.
TEST_F(FrameTest, GlyphsFirstMeasuredByAPickStillDraw) {
  CommandLineOptions options;
  options.model = kModel;
  options.metricsFile = kMetrics;
  options.diagram = "Overview";
  options.metrics = {"Lines of code"};
  frame().openFromCommandLine(options);
  FrameHarness::settle();
  Canvas* canvas = frame().canvas();
  CanvasWindow* window = canvas->activeWindow();
  h.mouse(wxEVT_MOTION, wxPoint(window->width() / 2, window->height() / 2), false);
  FrameHarness::settle();
  // The text of the hover box at its size, one glyph at a time; the darkness
  // summed over the pixels (a blank glyph: none).
  auto darkness = [&](const std::string& text) {
    canvas->makeCurrent();
    glViewport(0, 0, 200, 100);
    glScissor(0, 0, 200, 100);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 200.0, 0.0, 100.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    GLPainter painter;
    painter.drawText(text, {20.0f, 20.0f}, settings().getFloat("HoverInfo.FontSize"), 0, Color(0, 0, 0, 1));
    const std::vector<std::uint8_t> rgba = readBackBufferRGBA(0, 0, 200, 100);
    int sum = 0;
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) sum += 255 - rgba[i];
    return sum;
  };
  for (const char* text : {"-", ":", ".", "4", "u", "g", "v", ">", "W", "q"}) EXPECT_GT(darkness(text), 150) << text;
  canvas->repaint();
}

TEST_F(FrameTest, NothingPointsIntoAReplacedModelAndNullCasesDoNothing) {
  // No diagram in the active window: showing an area does nothing.
  ASSERT_TRUE(frame().openModel(kModel));  // not by the menu, which shows the first diagram
  h.dialogs.answers.push_back(kMetrics);
  h.command(ids::OpenMetrics);
  EXPECT_FALSE(frame().showArea("Checkout"));
  EXPECT_EQ(frame().areas().getIdentifiedCount(), 0u);
  ASSERT_TRUE(frame().showDiagram(frame().document().diagrams().front()));
  EXPECT_FALSE(frame().showArea("No such area"));
  frame().areaSelected("No such area");
  frame().metricSelected(nullptr);
  frame().metricPicked("No such metric");
  EXPECT_TRUE(frame().showArea("Checkout"));

  // The metric and area being edited: their options are on until another
  // model replaces the lists.
  frame().metricSelected(frame().metrics().findMetric("Coupling"));
  frame().areaSelected("Checkout");
  ASSERT_NE(frame().metricsPage()->selectedMetric(), nullptr);
  ASSERT_NE(frame().areasPage()->selectedArea(), nullptr);
  EXPECT_TRUE(enabled(ids::MetricTransparency));
  EXPECT_TRUE(enabled(ids::AreaVisualizer));

  // A press on a class, then another model: the press target is forgotten,
  // so a later Ctrl-drag moves nothing of the freed model.
  h.click(ids::Perspective);
  DiagramElement* shape = firstShapeOfType(frame().canvas()->activeWindow()->diagram(), "Class");
  const wxPoint at = h.centreOn(shape);
  h.mouse(wxEVT_LEFT_DOWN, at, true, false, true);
  ASSERT_NE(frame().mouse().pressTarget(), nullptr);
  openModelByMenu(kScenario);
  EXPECT_EQ(frame().mouse().pressTarget(), nullptr);
  EXPECT_EQ(frame().metricsPage()->selectedMetric(), nullptr);
  EXPECT_EQ(frame().areasPage()->selectedArea(), nullptr);
  EXPECT_FALSE(enabled(ids::MetricTransparency));
  EXPECT_FALSE(enabled(ids::AreaVisualizer));
  EXPECT_EQ(frame().metricList()->GetItemCount(), 0);
  EXPECT_EQ(frame().areaList()->GetItemCount(), 0);
  h.mouse(wxEVT_MOTION, at + wxPoint(10, 10), true, false, true);
  h.mouse(wxEVT_LEFT_UP, at + wxPoint(10, 10), false, false, true);
  EXPECT_EQ(frame().canvas()->activeWindow()->diagram(), frame().document().diagrams().front());
}

TEST_F(FrameTest, ChoosingAClassSelectsItAloneAndShowsItsDiagramCentred) {
  openExample("Overview");
  Diagram* orders = frame().document().findDiagram("Orders and billing");
  DiagramElement* shape = firstShapeOfType(orders, "Class");
  ASSERT_NE(shape, nullptr);
  frame().selection().toggleElement(firstShapeOfType(frame().document().findDiagram("Overview"), "Class")
                                        ->getModelElement());
  frame().centreOnElement(orders, shape->getModelElement());
  FrameHarness::settle();
  CanvasWindow* window = frame().canvas()->activeWindow();
  EXPECT_EQ(window->diagram(), orders);
  ASSERT_EQ(frame().selection().selectedElements().size(), 1u);
  EXPECT_EQ(frame().selection().selectedElements()[0], shape->getModelElement());
  // Centred: a click in the window's middle picks that class.
  h.click(ids::Perspective);
  const int canvasHeight = frame().canvas()->GetClientSize().GetHeight();
  const wxPoint middle(window->x() + window->width() / 2, canvasHeight - (window->y() + window->height() / 2));
  frame().selection().clear();
  h.leftClick(middle);
  ASSERT_EQ(frame().selection().selectedElements().size(), 1u);
  EXPECT_EQ(frame().selection().selectedElements()[0], shape->getModelElement());
}

// Clicks in the canvas and a class chosen in the tree change the selection
// without recording any window's scene whole: every window records only the
// parts showing what flipped, and replays what a full recording shows. The
// same for a Ctrl-drag.
TEST_F(FrameTest, SelectionChangesRecordPartsNotTheScene) {
  openExample("Orders and billing");
  h.click(ids::Perspective);
  h.click(ids::SplitVertically);
  Canvas* canvas = frame().canvas();
  std::vector<CanvasWindow*> windows;
  for (WindowNode* leaf : canvas->tree().leaves()) windows.push_back(leaf->window);
  ASSERT_EQ(windows.size(), 2u);
  Diagram* diagram = canvas->activeWindow()->diagram();
  std::vector<DiagramElement*> classes;
  for (DiagramElement* shape : diagram->getElements())
    if (shape->getModelElement() && shape->getModelElement()->getTypeName() == "Class") classes.push_back(shape);
  ASSERT_GE(classes.size(), 2u);
  ModelElement* a = classes[0]->getModelElement();
  ModelElement* b = classes[1]->getModelElement();
  // A window's picture from its recording, or from a full recording.
  const auto pixels = [canvas](CanvasWindow* window, bool recordAgain) {
    canvas->makeCurrent();
    if (recordAgain) window->render(false);
    window->render(true);
    return readBackBufferRGBA(window->x(), window->y(), window->width(), window->height());
  };
  wxPoint at;
  const auto clickMiddle = [&](bool shift) {
    CanvasWindow* window = canvas->activeWindow();
    const int canvasHeight = canvas->GetClientSize().GetHeight();
    const wxPoint middle(window->x() + window->width() / 2, canvasHeight - (window->y() + window->height() / 2));
    h.mouse(wxEVT_LEFT_DOWN, middle, true, shift);
    h.mouse(wxEVT_LEFT_UP, middle, false, shift);
  };
  struct Step {
    const char* what;
    std::function<void()> aim, act;
    bool a, b;   // whether the first and the second class are selected afterwards
    bool alone;  // nothing else is
  };
  const Step steps[] = {
      {"click on a class", [&] { h.centreOn(classes[0]); }, [&] { clickMiddle(false); }, true, false, false},
      {"Shift-click on another", [&] { h.centreOn(classes[1]); }, [&] { clickMiddle(true); }, true, true, false},
      {"Shift-click on the first", [&] { h.centreOn(classes[0]); }, [&] { clickMiddle(true); }, false, true, false},
      // The press selects the class alone; the moves record only what
      // depends on its box, text drawn through the font included.
      {"Ctrl-drag of the first", [&] { at = h.centreOn(classes[0]); }, [&] { h.ctrlDrag(at, at + wxPoint(24, 12)); },
       true, false, false},
      {"click on empty space",
       [&] {
         canvas->activeWindow()->centreOn({1.0e5f, 1.0e5f});
         canvas->repaint();
       },
       [&] { clickMiddle(false); }, false, false, true},
      {"a class chosen in the tree", [] {}, [&] { frame().centreOnElement(diagram, a); }, true, false, true},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.aim();
    FrameHarness::settle();
    std::vector<int> recordings;
    for (CanvasWindow* window : windows) recordings.push_back(window->sceneRecordings());
    step.act();
    const SelectionManager& selection = frame().selection();
    EXPECT_EQ(selection.isElementSelected(a), step.a);
    EXPECT_EQ(selection.isElementSelected(b), step.b);
    if (step.alone) EXPECT_EQ(selection.selectedElements().size(), std::size_t{step.a} + std::size_t{step.b});
    for (std::size_t i = 0; i < windows.size(); ++i) {
      SCOPED_TRACE("window " + std::to_string(i));
      EXPECT_EQ(windows[i]->sceneRecordings(), recordings[i]) << "the scene was recorded whole";
      EXPECT_GE(windows[i]->partsRecordedAgain(), 0);
      const std::vector<std::uint8_t> shown = pixels(windows[i], false);
      EXPECT_TRUE(shown == pixels(windows[i], true)) << "the replay differs from a full recording";
    }
  }
}

TEST_F(FrameTest, AboutAndExitCommands) {
  h.command(ids::About);
  EXPECT_EQ(h.dialogs.abouts, 1);
  // Every File entry has a command behind it and is offered.
  for (int id : {ids::LoadConfiguration, ids::SaveConfiguration, ids::ExportImage, ids::SaveDiagram})
    EXPECT_TRUE(menuEnabled(id)) << id;
}

}  // namespace
}  // namespace lumetra
