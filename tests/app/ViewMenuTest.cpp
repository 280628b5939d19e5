// The "&View" menu and the legend on the real frame: each display switch
// changes what every window shows and comes back to the same picture, and
// the legend lists the shown metrics and areas in the colours the user sees.

#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <wx/menu.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/panels/CheckListCtrl.h"
#include "app/commands/ExportChoice.h"
#include "app/commands/ExportCommand.h"
#include "app/frame/ViewMenu.h"
#include "app/panels/WindowIds.h"
#include "app/frame/mainFrame.h"
#include "areas/Area.h"
#include "diagram/Legend.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "metrics/MetricSet.h"
#include "model/Diagram.h"
#include "diagram/SelectionManager.h"
#include "render/Canvas.h"
#include "render/CanvasWindow.h"
#include "render/PixelReadback.h"
#include "settings/SettingsStore.h"
#include "tests/app/FrameTestSupport.h"

namespace lumetra {
namespace {

const std::string kExamples = std::string(LUMETRA_SOURCE_DIR) + "/examples/";

using Pixels = std::vector<unsigned char>;

// Every bool setting the menu switches, put back after each test: the store
// is process-wide.
class SavedSwitches {
 public:
  SavedSwitches() {
    for (const DisplaySwitch& s : displaySwitches()) saved_[s.key] = settings().getBool(s.key);
  }
  ~SavedSwitches() {
    for (const auto& [key, on] : saved_) settings().setBool(key, on);
  }

 private:
  std::map<std::string, bool> saved_;
};

class ViewMenuTest : public ::testing::Test {
 protected:
  mainFrame& frame() { return h.frame(); }

  void openExample(const std::string& diagram, bool withMetrics) {
    h.dialogs.answers.push_back(kExamples + "webshop.xmi");
    h.command(ids::OpenModel);
    if (withMetrics) {
      h.dialogs.answers.push_back(kExamples + "webshop.met");
      h.command(ids::OpenMetrics);
    }
    ASSERT_TRUE(frame().showDiagram(frame().document().findDiagram(diagram)));
    FrameHarness::settle();
    ASSERT_TRUE(h.dialogs.errors.empty()) << h.dialogs.errors.front();
  }

  // The View item as choosing it sends it: the menu has toggled its check.
  void choose(int id, bool on) {
    frame().GetMenuBar()->Check(id, on);
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(frame().GetMenuBar()->GetMenu(1));
    event.SetInt(on ? 1 : 0);
    frame().ProcessWindowEvent(event);
    FrameHarness::settle();
  }

  // Each window's picture, in leaf order, inside its frame line.
  std::vector<Pixels> windowPixels() {
    Canvas* canvas = frame().canvas();
    canvas->makeCurrent();
    canvas->renderAllWindows();
    std::vector<Pixels> pictures;
    for (WindowNode* leaf : canvas->tree().leaves()) {
      const CanvasWindow* w = leaf->window;
      const std::vector<std::uint8_t> rgba = readBackBufferRGBA(w->x() + 3, w->y() + 3, w->width() - 6, w->height() - 6);
      Pixels rgb;
      for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
      pictures.push_back(std::move(rgb));
    }
    return pictures;
  }

