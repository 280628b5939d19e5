// SVG and PDF pictures of a view, checked as a reader of the files sees
// them: rasterised by real renderers (rsvg-convert, pdftoppm) and compared
// with the pixels the same view draws on screen, and searched for the
// labels as text (the SVG's <text> elements, pdftotext).

#include <GL/gl.h>
#include <png.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "areas/Area.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "diagram/SelectionManager.h"
#include "diagram/VectorExport.h"
#include "platform/GLExtensions.h"
#include "render/Canvas.h"
#include "render/CanvasOwner.h"
#include "render/CanvasWindow.h"
#include "render/DefaultFont.h"
#include "render/GLPainter.h"
#include "render/OffscreenGL.h"
#include "tests/diagram/DiagramScene.h"
#include "tests/support/GLHarness.h"

namespace lumetra {
namespace {

namespace fs = std::filesystem;
using test::DiagramScene;

constexpr int kWidth = 480;
constexpr int kHeight = 320;

// RGB bytes, top row first.
struct Raster {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;
  std::array<int, 3> at(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
  }
};

Raster readPng(const std::string& file) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  Raster raster;
  if (!png_image_begin_read_from_file(&image, file.c_str())) return raster;
  image.format = PNG_FORMAT_RGB;
  // Renderers leave what they do not paint transparent: read it over white.
  png_color white{255, 255, 255};
  raster.rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, &white, raster.rgb.data(), 0, nullptr)) return {};
  raster.width = static_cast<int>(image.width);
  raster.height = static_cast<int>(image.height);
  return raster;
}

std::string readFile(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs a shell command; its stderr goes to errors. True on exit status 0.
bool run(const std::string& command, std::string* errors = nullptr) {
  const std::string errFile = "/tmp/lumetra-vector-" + std::to_string(::getpid()) + ".err";
  const int status = std::system((command + " 2>" + errFile).c_str());
  if (errors) *errors = readFile(errFile);
  fs::remove(errFile);
  return status == 0;
}

// Dark enough to be a line, an outline, a glyph or text rather than a fill
// or an area (whose lightest channel stays above this).
bool inked(const std::array<int, 3>& c) { return std::min({c[0], c[1], c[2]}) < 110; }

// How two pictures of one view differ, in pixels:
//   strayInk  - ink in one with no ink within one pixel in the other (either
//               way round: a missing or an extra line, glyph or label, or one
//               shifted by two pixels or more);
//   wrongFill - pixels inside an even region of the screen picture (their
//               3 x 3 neighbourhood within 8 levels) whose colour the other
//               misses by more than 40 in a channel (a missing, extra or
//               differently coloured fill, glyph or area).
// Renderers smooth edges and place glyph outlines to the sub-pixel, so
// edges may differ by a pixel; everything else must agree.
struct Comparison {
  int strayInk = 0;
  int wrongFill = 0;
};

// Each at most 0.2 % of the pixels (307 here). The files differ from the
// screen by about a hundred edge pixels of smoothed outlines and glyph
// shapes (SVG 116, PDF 15 when written); one box moved by six pixels is
// 500 stray and 600 wrong, the labels left out 700 stray. Single labels
// are checked as text below.
constexpr int kAllowed = kWidth * kHeight / 500;

Comparison compare(const Raster& screen, const Raster& file) {
  Comparison result;
  auto inkNear = [](const Raster& r, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        const int nx = x + dx, ny = y + dy;
        if (nx >= 0 && ny >= 0 && nx < r.width && ny < r.height && inked(r.at(nx, ny))) return true;
      }
    return false;
  };
  for (int y = 1; y + 1 < screen.height; ++y)
    for (int x = 1; x + 1 < screen.width; ++x) {
      if (inked(screen.at(x, y)) && !inkNear(file, x, y)) ++result.strayInk;
      if (inked(file.at(x, y)) && !inkNear(screen, x, y)) ++result.strayInk;
      const auto centre = screen.at(x, y);
      bool even = true;
      for (int dy = -1; dy <= 1 && even; ++dy)
        for (int dx = -1; dx <= 1 && even; ++dx) {
          const auto c = screen.at(x + dx, y + dy);
          for (int ch = 0; ch < 3; ++ch) even = even && std::abs(c[ch] - centre[ch]) <= 8;
        }
      if (!even) continue;
      const auto other = file.at(x, y);
      for (int ch = 0; ch < 3; ++ch)
        if (std::abs(other[ch] - centre[ch]) > 40) {
          ++result.wrongFill;
          break;
        }
    }
  return result;
}

class NoScreen : public WindowHost {
 public:
  void refreshWindow(CanvasWindow*, bool) override {}
};

class VectorExportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    gl_ = test::openOffscreenScene(kWidth, kHeight);
  }
  static void TearDownTestSuite() {
    FontRegistry::instance().clear();
    gl_.reset();
  }

  VectorExportTest() {
    dir_ = fs::temp_directory_path() / ("lumetra-vector-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    painter.setSelectionManager(&selection);
    painter.setMetricSet(&metrics);
    painter.setAreas(&areas);
    painter.setBlendEquation(lookupBlendEquation());

    // Boxes with names that need escaping in both formats, relations with
    // a composite and an aggregate end and an inheritance triangle, bar
    // glyphs on three boxes and one area over two of them.
    scene.addClass("order", "Order", {-200, 40}, {-90, 110});
    scene.addClass("line", "OrderLine", {40, 50}, {160, 100});
    scene.addClass("map", "Map<K,V> & (Pair", {-60, -110}, {90, -50});
    scene.addClass("base", "Base", {-210, -110}, {-120, -60});
    scene.addAssociation("has", "order", "line", "composite", "none", {-20, 60}, {0, 80});
    scene.addAssociation("uses", "line", "map", "aggregate", "none", {60, -20}, {80, 0});
    scene.addInheritance("isa", "base", "order");
    metrics.add(test::makeBarMetric("Size", Color(0xFF2050C0u), {{"order", 30}, {"line", 10}, {"map", 20}}));
    metrics.showMetric("Size");
    auto* area = new Area("Core");
    area->setColor(new Color(0.0f, 1.0f, 1.0f, 1.0f));  // stored inverted: shows red
    area->addElement("order");
    area->addElement("line");
    areas.addArea(area);
    EXPECT_TRUE(showArea(areas, scene.diagram(), "Core"));
    painter.setAreaAlpha(0.6f);

    window = std::make_unique<CanvasWindow>(&host, 0, 0, kWidth, kHeight);
    window->setVisualizer(&painter);
    window->setDiagram(scene.diagram());
  }
  ~VectorExportTest() override {
    window.reset();
    areas.clear();
    fs::remove_all(dir_);
  }

  std::string path(const std::string& name) const { return (dir_ / name).string(); }

  // What the window shows on screen.
  Raster screen() {
    window->render(false);
    Raster r;
    r.width = kWidth;
    r.height = kHeight;
    r.rgb = gl_->readRGB();
    return r;
  }

  // The file as the renderer draws it at the view's size.
  Raster rasterise(const std::string& file, VectorFormat format) {
    const std::string png = file + ".png";
    std::string errors;
    const std::string command =
        format == VectorFormat::Svg
            ? "rsvg-convert -w " + std::to_string(kWidth) + " -h " + std::to_string(kHeight) + " -o '" + png + "' '" +
                  file + "'"
            : "pdftoppm -png -singlefile -scale-to-x " + std::to_string(kWidth) + " -scale-to-y " +
                  std::to_string(kHeight) + " '" + file + "' '" + file + "'";
    EXPECT_TRUE(run(command, &errors)) << command << ": " << errors;
    // A renderer that had to guess its way through the file says so.
    EXPECT_EQ(errors, "") << command;
    return readPng(png);
  }

  // The labels a reader of the file finds: the SVG's <text> elements (and
  // their font sizes), the PDF's text lines.
  std::set<std::string> labelsIn(const std::string& file, VectorFormat format, std::vector<float>& svgFontSizes) {
    std::set<std::string> found;
    if (format == VectorFormat::Svg) {
      pugi::xml_document svg;
      EXPECT_TRUE(svg.load_file(file.c_str())) << "not well-formed XML";
      for (const pugi::xpath_node& text : svg.select_nodes("//*[local-name()='text']")) {
        found.insert(text.node().text().get());
        svgFontSizes.push_back(text.node().attribute("font-size").as_float());
      }
    } else {
      std::string errors;
      EXPECT_TRUE(run("pdftotext -raw '" + file + "' '" + path("text.txt") + "'", &errors)) << errors;
      EXPECT_EQ(errors, "");
      std::ifstream text(path("text.txt"));
      for (std::string line; std::getline(text, line);) found.insert(line);
    }
    return found;
  }

  static std::unique_ptr<OffscreenGL> gl_;
  fs::path dir_;
  DiagramScene scene;
  SelectionManager selection;
  MetricSet metrics;
  AreaSet areas;
  MetricsVisualizerSimple painter;
  NoScreen host;
  std::unique_ptr<CanvasWindow> window;
};

std::unique_ptr<OffscreenGL> VectorExportTest::gl_;

