#pragma once
// The viewer's one top-level window. It owns the loaded document and the
// painter every view shares, builds the layout (model tree and notebook on
// the left; view-control strip and canvas on the right), the menus and the
// toolbar, and routes their events: file commands to openModel, openMetrics,
// closeModel and saveDiagram; everything the panels ask through ViewerLink
// to the document and the canvas. The panels bind their own controls; after
// every change of what is loaded the frame calls sync, and each panel fills
// its lists and enabling from the document itself.
//
// Opening a model reads the file aside first (on a worker thread, with a
// busy cursor and, after a second, a progress dialog); only a file that was
// read replaces the loaded model, so a mistaken open loses nothing. Errors
// are shown through UserDialogs with the file's name and the reason.
//
// Enabling (computed from the document in sync):
//   no model        "Open metrics" off; metrics transparency on at start-up,
//                   off after "Close model"
//   model loaded    "Open metrics" on; metrics transparency off
//   metrics loaded  "Open metrics" off (read once per model); metrics
//                   transparency on

#include <wx/frame.h>
#include <wx/treebase.h>

#include <memory>
#include <string>
#include <vector>

#include "app/commands/CommandLine.h"
#include "app/document/ConfigurationFile.h"
#include "app/document/Document.h"
#include "app/commands/ExportChoice.h"
#include "app/commands/ImageFile.h"
#include "app/panels/ViewerLink.h"
#include "render/CanvasOwner.h"

class wxNotebook;
class wxScrollEvent;
class wxSplitterWindow;

namespace lumetra {

class AreaListCtrl;
class AreasPage;
class CanvasMouse;
class EditCommands;
class Canvas;
class lmCheckListCtrl;
class MetricsPage;
class MetricsVisualizerSimple;
class RecentModels;
class UMLModelTree;
class UserDialogs;
class ViewControlStrip;

class mainFrame : public wxFrame, public CanvasOwner, public ViewerLink {
 public:
  // dialogs: where modal questions go (null: the toolkit's dialogs).
  mainFrame(const wxString& title, const wxPoint& position, const wxSize& size, UserDialogs* dialogs = nullptr);
  ~mainFrame() override;

  // The file commands. Each returns whether it changed what is loaded or
  // wrote the file; a failure has been shown to the user.
  bool openModel(const std::string& path);
  // Imports the C++ project of a compile_commands.json (or of a folder
  // holding one) with a progress dialog that can cancel; openModel does this
  // for such paths. Units that did not parse are listed in a message.
  // roots: the folders whose classes are kept (CppImportOptions::roots).
  bool importCppProject(const std::string& path, const std::vector<std::string>& roots = {});
  bool openMetrics(const std::string& path);
  // Reads every metrics file of the model again (after a new build): new
  // values, the same metrics shown with the same glyphs. Files that fail
  // keep what they gave; errors and notes are shown once.
  void reloadMetrics();
  void closeModel();
  bool saveDiagram(const std::string& path);
  // Writes the active window's view as it is shown (camera, metrics, areas,
  // legend) through the same drawing as the batch export: a raster image at
  // choice.scale times the window's size (the legend magnified as much), or
  // an SVG or PDF picture of the window's size. False, with a message naming
  // the file and the reason, when the view shows no diagram or the picture
  // could not be written.
  bool exportView(const std::string& path, const ExportChoice& choice);
  bool exportImage(const std::string& path, int scale, ImageFormat format);
  // "Save Configuration...": the loaded files, every setting, the metrics,
  // areas and glyph layout, and every window with its camera
  // (app/document/Configuration.h), written atomically. False, with a message naming
  // the file and the reason, when it could not be written.
  bool saveConfiguration(const std::string& path);
  // "Load configuration...": reads and checks the file, and reads the model
  // and metrics files it names aside where they differ from the loaded ones;
  // only then replaces them and applies the rest. A file that cannot be used
  // changes nothing and is reported; entries that were skipped are listed in
  // one message. commandLine: options given beside --config (merged as
  // mergeCommandLine says). False when nothing was applied.
  bool loadConfiguration(const std::string& path, const CommandLineOptions* commandLine = nullptr);

  // Opens what the command line names: the model, the metrics file, the
  // diagram (default: the first) as if chosen in the tree, and the named
  // metrics and areas checked in their lists. Every unknown name is listed
  // in one message; the rest still opens. With --config, loadConfiguration.
  void openFromCommandLine(const CommandLineOptions& options);

  // Shows the diagram in the active window as selecting its tree item does
  // (app/document/ShowDiagram.h), selects its tree item and repaints once.
  // False when it is not a loaded diagram.
  bool showDiagram(Diagram* diagram) override;

  // The event handlers the event table binds, public so that tests can send
  // the events the controls send.
  void onFileCommand(wxCommandEvent& event);
  void onToolCommand(wxCommandEvent& event);
  void onAbout(wxCommandEvent& event);
  // A recent model of the File menu: opened as "Open" opens it. A file
  // that is gone is taken off the list, with a message naming it.
  void onRecentModel(wxCommandEvent& event);
  // "&Find class...": asks for part of a name, offers the matching classes
  // of the active window's diagram and selects and centres the chosen one.
  void onFindClass(wxCommandEvent& event);
  // A "&View" item: switches its setting, redraws every window and
  // remembers it for the next start.
  void onViewSwitch(wxCommandEvent& event);
  // "&Arrange diagram": lays the active window's diagram out afresh off the
  // GUI thread (with the busy cursor and, when it takes long, the progress
  // dialog), then moves its shapes; a failure is reported naming the diagram.
  void onArrangeDiagram(wxCommandEvent& event);
  // The shapes of diagram moved all at once: every window showing it records
  // its scene again (the active one fitted) and the shown areas follow.
  void diagramRearranged(Diagram* diagram);
  // "&Edit": Undo, Redo, "Reset layout", "Preferences..." (EditCommands.h).
  void onEditCommand(wxCommandEvent& event);
  // A key in the canvas (CanvasKeys.h); others are left to the toolkit.
  void onCanvasKeyDown(wxKeyEvent& event);

