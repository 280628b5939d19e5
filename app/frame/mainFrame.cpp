#include "app/frame/mainFrame.h"

#include <wx/menu.h>
#include <wx/config.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/splitter.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include <algorithm>

#include "app/panels/AreasPage.h"
#include "app/panels/MetricsPage.h"
#include "app/panels/CheckListCtrl.h"
#include "app/document/ShowDiagram.h"
#include "app/frame/EditCommands.h"
#include "app/frame/Preferences.h"
#include "app/frame/StatusLine.h"
#include "app/panels/ModelTree.h"
#include "app/frame/ReadProgress.h"
#include "app/frame/RecentModels.h"
#include "app/panels/ToolPictures.h"
#include "app/frame/UserDialogs.h"
#include "app/panels/ViewControlStrip.h"
#include "app/frame/ViewMenu.h"
#include "app/panels/WindowIds.h"
#include "diagram/CanvasKeys.h"
#include "diagram/CanvasMouse.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "platform/GLExtensions.h"
#include "layout/TextMeasure.h"
#include "render/Canvas.h"
#include "render/DefaultFont.h"
#include "render/GLPainter.h"
#include "render/CanvasWindow.h"
#include "settings/SettingsStore.h"

namespace lumetra {

// clang-format off
wxBEGIN_EVENT_TABLE(mainFrame, wxFrame)
  EVT_MENU(ids::FindClass, mainFrame::onFindClass)
  EVT_MENU(ids::ArrangeDiagram, mainFrame::onArrangeDiagram)
  EVT_MENU(ids::About, mainFrame::onAbout)
  EVT_MENU_RANGE(wxID_FILE1, wxID_FILE9, mainFrame::onRecentModel)
  EVT_MENU_RANGE(ids::ViewAssociations, ids::ViewLegend, mainFrame::onViewSwitch)
  EVT_MENU(ids::ViewComments, mainFrame::onViewSwitch)
  EVT_MENU(ids::ViewTypesAndVisibility, mainFrame::onViewSwitch)
  EVT_MENU_RANGE(ids::ToolOpenModel, ids::ToolUnused2, mainFrame::onToolCommand)
  EVT_MENU(wxID_UNDO, mainFrame::onEditCommand)
  EVT_MENU(wxID_REDO, mainFrame::onEditCommand)
  EVT_MENU(ids::ResetLayout, mainFrame::onEditCommand)
  EVT_MENU(wxID_PREFERENCES, mainFrame::onEditCommand)
wxEND_EVENT_TABLE()
// clang-format on

mainFrame::mainFrame(const wxString& title, const wxPoint& position, const wxSize& size, UserDialogs* dialogs)
    : wxFrame(nullptr, wxID_ANY, title, position, size), dialogs_(dialogs ? dialogs : &desktopDialogs()) {
  edit_ = std::make_unique<EditCommands>(
      document_,
      [this] {
        // Boxes moved by Undo, Redo or a reset: the areas over them follow.
        if (CanvasWindow* active = canvas_->activeWindow()) identifyShownAreasAgain(active->diagram());
        for (WindowNode* leaf : canvas_->tree().leaves()) leaf->window->invalidateDisplayList();
        canvas_->areasChanged();
      },
      [this] {
        // A preference changed: every view shows it, the next start too.
        applyTextFont();
        refreshCanvas();
        if (wxConfigBase* config = wxConfigBase::Get(false)) rememberSettings(*config);
      });
  for (int id : {ids::OpenModel, ids::OpenMetrics, ids::ReloadMetrics, ids::ImportCpp, ids::CloseModel,
                 ids::SaveDiagram, ids::LoadConfiguration, ids::SaveConfiguration, ids::ExportImage, ids::Exit})
    Bind(wxEVT_MENU, &mainFrame::onFileCommand, this, id);
  buildLayout();
  buildMenus();
  buildToolBar();
  SetIcon(frameIcon());
  recent_ = std::make_unique<RecentModels>(wxConfigBase::Get(false));
  recent_->syncMenu(GetMenuBar()->GetMenu(0));

  painter_ = std::make_unique<MetricsVisualizerSimple>();
  painter_->setBlendEquation(lookupBlendEquation());
  painter_->setSelectionManager(&document_.selection());
  painter_->setMetricSet(&document_.metrics());
  painter_->setAreas(&document_.areas());
  painter_->setTransparency(1.0f);
  painter_->setAreaAlpha(0.2f);
  painter_->setMetricsAlpha(128.0f / 255.0f);

  mouse_ = std::make_unique<CanvasMouse>();
  canvas_->setOwner(this);
  canvas_->activeWindow()->setMouseHandler(mouse_.get());
  canvas_->activeWindow()->setVisualizer(painter_.get());
  if (settings().getBool("Canvas.PerspectiveAtStart")) canvas_->activeWindow()->setPerspective(true);
  // The canvas starts with the program's own font; a remembered one replaces it.
  textFont_ = kDefaultFontFile;
  applyTextFont();
  syncViewControls(canvas_->activeWindow(), canvas_->rootOnly());
  CreateStatusBar(kStatusFieldCount);
  const int widths[kStatusFieldCount] = {-2, -1, -1, -2};
  GetStatusBar()->SetStatusWidths(kStatusFieldCount, widths);
  // Keys reach the canvas once a click gave it the focus.
  canvas_->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& event) {
    canvas_->SetFocus();
    event.Skip();
  });
  canvas_->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& event) { onCanvasKeyDown(event); });
  // Whatever changed the view (a fit after a resize, the wheel, a control),
  // the status bar shows it as painted.
  canvas_->Bind(wxEVT_PAINT, [this](wxPaintEvent& event) {
    event.Skip();
    syncStatusBar();
  });
  syncStatusBar();
}

