// Times moving a box with Ctrl in a view of a generated class diagram (see
// GeneratedModel.h): every mouse event of the drag goes through the canvas
// mouse handling as in the viewer, which moves the box, records again the
// parts of the view's scene that depend on it and redraws the view. Run
// under an X server, e.g.
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/drag_benchmark [--click] [--events N] [classes...]
//
// For each size it drags a class in the middle of the diagram and a class
// that is a member of an area, in the whole diagram fitted into the view
// and at zoom 1 on the class, and prints the median and the largest time
// per event with the parts recorded again per event; "full" rows record
// the whole scene again for each event instead, for comparison.
//
// With --click it times clicks that change the selection instead (select a
// class, Shift-add its neighbour, Shift-click the first off, click on empty
// space, over and over), in the fitted view and at zoom 1: each click picks,
// records again the parts showing what flipped and redraws the view; "full"
// rows record the whole scene for each click, as a click did before.

#include <GL/gl.h>
#include <wx/event.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "bench/draw/GeneratedModel.h"
#include "diagram/CanvasMouse.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "diagram/SelectionManager.h"
#include "platform/GLExtensions.h"
#include "render/Canvas.h"
#include "render/CanvasOwner.h"
#include "render/CanvasWindow.h"
#include "render/GLPainter.h"
#include "render/OffscreenGL.h"

using namespace lumetra;

using namespace lumetra::bench;

namespace {
int events = 40;  // --events N

// Processor time of the whole process (llvmpipe's rasterizer threads
// count), in ms; a machine shared with other work disturbs it less than
// wall time.
// Draws the window when asked, as the canvas does (without a buffer swap),
// and times what a move records.
class DrawingHost : public WindowHost {
 public:
  void refreshWindow(CanvasWindow* window, bool useCache) override { window->render(useCache); }
  void shapeMoved(CanvasWindow* window, DiagramElement* shape) override {
    const double start = cpuMs();
    record(window, shape);
    glFinish();
    recordCpu.push_back(cpuMs() - start);
    refreshWindow(window, true);
  }
  void selectionChanged(CanvasWindow* window, const SelectionChange& change) override {
    const double start = cpuMs();
    recordSelection(window, change);
    glFinish();
    recordCpu.push_back(cpuMs() - start);
    refreshWindow(window, true);
  }
  std::vector<double> recordCpu;

 protected:
  virtual void record(CanvasWindow* window, DiagramElement* shape) { window->shapeMoved(shape); }
  virtual void recordSelection(CanvasWindow* window, const SelectionChange& change) {
    window->selectionChanged(change);
  }
};

// Records the whole scene on every move or click instead of the parts that
// depend on the box or show the selection (compiled without drawing, as a
// recompile does).
class FullRecordingHost : public DrawingHost {
 protected:
  void record(CanvasWindow* window, DiagramElement*) override { recordAll(window); }
  void recordSelection(CanvasWindow* window, const SelectionChange&) override { recordAll(window); }