  SavedSwitches saved_;
  FrameHarness h;
};

TEST_F(ViewMenuTest, MenuSitsBetweenFileAndHelpWithItsItemsCheckedAsTheSettingsStand) {
  wxMenuBar* bar = frame().GetMenuBar();
  ASSERT_EQ(bar->GetMenuCount(), 3u);
  EXPECT_EQ(bar->GetMenuLabelText(1), "View");
  for (const DisplaySwitch& s : displaySwitches()) {
    SCOPED_TRACE(s.key);
    ASSERT_NE(bar->FindItem(s.id), nullptr);
    EXPECT_TRUE(bar->FindItem(s.id)->IsCheckable());
    EXPECT_EQ(bar->IsChecked(s.id), settings().getBool(s.key));
  }
  EXPECT_FALSE(bar->IsChecked(ids::ViewLegend));       // off at start
  EXPECT_FALSE(bar->IsChecked(ids::ViewRelationNames));
  EXPECT_TRUE(bar->IsChecked(ids::ViewAttributes));
}

// The File menu's "Save diagram" writes the diagram file as the toolbar's
// tool does.
TEST_F(ViewMenuTest, FileMenuSavesTheDiagramWithCtrlS) {
  EXPECT_EQ(frame().GetMenuBar()->GetLabel(ids::SaveDiagram), "&Save diagram...\tCtrl-S");
  openExample("Orders and billing", false);
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("lumetra-menu-save-" + std::to_string(::getpid()) + ".dia");
  h.dialogs.answers.push_back(file.string());
  h.command(ids::SaveDiagram);
  EXPECT_EQ(h.dialogs.asked.back(), "Save Diagram");
  ASSERT_TRUE(h.dialogs.errors.empty()) << h.dialogs.errors.front();
  std::ifstream in(file);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("Orders and billing"), std::string::npos);
  std::filesystem::remove(file);
}

// Each switch, chosen while the view is split in two, changes both windows'
// pictures as it should (off draws less, relation names on draw more;
// attributes and methods give their room to each other, so the picture
// changes) and the picture comes back exactly when it is chosen again. The
// diagram of each row shows what the switch is about.
TEST_F(ViewMenuTest, EachSwitchChangesEveryWindowAndComesBack) {
  enum Expect { Less, More, Changed };
  struct Row {
    int id;
    const char* diagram;
    Expect expect;
  };
  const Row rows[] = {
      {ids::ViewAssociations, "Orders and billing", Less},
      {ids::ViewGeneralizations, "Inventory and shipping", Less},
      {ids::ViewDependencies, "Inventory and shipping", Less},
      {ids::ViewAttributes, "Overview", Changed},
      {ids::ViewMethods, "Orders and billing", Changed},
      {ids::ViewElementNames, "Overview", Less},
      {ids::ViewRelationNames, "Overview", More},
      {ids::ViewShadows, "Overview", Less},
      {ids::ViewComments, "Overview", More},
  };
  openExample("Orders and billing", false);
  for (const Row& row : rows) {
    const DisplaySwitch* s = findDisplaySwitch(row.id);
    ASSERT_NE(s, nullptr);
    SCOPED_TRACE(s->key);
    // Both windows show the row's diagram.
    if (frame().canvas()->tree().leaves().size() > 1) h.click(ids::DeleteWindow);
    ASSERT_TRUE(frame().showDiagram(frame().document().findDiagram(row.diagram)));
    h.click(ids::SplitVertically);
    ASSERT_EQ(frame().canvas()->tree().leaves().size(), 2u);

    const bool initially = settings().getBool(s->key);
    const std::vector<Pixels> before = windowPixels();
    choose(row.id, !initially);
    EXPECT_EQ(settings().getBool(s->key), !initially);
    EXPECT_EQ(frame().GetMenuBar()->IsChecked(row.id), !initially);
    const std::vector<Pixels> after = windowPixels();
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t w = 0; w < before.size(); ++w) {
      ASSERT_NE(after[w], before[w]) << "window " << w;
      const int inkBefore = FrameHarness::inkCount(before[w]);
      const int inkAfter = FrameHarness::inkCount(after[w]);
      if (row.expect == Less) EXPECT_LT(inkAfter, inkBefore) << "window " << w;
      if (row.expect == More) EXPECT_GT(inkAfter, inkBefore) << "window " << w;
    }
    choose(row.id, initially);
    EXPECT_EQ(windowPixels(), before);
    EXPECT_EQ(frame().GetMenuBar()->IsChecked(row.id), initially);
  }
}

// Pixels of the lower-left quarter within tolerance of colour.
int countNear(const Pixels& rgb, int width, int height, const Color& colour, int tolerance = 3) {
  const int want[3] = {static_cast<int>(colour.r * 255.0f + 0.5f), static_cast<int>(colour.g * 255.0f + 0.5f),
                       static_cast<int>(colour.b * 255.0f + 0.5f)};
  int count = 0;
  for (int y = 0; y < height / 2; ++y)
    for (int x = 0; x < width / 2; ++x) {
      const unsigned char* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
      if (std::abs(p[0] - want[0]) <= tolerance && std::abs(p[1] - want[1]) <= tolerance &&
          std::abs(p[2] - want[2]) <= tolerance)
        ++count;
    }
  return count;
}

