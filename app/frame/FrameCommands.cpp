// The frame's file commands (the File menu, the tool bar, the recent
// models), "Export to image", "Find class" and "About": each asks through
// UserDialogs and calls the frame's operation or the command beside it.

#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include <algorithm>
#include <filesystem>

#include "app/commands/ExportChoice.h"
#include "app/commands/WindowExport.h"
#include "app/frame/EditCommands.h"
#include "app/document/FindClass.h"
#include "app/frame/ReadProgress.h"
#include "app/frame/RecentModels.h"
#include "app/frame/UserDialogs.h"
#include "app/frame/mainFrame.h"
#include "app/panels/WindowIds.h"
#include "layout/AutoLayout.h"
#include "model/Diagram.h"
#include "modelfiles/DiagramWriter.h"
#include "render/Canvas.h"
#include "render/CanvasWindow.h"

namespace lumetra {

namespace {

const char* const kModelFilter =
    "XMI/XML files|*.xmi;*.xml|UML models (*.xmi;*.uml)|*.xmi;*.uml|Pelk files|*.scenario|All files|*.*";
const char* const kMetricsFilter =
    "Metrics files (*.met, *.csv, *.xml)|*.met;*.csv;*.xml|Metric files|*.met|CSV tables|*.csv|All files|*.*";
const char* const kCppProjectFilter = "Compilation databases|compile_commands.json|All files|*.*";
const char* const kDiagramFilter = "Diagram files|*.dia";
const char* const kConfigurationFilter = "cfg files|*.cfg|All files|*.*";

// "a; b/c ;" -> {"a", "b/c"}
std::vector<std::string> splitFolderList(const std::string& text) {
  std::vector<std::string> folders;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(';', start);
    if (end == std::string::npos) end = text.size();
    std::string item = text.substr(start, end - start);
    item.erase(0, item.find_first_not_of(" \t"));
    item.erase(item.find_last_not_of(" \t") + 1);
    if (!item.empty()) folders.push_back(item);
    start = end + 1;
  }
  return folders;
}

}  // namespace

void mainFrame::onToolCommand(wxCommandEvent& event) {
  int command = 0;
  switch (event.GetId()) {
    case ids::ToolOpenModel: command = ids::OpenModel; break;
    case ids::ToolOpenMetrics: command = ids::OpenMetrics; break;
    case ids::ToolLoadConfiguration: command = ids::LoadConfiguration; break;
    case ids::ToolSaveDiagram: command = ids::SaveDiagram; break;
    case ids::ToolExportImage: command = ids::ExportImage; break;
    default: return;
  }
  wxCommandEvent forwarded(wxEVT_MENU, command);
  forwarded.SetEventObject(this);
  onFileCommand(forwarded);
}

void mainFrame::onFileCommand(wxCommandEvent& event) {
  switch (event.GetId()) {
    case ids::OpenModel: {
      const std::string path = dialogs_->openFile(this, "Open UML Model", kModelFilter);
      if (!path.empty() && openModel(path)) showFirstDiagram();
      break;
    }
    case ids::ImportCpp: {
      const std::string path = dialogs_->openFile(this, "Import C++ Project", kCppProjectFilter);
      if (path.empty()) break;
      // A second step names the folders to keep; nothing (or Cancel) keeps all.
      const std::string folders =
          dialogs_->askText(this, "Import C++ Project: Folders",
                            "Keep only the classes declared below these folders, separated by ';' (relative to the "
                            "folder that holds the project's sources, or absolute).\nLeave empty to keep every folder "
                            "of the project but its build folder.");
      if (importCppProject(path, splitFolderList(folders))) showFirstDiagram();
      break;
    }
    case ids::OpenMetrics: {
      // The menu item is disabled then; an accelerator must not get round it.
      if (!GetMenuBar()->IsEnabled(ids::OpenMetrics)) break;
      const std::string path = dialogs_->openFile(this, "Open Metrics", kMetricsFilter);
      if (!path.empty()) openMetrics(path);
      break;
    }
    case ids::ReloadMetrics:
      if (GetMenuBar()->IsEnabled(ids::ReloadMetrics)) reloadMetrics();
      break;
    case ids::LoadConfiguration: {
      const std::string path = dialogs_->openFile(this, "Load Configuration", kConfigurationFilter);
      if (!path.empty()) loadConfiguration(path);
      break;
    }
    case ids::SaveConfiguration: {
      std::string path = dialogs_->saveFile(this, "Save Configuration", "", ".cfg", kConfigurationFilter);
      if (path.empty()) break;
      // A name typed without an extension gets the filter's.
      if (std::filesystem::path(path).extension().empty()) path += ".cfg";
      saveConfiguration(path);
      break;
    }
    case ids::SaveDiagram: {
      const std::string path = dialogs_->saveFile(this, "Save Diagram", "", "", kDiagramFilter);
      if (!path.empty()) saveDiagram(path);
      break;
    }
    case ids::ExportImage: {
      if (!GetMenuBar()->IsEnabled(ids::ExportImage)) break;
      int filterIndex = -1;
      std::string path =
          dialogs_->saveFileChoosingFilter(this, "Save as image", "diagram", ".png", kExportImageFilter, filterIndex);
      if (path.empty()) break;
      ExportChoice choice;
      if (!exportChoiceFor(path, filterIndex, choice)) {
        showError("Export to image",
                  "cannot export to " + path + ": the file name must end in .png, .jpg, .jpeg, .svg or .pdf");
        break;
      }
      exportView(path, choice);
      break;
    }
    case ids::CloseModel: closeModel(); break;
    case ids::Exit: Close(false); break;
    default: break;
  }
}

