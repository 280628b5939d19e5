// Times the diagram painter on generated class diagrams: recompiling a
// view's display list, replaying it, and one pick, each as the median of
// several runs. Run under an X server, e.g.
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/draw_benchmark [classes...]
//
// Each class has 4 attributes and 4 operations and one association or
// generalization to its neighbour; 3 integer metrics are shown on every class
// and 3 inner areas of 20 members each are identified. The view is 1280 x
// 1024 at zoom 1 on the diagram's centre (the generated diagram has no box
// of its own to fit), with every setting at its default; "fitted" shows the
// whole diagram. Variants without
// text and without areas show where the time goes; "uncached" draws the
// area pass inside the display list and text through the font's own
// per-glyph drawing; "unculled" replays every recorded part of the scene,
// in view or not; "new areas" changes the areas before every recompile, so
// the area picture is rendered anew each time (otherwise a recompile keeps
// the picture when the areas did not change).

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "areas/Area.h"
#include "areas/AreaVisualizerInner.h"
#include "bench/BenchTiming.h"
#include "bench/draw/GeneratedModel.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "diagram/SelectionManager.h"
#include "metrics/Metric.h"
#include "metrics/MetricParser.h"
#include "metrics/MetricSet.h"
#include "model/Model.h"
#include "modelfiles/ModelLoader.h"
#include "platform/GLExtensions.h"
#include "render/Canvas.h"
#include "render/CanvasWindow.h"
#include "render/GLPainter.h"
#include "render/OffscreenGL.h"
#include "render/PieceReorder.h"
#include "settings/SettingsStore.h"

using namespace lumetra;

using namespace lumetra::bench;

namespace {


// Median wall time in ms; cpu receives the median processor time of the
// process (all threads), which a busy machine disturbs less.
double timeMs(const std::function<void()>& action, int runs, double* cpu = nullptr) {
  std::vector<double> times, cpuTimes;
  for (int i = 0; i < runs; ++i) {
    const RunTime t = timeRun(action, glFinish);
    times.push_back(t.wall);
    cpuTimes.push_back(t.cpu);
  }
  if (cpu) *cpu = median(cpuTimes);
  return median(times);
}

// --in-order: parts are recorded in the painter's order (no piece
// reordering), for comparison.
bool gInOrder = false;

struct Figures {
  double recompile, replay, pick;
  double recompileCpu, replayCpu, pickCpu;
  std::size_t hits;
};

// changeAreas: every recompile follows a change of the areas' alpha, so
// the area picture cannot be kept from the last recompile.
Figures measure(GeneratedModel& model, CanvasWindow& view, MetricsVisualizerSimple& painter, int runs,
                bool changeAreas = false) {
  Figures f{};
  view.render(false);  // warm up: font textures, area textures
  const float alpha = painter.getAreaAlpha();
  int recompiles = 0;
  f.recompile = timeMs(
      [&] {
        if (changeAreas) painter.setAreaAlpha(++recompiles % 2 ? alpha * 1.05f : alpha);
        view.render(false);
      },
      runs, &f.recompileCpu);
  painter.setAreaAlpha(alpha);
  if (changeAreas) view.render(false);
  f.replay = timeMs([&] { view.render(true); }, runs * 2, &f.replayCpu);
  Diagram* diagram = model.diagrams.front();
  f.pick = timeMs(
      [&] {
        view.loadPickMatrices(kWidth / 2.0, kHeight / 2.0, 4.0);
        PickResult result;
        painter.pick(result, diagram);
        f.hits = result.size();
      },
      runs * 2, &f.pickCpu);
  return f;
}

// The generated diagram has no box of its own, so setDiagram leaves the
// camera at zoom 1 on the centre; this shows the whole diagram.
void fitWhole(GeneratedModel& model, CanvasWindow& view) {
  Vec2 lo, hi;
  generatedBox(model, lo, hi);
  view.camera().zoomToFit(lo, hi, kWidth, kHeight);
}

void setText(bool on) {
  settings().setBool("Visualizer.General.ElementNames", on);
  settings().setBool("Visualizer.General.Attributes", on);
  settings().setBool("Visualizer.General.Methods", on);
}

}  // namespace

// The painter as the viewer sets it up for a loaded model.
void setUpPainter(MetricsVisualizerSimple& painter, SelectionManager& selection, GeneratedModel& model) {
  painter.setBlendEquation(lookupBlendEquation());
  painter.setSelectionManager(&selection);
  painter.setMetricSet(&model.metrics);
  painter.setAreas(&model.areas);
}