TEST_F(ViewMenuTest, LegendListsShownMetricsAndAreasInTheirColoursInTheLowerLeftCorner) {
  openExample("Orders and billing", true);
  lmCheckListCtrl* metrics = frame().metricList();
  metrics->setChecked(metrics->findRow("Lines of code"), true);
  metrics->setChecked(metrics->findRow("Unit tested"), true);
  frame().areaList()->setChecked(frame().areaList()->findRow("Payments"), true);
  FrameHarness::settle();
  ASSERT_TRUE(frame().areas().isIdentified("Payments"));

  const CanvasWindow* window = frame().canvas()->activeWindow();
  const int width = window->width() - 6, height = window->height() - 6;
  const Color metricColour = *frame().metrics().findMetric("Lines of code")->getColor();
  const Color areaColour(50 / 255.0f, 110 / 255.0f, 220 / 255.0f, 1.0f);  // as the metrics file gives it
  const Pixels without = h.activePixels();

  choose(ids::ViewLegend, true);
  const Pixels with = h.activePixels();
  ASSERT_EQ(with.size(), without.size());
  // A swatch of each colour: the metric's own colour, the area's as the
  // canvas shows it at its strongest (the default painter stacks layers).
  EXPECT_GT(countNear(with, width, height, metricColour), countNear(without, width, height, metricColour) + 40);
  EXPECT_GT(countNear(with, width, height, areaColour), countNear(without, width, height, areaColour) + 40);
  // Only the lower-left corner changed.
  int changedElsewhere = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (x < width / 2 && y < height / 2) continue;
      const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
      if (with[i] != without[i] || with[i + 1] != without[i + 1] || with[i + 2] != without[i + 2]) ++changedElsewhere;
    }
  EXPECT_EQ(changedElsewhere, 0);

  // Switched off, the picture is the one without the legend again.
  choose(ids::ViewLegend, false);
  EXPECT_EQ(h.activePixels(), without);

  // Hiding the metric takes its row away: the legend follows the lists.
  choose(ids::ViewLegend, true);
  metrics->setChecked(metrics->findRow("Lines of code"), false);
  FrameHarness::settle();
  EXPECT_LE(countNear(h.activePixels(), width, height, metricColour), countNear(without, width, height, metricColour));
}

TEST(LegendRows, TextsGiveGlyphRangeThresholdsAndAreasFollowTheirDiagram) {
  MetricSet metrics;
  auto* size = new IntegerMetric("Size", new Color(0.5f, 0.1f, 0.1f, 1.0f), nullptr);
  size->addValue("a", 3);
  size->addValue("b", 40);
  size->computeRange();
  metrics.add(size);
  metrics.add(new BooleanMetric("Tested", new Color(0.1f, 0.1f, 0.5f, 1.0f), nullptr));
  metrics.add(new IntegerMetric("Hidden", nullptr, nullptr));
  metrics.showMetric("Tested");
  metrics.showMetric("Size");

  const std::string dash = "\xE2\x80\x93";
  std::vector<LegendRow> rows = legendRows(&metrics, nullptr, nullptr, 0.2f);
  ASSERT_EQ(rows.size(), 2u);  // shown ones only, in shown order
  EXPECT_EQ(rows[0].text, "Tested: Default Boolean, true/false");
  EXPECT_EQ(rows[1].text, "Size: 3D Bar, 3" + dash + "40");
  EXPECT_EQ(rows[1].swatch, Color(0.5f, 0.1f, 0.1f, 1.0f));
  size->setLowerBound(10);
  EXPECT_EQ(legendText(*size), "Size: 3D Bar, 3" + dash + "40, shown 10" + dash + "40");

  // Inverted blue at alpha 0.2 shows as light blue on the white canvas.
  const Color onCanvas = areaColourOnCanvas(Color(1.0f, 1.0f, 0.0f, 1.0f), 0.2f);
  EXPECT_FLOAT_EQ(onCanvas.r, 0.8f);
  EXPECT_FLOAT_EQ(onCanvas.b, 1.0f);
  EXPECT_FLOAT_EQ(onCanvas.a, 1.0f);

  // Nothing shown: no rows, and no box.
  metrics.hideMetric("Size");
  metrics.hideMetric("Tested");
  EXPECT_TRUE(legendRows(&metrics, nullptr, nullptr, 0.2f).empty());
  EXPECT_EQ(legendBox({}).size.x, 0.0f);
}

Pixels readPng(const std::string& file, int& width, int& height) { return readPngRows(file, width, height); }

