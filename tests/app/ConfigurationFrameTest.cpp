// Configurations on the real frame under Xvfb: a saved view comes back in a
// fresh frame with the same state and the same pixels, also after its
// folder was moved; `--export --config` draws what Ctrl-E writes; a
// configuration that cannot be used changes nothing and says why.

#include <gtest/gtest.h>
#include <unistd.h>

#include <wx/menu.h>
#include <wx/slider.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/panels/AreasPage.h"
#include "app/panels/CheckListCtrl.h"
#include "app/panels/ModelTree.h"
#include "app/commands/ExportCommand.h"
#include "app/panels/WindowIds.h"
#include "app/frame/mainFrame.h"
#include "areas/Area.h"
#include "areas/AreaVisualizer.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "metrics/Metric.h"
#include "metrics/MetricSet.h"
#include "model/Diagram.h"
#include "render/Canvas.h"
#include "render/CanvasWindow.h"
#include "render/PixelReadback.h"
#include "settings/SettingsStore.h"
#include "tests/app/FrameTestSupport.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;
using Pixels = std::vector<unsigned char>;

const fs::path kExamples = fs::path(LUMETRA_SOURCE_DIR) / "examples";

// The process-wide settings, put back after each test.
class SavedSettings {
 public:
  SavedSettings() : floats_(settings().floats()), bools_(settings().bools()), colours_(settings().colors()) {}
  ~SavedSettings() { restore(); }
  void restore() const {
    for (const auto& [key, value] : floats_) settings().setFloat(key, value);
    for (const auto& [key, value] : bools_) settings().setBool(key, value);
    for (const auto& [key, value] : colours_) settings().setColor(key, value);
  }

 private:
  std::map<std::string, float> floats_;
  std::map<std::string, bool> bools_;
  std::map<std::string, Color> colours_;
};

// A folder of its own with a copy of the web shop example.
class ConfigurationFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("lumetra-cfg-frame-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "project");
    for (const char* name : {"webshop.xmi", "webshop.met"}) fs::copy_file(kExamples / name, root_ / "project" / name);
  }
  void TearDown() override { fs::remove_all(root_); }

  static void open(FrameHarness& h, const fs::path& folder) {
    h.dialogs.answers.push_back((folder / "webshop.xmi").string());
    h.command(ids::OpenModel);
    h.dialogs.answers.push_back((folder / "webshop.met").string());
    h.command(ids::OpenMetrics);
    mainFrame& f = h.frame();
    ASSERT_TRUE(f.showDiagram(f.document().findDiagram("Orders and billing")));
    FrameHarness::settle();
  }

  // A view that differs from the defaults in everything a configuration
  // holds: glyph kinds, a threshold, area painters, a display switch, two
  // windows with cameras of their own, the glyph layout and area parameters.
  static void changeEverything(FrameHarness& h) {
    mainFrame& f = h.frame();
    for (const char* name : {"Coupling", "Lines of code", "Unit tested"})
      f.metricList()->setChecked(f.metricList()->findRow(name), true);
    f.metrics().findMetric("Lines of code")->setVisualizer("2D Pie");
    f.metrics().findMetric("Coupling")->setVisualizer("3D Cylinder");
    auto* coupling = dynamic_cast<IntegerMetric*>(f.metrics().findMetric("Coupling"));
    coupling->setLowerBound(coupling->getMinimum() + 2);
    for (const char* name : {"Payments", "Checkout"}) f.areaList()->setChecked(f.areaList()->findRow(name), true);
    f.areas().findArea("Checkout")->setVisualizer(AREA_PAINTER_SQUARE);
    f.areas().findArea("Payments")->getVisualizer()->setSoftness(85);
    f.areas().findArea("Payments")->getVisualizer()->setDrawingMode(AREA_MODE_CONTOUR);
    f.areas().setRadius(2.0f);
    f.painter()->setGlyphAreaCentre(Vec2(0.3f, -0.2f));
    f.painter()->setGlyphAreaSize(1.4f);
    h.slide(ids::EraserSoftness, 20);
    h.slide(ids::ModelTransparency, 200);
    // View > Shadows off, as choosing it sends it.
    f.GetMenuBar()->Check(ids::ViewShadows, false);
    wxCommandEvent event(wxEVT_MENU, ids::ViewShadows);
    event.SetInt(0);
    f.ProcessWindowEvent(event);
    // A second window side by side; the first gets a camera of its own.
    h.click(ids::SplitVertically);
    h.click(ids::ZoomIn);
    Camera& camera = f.canvas()->activeWindow()->camera();
    camera.rotationZ = 15.0f;
    camera.rotationX = -10.0f;
    camera.pan = Vec2(40.0f, -25.0f);
    f.refreshCanvas();
    FrameHarness::settle();
  }

  // The whole canvas as the screen shows it: every window, frame lines and
  // separators.
  static Pixels canvasPixels(mainFrame& f) {
    Canvas* canvas = f.canvas();
    canvas->makeCurrent();
    canvas->renderAllWindows();
    const PixelRect client = canvas->clientRect();
    return readBackBufferRGBA(0, 0, client.width, client.height);
  }

  struct State {
    std::vector<std::string> shownMetrics, glyphs, shownAreas, areaPainters;
    int lowerBound = 0;
    std::vector<float> cameras;  // per window: zoom, pan, rotations
    bool shadows = true;
    float glyphZoom = 0.0f;
    int areaSoftness = 0;
    int eraserSoftness = 0;
    std::string activeDiagram;
    bool operator==(const State&) const = default;
  };

  static State stateOf(mainFrame& f) {
    State s;
    for (Metric* m : f.metrics().getShownMetrics()) {
      s.shownMetrics.push_back(m->getName());
      s.glyphs.push_back(m->getVisualizerName());
    }
    s.lowerBound = dynamic_cast<IntegerMetric*>(f.metrics().findMetric("Coupling"))->getLowerBound();
    for (IdentifiedArea* a : f.areas().getIdentifiedAreas()) {
      s.shownAreas.push_back(a->getName());
      s.areaPainters.push_back(f.areas().findArea(a->getName())->getVisualizer()->getName());
    }
    for (WindowNode* leaf : f.canvas()->tree().leaves()) {
      const Camera& c = leaf->window->camera();
      s.cameras.insert(s.cameras.end(), {c.zoom, c.pan.x, c.pan.y, c.rotationZ, c.rotationX});
    }
    s.shadows = settings().getBool("Visualizer.General.Shadows");
    s.glyphZoom = f.painter()->getGlyphAreaSize();
    s.areaSoftness = f.areas().findArea("Payments")->getVisualizer()->getSoftness();
    s.eraserSoftness = f.painter()->eraserSoftness();
    s.activeDiagram = f.canvas()->activeWindow()->diagram()->getName();
    return s;
  }


  fs::path root_;
  SavedSettings saved_;
};