// One window showing the diagram with the viewer's painter, set up as the
// viewer sets them up (fullDetail: the level of detail off).
struct BenchView {
  BenchView(GeneratedModel& model, Diagram* diagram, bool fullDetail) : view(&host, 0, 0, kWidth, kHeight) {
    setUpPainter(painter, selection, model);
    view.setPieceReordering(!gInOrder);
    view.setLevelOfDetail(!fullDetail);
    view.setVisualizer(&painter);
    view.setDiagram(diagram);
  }
  OffscreenWindowHost host;
  SelectionManager selection;
  MetricsVisualizerSimple painter;
  CanvasWindow view;
};

void printRow(const char* label, const char* variant, const Figures& f, const CanvasWindow& view) {
  std::printf("%8s %-16s %9.1f /%7.1f %9.1f /%7.1f %9.1f /%7.1f %6zu %5d/%d\n", label, variant, f.recompile,
              f.recompileCpu, f.replay, f.replayCpu, f.pick, f.pickCpu, f.hits, view.scenePartsReplayed(),
              view.scenePartCount());
  std::fflush(stdout);
}

// --model FILE [--metrics FILE] [--diagram NAME] [--metric NAME]... [--area
// NAME]...: a model read from a file, as the viewer opens it (zoomed to fit
// when the diagram has a box), then at four times that zoom on the centre.
struct ModelRun {
  std::string model, metricsFile, diagram;
  std::vector<std::string> metrics, areas;
  bool fullDetail = false;
};

int runModel(const ModelRun& run) {
  GeneratedModel model;
  const LoadStatus status = loadModel(run.model, model.diagrams, model.pool);
  if (!status.ok()) {
    std::fprintf(stderr, "draw_benchmark: cannot read model %s\n", status.message().c_str());
    return 1;
  }
  if (!run.metricsFile.empty()) {
    MetricParser parser(&model.metrics, &model.areas);
    if (!parser.load(run.metricsFile)) {
      std::fprintf(stderr, "draw_benchmark: cannot read metrics file %s\n", parser.lastError().c_str());
      return 1;
    }
  }
  for (const std::string& name : run.metrics) {
    if (!model.metrics.findMetric(name)) {
      std::fprintf(stderr, "draw_benchmark: unknown metric '%s'\n", name.c_str());
      return 1;
    }
    model.metrics.showMetric(name);
  }
  // The diagram measured goes first: the pick times the front diagram.
  auto chosen = model.diagrams.begin();
  if (!run.diagram.empty())
    chosen = std::find_if(model.diagrams.begin(), model.diagrams.end(),
                          [&](Diagram* d) { return d->getName() == run.diagram; });
  if (chosen == model.diagrams.end()) {
    std::fprintf(stderr, "draw_benchmark: no diagram '%s' in %s\n", run.diagram.c_str(), run.model.c_str());
    return 1;
  }
  std::rotate(model.diagrams.begin(), chosen, chosen + 1);
  Diagram* diagram = model.diagrams.front();
  for (const std::string& name : run.areas) {
    if (!showArea(model.areas, diagram, name)) {
      std::fprintf(stderr, "draw_benchmark: unknown area '%s'\n", name.c_str());
      return 1;
    }
  }

  OffscreenGL gl(kWidth, kHeight);
  loadDefaultFont();
  applyFixedGLState();
  std::printf("%s, %dx%d view; %s, diagram '%s' (%zu shapes); medians in ms\n",
              reinterpret_cast<const char*>(glGetString(GL_RENDERER)), kWidth, kHeight, run.model.c_str(),
              diagram->getName().c_str(), diagram->getElementCount());
  std::printf("%8s %-16s %18s %18s %18s %6s %s\n", "zoom", "view", "recompile wall/cpu", "replay wall/cpu",
              "pick wall/cpu", "hits", "parts replayed");
  {
    BenchView shown(model, diagram, run.fullDetail);
    CanvasWindow& view = shown.view;
    MetricsVisualizerSimple& painter = shown.painter;
    const float fittedZoom = view.camera().zoom;
    char label[32];
    std::snprintf(label, sizeof label, "%.3g", fittedZoom);
    printRow(label, "opened", measure(model, view, painter, 9), view);
    view.setZoom(fittedZoom * 4.0f);
    std::snprintf(label, sizeof label, "%.3g", fittedZoom * 4.0f);
    printRow(label, "opened x4", measure(model, view, painter, 9), view);
  }
  FontRegistry::instance().clear();
  return 0;
}