mainFrame::~mainFrame() {
  // Reads and layouts the user abandoned end before the program does.
  waitForAbandonedWork();
  // The windows borrow the painter and the diagrams: they go first.
  canvas_->setOwner(nullptr);
  canvas_->forEachWindowClearDiagram();
  DestroyChildren();
}

void mainFrame::buildLayout() {
  auto* top = new wxBoxSizer(wxVERTICAL);
  mainSplitter_ = new wxSplitterWindow(this, ids::MainSplitter, wxDefaultPosition, wxSize(200, 160),
                                       wxSP_3D | wxSP_LIVE_UPDATE, "splitter");
  mainSplitter_->SetMinimumPaneSize(64);

  auto* left = new wxPanel(mainSplitter_);
  auto* leftSizer = new wxBoxSizer(wxVERTICAL);
  leftSplitter_ = new wxSplitterWindow(left, ids::LeftSplitter, wxDefaultPosition, wxSize(200, 160),
                                       wxSP_3D | wxSP_LIVE_UPDATE, "splitter");
  leftSplitter_->SetMinimumPaneSize(64);
  tree_ = new UMLModelTree(leftSplitter_, this);
  notebook_ = new wxNotebook(leftSplitter_, ids::LeftNotebook);
  metricsPage_ = new MetricsPage(notebook_, this);
  // A metric's swatch is its colour button: the palette is asked for here.
  metricsPage_->metricList()->setPaletteChooser([this](const std::string& metric) {
    return dialogs_->choosePaletteEntry(metricsPage_->metricList(), "Colour of " + metric);
  });
  areasPage_ = new AreasPage(notebook_, this);
  notebook_->AddPage(metricsPage_, "Metrics", true);
  notebook_->AddPage(areasPage_, "Areas");
  leftSplitter_->SplitHorizontally(tree_, notebook_);
  leftSizer->Add(leftSplitter_, 1, wxEXPAND);
  left->SetSizer(leftSizer);

  auto* right = new wxPanel(mainSplitter_);
  auto* rightSizer = new wxBoxSizer(wxVERTICAL);
  strip_ = new ViewControlStrip(right, this);
  canvas_ = new Canvas(right, ids::Canvas);
  rightSizer->Add(strip_, 0, wxEXPAND);
  rightSizer->Add(canvas_, 1, wxEXPAND);
  right->SetSizer(rightSizer);

  mainSplitter_->SplitVertically(left, right, 0);
  top->Add(mainSplitter_, 1, wxEXPAND);
  SetSizer(top);
}