 private:
  static void recordAll(CanvasWindow* window) {
    window->invalidateDisplayList();
    window->render(true);
  }
};

wxMouseEvent event(wxEventType type, int x, int y, bool ctrl = true, bool shift = false) {
  wxMouseEvent e(type);
  e.SetPosition(wxPoint(x, y));
  e.SetLeftDown(true);
  e.SetControlDown(ctrl);
  e.SetShiftDown(shift);
  return e;
}

// The median of a plain replay of the view, for comparison.
double replayMedian(CanvasWindow& view) {
  std::vector<double> times;
  for (int i = 0; i < 9; ++i) {
    times.push_back(timeRun([&] { view.render(true); }, glFinish).wall);
  }
  return median(times);
}

struct DragFigures {
  double median = 0.0, largest = 0.0, cpu = 0.0;  // per event: wall, processor
  double recordCpu = 0.0;  // processor time of recording what the move changed
  double replay = 0.0;     // median of a plain replay of the view, for comparison
  int partsRecorded = 0;   // on the last drag event; the most of any click
};

// Presses on the class at the window centre, takes the view (fitted or
// not), then drags by 3 pixels per event.
DragFigures drag(CanvasWindow& view, DrawingHost& host, CanvasMouse& mouse, GeneratedModel& model,
                 const std::string& id, bool fitted) {
  DiagramElement* shape = model.diagrams.front()->findElement(id);
  const Vec2 start = *shape->getCurrentLayout()->getLowerLeft();
  view.resetCamera();
  view.centreOnShape(shape);
  const PointerEvent press = pointerEventOf(event(wxEVT_LEFT_DOWN, kWidth / 2, kHeight / 2));
  mouse.onMouse(view, press, kHeight);
  if (mouse.pressTarget() != shape->getModelElement()) {
    ModelElement* got = mouse.pressTarget();
    std::fprintf(stderr, "drag_benchmark: the press did not pick %s but %s\n", id.c_str(),
                 got ? got->getId().c_str() : "nothing");
    std::exit(1);
  }
  if (fitted) {
    Vec2 lo, hi;
    generatedBox(model, lo, hi);
    view.camera().zoomToFit(lo, hi, kWidth, kHeight);
  }
  view.render(false);
  glFinish();
  DragFigures f;
  f.replay = replayMedian(view);
  std::vector<double> times;
  host.recordCpu.clear();
  std::vector<double> cpu;
  for (int i = 1; i <= events; ++i) {
    const PointerEvent motion = pointerEventOf(event(wxEVT_MOTION, kWidth / 2 + 3 * i, kHeight / 2 + 2 * i));
    const RunTime t = timeRun([&] { mouse.onMouse(view, motion, kHeight); }, glFinish);
    times.push_back(t.wall);
    cpu.push_back(t.cpu);
  }
  f.cpu = median(cpu);
  f.recordCpu = median(host.recordCpu);
  f.partsRecorded = view.partsRecordedAgain();
  f.median = median(times);
  f.largest = *std::max_element(times.begin(), times.end());
  // Back where it was, for the next run.
  const Vec2 moved = *shape->getCurrentLayout()->getLowerLeft() - start;
  CanvasMouse::moveShape(shape, -moved.x, -moved.y);
  view.invalidateDisplayList();
  return f;
}

// The mouse position (y down) of diagram point p in the view.
wxPoint pointerAt(const CanvasWindow& view, Vec2 p) {
  const Vec3 ndc = (view.viewMatrix(0) * view.projectionMatrix(0)).transformPoint({p.x, p.y, 0.0f});
  const float x = (ndc.x + 1.0f) * 0.5f * static_cast<float>(view.width());
  const float y = (ndc.y + 1.0f) * 0.5f * static_cast<float>(view.height());
  return wxPoint(static_cast<int>(std::lround(x)), view.height() - static_cast<int>(std::lround(y)));
}

// Clicks in the view (fitted, or at zoom 1 on class id), with the glyphs
// in the middle 30 % of their boxes so that a box is clicked beside them:
// id alone, Shift on neighbour, Shift on id again, a glyph
// of id (its metric alone), then on empty space (below the diagram when
// fitted, between two rows at zoom 1), repeated.
DragFigures clicks(CanvasWindow& view, DrawingHost& host, CanvasMouse& mouse, GeneratedModel& model,
                   MetricsVisualizerSimple& painter, const std::string& id, const std::string& neighbour,
                   bool fitted) {
  SelectionManager& selection = *painter.selectionManager();
  DiagramElement* shape = model.diagrams.front()->findElement(id);
  DiagramElement* next = model.diagrams.front()->findElement(neighbour);
  Vec2 lo, hi;
  generatedBox(model, lo, hi);
  view.resetCamera();
  if (fitted) view.camera().zoomToFit(lo, hi, kWidth, kHeight);
  else view.centreOnShape(shape);
  // Near the lower left corner of a box, inside it (the line from the end
  // of one row to the start of the next passes nearer the upper edge).
  const auto corner = [](DiagramElement* box) { return *box->getCurrentLayout()->getLowerLeft() + Vec2(6.0f, 6.0f); };
  const Vec2 shapeLow = *shape->getCurrentLayout()->getLowerLeft();
  const Vec2 empty = fitted ? Vec2((lo.x + hi.x) * 0.5f, lo.y - 0.02f * (hi.y - lo.y)) : shapeLow - Vec2(-20.0f, 20.0f);
  Vec2 glyphLo, glyphHi;
  painter.glyphRectangle(model.metrics.getShownMetrics().front()->getName(), shapeLow,
                         *shape->getCurrentLayout()->getUpperRight(), true, glyphLo, glyphHi);
  struct Click {
    wxPoint at;
    bool shift;
    std::size_t elements, metrics;  // selected afterwards
  };
  const Click cycle[] = {
      {pointerAt(view, corner(shape)), false, 1, 0},
      {pointerAt(view, corner(next)), true, 2, 0},
      {pointerAt(view, corner(shape)), true, 1, 0},
      {pointerAt(view, (glyphLo + glyphHi) * 0.5f), false, 0, 1},
      {pointerAt(view, empty), false, 0, 0},
  };
  constexpr int kCycle = static_cast<int>(sizeof cycle / sizeof cycle[0]);
  selection.clear();
  view.render(false);
  glFinish();
  DragFigures f;
  f.replay = replayMedian(view);
  host.recordCpu.clear();
  std::vector<double> times, cpu;
  for (int i = 0; i < events; ++i) {
    const Click& click = cycle[i % kCycle];
    const PointerEvent press = pointerEventOf(event(wxEVT_LEFT_DOWN, click.at.x, click.at.y, false, click.shift));
    const RunTime t = timeRun([&] { mouse.onMouse(view, press, kHeight); }, glFinish);
    times.push_back(t.wall);
    cpu.push_back(t.cpu);
    f.partsRecorded = std::max(f.partsRecorded, view.partsRecordedAgain());
    if (selection.selectedElements().size() != click.elements || selection.selectedMetrics().size() != click.metrics) {
      std::fprintf(stderr, "drag_benchmark: click %d at (%d, %d) left %zu elements and %zu metrics selected\n", i,
                   click.at.x, click.at.y, selection.selectedElements().size(), selection.selectedMetrics().size());
      for (ModelElement* e : selection.selectedElements()) std::fprintf(stderr, "  %s\n", e->getId().c_str());
      std::exit(1);
    }
  }
  f.cpu = median(cpu);
  f.recordCpu = median(host.recordCpu);
  f.median = median(times);
  f.largest = *std::max_element(times.begin(), times.end());
  selection.clear();
  view.invalidateDisplayList();
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  bool clicking = false;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--click") {
      clicking = true;
      continue;
    }
    if (std::string(argv[i]) == "--events" && i + 1 < argc) {
      events = std::max(1, std::atoi(argv[++i]));
      continue;
    }
    sizes.push_back(std::atoi(argv[i]));
  }
  if (sizes.empty()) sizes = {1000, 5000};
  try {
    OffscreenGL gl(kWidth, kHeight);
    loadDefaultFont();
    applyFixedGLState();
    std::printf("%s, %dx%d view; ms per %s over %d events\n",
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)), kWidth, kHeight,
                clicking ? "selecting click" : "drag event", events);
    std::printf("%8s %-6s %-7s %-6s %20s %11s %11s %s\n", "classes", "class", "view", "record",
                "event wall med/max", "event cpu", "record cpu", "replay wall, parts recorded / all");
    for (int classes : sizes) {
      GeneratedModel model;
      generate(model, classes);
      SelectionManager selection;
      MetricsVisualizerSimple painter;
      painter.setBlendEquation(lookupBlendEquation());
      painter.setSelectionManager(&selection);
      painter.setMetricSet(&model.metrics);
      painter.setAreas(&model.areas);
      if (clicking) painter.setGlyphAreaSize(0.3f);
      // A class in the middle of the grid, and one inside the first area.
      const std::string middle = "C" + std::to_string(classes / 2 + 60);
      const std::string member = "C" + std::to_string((classes / 4) - 10 + 5);
      const std::vector<std::string> targets =
          clicking ? std::vector<std::string>{middle} : std::vector<std::string>{middle, member};
      DrawingHost partial;
      FullRecordingHost full;
      for (DrawingHost* host : {static_cast<DrawingHost*>(&partial), static_cast<DrawingHost*>(&full)}) {
        CanvasWindow view(host, 0, 0, kWidth, kHeight);
        CanvasMouse mouse;
        view.setVisualizer(&painter);
        view.setDiagram(model.diagrams.front());
        for (const std::string& id : targets)
          for (bool fitted : {true, false}) {
            const DragFigures f = clicking ? clicks(view, *host, mouse, model, painter, id,
                                                    "C" + std::to_string(classes / 2 + 62), fitted)
                                           : drag(view, *host, mouse, model, id, fitted);
            std::printf("%8d %-6s %-7s %-6s %9.1f /%9.1f %11.1f %11.1f %9.1f, %d / %d\n", classes, id.c_str(),
                        fitted ? "fitted" : "zoom 1", host == &partial ? "parts" : "full", f.median, f.largest, f.cpu,
                        f.recordCpu, f.replay, host == &partial ? f.partsRecorded : view.scenePartCount(),
                        view.scenePartCount());
            std::fflush(stdout);
          }
      }
    }
    FontRegistry::instance().clear();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "drag_benchmark: %s\n", e.what());
    return 1;
  }
  return 0;
}
