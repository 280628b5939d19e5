// viewer_benchmark CLASSES [SESSIONS]: generates a model of CLASSES classes
// on one diagram with its metrics file (bench/load/SyntheticXmi.h), then runs
// SESSIONS sessions (default 3) of what a user does with it in the real main
// frame, each in a new frame: opening it as the command line does (model,
// metrics, diagram, three metrics, a small and the large area), checking a
// metric and an area, wheel zoom steps, a click on a class, Find class, an
// expose of the canvas, closing the model, opening it again step by step and
// once more over itself. Each action ends when the toolkit has handled what
// it queued (paints included).
//
// Printed per action, medians over the sessions: elapsed and processor time
// (ms), the canvas paint events and the whole-scene recordings of the
// canvas windows it caused.
#include <unistd.h>
#include <wx/app.h>
#include <wx/listctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/panels/CheckListCtrl.h"
#include "app/commands/CommandLine.h"
#include "app/panels/WindowIds.h"
#include "app/frame/mainFrame.h"
#include "bench/BenchTiming.h"
#include "bench/load/SyntheticXmi.h"
#include "model/Diagram.h"
#include "render/Canvas.h"
#include "tests/app/FrameTestSupport.h"

namespace lumetra {
namespace {

struct Sample {
  double wallMs, cpuMs;
  int paints, recordings;
};

// Counts the canvas's paint events.
class PaintCounter : public wxEventFilter {
 public:
  explicit PaintCounter(wxWindow* canvas) : canvas_(canvas) { wxEvtHandler::AddFilter(this); }
  ~PaintCounter() override { wxEvtHandler::RemoveFilter(this); }
  int FilterEvent(wxEvent& event) override {
    if (event.GetEventType() == wxEVT_PAINT && event.GetEventObject() == canvas_) ++count;
    return Event_Skip;
  }
  int count = 0;

 private:
  wxWindow* canvas_;
};

int recordings(Canvas* canvas) {
  int sum = 0;
  for (WindowNode* leaf : canvas->tree().leaves()) sum += leaf->window->sceneRecordings();
  return sum;
}

class Session {
 public:
  std::map<std::string, std::vector<Sample>>& samples;
  std::vector<std::string>& order;
  FrameHarness harness;

  // Runs the action and settles; records it under name.
  void time(const std::string& name, const std::function<void()>& action) {
    PaintCounter paints(harness.frame().canvas());
    const int recorded = recordings(harness.frame().canvas());
    const auto start = std::chrono::steady_clock::now();
    const double cpu = bench::cpuMs();
    action();
    FrameHarness::settle();
    const double cpuTaken = bench::cpuMs() - cpu;
    const double wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (samples.find(name) == samples.end()) order.push_back(name);
    samples[name].push_back({wall, cpuTaken, paints.count, recordings(harness.frame().canvas()) - recorded});
  }

  // A click on the picture of the named row, as the list reports it: the
  // press reaches the rows' window, then the list selects the row.
  void clickRowPicture(lmCheckListCtrl* list, const std::string& name) {
    const long row = list->findRow(name);
    if (row < 0) {
      std::fprintf(stderr, "no row %s\n", name.c_str());
      std::exit(1);
    }
    wxRect rect;
    list->GetItemRect(row, rect);
    wxWindow* rows = list->GetChildren().empty() ? list : list->GetChildren().front();
    wxMouseEvent press(wxEVT_LEFT_DOWN);
    press.SetEventObject(rows);
    press.SetPosition(wxPoint(rect.x + 8, rect.y + rect.height / 2));
    rows->ProcessWindowEvent(press);
    wxListEvent selected(wxEVT_LIST_ITEM_SELECTED, list->GetId());
    selected.SetEventObject(list);
    selected.m_itemIndex = row;
    list->ProcessWindowEvent(selected);
  }

