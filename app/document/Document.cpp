#include "app/document/Document.h"

#include <algorithm>
#include <filesystem>

#include "app/document/CommandLineOptions.h"
#include "areas/PackageAreas.h"
#include "metrics/MetricsFile.h"
#include "app/document/ImportedMeasures.h"
#include "metrics/MetricParser.h"
#include "model/Checked.h"
#include "modelfiles/ModelLoader.h"

namespace lumetra {

namespace {

std::string quoted(const std::string& text) { return "'" + text + "'"; }

}  // namespace

LoadedModel::~LoadedModel() { deleteDiagrams(diagrams); }

bool isCppProject(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec) || std::filesystem::path(path).filename() == "compile_commands.json";
}

std::unique_ptr<LoadedModel> readModel(const std::string& path, const ReadFeedback& feedback) {
  auto model = std::make_unique<LoadedModel>();
  if (!isCppProject(path)) {
    model->status = loadModel(path, model->diagrams, model->pool, feedback.cancel);
    return model;
  }
  CppImportOptions options;
  options.roots = feedback.importRoots;
  const CppImportResult result =
      importCppProject(path, model->diagrams, model->pool, options, feedback.progress, feedback.cancel);
  model->status.fileName = path;
  if (!result.ok) {
    // The error names the database it could not read; the status names the path given.
    model->status.reason = result.error.rfind(path + ": ", 0) == 0 ? result.error.substr(path.size() + 2) : result.error;
    return model;
  }
  model->status.outcome = LoadStatus::Outcome::Read;
  model->computed = std::make_unique<LoadedMetrics>();
  addImportedMeasures(result.measures, model->computed->metrics, model->computed->areas);
  model->computed->ok = true;
  model->notes = result.failureSummary();
  return model;
}

std::unique_ptr<LoadedMetrics> readMetrics(const std::string& path, const ModelElementsPool& pool) {
  auto read = std::make_unique<LoadedMetrics>();
  MetricsRead result = readMetricsFile(path, pool, read->metrics, read->areas);
  read->ok = result.ok;
  read->error = std::move(result.error);
  read->notes = std::move(result.notes);
  return read;
}

Document::~Document() { clear(); }

LoadStatus Document::openModel(const std::string& path, const ReadFeedback& feedback) {
  std::unique_ptr<LoadedModel> model = readModel(path, feedback);
  LoadStatus status = model->status;
  if (status.ok()) adoptModel(std::move(model));
  return status;
}

void Document::adoptModel(std::unique_ptr<LoadedModel> model) {
  clear();
  modelFile_ = model->status.fileName;
  modelNotes_ = model->notes;
  model_ = std::move(model);
  if (model_->computed) {
    // An imported project brings its own measures and its namespaces and
    // folders as areas.
    computedMeasures_ = true;
    metrics_.takeLoaded(model_->computed->metrics);
    areas_.takeLoaded(model_->computed->areas);
    model_->computed.reset();
  } else {
    // Every package is offered as an area; an areas file may define one of
    // the same name later, which then takes its place.
    addPackageAreas(areas_, model_->pool, ".");
  }
  for (Diagram* diagram : model_->diagrams) fileLayouts_.push_back(LayoutSnapshot::ofDiagram(diagram));
}

const LayoutSnapshot* Document::fileLayout(const Diagram* diagram) const {
  const std::vector<Diagram*>& all = diagrams();
  for (std::size_t i = 0; i < all.size() && i < fileLayouts_.size(); ++i)
    if (all[i] == diagram) return &fileLayouts_[i];
  return nullptr;
}

bool Document::openMetrics(const std::string& path) {
  std::unique_ptr<LoadedMetrics> read = readMetrics(path, pool());
  adoptMetrics(*read, path);
  return read->ok;
}

void Document::adoptMetrics(LoadedMetrics& read, const std::string& path) {
  if (!read.ok) {
    metricsError_ = read.error;
    return;
  }
  metricsError_.clear();
  metricsNotes_ = read.notes;
  if (std::find(metricsFiles_.begin(), metricsFiles_.end(), path) == metricsFiles_.end())
    metricsFiles_.push_back(path);
  // Metrics read again replace the old objects: the selection lets go of
  // them first and then holds the new ones of the same names.
  std::vector<std::string> selected;
  for (const Metric* metric : selection_.selectedMetrics()) selected.push_back(metric->getName());
  while (!selection_.selectedMetrics().empty()) selection_.toggleMetric(selection_.selectedMetrics().front());
  metrics_.mergeLoaded(read.metrics);
  for (const std::string& name : selected)
    if (Metric* metric = metrics_.findMetric(name)) selection_.toggleMetric(metric);
  // A shown area read again may hold other elements now.
  if (areas_.mergeLoaded(read.areas) && areas_.getIdentifiedDiagram() != nullptr)
    reidentifyAreas(areas_, areas_.getIdentifiedDiagram(), false);
  ++revision_;
}

