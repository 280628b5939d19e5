// Capturing a view as a configuration and applying one.
//
// Sections: capturing; command-line options; applying.

#include "app/document/Configuration.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <system_error>

#include "app/document/CommandLineOptions.h"
#include "app/document/Document.h"
#include "areas/AreaElementsEraser.h"
#include "areas/AreaVisualizer.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "metrics/Metric.h"
#include "render/CanvasWindow.h"
#include "render/SplitTree.h"
#include "settings/SettingsStore.h"

namespace lumetra {

namespace {

std::string quoted(const std::string& text) { return "'" + text + "'"; }

std::string lineOf(int line) { return line > 0 ? "line " + std::to_string(line) + ": " : std::string(); }

}  // namespace

// --- capturing ----------------------------------------------------------------------

Configuration captureConfiguration(Document& document, const MetricsVisualizerSimple& painter, bool priority) {
  Configuration c;
  c.modelFile = document.modelFile();
  c.metricsFiles = document.metricsFiles();

  const SettingsStore& store = settings();
  for (const auto& [key, value] : store.floats())
    c.settings.push_back({SavedSetting::Kind::Number, key, value, false, {}});
  for (const auto& [key, value] : store.bools())
    c.settings.push_back({SavedSetting::Kind::Switch, key, 0.0f, value, {}});
  for (const auto& [key, value] : store.colors())
    c.settings.push_back({SavedSetting::Kind::Colour, key, 0.0f, false, value});
  for (const auto& [key, value] : store.strings())
    c.settings.push_back({SavedSetting::Kind::Text, key, 0.0f, false, {}, value});

  c.modelTransparency = painter.getTransparency();
  c.metricsTransparency = painter.getMetricsAlpha();
  c.areasTransparency = painter.getAreaAlpha();
  c.glyphCentreX = painter.getGlyphAreaCentre().x;
  c.glyphCentreY = painter.getGlyphAreaCentre().y;
  c.glyphZoom = painter.getGlyphAreaSize();
  if (const int softness = painter.eraserSoftness(); softness > 0) c.eraserSoftness = softness;

  // Shown metrics first, in the order their glyphs are laid out.
  MetricSet& metrics = document.metrics();
  std::vector<Metric*> order = metrics.getShownMetrics();
  for (std::size_t i = 0; i < metrics.getMetricCount(); ++i)
    if (std::find(order.begin(), order.end(), metrics.getMetric(i)) == order.end())
      order.push_back(metrics.getMetric(i));
  for (Metric* metric : order) {
    SavedMetric saved;
    saved.name = metric->getName();
    saved.shown = metrics.findShownMetric(saved.name) == metric;
    saved.glyph = metric->getVisualizerName();
    saved.transparency = metric->getTransparency();
    if (metric->getColor() != nullptr) saved.colour = *metric->getColor();
    if (auto* integer = dynamic_cast<IntegerMetric*>(metric)) {
      saved.lowerThreshold = integer->getLowerBound();
      saved.upperThreshold = integer->getUpperBound();
    }
    c.metrics.push_back(std::move(saved));
  }

  // Shown areas first, in drawing order.
  AreaSet& areas = document.areas();
  c.radius = areas.getRadius();
  c.iterations = areas.getIterations();
  c.distance = areas.getDistance();
  c.priority = priority;
  std::vector<Area*> areaOrder;
  for (const IdentifiedArea* shown : areas.getIdentifiedAreas())
    if (Area* area = areas.findArea(shown->getName())) areaOrder.push_back(area);
  for (std::size_t i = 0; i < areas.getLoadedCount(); ++i)
    if (std::find(areaOrder.begin(), areaOrder.end(), areas.getLoadedArea(i)) == areaOrder.end())
      areaOrder.push_back(areas.getLoadedArea(i));
  for (Area* area : areaOrder) {
    const AreaVisualizer* p = area->getVisualizer();
    SavedArea saved;
    saved.name = area->getName();
    saved.shown = areas.isIdentified(saved.name);
    saved.painter = p->getName();
    if (!p->getDrawingMode().empty()) saved.mode = p->getDrawingMode();
    saved.method = p->getMethod();
    saved.softness = p->getSoftness();
    c.areas.push_back(std::move(saved));
  }
  // Boxes moved away from where the model file puts them, on every diagram.
  for (Diagram* diagram : document.diagrams()) {
    const LayoutSnapshot* file = document.fileLayout(diagram);
    if (file == nullptr) continue;
    for (const MovedBox& box : movedBoxes(*file, file->now()))
      c.boxes.push_back({diagram->getName(), box.shapeId, box.lowerLeft.x, box.lowerLeft.y, box.upperRight.x,
                         box.upperRight.y, 0});
  }
  return c;
}

void captureWindows(const SplitTree& tree, const CanvasWindow* active, Configuration& c) {
  c.layout.clear();
  c.windows.clear();
  c.activeWindow.reset();
  std::function<void(const WindowNode&)> walk = [&](const WindowNode& node) {
    if (node.isLeaf()) {
      c.layout.push_back({});
      const CanvasWindow* w = node.window;
      SavedWindow saved;
      if (w->diagram() != nullptr) saved.diagram = w->diagram()->getName();
      saved.width = w->width();
      saved.height = w->height();
      const Camera& camera = w->camera();
      saved.camera = {camera.zoom, camera.pan.x, camera.pan.y, camera.rotationZ, camera.rotationX, camera.perspective,
                      camera.stereo};
      if (w == active) c.activeWindow = static_cast<int>(c.windows.size());
      c.windows.push_back(std::move(saved));
      return;
    }
    c.layout.push_back({false, node.horizontal != 0, node.fraction});
    walk(*node.first);
    walk(*node.second);
  };
  walk(tree.root());
}

// --- command-line options ---------------------------------------------------------

void mergeCommandLine(const CommandLineOptions& options, Configuration& c) {
  if (!options.model.empty()) c.modelFile = options.model;
  if (!options.metricsFile.empty()) c.metricsFiles = {options.metricsFile};
  if (!options.diagram.empty()) {
    if (c.windows.empty()) {
      c.windows.resize(1);
      c.layout = {SavedSplit{}};
      c.activeWindow = 0;
    }
    SavedWindow& active = c.windows[static_cast<std::size_t>(c.activeWindow.value_or(0))];
    if (active.diagram != options.diagram) {
      active.diagram = options.diagram;
      active.camera = {};  // the saved camera belongs to the saved diagram
    }
  }
  for (const std::string& name : options.metrics) {
    auto it = std::find_if(c.metrics.begin(), c.metrics.end(), [&](const SavedMetric& m) { return m.name == name; });
    SavedMetric metric;
    if (it != c.metrics.end()) {
      if (it->shown.value_or(false)) continue;  // already shown: keeps its place
      metric = *it;
      c.metrics.erase(it);
    }
    metric.name = name;
    metric.shown = true;
    c.metrics.push_back(std::move(metric));
  }
  for (const std::string& value : options.areas) {
    const AreaOption option = parseAreaOption(value);
    const bool painterGiven = option.name != value;
    auto it = std::find_if(c.areas.begin(), c.areas.end(), [&](const SavedArea& a) { return a.name == option.name; });
    SavedArea area;
    if (it != c.areas.end()) {
      area = *it;
      c.areas.erase(it);
    }
    area.name = option.name;
    area.shown = true;
    if (painterGiven || !area.painter) area.painter = option.painter;
    c.areas.push_back(std::move(area));
  }
  if (options.legend)
    c.settings.push_back({SavedSetting::Kind::Switch, "Visualizer.General.Legend.Enable", 0.0f, true, {}});
}

bool needsReopening(const Configuration& c, const Document& document) {
  if (c.modelFile.empty()) return false;
  auto same = [](const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return a.empty() && b.empty();
    std::error_code error;
    return std::filesystem::weakly_canonical(a, error) == std::filesystem::weakly_canonical(b, error);
  };
  const std::vector<std::string>& loaded = document.metricsFiles();
  return !document.hasModel() || !same(c.modelFile, document.modelFile()) ||
         !std::equal(c.metricsFiles.begin(), c.metricsFiles.end(), loaded.begin(), loaded.end(), same);
}

// --- applying -------------------------------------------------------------------------

void applySettings(const Configuration& c) {
  SettingsStore& store = settings();
  for (const SavedSetting& s : c.settings) {
    switch (s.kind) {
      case SavedSetting::Kind::Number: store.setFloat(s.key, s.number); break;
      case SavedSetting::Kind::Switch: store.setBool(s.key, s.flag); break;
      case SavedSetting::Kind::Colour: store.setColor(s.key, s.colour); break;
      case SavedSetting::Kind::Text: store.setString(s.key, s.text); break;
    }
  }
}

void applyLook(const Configuration& c, MetricsVisualizerSimple& painter) {
  if (c.modelTransparency) painter.setTransparency(*c.modelTransparency);
  if (c.metricsTransparency) painter.setMetricsAlpha(*c.metricsTransparency);
  if (c.areasTransparency) painter.setAreaAlpha(*c.areasTransparency);
  Vec2 centre = painter.getGlyphAreaCentre();
  if (c.glyphCentreX) centre.x = *c.glyphCentreX;
  if (c.glyphCentreY) centre.y = *c.glyphCentreY;
  painter.setGlyphAreaCentre(centre);
  if (c.glyphZoom) painter.setGlyphAreaSize(*c.glyphZoom);
  if (c.eraserSoftness) painter.eraser().setSoftness(*c.eraserSoftness);
}

Diagram* configuredDiagram(const Configuration& c, std::size_t window, const Document& document,
                           std::vector<std::string>& skipped) {
  if (window >= c.windows.size() || !c.windows[window].diagram) return nullptr;
  const std::string& name = *c.windows[window].diagram;
  if (Diagram* diagram = document.findDiagram(name)) return diagram;
  skipped.push_back("[Window" + std::to_string(window + 1) + "] Diagram: no diagram " + quoted(name) + " in " +
                    document.modelFile());
  return nullptr;
}

void applyCamera(const SavedCamera& saved, Camera& camera) {
  if (saved.zoom) camera.zoom = *saved.zoom;
  if (saved.panX) camera.pan.x = *saved.panX;
  if (saved.panY) camera.pan.y = *saved.panY;
  if (saved.rotationZ) camera.rotationZ = *saved.rotationZ;
  if (saved.rotationX) camera.rotationX = *saved.rotationX;
  if (saved.perspective) camera.perspective = *saved.perspective;
  if (saved.stereo) camera.stereo = *saved.stereo;
}

namespace {

// Where metric and area names were looked for, for messages.
std::string metricsSource(const Document& document) {
  std::string files;
  for (const std::string& file : document.metricsFiles()) files += (files.empty() ? "" : ", ") + file;
  return files.empty() ? "(no metrics file is loaded)" : "in " + files;
}

bool isOneOf(const std::string& value, std::initializer_list<const char*> names) {
  return std::any_of(names.begin(), names.end(), [&](const char* name) { return value == name; });
}

// Applies each saved entry of a kind ("metric", "area") to the loaded one of
// its name through apply(saved, loaded, where), where being the start of a
// message about it; a name that is not loaded is skipped with a message.
// Returns the names saved as shown, each once, in their order.
template <typename Saved, typename Find, typename Apply>
std::vector<std::string> applySaved(const std::vector<Saved>& entries, const char* kind, const Document& document,
                                    Find&& find, Apply&& apply, std::vector<std::string>& skipped) {
  const std::string source = metricsSource(document);
  std::vector<std::string> shown;
  for (const Saved& saved : entries) {
    auto* loaded = find(saved.name);
    if (loaded == nullptr) {
      skipped.push_back(lineOf(saved.line) + "no " + kind + " " + quoted(saved.name) + " " + source);
      continue;
    }
    apply(saved, *loaded, lineOf(saved.line) + kind + " " + quoted(saved.name) + ": ");
    if (saved.shown.value_or(false) && std::find(shown.begin(), shown.end(), saved.name) == shown.end())
      shown.push_back(saved.name);
  }
  return shown;
}

void applyMetrics(const Configuration& c, Document& document, std::vector<std::string>& skipped) {
  MetricSet& metrics = document.metrics();
  const auto apply = [&](const SavedMetric& saved, Metric& metric, const std::string& where) {
    if (saved.glyph) {
      metric.setVisualizer(*saved.glyph);
      if (metric.getVisualizerName() != *saved.glyph)
        skipped.push_back(where + "the glyph " + quoted(*saved.glyph) + " is not offered for it");
    }
    if (saved.transparency) metric.setTransparency(*saved.transparency);
    if (saved.colour && metric.getColor() != nullptr) *metric.getColor() = *saved.colour;
    auto* integer = dynamic_cast<IntegerMetric*>(&metric);
    if (saved.lowerThreshold || saved.upperThreshold) {
      if (integer == nullptr) {
        skipped.push_back(where + "a true/false metric has no thresholds");
      } else {
        if (saved.lowerThreshold) integer->setLowerBound(*saved.lowerThreshold);
        if (saved.upperThreshold) integer->setUpperBound(*saved.upperThreshold);
      }
    }
  };
  const std::vector<std::string> shown = applySaved(
      c.metrics, "metric", document, [&](const std::string& name) { return metrics.findMetric(name); }, apply,
      skipped);
  // Exactly the saved ones, in their order.
  while (metrics.getShownCount() > 0) metrics.hideMetric(metrics.getShownMetric(0)->getName());
  for (const std::string& name : shown) metrics.showMetric(name);
}

void applyAreas(const Configuration& c, Document& document, Diagram* diagram, bool priority,
                std::vector<std::string>& skipped) {
  AreaSet& areas = document.areas();
  if (c.radius) areas.setRadius(*c.radius);
  if (c.iterations) areas.setIterations(*c.iterations);
  if (c.distance) areas.setDistance(*c.distance);
  const auto apply = [&](const SavedArea& saved, Area& area, const std::string& where) {
    if (saved.painter && !area.setVisualizer(*saved.painter))
      skipped.push_back(where + "no area painter is called " + quoted(*saved.painter));
    AreaVisualizer* painter = area.getVisualizer();
    if (saved.mode) {
      if (isOneOf(*saved.mode, {AREA_MODE_AREA, AREA_MODE_CONTOUR})) painter->setDrawingMode(*saved.mode);
      else skipped.push_back(where + "no drawing mode is called " + quoted(*saved.mode));
    }
    if (saved.method) {
      if (isOneOf(*saved.method, {AREA_METHOD_POLYGONS, AREA_METHOD_SPLATTING, AREA_METHOD_LINE}))
        painter->setMethod(*saved.method);
      else skipped.push_back(where + "no method is called " + quoted(*saved.method));
    }
    if (saved.softness) painter->setSoftness(*saved.softness);
  };
  const std::vector<std::string> shown = applySaved(
      c.areas, "area", document, [&](const std::string& name) { return areas.findArea(name); }, apply, skipped);
  // Exactly the saved ones, in drawing order, over the shown diagram.
  areas.clearIdentified();
  if (diagram == nullptr) {
    if (!shown.empty()) skipped.push_back("no diagram is shown, so no area is");
    return;
  }
  areas.setIdentifiedDiagram(diagram);
  for (const std::string& name : shown) showArea(areas, diagram, name);
  areas.computeFreeElements(diagram);
  areas.setDrawsByValue(priority);
  if (priority) areas.sortByValue();
}

}  // namespace

void applyBoxes(const Configuration& c, Document& document, std::vector<std::string>& skipped) {
  // Every diagram as its file has it, then the saved boxes on it: the
  // layout is the saved one, whatever was moved since.
  for (Diagram* diagram : document.diagrams())
    if (const LayoutSnapshot* file = document.fileLayout(diagram)) file->restore();
  for (const SavedBox& box : c.boxes) {
    Diagram* diagram = document.findDiagram(box.diagram);
    if (diagram == nullptr) {
      skipped.push_back(lineOf(box.line) + "moved box " + quoted(box.shape) + ": no diagram " + quoted(box.diagram));
      continue;
    }
    const MovedBox moved{box.shape, Vec2(box.left, box.bottom), Vec2(box.right, box.top)};
    if (!placeMovedBoxes(diagram, {moved}).empty())
      skipped.push_back(lineOf(box.line) + "moved box: diagram " + quoted(box.diagram) + " has no shape " +
                        quoted(box.shape));
  }
}

void applyContent(const Configuration& c, Document& document, Diagram* diagram, bool priority,
                  std::vector<std::string>& skipped) {
  applyBoxes(c, document, skipped);
  applyMetrics(c, document, skipped);
  applyAreas(c, document, diagram, priority, skipped);
}

}  // namespace lumetra