TEST_F(ConfigurationFrameTest, ASavedViewComesBackInAFreshFrameWithTheSameStateAndPixelsAfterItsFolderMoved) {
  State before;
  Pixels shown;
  {
    FrameHarness h;
    open(h, root_ / "project");
    changeEverything(h);
    before = stateOf(h.frame());
    shown = canvasPixels(h.frame());
    h.dialogs.answers.push_back((root_ / "project" / "view").string());  // the .cfg is added
    h.command(ids::SaveConfiguration);
    ASSERT_TRUE(h.dialogs.errors.empty()) << h.dialogs.errors.front();
    EXPECT_EQ(h.dialogs.asked.back(), "Save Configuration");
  }
  ASSERT_EQ(before.shownMetrics, (std::vector<std::string>{"Coupling", "Lines of code", "Unit tested"}));
  ASSERT_FALSE(before.shadows);
  saved_.restore();  // the fresh frame starts from the defaults
  ASSERT_TRUE(settings().getBool("Visualizer.General.Shadows"));
  fs::rename(root_ / "project", root_ / "moved");

  FrameHarness h;
  h.dialogs.answers.push_back((root_ / "moved" / "view.cfg").string());
  h.command(ids::LoadConfiguration);
  ASSERT_TRUE(h.dialogs.errors.empty()) << h.dialogs.errors.front();
  mainFrame& f = h.frame();
  EXPECT_EQ(f.document().modelFile(), (root_ / "moved" / "webshop.xmi").string());
  EXPECT_EQ(stateOf(f), before);
  EXPECT_FALSE(f.GetMenuBar()->IsChecked(ids::ViewShadows));
  EXPECT_EQ(f.metricList()->isChecked(f.metricList()->findRow("Unit tested")), true);
  EXPECT_EQ(f.areaList()->isChecked(f.areaList()->findRow("Checkout")), true);
  EXPECT_EQ(f.areaList()->isChecked(f.areaList()->findRow("Fulfilment")), false);
  EXPECT_EQ(dynamic_cast<wxSlider*>(f.FindWindow(ids::ModelTransparency))->GetValue(), 200);
  EXPECT_EQ(dynamic_cast<wxSlider*>(f.FindWindow(ids::EraserSoftness))->GetValue(), 20);
  const Pixels again = canvasPixels(f);
  ASSERT_EQ(again.size(), shown.size());
  EXPECT_TRUE(again == shown);

  // Loading it again over itself reopens nothing and changes nothing.
  Diagram* diagram = f.canvas()->activeWindow()->diagram();
  h.dialogs.answers.push_back((root_ / "moved" / "view.cfg").string());
  h.command(ids::LoadConfiguration);
  EXPECT_TRUE(h.dialogs.errors.empty());
  EXPECT_EQ(f.canvas()->activeWindow()->diagram(), diagram);
  EXPECT_TRUE(canvasPixels(f) == shown);
}