void mainFrame::buildMenus() {
  auto* file = new wxMenu;
  file->Append(ids::OpenModel, "&Open UML model...\tCtrl-O");
  file->Append(ids::ImportCpp, "Import C++ project...",
               "Import the classes, metrics and areas of a C++ project from its compile_commands.json");
  file->Append(ids::OpenMetrics, "Open &metrics file...\tCtrl-M");
  file->Append(ids::ReloadMetrics, "Reload metrics\tF5", "Read the metrics files again");
  file->Append(ids::SaveDiagram, "&Save diagram...\tCtrl-S", "Save the diagrams with their layout");
  file->AppendSeparator();
  file->Append(ids::LoadConfiguration, "Load configuration...", "Load configuration settings");
  file->Append(ids::SaveConfiguration, "Save Configuration...", "Save configuration settings");
  file->Append(ids::ExportImage, "&Export to image\tCtrl-E", "Save the current view to an image");
  file->Append(ids::CloseModel, "&Close model");
  file->AppendSeparator();
  file->Append(ids::Exit, "&Exit\tCtrl-Q");
  auto* help = new wxMenu;
  help->Append(ids::About, "&About...");
  auto* bar = new wxMenuBar;
  bar->Append(file, "&File");
  bar->Append(edit_->buildMenu(), "&Edit");
  wxMenu* view = buildViewMenu();
  view->AppendSeparator();
  view->Append(ids::FindClass, "&Find class...\tCtrl-F", "Select a class of the shown diagram by its name");
  view->Append(ids::ArrangeDiagram, "&Arrange diagram", "Lay the shown diagram out afresh");
  bar->Append(view, "&View");
  bar->Append(help, "&Help");
  SetMenuBar(bar);
  file->Enable(ids::OpenMetrics, false);
  file->Enable(ids::ReloadMetrics, false);
}

void mainFrame::buildToolBar() {
  wxToolBar* tools = new wxToolBar(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                   wxTB_HORIZONTAL | wxTB_FLAT | wxNO_BORDER);
  tools->SetMargins(2, 2);
  tools->SetToolBitmapSize(wxSize(kToolPictureSize, kToolPictureSize));
  tools->AddSeparator();
  tools->AddTool(ids::ToolOpenModel, "Load a UML model from an XMI file", toolPicture(ToolPicture::OpenModel),
                 "Load UML model");
  tools->AddTool(ids::ToolOpenMetrics, "Load metrics file", toolPicture(ToolPicture::OpenMetrics),
                 "Load metrics file");
  tools->AddSeparator();
  tools->AddTool(ids::ToolSaveDiagram, "Save diagram", toolPicture(ToolPicture::SaveDiagram),
                 "Save configuration settings");
  tools->Realize();
  SetToolBar(tools);
  tools->EnableTool(ids::ToolOpenMetrics, false);
  // Ctrl-S is the accelerator of the File menu's "Save diagram", the
  // command this tool reaches: one handler, one save dialog.
}

lmCheckListCtrl* mainFrame::metricList() const { return metricsPage_->metricList(); }
AreaListCtrl* mainFrame::areaList() const { return areasPage_->areaList(); }

void mainFrame::enableOpenMetrics(bool on) {
  GetMenuBar()->Enable(ids::OpenMetrics, on);
  GetMenuBar()->Enable(ids::ReloadMetrics, on && !document_.metricsFiles().empty());
  GetToolBar()->EnableTool(ids::ToolOpenMetrics, on);
}

void mainFrame::showNotes(const std::string& title, const std::vector<std::string>& notes) {
  if (notes.empty()) return;
  std::string text = "The model was opened, but:";
  for (const std::string& note : notes) text += "\n" + note;
  showError(title, text);
}

void mainFrame::sync() {
  // More metrics files add to those read; F5 reads them again.
  enableOpenMetrics(document_.hasModel());
  strip_->sync(document_);
  metricsPage_->sync(document_);
  areasPage_->sync(document_);
}

void mainFrame::showError(const std::string& title, const std::string& message) {
  dialogs_->showError(this, title, message);
}

void mainFrame::forgetShownModel() {
  mouse_->forgetPressTarget();
  edit_->modelReplaced();
  underPointer_.clear();
  canvas_->forEachWindowClearDiagram();
  tree_->clear();
  // Nothing points into the model any more; the pages forget their
  // selections at the sync that follows.
  document_.clear();
}