// The share of pixels of a (x0, y0, w, h) crop of picture that lie within 2
// levels of shown.
double matchingShare(const Pixels& picture, int pictureWidth, int x0, int y0, const Pixels& shown, int w, int h) {
  int matching = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned char* p = &picture[((static_cast<std::size_t>(y + y0)) * pictureWidth + x + x0) * 3];
      const unsigned char* q = &shown[(static_cast<std::size_t>(y) * w + x) * 3];
      if (std::abs(p[0] - q[0]) <= 2 && std::abs(p[1] - q[1]) <= 2 && std::abs(p[2] - q[2]) <= 2) ++matching;
    }
  return static_cast<double>(matching) / (static_cast<double>(w) * h);
}

TEST_F(ViewMenuTest, ExportToImageWritesTheViewAsShownAtOneTwoAndFourTimesTheWindowSize) {
  openExample("Orders and billing", true);
  frame().metricList()->setChecked(frame().metricList()->findRow("Coupling"), true);
  frame().areaList()->setChecked(frame().areaList()->findRow("Checkout"), true);
  choose(ids::ViewLegend, true);
  h.click(ids::ZoomIn);  // a camera of its own, not the fitted one
  const CanvasWindow* window = frame().canvas()->activeWindow();
  const int ww = window->width(), wh = window->height();
  const Pixels shown = h.activePixels();

  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("lumetra-view-export-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  // Ctrl-E with a name without extension and the first entry: a PNG of the
  // window's size, the same picture the window shows inside its frame line.
  h.dialogs.answers.push_back((dir / "view").string());
  h.dialogs.filterAnswers.push_back(0);
  h.command(ids::ExportImage);
  ASSERT_TRUE(h.dialogs.errors.empty()) << h.dialogs.errors.front();
  EXPECT_EQ(h.dialogs.asked.back(), "Save as image");
  int w = 0, ht = 0;
  const Pixels picture = readPng((dir / "view.png").string(), w, ht);
  ASSERT_FALSE(picture.empty());
  EXPECT_EQ(w, ww);
  EXPECT_EQ(ht, wh);
  EXPECT_GT(matchingShare(picture, w, 3, 3, shown, ww - 6, wh - 6), 0.99);
  // The window itself is drawn as before (its font was loaded again).
  EXPECT_EQ(h.activePixels(), shown);

  // Twice the size by the dialog's entry, four times through the frame: the
  // same view, larger.
  h.dialogs.answers.push_back((dir / "view2.png").string());
  h.dialogs.filterAnswers.push_back(1);
  h.command(ids::ExportImage);
  const Pixels twice = readPng((dir / "view2.png").string(), w, ht);
  ASSERT_FALSE(twice.empty());
  EXPECT_EQ(w, 2 * ww);
  EXPECT_EQ(ht, 2 * wh);
  EXPECT_GT(FrameHarness::inkCount(twice), 2 * FrameHarness::inkCount(picture));
  ASSERT_TRUE(frame().exportImage((dir / "view4.jpeg").string(), 4, ImageFormat::Jpeg));
  std::ifstream jpeg(dir / "view4.jpeg", std::ios::binary);
  unsigned char magic[2] = {};
  jpeg.read(reinterpret_cast<char*>(magic), 2);
  EXPECT_EQ(magic[0], 0xFF);
  EXPECT_EQ(magic[1], 0xD8);

  // A name of another type is refused with a message naming it; nothing is
  // written.
  h.dialogs.answers.push_back((dir / "view.gif").string());
  h.command(ids::ExportImage);
  ASSERT_EQ(h.dialogs.errors.size(), 1u);
  EXPECT_NE(h.dialogs.errors[0].find("view.gif"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir / "view.gif"));
  std::filesystem::remove_all(dir);
}

// The smallest box (x0, y0, x1, y1) holding every pixel in which two
// pictures of the same size differ; x1 < 0 when none does.
struct PixelBox {
  int x0, y0, x1, y1;
};
PixelBox differingBox(const Pixels& a, const Pixels& b, int width, int height) {
  PixelBox box{width, height, -1, -1};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
      if (a[i] == b[i] && a[i + 1] == b[i + 1] && a[i + 2] == b[i + 2]) continue;
      box = {std::min(box.x0, x), std::min(box.y0, y), std::max(box.x1, x), std::max(box.y1, y)};
    }
  return box;
}