  // CanvasOwner
  void activeWindowChanged(CanvasWindow* window, bool rootOnly) override;
  // A click on a glyph picked that metric: its row is highlighted and the
  // metrics page edits it.
  void metricPicked(const std::string& name) override;
  // The status bar names the element under the pointer.
  void pointerOver(const std::string& label) override;
  // A Ctrl-drag becomes an undoable move.
  void boxesDragged(CanvasWindow* window, const LayoutSnapshot& before) override;
  // View controls and layout sliders follow the window.
  void syncViewControls(CanvasWindow* window, bool singleWindow);

  // ViewerLink
  Canvas* canvas() override { return canvas_; }
  MetricsVisualizerSimple* painter() override { return painter_.get(); }
  MetricSet& metrics() override { return document_.metrics(); }
  AreaSet& areas() override { return document_.areas(); }
  SelectionManager& selection() override { return document_.selection(); }
  void metricSelected(Metric* metric) override;
  void areaSelected(const std::string& name) override;
  bool showArea(const std::string& name) override;
  void identifyShownAreasAgain(Diagram* diagram) override;
  void centreOnElement(Diagram* diagram, ModelElement* element) override;
  void refreshCanvas(bool erase = false) override;
  void refreshAreas() override;

  Document& document() { return document_; }
  UMLModelTree* modelTree() const { return tree_; }
  lmCheckListCtrl* metricList() const;
  AreaListCtrl* areaList() const;
  CanvasMouse& mouse() { return *mouse_; }
  MetricsPage* metricsPage() const { return metricsPage_; }
  AreasPage* areasPage() const { return areasPage_; }
  wxSplitterWindow* mainSplitter() const { return mainSplitter_; }
  wxSplitterWindow* leftSplitter() const { return leftSplitter_; }
  wxNotebook* notebook() const { return notebook_; }
  // The models opened last, remembered in the program's configuration
  // (wxConfigBase::Get(false) when the frame was made; none: not kept).
  RecentModels& recentModels() { return *recent_; }
  EditCommands& edit() { return *edit_; }
  // The status bar's fields from the state (StatusLine.h).
  void syncStatusBar();

 private:
  void buildLayout();
  void buildMenus();
  void buildToolBar();
  // Menu items 10071 and (once a metrics file was read) 10072, tool 10081.
  void enableOpenMetrics(bool on);
  // The menus, the tool bar, the view strip and the notebook pages brought
  // in line with the document (what is loaded, which metrics and areas are
  // shown).
  void sync();
  // showDiagram without the repaint, for callers that change more first.
  bool showDiagramQuietly(Diagram* diagram);
  // One repaint after the active window's content changed: the windows
  // whose recording went stale record once, the others replay.
  void redrawShown();
  // Empties the lists and tree and makes every panel forget what pointed
  // into the loaded model (selected metric and area, the mouse's target).
  void forgetShownModel();
  void showError(const std::string& title, const std::string& message);
  // What a read model's status notes (diagrams that could not be laid
  // out), one message for all; nothing when there are none.
  void showNotes(const std::string& title, const std::vector<std::string>& notes);
  // What reading metrics passed over, one line each, in one message.
  void showMetricsNotes(const std::string& title, const std::vector<std::string>& lines);
  // The model's first diagram in the active window, fitted (after "Open").
  void showFirstDiagram();
  // What opening a model or metrics file does once the file was read aside.
  void adoptModel(std::unique_ptr<LoadedModel> model, const std::string& path);
  void adoptMetrics(LoadedMetrics& metrics, const std::string& path);
  // The split layout, each window's diagram and camera and the active
  // window of a configuration (app/frame/FrameConfiguration.cpp). Returns the
  // active window's diagram.
  Diagram* restoreWindows(const Configuration& configuration, std::vector<std::string>& skipped);

  UserDialogs* dialogs_;
  Document document_;
  std::unique_ptr<MetricsVisualizerSimple> painter_;
  // One mouse handler serves every window (splits hand it on).
  std::unique_ptr<CanvasMouse> mouse_;
  std::unique_ptr<RecentModels> recent_;
  std::unique_ptr<EditCommands> edit_;
  std::string underPointer_;  // the label of the element under the pointer
  Canvas* canvas_ = nullptr;
  UMLModelTree* tree_ = nullptr;
  ViewControlStrip* strip_ = nullptr;
  wxNotebook* notebook_ = nullptr;
  MetricsPage* metricsPage_ = nullptr;
  AreasPage* areasPage_ = nullptr;
  wxSplitterWindow* mainSplitter_ = nullptr;
  wxSplitterWindow* leftSplitter_ = nullptr;

  wxDECLARE_EVENT_TABLE();
};

}  // namespace lumetra
