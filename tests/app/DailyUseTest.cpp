// The frame in daily use: undoing moves, keeping them in configurations,
// preferences, metric colours, keys and the status bar, each checked by
// what the user sees (pixels, saved files, status texts).

#include <gtest/gtest.h>

#include <wx/bmpcbox.h>
#include <wx/menu.h>
#include <wx/propgrid/propgrid.h>
#include <wx/statusbr.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "app/panels/CheckListCtrl.h"
#include "app/frame/EditCommands.h"
#include "app/frame/PreferencesDialog.h"
#include "app/frame/ReadProgress.h"
#include "app/panels/WindowIds.h"
#include "app/frame/mainFrame.h"
#include "metrics/Metric.h"
#include "model/Element.h"
#include "render/Canvas.h"
#include "render/CanvasWindow.h"
#include "settings/SettingsStore.h"
#include "tests/app/FrameTestSupport.h"
#include "tests/platform/WaitFor.h"

namespace lumetra {
namespace {

const std::string kExamples = std::string(LUMETRA_SOURCE_DIR) + "/examples/";

std::string tempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("lumetra-daily-" + std::to_string(::getpid()) + "-" + name))
      .string();
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class DailyUseTest : public ::testing::Test {
 protected:
  mainFrame& frame() { return h.frame(); }
  CanvasWindow& window() { return *frame().canvas()->activeWindow(); }

  // The web shop by File > Open, which shows its first diagram.
  void openExample(bool withMetrics = false) {
    h.dialogs.answers.push_back(kExamples + "webshop.xmi");
    h.command(ids::OpenModel);
    if (withMetrics) {
      h.dialogs.answers.push_back(kExamples + "webshop.met");
      h.command(ids::OpenMetrics);
    }
    FrameHarness::settle();
    ASSERT_TRUE(h.dialogs.errors.empty()) << h.dialogs.errors.front();
    ASSERT_NE(window().diagram(), nullptr);
  }
  std::string savedDiagram(const std::string& name) {
    const std::string path = tempPath(name);
    frame().saveDiagram(path);
    std::string text = readFile(path);
    std::filesystem::remove(path);
    return text;
  }
  // A Ctrl-drag of the diagram's first class by (40, 20) pixels.
  DiagramElement* dragFirstClass() {
    DiagramElement* shape = firstShapeOfType(window().diagram(), "Class");
    const wxPoint at = h.centreOn(shape);
    h.ctrlDrag(at, at + wxPoint(40, 20));
    return shape;
  }
  void key(int code) {
    wxKeyEvent event(wxEVT_KEY_DOWN);
    event.m_keyCode = code;
    event.SetEventObject(frame().canvas());
    frame().canvas()->ProcessWindowEvent(event);
    FrameHarness::settle();
  }

  FrameHarness h;
};

// A model without diagrams that takes the layout a while: packages of
// classes, each class below the one before it.
std::string modelWithoutDiagrams(int packages, int classesEach) {
  std::string x = "<?xml version=\"1.0\"?><XMI xmi.version=\"1.1\"><XMI.content><UML:Model xmi.id=\"M\" "
                  "name=\"big\"><UML:Namespace.ownedElement>";
  std::string relations;
  for (int p = 0, c = 0; p < packages; ++p) {
    x += "<UML:Package xmi.id=\"P" + std::to_string(p) + "\" name=\"p" + std::to_string(p) +
         "\"><UML:Namespace.ownedElement>";
    for (int k = 0; k < classesEach; ++k, ++c) {
      x += "<UML:Class xmi.id=\"C" + std::to_string(c) + "\" name=\"Class" + std::to_string(c) + "\"/>";
      if (k > 0)
        relations += "<UML:Generalization xmi.id=\"G" + std::to_string(c) + "\" parent=\"C" + std::to_string(c - 1) +
                     "\" child=\"C" + std::to_string(c) + "\"/>";
    }
    x += "</UML:Namespace.ownedElement></UML:Package>";
  }
  return x + relations + "</UML:Namespace.ownedElement></UML:Model></XMI.content></XMI>";
}

// "Arrange" is one step of Undo and Redo: undone, the boxes, routes and the
// saved file are the file's again; a cancelled arrangement changes nothing.
TEST_F(DailyUseTest, ArrangeIsOneUndoStepAndCancelLeavesTheDiagram) {
  openExample();
  Diagram* diagram = window().diagram();
  const LayoutSnapshot file = LayoutSnapshot::ofDiagram(diagram);
  const std::string original = savedDiagram("a.dia");
  h.dialogs.cancelWork = 1;
  h.command(ids::ArrangeDiagram);
  EXPECT_EQ(file.now(), file);
  EXPECT_FALSE(frame().GetMenuBar()->IsEnabled(wxID_UNDO));

  h.command(ids::ArrangeDiagram);
  ASSERT_TRUE(h.dialogs.errors.empty()) << h.dialogs.errors.front();
  const LayoutSnapshot arranged = file.now();
  const std::string arrangedText = savedDiagram("b.dia");
  ASSERT_NE(arranged, file);
  ASSERT_NE(arrangedText, original);
  EXPECT_EQ(frame().edit().processor().GetUndoMenuLabel(), "&Undo Arrange\tCtrl+Z");
  h.command(wxID_UNDO);
  EXPECT_EQ(file.now(), file);
  EXPECT_EQ(savedDiagram("c.dia"), original);
  h.command(wxID_REDO);
  EXPECT_EQ(file.now(), arranged);
  EXPECT_EQ(savedDiagram("d.dia"), arrangedText);
  // A reset puts the routes back as well as the boxes.
  h.command(ids::ResetLayout);
  EXPECT_EQ(file.now(), file);
}

// An open cancelled while its generated diagrams are laid out keeps the
// model shown before; the late result is dropped, not shown over the model
// opened next, and nothing waits for it.
TEST_F(DailyUseTest, AReadAbandonedWhileLayingOutNeverReplacesTheModelOpenedAfter) {
  openExample();
  const std::string big = tempPath("big.xmi");
  std::ofstream(big) << modelWithoutDiagrams(12, 150);
  h.dialogs.cancelWork = 1;
  h.dialogs.answers.push_back(big);
  h.command(ids::OpenModel);
  EXPECT_EQ(frame().document().modelFile(), kExamples + "webshop.xmi");
  h.command(ids::CloseModel);
  openExample();
  const std::size_t diagrams = frame().document().diagrams().size();
  const std::string shown = savedDiagram("a.dia");
  ASSERT_TRUE(test::yieldUntil([] { return abandonedWorkRunning() == 0; }));
  FrameHarness::settle();
  EXPECT_EQ(frame().document().modelFile(), kExamples + "webshop.xmi");
  EXPECT_EQ(frame().document().diagrams().size(), diagrams);
  EXPECT_EQ(savedDiagram("b.dia"), shown);
  EXPECT_TRUE(h.dialogs.errors.empty());

  // Not cancelled, the same file opens with its generated diagrams.
  h.dialogs.answers.push_back(big);
  h.command(ids::OpenModel);
  EXPECT_EQ(frame().document().modelFile(), big);
  EXPECT_NE(frame().document().findDiagram("p11"), nullptr);
  std::filesystem::remove(big);
}

// Undo and Redo of a Ctrl-drag give back the saved files byte for byte;
// another model makes Undo a no-op.
TEST_F(DailyUseTest, UndoAndRedoOfAMoveRestoreTheSavedFileExactly) {
  openExample();
  const std::string original = savedDiagram("a.dia");
  wxMenuBar* bar = frame().GetMenuBar();
  EXPECT_FALSE(bar->IsEnabled(wxID_UNDO));
  dragFirstClass();
  const std::string moved = savedDiagram("b.dia");
  ASSERT_NE(moved, original);
  EXPECT_TRUE(bar->IsEnabled(wxID_UNDO));
  h.command(wxID_UNDO);
  EXPECT_EQ(savedDiagram("c.dia"), original);
  h.command(wxID_REDO);
  EXPECT_EQ(savedDiagram("d.dia"), moved);

  // "Reset layout" is undoable as well.
  h.command(ids::ResetLayout);
  EXPECT_EQ(savedDiagram("e.dia"), original);
  h.command(wxID_UNDO);
  EXPECT_EQ(savedDiagram("f.dia"), moved);

  // After the model was replaced there is nothing to undo.
  openExample();
  const std::string reopened = savedDiagram("g.dia");
  EXPECT_FALSE(bar->IsEnabled(wxID_UNDO));
  h.command(wxID_UNDO);
  EXPECT_EQ(savedDiagram("h.dia"), reopened);
}

// A saved configuration keeps moved boxes and puts them back over a fresh
// model; a box of a shape the model lacks is skipped and reported.
TEST_F(DailyUseTest, AConfigurationRestoresMovedBoxes) {
  openExample();
  DiagramElement* shape = dragFirstClass();
  const std::string shapeId = shape->getId();
  const Vec2 moved = *shape->getCurrentLayout()->getLowerLeft();
  const std::string config = tempPath("moved.cfg");
  ASSERT_TRUE(frame().saveConfiguration(config));
  std::string text = readFile(config);
  ASSERT_NE(text.find("[Box1]"), std::string::npos);

  h.command(ids::ResetLayout);
  ASSERT_NE(*shape->getCurrentLayout()->getLowerLeft(), moved);
  ASSERT_TRUE(frame().loadConfiguration(config));
  FrameHarness::settle();
  DiagramElement* again = nullptr;
  for (DiagramElement* e : frame().document().diagrams().front()->getElements())
    if (e->getId() == shapeId) again = e;
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(*again->getCurrentLayout()->getLowerLeft(), moved);
  EXPECT_TRUE(h.dialogs.errors.empty());

  const std::size_t at = text.find("Shape=" + shapeId);
  ASSERT_NE(at, std::string::npos);
  text.replace(at, 6 + shapeId.size(), "Shape=NoSuchShape");
  std::ofstream(config, std::ios::binary) << text;
  ASSERT_TRUE(frame().loadConfiguration(config));
  ASSERT_EQ(h.dialogs.errors.size(), 1u);
  EXPECT_NE(h.dialogs.errors[0].find("no shape 'NoSuchShape'"), std::string::npos) << h.dialogs.errors[0];
  std::filesystem::remove(config);
}

// A preference shows at once; one out of range is refused in the dialog;
// "Reset to defaults" brings the first picture back.
TEST_F(DailyUseTest, PreferencesChangeThePictureAndRefuseValuesOutOfRange) {
  openExample();
  const std::vector<unsigned char> before = h.activePixels();
  h.command(wxID_PREFERENCES);
  PreferencesDialog* dialog = frame().edit().preferencesDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->IsShown());
  wxPropertyGrid* grid = dialog->grid();
  EXPECT_FALSE(grid->ChangePropertyValue("Visualizer.UMLModel.ArrowSize", 5000.0));
  EXPECT_EQ(settings().getFloat("Visualizer.UMLModel.ArrowSize"), 25.0f);
  wxVariant red;
  red << wxColour(255, 0, 0, 255);
  EXPECT_TRUE(grid->ChangePropertyValue("Visualizer.UMLModel.LineColor", red));
  EXPECT_TRUE(grid->ChangePropertyValue("Visualizer.UMLModel.ArrowSize", 60.0));
  EXPECT_EQ(settings().getFloat("Visualizer.UMLModel.ArrowSize"), 60.0f);
  FrameHarness::settle();
  const std::vector<unsigned char> after = h.activePixels();
  int reddish = 0;
  for (std::size_t i = 0; i + 2 < after.size(); i += 3)
    if (after[i] > 200 && after[i + 1] < 80 && after[i + 2] < 80) ++reddish;
  EXPECT_GT(reddish, 500) << "outlines drawn in the new line colour";
  dialog->resetToDefaults();
  FrameHarness::settle();
  EXPECT_EQ(h.activePixels(), before);
  dialog->Hide();
}