std::string fileText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Ctrl-E also writes SVG and PDF pictures of the view, legend included;
// and a picture four times the window's size carries the legend four times
// as large, in the same corner, as if the window's were magnified.
TEST_F(ViewMenuTest, ExportWritesVectorPicturesAndMagnifiesTheLegendWithThePicture) {
  openExample("Orders and billing", true);
  frame().metricList()->setChecked(frame().metricList()->findRow("Lines of code"), true);
  frame().areaList()->setChecked(frame().areaList()->findRow("Payments"), true);
  choose(ids::ViewLegend, true);
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("lumetra-view-vector-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);

  // By the dialog's entry (no extension given) and by the extension.
  h.dialogs.answers.push_back((dir / "view").string());
  h.dialogs.filterAnswers.push_back(6);
  h.command(ids::ExportImage);
  h.dialogs.answers.push_back((dir / "view.PDF").string());
  h.dialogs.filterAnswers.push_back(0);
  h.command(ids::ExportImage);
  ASSERT_TRUE(h.dialogs.errors.empty()) << h.dialogs.errors.front();
  const std::string svg = fileText(dir / "view.svg");
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find(">OrderLine</text>"), std::string::npos);  // a class name, as text
  EXPECT_NE(svg.find(">Lines of code: "), std::string::npos);    // the legend's row
  EXPECT_NE(svg.find(">Area Payments</text>"), std::string::npos);
  EXPECT_EQ(fileText(dir / "view.PDF").rfind("%PDF-", 0), 0u);
  const std::string text = (dir / "view.txt").string();
  ASSERT_EQ(std::system(("pdftotext '" + (dir / "view.PDF").string() + "' '" + text + "'").c_str()), 0);
  EXPECT_NE(fileText(text).find("Lines of code: "), std::string::npos);

  // The legend's extent: where the pictures with and without it differ.
  const CanvasWindow* window = frame().canvas()->activeWindow();
  const int ww = window->width(), wh = window->height();
  PixelBox boxes[2];
  const int scales[2] = {1, 4};
  for (int s = 0; s < 2; ++s) {
    const int scale = scales[s];
    Pixels pictures[2];
    for (const bool legend : {false, true}) {
      choose(ids::ViewLegend, legend);
      const std::string file = (dir / ("legend" + std::to_string(scale) + (legend ? "on" : "off") + ".png")).string();
      ASSERT_TRUE(frame().exportImage(file, scale, ImageFormat::Png));
      int w = 0, ht = 0;
      pictures[legend] = readPng(file, w, ht);
      ASSERT_EQ(w, scale * ww);
      ASSERT_EQ(ht, scale * wh);
    }
    boxes[s] = differingBox(pictures[0], pictures[1], scale * ww, scale * wh);
    ASSERT_GE(boxes[s].x1, 0) << "no legend at " << scale << "x";
    // In the lower-left corner (rows bottom first).
    EXPECT_LT(boxes[s].x1, scale * ww / 2);
    EXPECT_LT(boxes[s].y1, scale * wh / 2);
  }
  const double widthRatio = static_cast<double>(boxes[1].x1 - boxes[1].x0 + 1) / (boxes[0].x1 - boxes[0].x0 + 1);
  const double heightRatio = static_cast<double>(boxes[1].y1 - boxes[1].y0 + 1) / (boxes[0].y1 - boxes[0].y0 + 1);
  EXPECT_NEAR(widthRatio, 4.0, 0.3);
  EXPECT_NEAR(heightRatio, 4.0, 0.3);
  EXPECT_NEAR(boxes[1].x0, 4.0 * boxes[0].x0, 4.0);  // the margin too
  std::filesystem::remove_all(dir);
}