std::vector<std::string> Document::reloadMetrics() {
  std::vector<std::string> lines;
  const std::vector<std::string> files = metricsFiles_;
  for (const std::string& path : files) {
    std::unique_ptr<LoadedMetrics> read = readMetrics(path, pool());
    adoptMetrics(*read, path);
    if (!read->ok) lines.push_back(read->error);
    lines.insert(lines.end(), read->notes.begin(), read->notes.end());
  }
  metricsError_.clear();
  return lines;
}

void Document::clear() {
  // Identified areas and the selection point into the model: they go first.
  areas_.clear();
  metrics_.clear();
  selection_.clear();
  fileLayouts_.clear();
  model_.reset();
  modelFile_.clear();
  metricsFiles_.clear();
  metricsError_.clear();
  metricsNotes_.clear();
  modelNotes_.clear();
  computedMeasures_ = false;
  ++revision_;
}

const std::vector<Diagram*>& Document::diagrams() const {
  static const std::vector<Diagram*> none;
  return model_ ? model_->diagrams : none;
}

ModelElementsPool& Document::pool() {
  static ModelElementsPool empty;
  return model_ ? model_->pool : empty;
}

Diagram* Document::findDiagram(const std::string& name) const { return findNamed(diagrams(), name); }

bool Document::showMetric(const std::string& name) {
  if (metrics_.findMetric(name) == nullptr) return false;
  if (metrics_.findShownMetric(name) == nullptr) metrics_.showMetric(name);
  return true;
}

bool Document::showArea(Diagram* diagram, const std::string& name) {
  if (diagram == nullptr) return false;
  if (areas_.isIdentified(name) && areas_.isShownOn(diagram)) return true;
  return lumetra::showArea(areas_, diagram, name);
}

Document::NamedContent Document::checkNames(const std::string& diagram, const std::vector<std::string>& metricNames,
                                            const std::vector<std::string>& areaNames) const {
  NamedContent named;
  std::string files;
  for (const std::string& file : metricsFiles_) files += (files.empty() ? "" : ", ") + file;
  const std::string source = !files.empty() ? " in " + files
                             : computedMeasures_ ? " among those computed from " + modelFile_
                                                 : ": no metrics file was given (--metrics FILE)";
  for (const std::string& name : metricNames) {
    if (metrics_.findMetric(name) != nullptr) {
      if (std::find(named.metrics.begin(), named.metrics.end(), name) == named.metrics.end())
        named.metrics.push_back(name);
    } else {
      named.problems.push_back("unknown metric " + quoted(name) + source);
    }
  }

  const std::vector<Diagram*>& all = diagrams();
  if (all.empty()) return named;  // nothing to show areas over
  named.diagram = diagram.empty() ? all.front() : findDiagram(diagram);
  if (named.diagram == nullptr) {
    std::string known;
    for (Diagram* d : all) known += (known.empty() ? "" : ", ") + quoted(d->getName());
    named.problems.push_back("unknown diagram " + quoted(diagram) + " in " + modelFile_ + " (it has " + known + ")");
    named.diagram = all.front();
  }
  for (const std::string& value : areaNames) {
    const AreaOption area = parseAreaOption(value);
    if (areas_.findArea(area.name) == nullptr) {
      named.problems.push_back("unknown area " + quoted(area.name) + source);
      continue;
    }
    // Named twice: shown once, with the painter named last.
    auto same = std::find_if(named.areas.begin(), named.areas.end(),
                             [&](const AreaOption& known) { return known.name == area.name; });
    if (same == named.areas.end())
      named.areas.push_back(area);
    else
      same->painter = area.painter;
  }
  return named;
}

Document::NamedContent Document::showNamed(const std::string& diagram, const std::vector<std::string>& metricNames,
                                           const std::vector<std::string>& areaNames) {
  NamedContent named = checkNames(diagram, metricNames, areaNames);
  for (const std::string& name : named.metrics) showMetric(name);
  if (named.diagram == nullptr) return named;
  // Areas shown before were identified over another diagram: identify them
  // again over this one, as choosing a diagram in the viewer does.
  if (areas_.getIdentifiedCount() > 0 && !areas_.isShownOn(named.diagram))
    reidentifyAreas(areas_, named.diagram, false);
  for (const AreaOption& area : named.areas)
    if (showArea(named.diagram, area.name)) areas_.findArea(area.name)->setVisualizer(area.painter);
  return named;
}

}  // namespace lumetra
