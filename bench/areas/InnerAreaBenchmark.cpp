// Times the area pass of "Inner" areas on a large generated diagram, drawn
// as the image export draws it (once, the whole diagram fitted), and
// compares the picture with the one drawn exactly (every member's trail at
// the view's resolution). Run under an X server:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/inner_area_benchmark [classes] [WIDTHxHEIGHT]
//
// The model is the load benchmark's generated class diagram (default 5,000
// classes, 40 to a row, boxes 300 x 260 every 400 x 360 units). Areas:
//   - 20 of 50 members each: blocks of 10 x 5 neighbouring classes at
//     places spread over the diagram;
//   - one of 1,000 members: every (classes / 1,000)-th class, so that its
//     trails run across the whole diagram to its centroid.
// The picture is 1600 x 1200 by default.
//
// Printed, medians of several runs in ms (wall, and processor time of all
// threads, the rasterizer's included): the picture with no area, with all
// areas, and their difference (the area pass); then the largest channel
// difference between the picture as drawn and the exact one, and how many
// pixels differ at all.

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "areas/Area.h"
#include "areas/AreaPassCache.h"
#include "areas/AreaVisualizerInner.h"
#include "bench/BenchTiming.h"
#include "bench/draw/GeneratedModel.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "diagram/SelectionManager.h"
#include "metrics/MetricSet.h"
#include "model/Diagram.h"
#include "modelfiles/ModelLoader.h"
#include "platform/GLExtensions.h"
#include "render/Canvas.h"
#include "render/CanvasOwner.h"
#include "render/CanvasWindow.h"
#include "render/DefaultFont.h"
#include "render/GLPainter.h"
#include "render/OffscreenGL.h"

using namespace lumetra;

using namespace lumetra::bench;

namespace {

constexpr int kColumns = 40;  // the generator's classes per row

using Model = GeneratedModel;

void addArea(Model& model, const std::string& name, Color colour, const std::vector<int>& members) {
  auto* area = new Area(name);
  area->setColor(new Color(colour));
  for (int member : members) area->addElement("C" + std::to_string(member));
  area->setVisualizer(AREA_PAINTER_INNER);
  model.areas.addArea(area);
}

bool loadGenerated(Model& model, int classes) {
  if (!loadSynthetic(model, classes)) return false;
  const int rows = (classes + kColumns - 1) / kColumns;
  for (int k = 0; k < 20; ++k) {
    // Blocks of 10 x 5 classes, their corners spread over the grid.
    const int column = (k * 13) % (kColumns - 10);
    const int row = rows > 5 ? (k * 37) % (rows - 5) : 0;
    std::vector<int> members;
    for (int dy = 0; dy < 5; ++dy)
      for (int dx = 0; dx < 10; ++dx) {
        const int cell = (row + dy) * kColumns + column + dx;
        if (cell < classes) members.push_back(cell);
      }
    const float hue = static_cast<float>(k) / 20.0f;
    addArea(model, "Block" + std::to_string(k), Color(hue, 1.0f - hue, 0.5f, 1.0f), members);
  }
  std::vector<int> spread;
  const int every = std::max(1, classes / 1000);
  for (int c = 0; c < classes && spread.size() < 1000; c += every) spread.push_back(c);
  addArea(model, "Spread", Color(0.8f, 0.25f, 0.25f, 1.0f), spread);
  for (std::size_t i = 0; i < model.areas.getLoadedCount(); ++i)
    showArea(model.areas, model.diagrams.front(), model.areas.getLoadedArea(i)->getName());
  return true;
}

struct Timing {
  double wall = 0.0, cpu = 0.0;
};

Timing timeMs(const std::function<void()>& action, int runs) {
  std::vector<double> wall, cpu;
  for (int i = 0; i < runs; ++i) {
    const RunTime t = timeRun(action, glFinish);
    wall.push_back(t.wall);
    cpu.push_back(t.cpu);
  }
  return {median(wall), median(cpu)};
}

void printTiming(const char* what, const Timing& t) { std::printf("  %-44s %9.1f %9.1f\n", what, t.wall, t.cpu); }

}  // namespace

int main(int argc, char** argv) {
  const int classes = argc > 1 ? std::max(10, std::atoi(argv[1])) : 5000;
  int width = 1600, height = 1200;
  if (argc > 2 && std::sscanf(argv[2], "%dx%d", &width, &height) != 2) {
    std::fprintf(stderr, "usage: %s [classes] [WIDTHxHEIGHT]\n", argv[0]);
    return 2;
  }
  OffscreenGL gl(width, height);
  loadDefaultFont();
  applyFixedGLState();
  {
    Model model;
    if (!loadGenerated(model, classes)) {
      std::fprintf(stderr, "inner_area_benchmark: cannot generate the model\n");
      return 1;
    }
    Diagram* diagram = model.diagrams.front();
    std::printf("%s, %dx%d picture; %d classes, 20 Inner areas of 50 members and one of %zu\n",
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)), width, height, classes,
                model.areas.getLoadedArea(20)->getElementCount());
    OffscreenWindowHost host;
    SelectionManager selection;
    MetricsVisualizerSimple painter;
    painter.setBlendEquation(lookupBlendEquation());
    painter.setSelectionManager(&selection);
    painter.setMetricSet(&model.metrics);
    const int runs = 5;
    // A new window each time, as each export makes one: a window keeps its
    // area picture while the areas do not change.
    auto once = [&] {
      CanvasWindow view(&host, 0, 0, width, height);
      view.setVisualizer(&painter);
      view.setDiagram(diagram);
      view.renderOnce();
      glFinish();
    };

    std::printf("  %-44s %9s %9s\n", "median ms", "wall", "cpu");
    AreaSet noAreas;
    painter.setAreas(&noAreas);
    once();
    const Timing bare = timeMs(once, runs);
    printTiming("picture, no area", bare);
    painter.setAreas(&model.areas);
    // Times the picture with the areas, prints it and the area pass's share
    // (the difference to the bare picture) and returns the picture.
    const auto withAreas = [&](const char* what, const char* pass) {
      once();
      const Timing t = timeMs(once, runs);
      printTiming(what, t);
      printTiming(pass, {t.wall - bare.wall, t.cpu - bare.cpu});
      return gl.readRGBRows();
    };
    const std::vector<unsigned char> drawn = withAreas("picture, all areas", "the area pass (difference)");
    AreaVisualizerInner::setExactTrails(true);
    const std::vector<unsigned char> reference =
        withAreas("picture, all areas, exact trails", "the exact area pass (difference)");
    AreaVisualizerInner::setExactTrails(false);

    int largest = 0;
    long differing = 0;
    for (std::size_t i = 0; i < drawn.size(); i += 3) {
      int most = 0;
      for (int c = 0; c < 3; ++c) most = std::max(most, std::abs(drawn[i + c] - reference[i + c]));
      largest = std::max(largest, most);
      if (most > 0) ++differing;
    }
    std::printf("  largest channel difference from the exact picture: %d levels; %ld of %zu pixels differ\n",
                largest, differing, drawn.size() / 3);
  }
  FontRegistry::instance().clear();
  return 0;
}
