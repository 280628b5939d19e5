#include "app/document/Document.h"

#include <algorithm>
#include <filesystem>

#include "app/document/CommandLineOptions.h"
#include "app/document/ImportedMeasures.h"
#include "metrics/MetricParser.h"
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
    model->status = loadModel(path, model->diagrams, model->pool);
    return model;
  }
  const CppImportResult result =
      importCppProject(path, model->diagrams, model->pool, {}, feedback.progress, feedback.cancel);
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

std::unique_ptr<LoadedMetrics> readMetrics(const std::string& path) {
  auto read = std::make_unique<LoadedMetrics>();
  MetricParser parser(&read->metrics, &read->areas);
  read->ok = parser.load(path);
  if (!read->ok) read->error = parser.lastError();
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
    computedMeasures_ = true;
    metrics_.takeLoaded(model_->computed->metrics);
    areas_.takeLoaded(model_->computed->areas);
    model_->computed.reset();
  }
}

bool Document::openMetrics(const std::string& path) {
  std::unique_ptr<LoadedMetrics> read = readMetrics(path);
  adoptMetrics(*read, path);
  return read->ok;
}

void Document::adoptMetrics(LoadedMetrics& read, const std::string& path) {
  if (!read.ok) {
    metricsError_ = read.error;
    return;
  }
  metricsError_.clear();
  metricsFile_ = path;
  metrics_.takeLoaded(read.metrics);
  areas_.takeLoaded(read.areas);
  ++revision_;
}

void Document::clear() {
  // Identified areas and the selection point into the model: they go first.
  areas_.clear();
  metrics_.clear();
  selection_.clear();
  model_.reset();
  modelFile_.clear();
  metricsFile_.clear();
  metricsError_.clear();
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

Diagram* Document::findDiagram(const std::string& name) const {
  for (Diagram* d : diagrams())
    if (d->getName() == name) return d;
  return nullptr;
}

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
  const std::string source = !metricsFile_.empty() ? " in " + metricsFile_
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