// However many steps of a load change what a window shows (its layout, its
// diagram, the areas over it, the settings and the look), the window
// records its scene once, in the one repaint at the end.
TEST_F(ConfigurationFrameTest, LoadingAConfigurationRecordsEachWindowOnce) {
  const std::string cfg = (root_ / "project" / "view.cfg").string();
  {
    FrameHarness h;
    open(h, root_ / "project");
    changeEverything(h);
    ASSERT_TRUE(h.frame().saveConfiguration(cfg));
  }
  saved_.restore();
  FrameHarness h;
  mainFrame& f = h.frame();
  ASSERT_EQ(f.canvas()->activeWindow()->sceneRecordings(), 0);
  ASSERT_TRUE(f.loadConfiguration(cfg));
  FrameHarness::settle();
  ASSERT_EQ(f.canvas()->tree().leaves().size(), 2u);
  ASSERT_NE(f.canvas()->activeWindow()->diagram(), nullptr);
  for (WindowNode* leaf : f.canvas()->tree().leaves())
    EXPECT_EQ(leaf->window->sceneRecordings(), leaf->window->diagram() != nullptr ? 1 : 0);
}

// Close model used to leave the document loaded, so that a configuration
// naming the same model was applied to it without reading it again and the
// tree stayed empty.
TEST_F(ConfigurationFrameTest, AConfigurationOfTheClosedModelShowsItInTheTreeAgain) {
  FrameHarness h;
  mainFrame& f = h.frame();
  open(h, root_ / "project");
  const std::string cfg = (root_ / "project" / "view.cfg").string();
  ASSERT_TRUE(f.saveConfiguration(cfg));
  h.command(ids::CloseModel);
  ASSERT_EQ(f.modelTree()->GetCount(), 0u);
  ASSERT_TRUE(f.loadConfiguration(cfg));
  FrameHarness::settle();
  EXPECT_TRUE(h.dialogs.errors.empty());
  const wxTreeItemId root = f.modelTree()->GetRootItem();
  ASSERT_TRUE(root.IsOk());
  EXPECT_EQ(f.modelTree()->GetChildrenCount(root, false), f.document().diagrams().size());
  EXPECT_GT(f.document().diagrams().size(), 1u);
  ASSERT_NE(f.canvas()->activeWindow()->diagram(), nullptr);
  EXPECT_EQ(f.canvas()->activeWindow()->diagram()->getName(), "Orders and billing");
}