bool mainFrame::openModel(const std::string& path) {
  if (path.empty()) return false;
  if (isCppProject(path)) return importCppProject(path);
  // Read aside: the loaded model stays on screen until the new one was read.
  // Cancel abandons the read (its layout of generated diagrams stops at the
  // next diagram) and keeps what was loaded; the abandoned model is dropped
  // on the reading thread, never handed over.
  auto slot = std::make_shared<std::unique_ptr<LoadedModel>>();
  const WorkOutcome outcome = runAbandonable(
      this, "Open UML Model", "Reading " + path,
      [slot, path](ProgressReport& report) {
        ReadFeedback feedback;
        feedback.cancel = report.cancelFlag();
        std::unique_ptr<LoadedModel> model = readModel(path, feedback);
        if (!report.cancelFlag()->load()) *slot = std::move(model);
      },
      [this](ProgressReport& report) { dialogs_->workStarted("Open UML Model", report); });
  if (outcome == WorkOutcome::Abandoned) return false;
  std::unique_ptr<LoadedModel> read = std::move(*slot);
  if (!read->status.ok()) {
    showError("Open UML Model", "The model could not be opened.\n\n" + read->status.message());
    return false;
  }
  std::vector<std::string> notes = read->status.notes;
  adoptModel(std::move(read), path);
  showNotes("Open UML Model", notes);
  return true;
}

bool mainFrame::importCppProject(const std::string& path, const std::vector<std::string>& roots) {
  const char* const title = "Import C++ Project";
  std::unique_ptr<LoadedModel> read;
  bool cancelled = false;
  runWithCountedProgress(this, title, "Parsing the units of " + path, [&](ProgressReport& report) {
    ReadFeedback feedback;
    feedback.importRoots = roots;
    feedback.cancel = report.cancelFlag();
    feedback.progress = [&report](std::size_t done, std::size_t total, const std::string& file) {
      report.set(done, total, "Parsing " + std::to_string(done) + " of " + std::to_string(total) + " units" +
                                  (file.empty() ? std::string() : ": " + file));
    };
    read = readModel(path, feedback);
    cancelled = report.cancelFlag()->load();
  });
  if (!read->status.ok()) {
    // Cancelled or unreadable: what was loaded stays.
    if (!cancelled) showError(title, "The project could not be imported.\n\n" + read->status.message());
    return false;
  }
  adoptModel(std::move(read), path);
  if (!document_.modelNotes().empty())
    showError(title, "Imported, but some units did not parse.\n\n" + document_.modelNotes());
  return true;
}

void mainFrame::adoptModel(std::unique_ptr<LoadedModel> read, const std::string& path) {
  // Closing forgets what pointed into the old model and blanks the canvas;
  // the new model is shown once a diagram is chosen.
  closeModel();
  document_.adoptModel(std::move(read));

  const wxTreeItemId root = tree_->addRoot();
  for (Diagram* diagram : document_.diagrams()) tree_->addDiagram(root, diagram);
  sync();
  SetTitle(wxString::FromUTF8(path) + " - Lumetra Visualizer");
  // Opened from the menu, the recent files or a configuration alike.
  recent_->add(path);
  recent_->syncMenu(GetMenuBar()->GetMenu(0));
}

void mainFrame::closeModel() {
  forgetShownModel();
  sync();
  canvas_->repaint();
  SetTitle("Lumetra Visualizer");
  syncStatusBar();
}

bool mainFrame::openMetrics(const std::string& path) {
  if (path.empty() || !document_.hasModel()) return false;
  std::unique_ptr<LoadedMetrics> read;
  runWithProgress(this, "Open Metrics", "Reading " + path, [&] { read = readMetrics(path, document_.pool()); });
  if (!read->ok) {
    showError("Open Metrics", "The metrics file could not be read.\n\n" + read->error);
    return false;
  }
  adoptMetrics(*read, path);
  if (!read->notes.empty()) showMetricsNotes("Open Metrics", read->notes);
  redrawShown();  // a metric of a name shown before may have new values
  return true;
}