// The colour chosen for a metric colours its glyphs.
TEST_F(DailyUseTest, AMetricColourChangesItsGlyphs) {
  openExample(true);
  lmCheckListCtrl* metrics = frame().metricList();
  const long row = metrics->findRow("Lines of code");
  metrics->setChecked(row, true);
  frame().metricSelected(frame().metrics().findMetric("Lines of code"));
  FrameHarness::settle();
  auto* colour = dynamic_cast<wxBitmapComboBox*>(frame().FindWindow(ids::MetricColour));
  ASSERT_NE(colour, nullptr);
  ASSERT_TRUE(colour->IsEnabled());
  const std::vector<unsigned char> before = h.activePixels();
  colour->SetSelection(9);  // 0xFFDF421E, an orange red
  wxCommandEvent chosen(wxEVT_COMBOBOX, ids::MetricColour);
  chosen.SetEventObject(colour);
  chosen.SetInt(9);
  colour->ProcessWindowEvent(chosen);
  FrameHarness::settle();
  EXPECT_EQ(*frame().metrics().findMetric("Lines of code")->getColor(), paletteColor(9));
  const std::vector<unsigned char> after = h.activePixels();
  auto orange = [](const std::vector<unsigned char>& rgb) {
    int n = 0;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
      if (rgb[i] > 200 && rgb[i] - rgb[i + 1] > 40 && rgb[i] - rgb[i + 2] > 60) ++n;
    return n;
  };
  EXPECT_GT(orange(after), orange(before) + 200);
}