TEST_F(ConfigurationFrameTest, ExportWithTheConfigurationDrawsWhatCtrlEWritesAtTheSameSize) {
  FrameHarness h;
  open(h, root_ / "project");
  changeEverything(h);
  const std::string cfg = (root_ / "project" / "view.cfg").string();
  ASSERT_TRUE(h.frame().saveConfiguration(cfg));
  const std::string viewer = (root_ / "viewer.png").string();
  ASSERT_TRUE(h.frame().exportImage(viewer, 1, ImageFormat::Png));

  // The program as a script runs it, in a process of its own.
  const std::string batch = (root_ / "batch.png").string();
  const std::string command = std::string(LUMETRA_EXE) + " --export '" + batch + "' --config '" + cfg + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  int w1 = 0, h1 = 0, w2 = 0, h2 = 0;
  const Pixels a = readPngRows(viewer, w1, h1);
  const Pixels b = readPngRows(batch, w2, h2);
  ASSERT_FALSE(a.empty());
  EXPECT_EQ(w2, h.frame().canvas()->activeWindow()->width());
  EXPECT_EQ(h2, h.frame().canvas()->activeWindow()->height());
  ASSERT_EQ(a.size(), b.size());
  EXPECT_GT(FrameHarness::inkCount(a), 1000);
  // Ctrl-E's picture is the window as shown, eraser softness included (it
  // used to keep the default halo), pixel for pixel inside the frame line:
  // the picture's framebuffer is rasterized as the window is.
  const Pixels shown = h.activePixels();
  const int sw = w1 - 6, sh = h1 - 6;
  int differing = 0;
  for (int y = 0; y < sh; ++y)
    for (int x = 0; x < sw; ++x) {
      const unsigned char* p = &a[(static_cast<std::size_t>(y + 3) * w1 + x + 3) * 3];
      const unsigned char* q = &shown[(static_cast<std::size_t>(y) * sw + x) * 3];
      differing += p[0] != q[0] || p[1] != q[1] || p[2] != q[2];
    }
  EXPECT_EQ(differing, 0);
  // The same drawing in two GL contexts, through one drawing function: a
  // few soft area texels may round a level apart (measured: 84 of 617,304
  // values, by 1). A view that differs in anything the configuration holds
  // changes thousands of values by far more.
  int apart = 0, far = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const int d = std::abs(a[i] - b[i]);
    apart += d > 0;
    far += d > 1;
  }
  EXPECT_EQ(far, 0);
  EXPECT_LT(apart, static_cast<int>(a.size() / 2000));
}

TEST_F(ConfigurationFrameTest, AConfigurationThatCannotBeUsedLeavesTheViewAsItWasAndSaysWhy) {
  FrameHarness h;
  open(h, root_ / "project");
  changeEverything(h);
  const fs::path good = root_ / "project" / "view.cfg";
  ASSERT_TRUE(h.frame().saveConfiguration(good.string()));
  std::ifstream in(good);
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string t = text;
    const std::size_t at = t.find(from);
    return at == std::string::npos ? std::string("missing ") + from : t.replace(at, from.size(), to);
  };

  struct Case {
    const char* name;
    std::string text;
    bool applies;                          // the rest is applied (entries skipped)
    std::vector<std::string> message;      // parts of the one message
  };
  const std::vector<Case> cases = {
      {"not INI", "<?xml version=\"1.0\"?>\n<XMI/>\n", false, {"broken.cfg, line 1", "not a configuration file"}},
      {"truncated", text.substr(0, text.size() / 2), false, {"broken.cfg", "cut short"}},
      {"missing model", replaced("Model=webshop.xmi", "Model=gone.xmi"), false,
       {"broken.cfg: the model it names cannot be opened", "gone.xmi"}},
      {"missing metrics", replaced("Metrics=webshop.met", "Metrics=gone.met"), false,
       {"broken.cfg: the metrics file it names cannot be read", "gone.met"}},
      {"out of range", replaced("GlyphZoom=1.4", "GlyphZoom=9"), true,
       {"Some entries of", "broken.cfg", "[View] GlyphZoom: 9 is out of range"}},
      {"unknown metric", replaced("Name=Unit tested", "Name=Untested"), true, {"no metric 'Untested'"}},
  };
  const State before = stateOf(h.frame());
  const Pixels shown = canvasPixels(h.frame());
  Diagram* diagram = h.frame().canvas()->activeWindow()->diagram();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path broken = root_ / "project" / "broken.cfg";
    std::ofstream(broken, std::ios::binary) << c.text;
    h.dialogs.errors.clear();
    h.dialogs.answers.push_back(broken.string());
    h.command(ids::LoadConfiguration);
    ASSERT_EQ(h.dialogs.errors.size(), 1u);
    const std::string& message = h.dialogs.errors[0];
    EXPECT_EQ(message.find(c.applies ? "Load Configuration: Some entries" : "Load Configuration: The configuration "
                                                                            "could not be loaded; nothing was changed"),
              0u)
        << message;
    for (const std::string& part : c.message) EXPECT_NE(message.find(part), std::string::npos) << message;
    // The same model stays; nothing changed but what the rest applies:
    // with an unknown metric, the known ones are shown all the same.
    EXPECT_EQ(h.frame().canvas()->activeWindow()->diagram(), diagram);
    if (std::string(c.name) == "unknown metric") {
      EXPECT_EQ(stateOf(h.frame()).shownMetrics, (std::vector<std::string>{"Coupling", "Lines of code"}));
      continue;
    }
    EXPECT_EQ(stateOf(h.frame()), before);
    EXPECT_TRUE(canvasPixels(h.frame()) == shown);
  }
}

}  // namespace
}  // namespace lumetra