// The batch export draws the same legend: only the lower-left corner
// differs from the picture without it, and it holds the metric's swatch.
TEST(ExportLegend, LegendOptionAddsTheLegendInTheLowerLeftCornerOnly) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("lumetra-export-legend-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  SavedSwitches saved;
  CommandLineOptions options;
  options.model = kExamples + "webshop.xmi";
  options.metricsFile = kExamples + "webshop.met";
  options.diagram = "Orders and billing";
  options.size = "800x600";
  options.metrics = {"Lines of code"};
  options.areas = {"Payments"};
  options.exportImage = (dir / "plain.png").string();
  ASSERT_EQ(runExport(options), 0);
  options.legend = true;
  options.exportImage = (dir / "legend.png").string();
  ASSERT_EQ(runExport(options), 0);

  int w = 0, ht = 0;
  const Pixels plain = readPng((dir / "plain.png").string(), w, ht);
  const Pixels legend = readPng((dir / "legend.png").string(), w, ht);
  ASSERT_EQ(w, 800);
  ASSERT_EQ(plain.size(), legend.size());
  const Color metricColour(70 / 255.0f, 110 / 255.0f, 170 / 255.0f, 1.0f);  // as the metrics file gives it
  EXPECT_GT(countNear(legend, w, ht, metricColour), countNear(plain, w, ht, metricColour) + 40);
  int changedElsewhere = 0, changedInCorner = 0;
  for (int y = 0; y < ht; ++y)
    for (int x = 0; x < w; ++x) {
      const std::size_t i = (static_cast<std::size_t>(y) * w + x) * 3;
      const bool changed = plain[i] != legend[i] || plain[i + 1] != legend[i + 1] || plain[i + 2] != legend[i + 2];
      (x < w / 2 && y < ht / 2 ? changedInCorner : changedElsewhere) += changed ? 1 : 0;
    }
  EXPECT_EQ(changedElsewhere, 0);
  EXPECT_GT(changedInCorner, 1000);

  // A vector picture carries it too, its rows as text.
  options.exportImage = (dir / "legend.svg").string();
  ASSERT_EQ(runExport(options), 0);
  EXPECT_NE(fileText(dir / "legend.svg").find(">Lines of code: "), std::string::npos);
  std::filesystem::remove_all(dir);
}