  void wheel(int rotation) {
    Canvas* canvas = harness.frame().canvas();
    wxMouseEvent event(wxEVT_MOUSEWHEEL);
    event.SetEventObject(canvas);
    event.SetPosition(wxPoint(canvas->GetClientSize().GetWidth() / 2, canvas->GetClientSize().GetHeight() / 2));
    event.m_wheelRotation = rotation;
    event.m_wheelDelta = 120;
    event.m_wheelAxis = wxMOUSE_WHEEL_VERTICAL;
    canvas->ProcessWindowEvent(event);
  }
};

void runSession(const std::string& xmi, const std::string& met, int classes,
                std::map<std::string, std::vector<Sample>>& samples, std::vector<std::string>& order) {
  Session s{samples, order};
  mainFrame& frame = s.harness.frame();
  CommandLineOptions options;
  options.model = xmi;
  options.metricsFile = met;
  options.metrics = {"Lines of code", "Operations", "Coupling"};
  options.areas = {"Area 1", "Large area"};
  s.time("open from the command line", [&] { frame.openFromCommandLine(options); });
  s.time("check a metric row", [&] { s.clickRowPicture(frame.metricList(), "Public"); });
  s.time("check an area row", [&] { s.clickRowPicture(frame.areaList(), "Area 3"); });
  for (int i = 0; i < 3; ++i) s.time("wheel zoom in", [&] { s.wheel(240); });
  for (int i = 0; i < 3; ++i) s.time("wheel zoom out", [&] { s.wheel(-240); });
  Diagram* diagram = frame.document().diagrams().front();
  DiagramElement* shape = firstShapeOfType(diagram, "Class");
  const wxPoint at = s.harness.centreOn(shape);
  FrameHarness::settle();
  s.time("click on a class", [&] { s.harness.leftClick(at); });
  s.time("click on the background", [&] { s.harness.leftClick(wxPoint(at.x, at.y + 200)); });
  s.harness.dialogs.answers = {"Class" + std::to_string(classes / 3)};
  s.harness.dialogs.choiceAnswers = {0};
  s.time("find class", [&] { s.harness.command(ids::FindClass); });
  // What a menu or dialog closed over the canvas leaves: an expose.
  s.time("expose (a dialog closed over it)", [&] {
    frame.canvas()->Refresh(false);
    frame.canvas()->Update();
  });
  s.time("close model", [&] { s.harness.command(ids::CloseModel); });
  s.time("open model", [&] { frame.openModel(xmi); });
  s.time("open metrics", [&] { frame.openMetrics(met); });
  s.time("choose the diagram in the tree", [&] { frame.showDiagram(frame.document().diagrams().front()); });
  s.time("open the model over itself", [&] { frame.openModel(xmi); });
}

}  // namespace
}  // namespace lumetra

namespace {
class BenchApp : public wxApp {
 public:
  bool OnInit() override { return true; }
};
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::atoi(argv[1]) < 1) {
    std::fprintf(stderr, "usage: %s CLASSES [SESSIONS]\n", argv[0]);
    return 2;
  }
  const int classes = std::atoi(argv[1]);
  const int sessions = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("lumetra-viewer-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string xmi = (dir / "model.xmi").string(), met = (dir / "model.met").string();
  lumetra::bench::SyntheticModel model;
  model.classes = classes;
  if (!lumetra::bench::writeSyntheticXmi(xmi, model) || !lumetra::bench::writeSyntheticMetrics(met, model)) {
    std::fprintf(stderr, "cannot write the model into %s\n", dir.c_str());
    return 1;
  }
  wxApp::SetInstance(new BenchApp);
  int wxArgc = 1;
  if (!wxEntryStart(wxArgc, argv) || !wxTheApp->CallOnInit()) {
    std::fprintf(stderr, "cannot start wxWidgets (no display?)\n");
    return 1;
  }
  std::map<std::string, std::vector<lumetra::Sample>> samples;
  std::vector<std::string> order;
  for (int i = 0; i < sessions; ++i) lumetra::runSession(xmi, met, classes, samples, order);
  std::printf("%d classes, %d sessions: medians per action\n", classes, sessions);
  std::printf("%-32s %10s %10s %7s %11s\n", "action", "wall ms", "cpu ms", "paints", "recordings");
  for (const std::string& name : order) {
    std::vector<double> wall, cpu, paints, recorded;
    for (const lumetra::Sample& s : samples[name]) {
      wall.push_back(s.wallMs);
      cpu.push_back(s.cpuMs);
      paints.push_back(s.paints);
      recorded.push_back(s.recordings);
    }
    std::printf("%-32s %10.1f %10.1f %7.0f %11.0f\n", name.c_str(), lumetra::bench::median(wall),
                lumetra::bench::median(cpu), lumetra::bench::median(paints), lumetra::bench::median(recorded));
  }
  wxTheApp->OnExit();
  wxEntryCleanup();
  std::filesystem::remove_all(dir);
  return 0;
}
