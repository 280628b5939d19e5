#include "tests/fuzz/DrawModelBytes.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "areas/Area.h"
#include "areas/AreaVisualizer.h"
#include "metrics/Metric.h"
#include "metrics/MetricParser.h"
#include "metrics/MetricSet.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "model/Diagram.h"
#include "modelfiles/DiagramParserController.h"
#include "modelfiles/ModelLoader.h"
#include "platform/GLExtensions.h"
#include "render/CanvasOwner.h"
#include "render/CanvasWindow.h"
#include "diagram/SelectionManager.h"

namespace lumetra {

namespace {

// Bounds on what one input may ask for, so that an input's cost stays small.
constexpr std::size_t kMaxDiagrams = 3;
constexpr std::size_t kMaxMetrics = 6;
constexpr std::size_t kMaxAreas = 6;

const char* const kIntGlyphs[] = {"3D Bar", "2D Bar", "2D Pie", "3D Cylinder"};
const char* const kAreaPainters[] = {AREA_PAINTER_INNER, AREA_PAINTER_OUTER, AREA_PAINTER_SQUARE};
const char* const kAreaMethods[] = {AREA_METHOD_POLYGONS, AREA_METHOD_SPLATTING, AREA_METHOD_LINE};

struct Loaded {
  ModelElementsPool pool;
  std::vector<Diagram*> diagrams;
  MetricSet metrics;
  AreaSet areas;
  ~Loaded() {
    // Identified areas point into the diagrams.
    areas.clear();
    deleteDiagrams(diagrams);
  }
};

void pickCentre(CanvasWindow& view, MetricsVisualizerSimple& painter, Diagram* diagram) {
  view.loadPickMatrices(kDrawViewWidth / 2.0, kDrawViewHeight / 2.0, 8.0);
  PickResult result;
  painter.pick(result, diagram);
}

// The area sliders per round: their defaults, then the ends of their ranges.
struct AreaSliders {
  float radius;
  float distance;
  int iterations;
};
const AreaSliders kAreaSliders[] = {{1.0f, 0.005f, 10}, {3.0f, 1.0f / 2000.0f, 20}, {0.5f, 20.0f / 2000.0f, 0}};

void setSliders(AreaSet& areas, const AreaSliders& sliders) {
  areas.setRadius(sliders.radius);
  areas.setDistance(sliders.distance);
  areas.setIterations(sliders.iterations);
}

std::vector<unsigned char> viewPixels() {
  std::vector<unsigned char> rgba(static_cast<std::size_t>(kDrawViewWidth) * kDrawViewHeight * 4);
  glReadPixels(0, 0, kDrawViewWidth, kDrawViewHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  return rgba;
}

// The sliders moved to the next round's values and the view refreshed for
// the areas alone must show what recording it anew shows.
void refreshAreasOnly(Loaded& loaded, CanvasWindow& view, std::size_t round) {
  setSliders(loaded.areas, kAreaSliders[(round + 1) % 3]);
  if (!view.areasChanged()) return;
  view.render(true);
  const std::vector<unsigned char> refreshed = viewPixels();
  view.render(false);
  if (viewPixels() != refreshed) {
    std::fprintf(stderr, "drawModelBytes: the area-only refresh differs from a full recording\n");
    std::abort();
  }
}

void drawDiagram(Loaded& loaded, Diagram* diagram, std::size_t round) {
  loaded.areas.clearIdentified();
  setSliders(loaded.areas, kAreaSliders[round % 3]);
  for (std::size_t i = 0; i < std::min(loaded.areas.getLoadedCount(), kMaxAreas); ++i) {
    Area* area = loaded.areas.getLoadedArea(i);
    showArea(loaded.areas, diagram, area->getName());
    // Every painter kind and method, every other area in "Contour" mode.
    area->setVisualizer(kAreaPainters[(i + round) % 3]);
    AreaVisualizer* painter = area->getVisualizer();
    painter->setMethod(kAreaMethods[(i / 3 + round) % 3]);
    if ((i + round) % 2 == 1) painter->setDrawingMode(AREA_MODE_CONTOUR);
  }

  OffscreenWindowHost host;
  SelectionManager selection;
  // The first element and the first metric selected: the highlight paths.
  if (!diagram->getElements().empty())
    if (ModelElement* m = diagram->getElements().front()->getModelElement()) selection.toggleElement(m);
  if (loaded.metrics.getShownCount() > 0) selection.toggleMetric(loaded.metrics.getShownMetric(0));

  MetricsVisualizerSimple painter;
  painter.setBlendEquation(lookupBlendEquation());
  painter.setSelectionManager(&selection);
  painter.setMetricSet(&loaded.metrics);
  painter.setAreas(&loaded.areas);
  CanvasWindow view(&host, 0, 0, kDrawViewWidth, kDrawViewHeight);
  view.setVisualizer(&painter);
  view.setDiagram(diagram);
  view.render(false);
  view.render(true);
  pickCentre(view, painter, diagram);
  refreshAreasOnly(loaded, view, round);
  // Closer in, tilted and turned: other parts culled, a coarser area picture.
  view.setZoom(view.camera().zoom * 8.0f);
  view.camera().rotationX = 30.0f;
  view.camera().rotationZ = 45.0f;
  view.render(true);
  view.render(false);
  pickCentre(view, painter, diagram);
  glFinish();
}

}  // namespace

std::size_t drawModelBytes(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t marker = input.find(kMetricsMarker);
  const std::string_view model = input.substr(0, marker);
  const std::string_view metrics =
      marker == std::string_view::npos ? std::string_view() : input.substr(marker + kMetricsMarker.size());

  Loaded loaded;
  {
    // Scenario files say so in their root; anything else is read as XMI.
    const bool scenario = model.find("<scenario") != std::string_view::npos;
    DiagramParserController controller(loaded.diagrams, loaded.pool);
    controller.openBuffer(model.data(), model.size(), scenario ? "input.scenario" : "input.xmi");
  }
  runPostLoadPasses(loaded.diagrams);
  if (!metrics.empty()) {
    MetricParser parser(&loaded.metrics, &loaded.areas);
    parser.loadBytes(metrics.data(), metrics.size(), "input.met");
  }
  for (std::size_t i = 0; i < std::min(loaded.metrics.getMetricCount(), kMaxMetrics); ++i) {
    Metric* metric = loaded.metrics.getMetric(i);
    if (dynamic_cast<IntegerMetric*>(metric) != nullptr) metric->setVisualizer(kIntGlyphs[i % 4]);
    loaded.metrics.showMetric(metric->getName());
  }

  const std::size_t count = std::min(loaded.diagrams.size(), kMaxDiagrams);
  for (std::size_t d = 0; d < count; ++d) drawDiagram(loaded, loaded.diagrams[d], d);
  return count;
}

}  // namespace lumetra