bool mainFrame::exportImage(const std::string& path, int scale, ImageFormat format) {
  ExportChoice choice;
  choice.format = format;
  choice.scale = scale;
  return exportView(path, choice);
}

bool mainFrame::exportView(const std::string& path, const ExportChoice& choice) {
  CanvasWindow* window = canvas_->activeWindow();
  if (window == nullptr || window->diagram() == nullptr) {
    showError("Export to image", "cannot export to " + path + ": the active view shows no diagram");
    return false;
  }
  wxBusyCursor busy;
  const std::string failure = canvas_->makeCurrent()
                                  ? writeWindowPicture(document_, *window, painter_.get(), path, choice)
                                  : "cannot export to " + path + ": the canvas cannot draw";
  refreshCanvas();
  if (!failure.empty()) showError("Export to image", failure);
  return failure.empty();
}

void mainFrame::onFindClass(wxCommandEvent&) {
  CanvasWindow* window = canvas_->activeWindow();
  Diagram* diagram = window != nullptr ? window->diagram() : nullptr;
  if (diagram == nullptr) {
    showError("Find class", "No diagram is shown in the active view: choose one in the model tree first.");
    return;
  }
  const std::string part = dialogs_->askText(this, "Find class", "Part of the class name:");
  if (part.empty()) return;
  const std::vector<ClassMatch> matches = findClasses(diagram, part);
  if (matches.empty()) {
    showError("Find class", "No class on the diagram \"" + diagram->getName() + "\" has \"" + part + "\" in its name.");
    return;
  }
  int chosen = 0;
  if (matches.size() > 1) {
    std::vector<std::string> names;
    for (const ClassMatch& match : matches) names.push_back(match.name);
    chosen = dialogs_->chooseOne(this, "Find class", "Classes whose name contains \"" + part + "\":", names);
    if (chosen < 0 || chosen >= static_cast<int>(matches.size())) return;
  }
  centreOnElement(diagram, matches[chosen].element);
}

void mainFrame::onAbout(wxCommandEvent&) { dialogs_->showAbout(this); }

void mainFrame::onArrangeDiagram(wxCommandEvent&) {
  CanvasWindow* window = canvas_->activeWindow();
  Diagram* diagram = window != nullptr ? window->diagram() : nullptr;
  if (diagram == nullptr) return;
  // Graphviz works on a copy of what it needs, so the windows may repaint
  // meanwhile, and Cancel leaves the diagram as it was at once: a result
  // that comes back after that is dropped with the job.
  const std::shared_ptr<ArrangeJob> job = prepareArrange(*diagram, document_.pool());
  const WorkOutcome outcome = runAbandonable(
      this, "Arrange diagram", "Laying out " + diagram->getName(),
      [job](ProgressReport& report) { runArrange(*job, report.cancelFlag()); },
      [this](ProgressReport& report) { dialogs_->workStarted("Arrange diagram", report); });
  if (outcome == WorkOutcome::Abandoned) return;
  const ArrangeResult arranged = finishArrange(*job, *diagram);
  if (!arranged.ok) {
    showError("Arrange diagram", LayoutFailure{diagram->getName(), arranged.error}.message());
    return;
  }
  // One step of Edit > Undo: the boxes and routes as they were before.
  const LayoutSnapshot before = LayoutSnapshot::ofDiagram(diagram);
  applyGeometry(*diagram, arranged.geometry);
  edit_->moved(before, "Arrange");
  diagramRearranged(diagram);
}

void mainFrame::diagramRearranged(Diagram* diagram) {
  CanvasWindow* active = canvas_->activeWindow();
  if (active != nullptr && active->diagram() == diagram) identifyShownAreasAgain(diagram);
  for (WindowNode* leaf : canvas_->tree().leaves()) {
    if (leaf->window->diagram() != diagram) continue;
    leaf->window->invalidateDisplayList();
    if (leaf->window == active) active->zoomToFit();
  }
  canvas_->areasChanged();
}

void mainFrame::onRecentModel(wxCommandEvent& event) {
  const int index = RecentModels::indexOfId(event.GetId());
  const std::string path = recent_->path(static_cast<std::size_t>(std::max(index, 0)));
  if (index < 0 || path.empty()) return;
  std::error_code missing;
  if (!std::filesystem::exists(path, missing)) {
    recent_->remove(static_cast<std::size_t>(index));
    recent_->syncMenu(GetMenuBar()->GetMenu(0));
    showError("Open UML Model", "The model could not be opened.\n\n" + path +
                                    ": the file no longer exists; it was taken off the recent files.");
    return;
  }
  if (openModel(path)) showFirstDiagram();
}

bool mainFrame::saveDiagram(const std::string& path) {
  if (path.empty()) return false;
  XMLDiagramWriter writer(path, document_.diagrams(), document_.pool());
  if (!writer.write()) {
    showError("Save Diagram", "The diagram file could not be saved.\n\n" + writer.errorText());
    return false;
  }
  return true;
}

}  // namespace lumetra