void mainFrame::reloadMetrics() {
  // Each file is read aside; one that fails keeps what it gave before.
  std::vector<std::string> lines;
  const std::vector<std::string> files = document_.metricsFiles();
  for (const std::string& path : files) {
    std::unique_ptr<LoadedMetrics> read;
    runWithProgress(this, "Reload Metrics", "Reading " + path, [&] { read = readMetrics(path, document_.pool()); });
    if (!read->ok) {
      lines.push_back(read->error);
      continue;
    }
    adoptMetrics(*read, path);
    lines.insert(lines.end(), read->notes.begin(), read->notes.end());
  }
  redrawShown();
  if (!lines.empty()) showMetricsNotes("Reload Metrics", lines);
}

void mainFrame::showMetricsNotes(const std::string& title, const std::vector<std::string>& lines) {
  std::string text = "Read, with these rows, columns or files passed over:\n";
  for (const std::string& line : lines) text += "\n" + line;
  showError(title, text);
}

void mainFrame::adoptMetrics(LoadedMetrics& read, const std::string& path) {
  // Metrics read again are new objects: the page follows its metric by name.
  const Metric* selected = metricsPage_->selectedMetric();
  const std::string selectedName = selected ? selected->getName() : std::string();
  document_.adoptMetrics(read, path);
  sync();
  if (!selectedName.empty()) metricsPage_->selectMetric(document_.metrics().findMetric(selectedName));
}

bool mainFrame::showDiagramQuietly(Diagram* diagram) {
  CanvasWindow* window = canvas_->activeWindow();
  if (window == nullptr || !lumetra::showDiagram(document_, *window, diagram)) return false;
  tree_->markShown(diagram);
  areasPage_->sync(document_);
  return true;
}

void mainFrame::redrawShown() {
  // Other windows still show the areas over the diagram they left.
  if (canvas_->rootOnly())
    canvas_->refreshWindow(canvas_->activeWindow(), true);
  else
    canvas_->areasChanged();
}

bool mainFrame::showDiagram(Diagram* diagram) {
  // Recording a big diagram takes seconds: the pointer says so meanwhile.
  wxBusyCursor busy;
  if (!showDiagramQuietly(diagram)) return false;
  redrawShown();
  syncStatusBar();
  return true;
}

void mainFrame::showFirstDiagram() {
  if (!document_.diagrams().empty()) showDiagram(document_.diagrams().front());
}

// ---- edit commands, keys and the status bar ----

void mainFrame::onEditCommand(wxCommandEvent& event) {
  CanvasWindow* window = canvas_->activeWindow();
  edit_->onCommand(event.GetId(), window ? window->diagram() : nullptr, this);
}

void mainFrame::boxesDragged(CanvasWindow*, const LayoutSnapshot& before) { edit_->moved(before); }

void mainFrame::pointerOver(const std::string& label) {
  underPointer_ = label;
  syncStatusBar();
}

void mainFrame::onCanvasKeyDown(wxKeyEvent& event) {
  CanvasWindow* window = canvas_->activeWindow();
  if (window == nullptr || !onCanvasKey(*window, event.GetKeyCode())) {
    event.Skip();
    return;
  }
  syncStatusBar();
}

void mainFrame::syncStatusBar() {
  wxStatusBar* bar = GetStatusBar();
  if (bar == nullptr) return;
  CanvasWindow* window = canvas_->activeWindow();
  const auto fields = statusFields(window ? window->diagram() : nullptr, window ? window->zoom() : 1.0f, underPointer_);
  for (int i = 0; i < kStatusFieldCount; ++i)
    if (bar->GetStatusText(i) != wxString::FromUTF8(fields[i])) bar->SetStatusText(wxString::FromUTF8(fields[i]), i);
}

void mainFrame::openFromCommandLine(const CommandLineOptions& options) {
  if (!options.config.empty()) {
    loadConfiguration(options.config, &options);
    return;
  }
  if (options.legend) {
    settings().setBool("Visualizer.General.Legend.Enable", true);
    syncViewMenu(GetMenuBar());
  }
  if (options.model.empty()) return;
  if (!(isCppProject(options.model) ? importCppProject(options.model, options.importRoots) : openModel(options.model)))
    return;
  if (!options.metricsFile.empty()) openMetrics(options.metricsFile);

  const Document::NamedContent named = document_.checkNames(options.diagram, options.metrics, options.areas);
  // Everything named is shown before the diagram is, so that showing it
  // records the scene and draws the area pass once, with the glyphs and the
  // areas, instead of once more per metric and per area. The metrics are
  // shown (no diagram to redraw yet); the areas are identified over the
  // diagram to come. The pages' check marks follow at the sync.
  for (const std::string& name : named.metrics) document_.showMetric(name);
  if (named.diagram != nullptr) {
    for (const AreaOption& area : named.areas) {
      document_.areas().findArea(area.name)->setVisualizer(area.painter);
      document_.showArea(named.diagram, area.name);
    }
    if (document_.areas().drawsByValue()) document_.areas().sortByValue();
    showDiagram(named.diagram);
  }
  sync();
  if (!named.problems.empty()) {
    std::string text = "Not everything named on the command line could be shown:\n";
    for (const std::string& problem : named.problems) text += "\n" + problem;
    showError("Lumetra Visualizer", text);
  }
}