// The lumetra program ends its process right after the export without
// releasing the context: its files are the same, byte for byte, as those of
// the export that releases everything, and a failure still reports its one
// line and exit code.
TEST(ExportProgram, WritesWhatTheInProcessExportWritesAndReportsFailures) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("lumetra-export-program-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  SavedSwitches saved;
  struct Case {
    const char* name;
    std::string file;
    std::vector<std::string> metrics;
    std::vector<std::string> areas;
    bool ok;
  };
  const Case cases[] = {
      {"png with a metric and an area", "picture.png", {"Lines of code"}, {"Payments:Outer"}, true},
      {"jpeg", "picture.jpg", {"Coupling"}, {}, true},
      {"svg", "picture.svg", {"Lines of code"}, {"Checkout"}, true},
      {"unknown metric", "nothing.png", {"No such metric"}, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CommandLineOptions options;
    options.model = kExamples + "webshop.xmi";
    options.metricsFile = kExamples + "webshop.met";
    options.size = "640x480";
    options.metrics = c.metrics;
    options.areas = c.areas;
    options.exportImage = (dir / ("in-process-" + c.file)).string();
    const int inProcess = runExport(options);

    std::string command = std::string("'") + LUMETRA_EXE + "' --export '" + (dir / c.file).string() + "' --size 640x480" +
                          " --metrics '" + options.metricsFile + "'";
    for (const std::string& m : c.metrics) command += " --metric '" + m + "'";
    for (const std::string& a : c.areas) command += " --area '" + a + "'";
    command += " '" + options.model + "' 2>'" + (dir / "stderr.txt").string() + "'";
    const int status = std::system(command.c_str());
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const std::string errors = fileText(dir / "stderr.txt");
    if (c.ok) {
      ASSERT_EQ(inProcess, 0);
      ASSERT_EQ(code, 0) << errors;
      EXPECT_EQ(errors, "");
      // A vector picture names the time it was made.
      auto withoutDate = [](std::string text) {
        const std::size_t at = text.find("CreationDate:");
        if (at != std::string::npos) text.erase(at, text.find('\n', at) - at);
        return text;
      };
      const std::string written = withoutDate(fileText(dir / c.file));
      EXPECT_GT(written.size(), 1000u);
      EXPECT_TRUE(written == withoutDate(fileText(dir / ("in-process-" + c.file))));
    } else {
      EXPECT_EQ(inProcess, 1);
      EXPECT_EQ(code, 1);
      EXPECT_EQ(errors.rfind("lumetra: ", 0), 0u) << errors;
      EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
      EXPECT_FALSE(std::filesystem::exists(dir / c.file));
    }
  }
  std::filesystem::remove_all(dir);
}

TEST_F(ViewMenuTest, FindClassOffersTheMatchesOfTheShownDiagramAndCentresTheChosenOne) {
  // Nothing shown yet: a message, no question.
  h.command(ids::FindClass);
  ASSERT_EQ(h.dialogs.errors.size(), 1u);
  EXPECT_TRUE(h.dialogs.asked.empty());
  h.dialogs.errors.clear();

  openExample("Orders and billing", false);
  CanvasWindow* window = frame().canvas()->activeWindow();
  const Vec2 fittedPan = window->camera().pan;
  h.dialogs.answers.push_back("LINE");  // case is ignored
  h.dialogs.choiceAnswers.push_back(1);
  h.command(ids::FindClass);
  ASSERT_TRUE(h.dialogs.errors.empty()) << h.dialogs.errors.front();
  ASSERT_EQ(h.dialogs.offered, (std::vector<std::string>{"InvoiceLine", "OrderLine"}));
  const std::vector<ModelElement*>& selected = frame().selection().selectedElements();
  ASSERT_EQ(selected.size(), 1u);
  EXPECT_EQ(selected[0]->getId(), "C_OrderLine");
  // Centred: centring on the class again moves nothing, and the view did
  // move from the fitted one.
  const Vec2 found = window->camera().pan;
  EXPECT_FALSE(found.x == fittedPan.x && found.y == fittedPan.y);
  ASSERT_TRUE(window->centreOnShape(frame().document().findDiagram("Orders and billing")->findElement("C_OrderLine")));
  EXPECT_FLOAT_EQ(window->camera().pan.x, found.x);
  EXPECT_FLOAT_EQ(window->camera().pan.y, found.y);

  // One match is taken without asking; none gets a message naming the text;
  // a cancelled choice changes nothing.
  h.dialogs.answers.push_back("shoppingcart");
  h.command(ids::FindClass);
  EXPECT_EQ(frame().selection().selectedElements().at(0)->getId(), "C_ShoppingCart");
  h.dialogs.answers.push_back("Nonexistent");
  h.command(ids::FindClass);
  ASSERT_EQ(h.dialogs.errors.size(), 1u);
  EXPECT_NE(h.dialogs.errors[0].find("Nonexistent"), std::string::npos);
  h.dialogs.answers.push_back("line");
  h.command(ids::FindClass);
  EXPECT_EQ(frame().selection().selectedElements().at(0)->getId(), "C_ShoppingCart");
}

TEST(ExportChoice, ExtensionDecidesTheFormatAndTheEntryTheScale) {
  struct Case {
    std::string path;
    int entry;
    bool accepted;
    std::string finalPath;
    ImageFormat format;
    int scale;
  };
  const Case cases[] = {
      {"/t/a.png", 0, true, "/t/a.png", ImageFormat::Png, 1},
      {"/t/a.PNG", 4, true, "/t/a.PNG", ImageFormat::Png, 2},  // the extension wins over a JPEG entry
      {"/t/a.jpeg", 2, true, "/t/a.jpeg", ImageFormat::Jpeg, 4},
      {"/t/a", 5, true, "/t/a.jpg", ImageFormat::Jpeg, 4},
      {"/t/a", -1, true, "/t/a.png", ImageFormat::Png, 1},
      {"/t.d/a", 1, true, "/t.d/a.png", ImageFormat::Png, 2},  // a dot in a folder is no extension
      {"/t/a.gif", 0, false, "/t/a.gif", ImageFormat::Png, 1},
      {"/t/a", 6, true, "/t/a.svg", ImageFormat::Png, 1},
      {"/t/a", 7, true, "/t/a.pdf", ImageFormat::Png, 1},
      {"/t/a.Pdf", 2, true, "/t/a.Pdf", ImageFormat::Png, 1},  // a vector picture has the window's size
      {"/t/a.png", 7, true, "/t/a.png", ImageFormat::Png, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string path = c.path;
    ExportChoice choice;
    EXPECT_EQ(exportChoiceFor(path, c.entry, choice), c.accepted);
    EXPECT_EQ(path, c.finalPath);
    if (!c.accepted) continue;
    const std::string ext = c.finalPath.substr(c.finalPath.size() - 3);
    EXPECT_EQ(choice.vector, ext == "svg" || ext == "pdf" || ext == "Pdf");
    if (choice.vector) EXPECT_EQ(choice.vectorFormat, ext == "svg" ? VectorFormat::Svg : VectorFormat::Pdf);
    else EXPECT_EQ(choice.format, c.format);
    EXPECT_EQ(choice.scale, c.scale);
  }
}

}  // namespace
}  // namespace lumetra