int main(int argc, char** argv) {
  std::vector<int> sizes;
  // --replay-loop N: after a compile, only replays the full view N times
  // (for a profiler) and prints their median.
  int replayLoop = 0;
  // --pan-loop N: the same, each replay under a view panned by a pixel.
  int panLoop = 0;
  // --recompile-loop N: the same with recompiles.
  int recompileLoop = 0;
  // --prepare-loop N: times what a recompile renders ahead of the list.
  int prepareLoop = 0;
  // --pick-loop N: the same with picks at the view's centre.
  int pickLoop = 0;
  // --fitted: the loops show the whole diagram.
  bool fitted = false;
  // --dump FILE: after a compile and a replay of the first size, writes
  // the view as a binary PPM (for comparing versions) and stops.
  std::string dump;
  // --zoom Z: every view but the fitted ones looks at the diagram's centre
  // at zoom Z (1 by default).
  float zoom = 1.0f;
  // --full-detail: level of detail off (everything drawn in full, as the
  // viewer's setting turns it off).
  bool fullDetail = false;
  // --goals: only the rows the goals are set for (the whole diagram fitted,
  // with and without level of detail), no breakdown.
  bool goals = false;
  ModelRun modelRun;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 < argc) {
      std::string* slot = arg == "--model" ? &modelRun.model
                          : arg == "--metrics" ? &modelRun.metricsFile
                          : arg == "--diagram" ? &modelRun.diagram
                                               : nullptr;
      if (slot != nullptr) {
        *slot = argv[++i];
        continue;
      }
      if (arg == "--metric" || arg == "--area") {
        (arg == "--metric" ? modelRun.metrics : modelRun.areas).push_back(argv[++i]);
        continue;
      }
    }
    if (arg == "--zoom" && i + 1 < argc) {
      zoom = static_cast<float>(std::atof(argv[++i]));
      continue;
    }
    if (arg == "--dump" && i + 1 < argc) {
      dump = argv[++i];
      continue;
    }
    const std::pair<const char*, int*> counts[] = {{"--replay-loop", &replayLoop},
                                                   {"--pan-loop", &panLoop},
                                                   {"--recompile-loop", &recompileLoop},
                                                   {"--pick-loop", &pickLoop},
                                                   {"--prepare-loop", &prepareLoop}};
    const std::pair<const char*, bool*> switches[] = {
        {"--fitted", &fitted}, {"--full-detail", &fullDetail}, {"--in-order", &gInOrder}, {"--goals", &goals}};
    const auto count = std::find_if(std::begin(counts), std::end(counts), [&](auto& c) { return arg == c.first; });
    if (count != std::end(counts) && i + 1 < argc) {
      *count->second = std::atoi(argv[++i]);
      continue;
    }
    const auto on = std::find_if(std::begin(switches), std::end(switches), [&](auto& c) { return arg == c.first; });
    if (on != std::end(switches)) {
      *on->second = true;
      continue;
    }
    sizes.push_back(std::atoi(argv[i]));
  }
  if (!modelRun.model.empty()) {
    modelRun.fullDetail = fullDetail;
    try {
      return runModel(modelRun);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "draw_benchmark: %s\n", e.what());
      return 1;
    }
  }
  if (sizes.empty()) sizes = {1000, 5000};

  try {
    OffscreenGL gl(kWidth, kHeight);
    loadDefaultFont();
    applyFixedGLState();
    std::printf("%s, %dx%d view; medians in ms\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)), kWidth,
                kHeight);
    std::printf("%8s %-16s %18s %18s %18s %6s %s\n", "classes", "variant", "recompile wall/cpu", "replay wall/cpu",
                "pick wall/cpu", "hits", "parts replayed");
    for (int classes : sizes) {
      GeneratedModel model;
      generate(model, classes);
      {
        BenchView shown(model, model.diagrams.front(), fullDetail);
        CanvasWindow& view = shown.view;
        MetricsVisualizerSimple& painter = shown.painter;
        const int runs = classes > 2000 ? 5 : 9;
        view.setZoom(zoom);
        if (!dump.empty()) {
          view.setZoom(zoom);
          if (fitted) fitWhole(model, view);
          view.render(false);
          view.render(true);
          glFinish();
          std::vector<unsigned char> rgb(static_cast<std::size_t>(kWidth) * kHeight * 3);
          glPixelStorei(GL_PACK_ALIGNMENT, 1);
          glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
          if (FILE* out = std::fopen(dump.c_str(), "wb")) {
            std::fprintf(out, "P6\n%d %d\n255\n", kWidth, kHeight);
            std::fwrite(rgb.data(), 1, rgb.size(), out);
            std::fclose(out);
          }
          break;
        }
        if (replayLoop > 0 || panLoop > 0 || recompileLoop > 0 || prepareLoop > 0 || pickLoop > 0) {
          if (fitted) fitWhole(model, view);
          else view.setZoom(zoom);
          view.render(false);
          if (replayLoop > 0) {
            double cpu = 0.0;
            // The calling thread's own share: the renderer's front end runs on it.
            const double threadStart = cpuMs(CLOCK_THREAD_CPUTIME_ID);
            const double wall = timeMs([&] { view.render(true); }, replayLoop, &cpu);
            const double thread = (cpuMs(CLOCK_THREAD_CPUTIME_ID) - threadStart) / replayLoop;
            std::printf("%8d %-16s %9.1f /%7.1f  this thread (mean) %7.1f\n", classes, "replay loop", wall, cpu, thread);
          }
          if (panLoop > 0) {
            // Each replay under a view panned by a pixel, back and forth:
            // the window checks its reordered parts under every new view.
            const Vec2 home = view.camera().pan;
            int step = 0;
            double cpu = 0.0;
            const double wall = timeMs(
                [&] {
                  view.camera().pan = home + Vec2((++step % 2 ? 1.0f : -1.0f) / view.zoom(), 0.0f);
                  view.render(true);
                },
                panLoop, &cpu);
            std::printf("%8d %-16s %9.1f /%7.1f  recordings %d, parts reordered %d\n", classes, "pan loop", wall, cpu,
                        view.sceneRecordings(), view.reorderedParts());
          }
          if (recompileLoop > 0) {
            double cpu = 0.0;
            const double wall = timeMs([&] { view.render(false); }, recompileLoop, &cpu);
            std::printf("%8d %-16s %9.1f /%7.1f\n", classes, "recompile loop", wall, cpu);
          }
          if (pickLoop > 0) {
            double cpu = 0.0;
            const double wall = timeMs(
                [&] {
                  view.loadPickMatrices(kWidth / 2.0, kHeight / 2.0, 4.0);
                  PickResult result;
                  painter.pick(result, model.diagrams.front());
                },
                pickLoop, &cpu);
            std::printf("%8d %-16s %9.1f /%7.1f\n", classes, "pick loop", wall, cpu);
          }
          if (prepareLoop > 0) {
            // What a recompile renders ahead of the list (the area picture),
            // under the view's matrices.
            glMatrixMode(GL_PROJECTION);
            glLoadMatrixf(view.projectionMatrix(0).data());
            glMatrixMode(GL_MODELVIEW);
            glLoadMatrixf(view.viewMatrix(0).data());
            std::unique_ptr<PreparedScene> scene;
            double cpu = 0.0;
            const double wall = timeMs([&] { painter.prepare(model.diagrams.front(), scene); }, prepareLoop, &cpu);
            std::printf("%8d %-16s %9.1f /%7.1f\n", classes, "prepare", wall, cpu);
          }
          glFinish();
          continue;
        }

        const std::string label = std::to_string(classes);
        auto report = [&](const std::string& variant, bool changeAreas = false) {
          printRow(label.c_str(), variant.c_str(), measure(model, view, painter, runs, changeAreas), view);
        };
        // Where the time goes: the same view without the caches, without
        // text, areas or glyphs, and with boxes, shadows and relations alone.
        auto breakdown = [&](const std::string& prefix) {
          // The area pass drawn in every replay and text through the font's
          // own per-glyph drawing, as the painter did before the caches.
          painter.setAreaCaching(false);
          GLPainter::setTextBatching(false);
          report(prefix + "uncached");
          painter.setAreaCaching(true);
          GLPainter::setTextBatching(true);
          setText(false);
          report(prefix + "no text");
          setText(true);
          painter.setAreas(nullptr);
          report(prefix + "no areas");
          painter.setAreas(&model.areas);
          for (const char* metric : {"M0", "M1", "M2"}) model.metrics.hideMetric(metric);
          report(prefix + "no glyphs");
          painter.setAreas(nullptr);
          setText(false);
          report(prefix + "bare");
          setText(true);
          painter.setAreas(&model.areas);
          for (const char* metric : {"M0", "M1", "M2"}) model.metrics.showMetric(metric);
        };
        if (goals) {
          fitWhole(model, view);
          view.setLevelOfDetail(false);
          report("fitted, full");
          view.setLevelOfDetail(true);
          report("fitted, LOD");
          continue;
        }
        report("full");
        report("new areas", true);
        // Every recorded part replayed, as if the whole diagram were in view.
        view.setPartCulling(false);
        report("unculled");
        view.setPartCulling(true);
        breakdown("");
        fitWhole(model, view);
        report("fitted");
        report("fitted new areas", true);
        breakdown("fitted ");
      }
    }
    FontRegistry::instance().clear();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "draw_benchmark: %s\n", e.what());
    return 1;
  }
  // What recording parts grouped by kind saved, over the whole run.
  const PieceReorder::Counts counts = PieceReorder::counts();
  std::printf("held-back primitives %lu: runs of one kind %lu in the painter's order, %lu drawn\n", counts.primitives,
              counts.runsInOrder, counts.runsDrawn);
  return 0;
}
