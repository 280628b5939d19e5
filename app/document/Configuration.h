#pragma once
// Saving a view as a configuration and applying one: the part the viewer
// and the batch export share, so that the two cannot drift apart. The file
// itself is ConfigurationFile.h.
//
// Applying runs in two steps. Everything that can fail as a whole (reading
// the file, opening the model and metrics files it names) is done aside by
// the caller first; only then are these functions called, and they cannot
// fail: a name the loaded model or metrics do not know, or a glyph or
// painter kind that does not exist, is skipped with one line in `skipped`
// and the rest applies.
//
// A configuration that names no model holds only the look: the settings,
// the painter's transparencies and glyph layout, the eraser's softness.
// Applied, it leaves the loaded model, its metrics, areas and windows alone.

#include <string>
#include <vector>

#include "app/document/ConfigurationFile.h"

namespace lumetra {

class CanvasWindow;
class SplitTree;
class Diagram;
class Document;
class MetricsVisualizerSimple;
struct Camera;
struct CommandLineOptions;

// The content of the document and the look of the painter: files, every
// setting of the store, metrics, areas, the area parameters, priority,
// transparencies, glyph layout, eraser softness. No windows.
Configuration captureConfiguration(Document& document, const MetricsVisualizerSimple& painter, bool priority);
// Adds the canvas's split layout (its tree of windows), each window's
// diagram, size and camera, and which window is active.
void captureWindows(const SplitTree& tree, const CanvasWindow* active, Configuration& configuration);

// Command-line options given beside --config: MODEL, --metrics and
// --diagram replace what the file names (another model or diagram drops the
// saved cameras, which belong to the saved one: the view is fitted);
// --metric and --area show more; --legend switches the legend on.
void mergeCommandLine(const CommandLineOptions& options, Configuration& configuration);

// Whether the model and metrics files the configuration names are not the
// ones loaded (compared as canonical paths), so that both must be read.
bool needsReopening(const Configuration& configuration, const Document& document);

// The settings store.
void applySettings(const Configuration& configuration);
// The painter's transparencies, glyph layout and eraser softness.
void applyLook(const Configuration& configuration, MetricsVisualizerSimple& painter);
// The diagram of the window of that index by its saved name; null, with a
// skipped line, when the name is unknown (or none was saved).
Diagram* configuredDiagram(const Configuration& configuration, std::size_t window, const Document& document,
                           std::vector<std::string>& skipped);
// The saved fields of a window's camera over what it has (a fitted camera).
void applyCamera(const SavedCamera& saved, Camera& camera);
// Metrics (glyph, transparency, thresholds; exactly the saved ones shown,
// in their order), areas (painter kind, mode, method, softness; exactly the
// saved ones shown over diagram, in their order) and the area parameters.
// With priority the shown areas are then sorted by value.
void applyContent(const Configuration& configuration, Document& document, Diagram* diagram, bool priority,
                  std::vector<std::string>& skipped);

}  // namespace lumetra