// ---- view controls ----

void mainFrame::onViewSwitch(wxCommandEvent& event) {
  const DisplaySwitch* item = findDisplaySwitch(event.GetId());
  if (item == nullptr) return;
  // A check item's command carries its new state.
  settings().setBool(item->key, event.IsChecked());
  syncViewMenu(GetMenuBar());
  refreshCanvas();
  if (wxConfigBase* config = wxConfigBase::Get(false)) rememberSettings(*config);
}

void mainFrame::activeWindowChanged(CanvasWindow* window, bool rootOnly) {
  syncViewControls(window, rootOnly);
  syncStatusBar();
}

void mainFrame::syncViewControls(CanvasWindow* window, bool singleWindow) {
  strip_->syncViewControls(window, singleWindow);
  if (window != nullptr) metricsPage_->syncLayoutSliders(window->visualizer());
}

// ---- ViewerLink ----

void mainFrame::metricSelected(Metric* metric) { metricsPage_->selectMetric(metric); }

void mainFrame::areaSelected(const std::string& name) {
  if (document_.areas().findArea(name) != nullptr) areasPage_->selectArea(name);
}

bool mainFrame::showArea(const std::string& name) {
  CanvasWindow* window = canvas_->activeWindow();
  Diagram* diagram = window ? window->diagram() : nullptr;
  if (diagram == nullptr) return false;
  // Areas shown over another diagram follow the active window's.
  if (!document_.areas().isShownOn(diagram))
    reidentifyAreas(document_.areas(), diagram, document_.areas().drawsByValue());
  if (!document_.showArea(diagram, name)) return false;
  if (document_.areas().drawsByValue()) document_.areas().sortByValue();
  return true;
}

void mainFrame::identifyShownAreasAgain(Diagram* diagram) {
  if (diagram == nullptr) return;
  reidentifyAreas(document_.areas(), diagram, document_.areas().drawsByValue());
}

void mainFrame::centreOnElement(Diagram* diagram, ModelElement* element) {
  if (diagram == nullptr || element == nullptr) return;
  wxBusyCursor busy;  // showing another diagram, or the selection, takes a while on a big one
  CanvasWindow* window = canvas_->activeWindow();
  if (window->diagram() != diagram && !showDiagram(diagram)) return;
  const SelectionManager::Snapshot before = document_.selection().snapshot();
  document_.selection().clear();
  document_.selection().toggleElement(element);
  window->centreOnShape(CanvasMouse::shapeOf(diagram, element));
  canvas_->selectionChanged(window, document_.selection().changeSince(before));
}

void mainFrame::metricPicked(const std::string& name) {
  metricsPage_->showPicked(name);
}

void mainFrame::refreshAreas() { canvas_->areasChanged(); }

bool mainFrame::applyTextFont() {
  const std::string wanted = settings().getString(kTextFontKey);
  if (wanted.empty() || wanted == textFont_) return true;
  // The old font's textures go with it, in the context that made them.
  canvas_->makeCurrent();
  const std::string failure = loadTextFont(wanted);
  if (!failure.empty()) {
    settings().setString(kTextFontKey, textFont_);
    showError("Preferences", failure + ": the text stays in the font it had.");
    return false;
  }
  textFont_ = wanted;
  setMeasureFont(textFontPath());
  for (WindowNode* leaf : canvas_->tree().leaves()) leaf->window->invalidateDisplayList();
  return true;
}

void mainFrame::refreshCanvas(bool erase) {
  if (erase) canvas_->Refresh(true);
  canvas_->repaint();
}

}  // namespace lumetra