// Keys pan and zoom the active view; the status bar follows the zoom and
// names the diagram.
TEST_F(DailyUseTest, KeysPanAndZoomAndTheStatusBarShowsTheZoom) {
  openExample();
  wxStatusBar* bar = frame().GetStatusBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->GetStatusText(0), "Orders and billing");
  EXPECT_EQ(bar->GetStatusText(1), "17 classes");
  const float fitted = window().zoom();
  const Vec2 fittedPan = window().camera().pan;
  struct Step {
    int key;
    float zoom;  // times the fitted zoom
    int panX, panY;  // sign of the pan's change
  } steps[] = {{'+', 1.25f, 0, 0}, {'-', 1.0f, 0, 0}, {WXK_RIGHT, 1.0f, 1, 0}, {WXK_UP, 1.0f, 0, 1},
               {WXK_LEFT, 1.0f, -1, 0}, {WXK_DOWN, 1.0f, 0, -1}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.key);
    const Vec2 pan = window().camera().pan;
    key(s.key);
    EXPECT_NEAR(window().zoom(), fitted * s.zoom, fitted * 1e-4f);
    EXPECT_EQ((window().camera().pan.x > pan.x) - (window().camera().pan.x < pan.x), s.panX);
    EXPECT_EQ((window().camera().pan.y > pan.y) - (window().camera().pan.y < pan.y), s.panY);
    EXPECT_EQ(bar->GetStatusText(2), wxString::Format("Zoom %ld%%", std::lround(window().zoom() * 100.0f)));
  }
  key('+');
  key(WXK_HOME);  // back to the fitted view
  EXPECT_EQ(window().zoom(), fitted);
  EXPECT_EQ(window().camera().pan, fittedPan);
  frame().document().selection().toggleElement(firstShapeOfType(window().diagram(), "Class")->getModelElement());
  key(WXK_ESCAPE);
  EXPECT_TRUE(frame().document().selection().selectedElements().empty());
}

}  // namespace
}  // namespace lumetra