struct FormatCase {
  const char* name;
  VectorFormat format;
  const char* file;
};
const FormatCase kFormats[] = {{"SVG", VectorFormat::Svg, "view.svg"}, {"PDF", VectorFormat::Pdf, "view.pdf"}};

TEST_F(VectorExportTest, RenderedFileShowsWhatTheScreenShows) {
  const Raster expected = screen();
  for (const FormatCase& c : kFormats) {
    SCOPED_TRACE(c.name);
    writeVectorPicture(painter, scene.diagram(), *window, path(c.file), c.format);
    const Raster actual = rasterise(path(c.file), c.format);
    ASSERT_EQ(actual.width, kWidth);
    ASSERT_EQ(actual.height, kHeight);
    const Comparison d = compare(expected, actual);
    EXPECT_LE(d.strayInk, kAllowed);
    EXPECT_LE(d.wrongFill, kAllowed);
  }
}

// The comparison itself: a view with one thing moved is caught.
TEST_F(VectorExportTest, ComparisonCatchesAShiftedBox) {
  const Raster before = screen();
  scene.shape("base")->getCurrentLayout()->getLowerLeft()->x += 6;
  scene.shape("base")->getCurrentLayout()->getUpperRight()->x += 6;
  const Raster after = screen();
  const Comparison d = compare(before, after);
  EXPECT_TRUE(d.strayInk > kAllowed || d.wrongFill > kAllowed) << d.strayInk << " " << d.wrongFill;
}

// Every label comes out as text, escaped as each format needs, and labels
// far too small to read on screen are written in full: a vector picture
// is made to be zoomed.
TEST_F(VectorExportTest, LabelsAreTextAtAnySize) {
  const std::set<std::string> names = {"Order", "OrderLine", "Map<K,V> & (Pair", "Base"};
  for (const float zoomOut : {1.0f, 40.0f}) {
    window->zoomToFit();
    window->setZoom(window->zoom() / zoomOut);
    SCOPED_TRACE("zoomed out " + std::to_string(zoomOut));
    for (const FormatCase& c : kFormats) {
      SCOPED_TRACE(c.name);
      writeVectorPicture(painter, scene.diagram(), *window, path(c.file), c.format);
      std::vector<float> sizes;
      const std::set<std::string> found = labelsIn(path(c.file), c.format, sizes);
      if (zoomOut > 1.0f)
        for (float size : sizes) EXPECT_LT(size, 1.0f);
      for (const std::string& name : names) EXPECT_TRUE(found.count(name)) << name;
    }
  }
}

// Notes shown on screen come out in both formats as drawn, their lines as
// text that a reader can search.
TEST_F(VectorExportTest, NotesComeOutAsOnScreenWithTheirTextAsText) {
  const bool comments = settings().getBool("Visualizer.General.Comments");
  settings().setBool("Visualizer.General.Comments", true);
  scene.addNote("memo", "Ship & bill <together>", {-230, -150}, {-70, -118});
  const Raster expected = screen();
  for (const FormatCase& c : kFormats) {
    SCOPED_TRACE(c.name);
    writeVectorPicture(painter, scene.diagram(), *window, path(c.file), c.format);
    const Comparison d = compare(expected, rasterise(path(c.file), c.format));
    EXPECT_LE(d.strayInk, kAllowed);
    EXPECT_LE(d.wrongFill, kAllowed);
    std::vector<float> sizes;
    EXPECT_TRUE(labelsIn(path(c.file), c.format, sizes).count("Ship & bill <together>"));
  }
  settings().setBool("Visualizer.General.Comments", comments);
}

// The recording leaves the painter as it was: no text sink behind, and the
// next screen picture equal to the one before.
TEST_F(VectorExportTest, ScreenDrawingIsUnchangedAfterwards) {
  screen();  // the first recording of a window draws its text another way
  const Raster before = screen();
  writeVectorPicture(painter, scene.diagram(), *window, path("a.pdf"), VectorFormat::Pdf);
  EXPECT_FALSE(GLPainter::recordingVectors());
  const Raster after = screen();
  int differing = 0, firstX = -1, firstY = -1;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (before.at(x, y) != after.at(x, y) && differing++ == 0) {
        firstX = x;
        firstY = y;
      }
  EXPECT_EQ(differing, 0) << "first at " << firstX << ", " << firstY;
}

TEST_F(VectorExportTest, FailedWriteLeavesNoFile) {
  EXPECT_THROW(writeVectorPicture(painter, scene.diagram(), *window, path("missing/x.svg"), VectorFormat::Svg),
               VectorExportError);
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir_)) ++files;
  EXPECT_EQ(files, 0u);
}

}  // namespace
}  // namespace lumetra
