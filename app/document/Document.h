#pragma once
// The loaded document: the diagrams and element pool read from a model file,
// the selection, and the metrics and areas read from a metrics file. The
// viewer's frame owns one; the batch export builds one. Both open files and
// show named metrics and areas through it, so the two cannot drift apart.
//
// Ownership: the document owns the diagrams (their shapes) and the pool (the
// model elements); metrics and areas refer to elements by identifier, but
// identified areas point at shapes, so areas are cleared before diagrams.
// The selection, metric set and area set are members that live as long as
// the document (painters and panels keep pointers to them); opening another
// model replaces their contents, never the objects.

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "app/document/CommandLineOptions.h"
#include "areas/Area.h"
#include "diagram/SelectionManager.h"
#include "metrics/MetricSet.h"
#include "model/Diagram.h"
#include "model/LayoutSnapshot.h"
#include "modelfiles/DiagramParserController.h"
#include "platform/NonCopyable.h"
#include "sources/CppImport.h"

namespace lumetra {

struct LoadedMetrics;

// A model read aside from the document: what a reader produced, not yet
// shown. Reading one touches nothing else, so it may run on another thread.
struct LoadedModel : NonCopyable {
  std::vector<Diagram*> diagrams;  // owned
  ModelElementsPool pool;
  LoadStatus status;
  // Metrics and areas computed while the model was made (an import from
  // source code); null for a model file.
  std::unique_ptr<LoadedMetrics> computed;
  // What the user should know although the model was read (source files
  // that did not parse); empty when nothing.
  std::string notes;

  LoadedModel() = default;
  ~LoadedModel();  // diagrams (their shapes) before the pool's elements
};

// What long reads report and how they are abandoned (an import from source
// code reports and stops; a model file stops laying out its generated
// diagrams), and which of a C++ project's folders an import keeps.
struct ReadFeedback {
  ImportProgress progress;
  const std::atomic<bool>* cancel = nullptr;
  std::vector<std::string> importRoots;  // empty: all of the project's sources (CppImportOptions::roots)
};

// True when the path names a C++ project rather than a model file: a
// folder, or a file named compile_commands.json.
bool isCppProject(const std::string& path);

// Reads a model file as the viewer opens it (reader and post-load passes),
// or imports the C++ project the path names (see isCppProject) with its
// computed metrics and areas.
std::unique_ptr<LoadedModel> readModel(const std::string& path, const ReadFeedback& feedback = {});

// Metrics and areas read aside from the document, for the same reason.
struct LoadedMetrics {
  MetricSet metrics;
  AreaSet areas;
  bool ok = false;
  std::string error;               // "file: reason" (with line and column) when not ok
  std::vector<std::string> notes;  // what was read but passed over, one line each
};

// Reads a metrics file of any kind (metrics/MetricsFile.h); tables and
// coverage reports are matched against the pool, which is only read.
std::unique_ptr<LoadedMetrics> readMetrics(const std::string& path, const ModelElementsPool& pool);

class Document : NonCopyable {
 public:
  Document() = default;
  ~Document();

  // Reads the file aside; only when it was read does it replace the loaded
  // model (metrics, areas and selection are cleared then). A file that
  // cannot be read leaves everything as it was. The status names the file
  // and the reason.
  LoadStatus openModel(const std::string& path, const ReadFeedback& feedback = {});
  // Replaces the loaded model by one read aside (which must have been read:
  // status().ok()); metrics and areas computed with it are loaded with it.
  void adoptModel(std::unique_ptr<LoadedModel> model);
  // The loaded model's notes (LoadedModel::notes).
  const std::string& modelNotes() const { return modelNotes_; }

  // Adds the metrics and areas of a metrics file. A metric or area of a name
  // already loaded is replaced by the new reading, keeping the user's
  // choices (MetricSet::mergeLoaded, AreaSet::mergeLoaded). False when it
  // could not be read (nothing changes then); metricsError() says why and
  // metricsNotes() what a successful read passed over.
  bool openMetrics(const std::string& path);
  void adoptMetrics(LoadedMetrics& read, const std::string& path);
  const std::string& metricsError() const { return metricsError_; }
  const std::vector<std::string>& metricsNotes() const { return metricsNotes_; }
  // The metrics files read for this model, in the order they were first
  // read; empty when none.
  const std::vector<std::string>& metricsFiles() const { return metricsFiles_; }
  // The last of them; empty when none.
  std::string metricsFile() const { return metricsFiles_.empty() ? std::string() : metricsFiles_.back(); }
  // Reads every metrics file again (after a new build). Files that fail keep
  // what they gave before; the errors come one line each, the notes of the
  // files read after them.
  std::vector<std::string> reloadMetrics();
  // Whether metrics were loaded: from a metrics file or with the model.
  bool hasMetrics() const { return !metricsFiles_.empty() || computedMeasures_; }

  // Forgets everything: areas, metrics, selection, diagrams, pool.
  void clear();

  bool hasModel() const { return model_ != nullptr; }
  // Changes whenever the loaded model or metrics are replaced or cleared:
  // panels that list them compare it with the one they were filled at.
  unsigned revision() const { return revision_; }
  const std::string& modelFile() const { return modelFile_; }
  const std::vector<Diagram*>& diagrams() const;
  ModelElementsPool& pool();
  SelectionManager& selection() { return selection_; }
  MetricSet& metrics() { return metrics_; }
  AreaSet& areas() { return areas_; }

  // The boxes of a loaded diagram as its file put them (taken when the
  // model was adopted), or null for a diagram that is not loaded.
  const LayoutSnapshot* fileLayout(const Diagram* diagram) const;

  // The first diagram of that name, or null.
  Diagram* findDiagram(const std::string& name) const;

  // Shows a loaded metric (a metric already shown stays shown once). False
  // when no metric of that name was loaded.
  bool showMetric(const std::string& name);
  // Shows an area over the diagram (already shown: true, unchanged). False
  // when there is no diagram or no area of that name.
  bool showArea(Diagram* diagram, const std::string& name);

  // What a command line names: a diagram (empty: the first), metrics and
  // areas to show over it, each area as NAME or NAME:PAINTER (see
  // parseAreaOption; the area takes that painter, "Inner" by default).
  // checkNames resolves the names without changing
  // anything: the chosen diagram is the named one, else the first, else null
  // (a model without diagrams; no area is checked then); known metric and
  // area names come once each, in order; every unknown name gives one line
  // naming it and where it was looked for.
  struct NamedContent {
    Diagram* diagram = nullptr;
    std::vector<std::string> metrics;
    std::vector<AreaOption> areas;
    std::vector<std::string> problems;
  };
  NamedContent checkNames(const std::string& diagram, const std::vector<std::string>& metricNames,
                          const std::vector<std::string>& areaNames) const;
  // checkNames, then shows the known metrics and the known areas over the
  // chosen diagram.
  NamedContent showNamed(const std::string& diagram, const std::vector<std::string>& metricNames,
                         const std::vector<std::string>& areaNames);
  using Shown = NamedContent;

 private:
  SelectionManager selection_;
  MetricSet metrics_;
  AreaSet areas_;
  std::unique_ptr<LoadedModel> model_;
  std::vector<LayoutSnapshot> fileLayouts_;  // one per diagram, in order
  std::string modelFile_;
  std::vector<std::string> metricsFiles_;
  std::string metricsError_;
  std::vector<std::string> metricsNotes_;
  std::string modelNotes_;
  bool computedMeasures_ = false;  // the metrics came with the model
  unsigned revision_ = 0;
};

}  // namespace lumetra
