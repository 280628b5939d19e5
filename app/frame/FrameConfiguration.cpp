// The frame's "Load configuration..." and "Save Configuration...": thin
// glue between the file (ConfigurationFile.h), the shared applier
// (Configuration.h) and the frame's widgets, which are brought in line with
// what was applied.

#include <functional>

#include "app/panels/AreasPage.h"
#include "app/panels/CheckListCtrl.h"
#include "app/document/Configuration.h"
#include "app/panels/LayoutPreview.h"
#include "app/panels/MetricsPage.h"
#include "app/frame/ReadProgress.h"
#include "app/frame/UserDialogs.h"
#include "app/frame/ViewMenu.h"
#include "app/frame/mainFrame.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "render/Canvas.h"
#include "render/CanvasWindow.h"

namespace lumetra {

namespace {

const char* const kLoadTitle = "Load Configuration";
const char* const kNothingChanged = "The configuration could not be loaded; nothing was changed.\n\n";

}  // namespace

bool mainFrame::saveConfiguration(const std::string& path) {
  if (path.empty()) return false;
  Configuration configuration = captureConfiguration(document_, *painter_, document_.areas().drawsByValue());
  captureWindows(canvas_->tree(), canvas_->activeWindow(), configuration);
  const std::string error = writeConfigurationFile(configuration, path);
  if (!error.empty()) {
    showError("Save Configuration", "The configuration could not be saved.\n\n" + error);
    return false;
  }
  return true;
}

bool mainFrame::loadConfiguration(const std::string& path, const CommandLineOptions* commandLine) {
  if (path.empty()) return false;
  ConfigurationRead read = readConfigurationFile(path);
  if (!read.ok) {
    showError(kLoadTitle, kNothingChanged + read.error);
    return false;
  }
  Configuration& configuration = read.configuration;
  if (commandLine != nullptr) mergeCommandLine(*commandLine, configuration);
  std::vector<std::string> skipped = std::move(read.skipped);

  // The files it names are read aside: one that cannot be read changes
  // nothing.
  std::unique_ptr<LoadedModel> model;
  std::vector<std::unique_ptr<LoadedMetrics>> metrics;
  if (needsReopening(configuration, document_)) {
    const std::string& modelFile = configuration.modelFile;
    runWithProgress(this, kLoadTitle, "Reading " + modelFile, [&] { model = readModel(modelFile); });
    if (!model->status.ok()) {
      showError(kLoadTitle,
                kNothingChanged + path + ": the model it names cannot be opened: " + model->status.message());
      return false;
    }
    for (const std::string& metricsFile : configuration.metricsFiles) {
      runWithProgress(this, kLoadTitle, "Reading " + metricsFile,
                      [&] { metrics.push_back(readMetrics(metricsFile, model->pool)); });
      if (!metrics.back()->ok) {
        showError(kLoadTitle,
                  kNothingChanged + path + ": the metrics file it names cannot be read: " + metrics.back()->error);
        return false;
      }
    }
  }

  if (model) {
    skipped.insert(skipped.end(), model->status.notes.begin(), model->status.notes.end());
    adoptModel(std::move(model), configuration.modelFile);
    for (std::size_t i = 0; i < metrics.size(); ++i) {
      adoptMetrics(*metrics[i], configuration.metricsFiles[i]);
      skipped.insert(skipped.end(), metrics[i]->notes.begin(), metrics[i]->notes.end());
    }
  }
  applySettings(configuration);
  applyTextFont();
  applyLook(configuration, *painter_);
  syncViewMenu(GetMenuBar());
  const bool priority = configuration.priority.value_or(document_.areas().drawsByValue());
  document_.areas().setDrawsByValue(priority);
  if (!configuration.modelFile.empty() && document_.hasModel()) {
    Diagram* shown = restoreWindows(configuration, skipped);
    applyContent(configuration, document_, shown, priority, skipped);
  }
  sync();
  areasPage_->syncAreaSetControls(priority);
  syncViewControls(canvas_->activeWindow(), canvas_->rootOnly());
  metricsPage_->preview()->Refresh();
  // The settings and the look changed what every window recorded: each
  // records once, in this one repaint.
  for (WindowNode* leaf : canvas_->tree().leaves()) leaf->window->invalidateDisplayList();
  canvas_->Refresh(true);
  redrawShown();

  if (!skipped.empty()) {
    std::string text = "Some entries of " + path + " were skipped; the rest was applied:\n";
    for (const std::string& line : skipped) text += "\n" + line;
    showError(kLoadTitle, text);
  }
  return true;
}

Diagram* mainFrame::restoreWindows(const Configuration& configuration, std::vector<std::string>& skipped) {
  auto leafWindows = [this] {
    std::vector<CanvasWindow*> windows;
    for (WindowNode* leaf : canvas_->tree().leaves()) windows.push_back(leaf->window);
    return windows;
  };
  if (!configuration.layout.empty()) {
    while (!canvas_->rootOnly()) canvas_->deleteActive();
    // Splits in prefix order: each split keeps its window as the first child
    // and gives the second a new one.
    std::size_t at = 0;
    std::function<void(CanvasWindow*)> build = [&](CanvasWindow* window) {
      const SavedSplit node = configuration.layout[at++];
      if (node.leaf) return;
      canvas_->activate(window);
      canvas_->splitActive(node.horizontal, node.fraction);
      CanvasWindow* second = nullptr;
      for (WindowNode* leaf : canvas_->tree().leaves())
        if (leaf->window == window) second = leaf->parent->second->window;
      build(window);
      build(second);
    };
    build(canvas_->activeWindow());
  }

  const std::vector<CanvasWindow*> windows = leafWindows();
  const std::size_t count = std::min(windows.size(), configuration.windows.size());
  // Nothing is drawn here: the caller repaints once when all is applied.
  for (std::size_t i = 0; i < count; ++i) {
    if (Diagram* diagram = configuredDiagram(configuration, i, document_, skipped))
      windows[i]->setContent(diagram, windows[i]->visualizer());
    else
      windows[i]->clearDiagram();
  }
  // The active window's diagram is also the one chosen in the tree (the
  // areas are identified over it), before the cameras are set.
  const std::size_t active = static_cast<std::size_t>(configuration.activeWindow.value_or(0));
  if (active < windows.size()) canvas_->activate(windows[active]);
  Diagram* shown = canvas_->activeWindow()->diagram();
  if (shown != nullptr) showDiagramQuietly(shown);
  for (std::size_t i = 0; i < count; ++i) {
    applyCamera(configuration.windows[i].camera, windows[i]->camera());
    windows[i]->setStereo(windows[i]->camera().stereo);
  }
  return shown;
}

}  // namespace lumetra
