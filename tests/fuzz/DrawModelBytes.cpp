#include "tests/fuzz/DrawModelBytes.h"

#include <GL/gl.h>

#include <algorithm>
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

void drawDiagram(Loaded& loaded, Diagram* diagram, std::size_t round) {
  loaded.areas.clearIdentified();
  for (std::size_t i = 0; i < std::min(loaded.areas.getLoadedCount(), kMaxAreas); ++i) {
    Area* area = loaded.areas.getLoadedArea(i);
    showArea(loaded.areas, diagram, area->getName());
    // Every other area in "Contour" mode.
    if (AreaVisualizer* painter = area->getVisualizer(); painter != nullptr && (i + round) % 2 == 1)
      painter->setDrawingMode(AREA_MODE_CONTOUR);
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
