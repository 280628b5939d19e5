// Times the "Outer" area painter in a view and reports on the outlines it
// builds. Run under an X server:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/outer_area_benchmark [classes] [areas] [--dump FILE]
//     [--slider-drag]
//
// --dump FILE writes the fitted view with the areas at their defaults as a
// PPM picture and stops; --method NAME and --mode NAME draw the areas that
// way ("Polygons", "Splatting", "Line"; "Area", "Contour"). --slider-drag
// times only the slider drags.
//
// The model is the load benchmark's generated class diagram (default 500
// classes, 40 to a row, boxes 300 x 260 every 400 x 360 units), with
// `areas` (default 20) "Outer" areas of 10 to 40 members each: grid cells
// grown at random around a starting cell, so that areas are irregular and
// non-member boxes lie between their members. The view shows the whole
// diagram (1280 x 1024).
//
// Timings, medians in ms (wall and processor time of all threads):
//   - recompiling the view with no area shown, and with all areas shown
//     when none changed (outlines kept, the area picture kept);
//   - the same with every outline rebuilt on each recompile;
//   - recompiling after one member box of one area moved, or of several;
//   - each slider dragged across its range, per step: set, then the view
//     recorded in full, or only its area picture rendered again and the
//     kept diagram replayed.
// Quality, over several generated layouts: member box corners and centres
// outside the filled outline at 0 iterations, areas with an empty outline,
// and how many outlines cross a non-member box before and after contraction.

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "areas/Area.h"
#include "areas/AreaVisualizerOuter.h"
#include "bench/BenchTiming.h"
#include "bench/draw/GeneratedModel.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "diagram/SelectionManager.h"
#include "metrics/MetricSet.h"
#include "model/Diagram.h"
#include "modelfiles/ModelLoader.h"
#include "platform/GLExtensions.h"
#include "render/Canvas.h"
#include "render/CanvasOwner.h"
#include "render/CanvasWindow.h"
#include "render/DefaultFont.h"
#include "render/GLPainter.h"
#include "render/OffscreenGL.h"

using namespace lumetra;

using namespace lumetra::bench;

namespace {
constexpr int kColumns = 40;  // the generator's classes per row

using Model = GeneratedModel;

// Area k: 10 to 40 cells grown at random from a starting cell.
std::vector<int> areaMembers(int k, int classes, unsigned seed) {
  std::mt19937 random(seed * 7919u + static_cast<unsigned>(k));
  const int rows = (classes + kColumns - 1) / kColumns;
  const int count = 10 + static_cast<int>(random() % 31);
  std::vector<int> members = {static_cast<int>(random() % static_cast<unsigned>(classes))};
  while (static_cast<int>(members.size()) < count) {
    const int from = members[random() % members.size()];
    const int dx = static_cast<int>(random() % 5) - 2, dy = static_cast<int>(random() % 3) - 1;
    const int col = std::clamp(from % kColumns + dx, 0, kColumns - 1);
    const int row = std::clamp(from / kColumns + dy, 0, rows - 1);
    const int cell = row * kColumns + col;
    if (cell < classes && std::find(members.begin(), members.end(), cell) == members.end()) members.push_back(cell);
  }
  return members;
}

bool loadGenerated(Model& model, int classes, int areaCount, unsigned seed) {
  if (!loadSynthetic(model, classes)) return false;
  for (int k = 0; k < areaCount; ++k) {
    auto* area = new Area("Area" + std::to_string(k));
    const float hue = static_cast<float>(k) / static_cast<float>(areaCount);
    area->setColor(new Color(hue, 1.0f - hue, 0.5f, 1.0f));
    for (int member : areaMembers(k, classes, seed)) area->addElement("C" + std::to_string(member));
    area->setVisualizer(AREA_PAINTER_OUTER);
    model.areas.addArea(area);
  }
  return true;
}

void showAll(Model& model) {
  for (std::size_t i = 0; i < model.areas.getLoadedCount(); ++i)
    showArea(model.areas, model.diagrams.front(), model.areas.getLoadedArea(i)->getName());
}

AreaVisualizerOuter* outerOf(Model& model, std::size_t i) {
  return dynamic_cast<AreaVisualizerOuter*>(model.areas.getLoadedArea(i)->getVisualizer());
}

struct Timing {
  double wall = 0.0, cpu = 0.0, worst = 0.0, worstCpu = 0.0;
};

Timing timeMs(const std::function<void(int)>& action, int runs) {
  std::vector<double> wall, cpu;
  for (int i = 0; i < runs; ++i) {
    const RunTime t = timeRun([&] { action(i); }, glFinish);
    wall.push_back(t.wall);
    cpu.push_back(t.cpu);
  }
  return {median(wall), median(cpu), *std::max_element(wall.begin(), wall.end()),
          *std::max_element(cpu.begin(), cpu.end())};
}

void printTiming(const char* what, const Timing& t) {
  std::printf("  %-52s %8.1f %8.1f %8.1f %8.1f\n", what, t.wall, t.cpu, t.worst, t.worstCpu);
}

// ---- quality ----

double area2(Vec2 a, Vec2 b, Vec2 c) { return (static_cast<double>(b.x) - a.x) * (c.y - a.y) - (static_cast<double>(c.x) - a.x) * (b.y - a.y); }

bool inTriangles(Vec2 p, const std::vector<MeshTriangle>& triangles) {
  for (const MeshTriangle& t : triangles) {
    const double whole = std::fabs(area2(t.a, t.b, t.c));
    const double parts = std::fabs(area2(p, t.b, t.c)) + std::fabs(area2(t.a, p, t.c)) + std::fabs(area2(t.a, t.b, p));
    if (parts <= whole * (1.0 + 1e-5) + 1e-3) return true;
  }
  return false;
}

// Whether the segment a-b passes through the inside of the box.
bool segmentCrossesBox(Vec2 a, Vec2 b, Vec2 lo, Vec2 hi) {
  // Liang-Barsky clipping against the open box.
  double t0 = 0.0, t1 = 1.0;
  const double d[2] = {static_cast<double>(b.x) - a.x, static_cast<double>(b.y) - a.y};
  const double p0[2] = {a.x, a.y}, l[2] = {lo.x, lo.y}, h[2] = {hi.x, hi.y};
  for (int k = 0; k < 2; ++k) {
    if (d[k] == 0.0) {
      if (p0[k] <= l[k] || p0[k] >= h[k]) return false;
      continue;
    }
    double ta = (l[k] - p0[k]) / d[k], tb = (h[k] - p0[k]) / d[k];
    if (ta > tb) std::swap(ta, tb);
    t0 = std::max(t0, ta);
    t1 = std::min(t1, tb);
    if (t0 >= t1) return false;
  }
  return true;
}

struct Quality {
  int areas = 0, emptyOutlines = 0, pointsOutside = 0, pointsChecked = 0;
  int crossingBefore = 0, crossedBoxesBefore = 0, crossingAfter = 0, crossedBoxesAfter = 0;
};

// Non-member boxes the outline passes through.
int crossedBoxes(const std::vector<Vec2>& outline, const std::vector<OutlineBox>& others) {
  int crossed = 0;
  for (const OutlineBox& box : others) {
    for (std::size_t i = 0; i < outline.size(); ++i) {
      if (segmentCrossesBox(outline[i], outline[(i + 1) % outline.size()], box.lower, box.upper)) {
        ++crossed;
        break;
      }
    }
  }
  return crossed;
}

void assessLayout(Model& model, Quality& q) {
  Diagram* diagram = model.diagrams.front();
  for (std::size_t i = 0; i < model.areas.getIdentifiedCount(); ++i) {
    IdentifiedArea* identified = model.areas.getIdentifiedArea(i);
    AreaVisualizerOuter painter(AREA_MODE_AREA, AREA_METHOD_POLYGONS, 50);
    painter.prepare(50, diagram);
    const std::vector<OutlineBox> members = memberBoxes(identified);
    IdentifiedArea others("others");
    for (DiagramElement* e : diagram->getElements())
      if (std::find(identified->getElements().begin(), identified->getElements().end(), e) ==
              identified->getElements().end() &&
          e->getModelElement() != nullptr && e->getModelElement()->getTypeName() == "Class")
        others.addElement(e);
    const std::vector<OutlineBox> otherBoxes = memberBoxes(&others);
    ++q.areas;
    Vec2 lo, hi;
    for (int iterations : {0, 10}) {
      painter.setIterations(iterations);
      painter.setDistance(0.005f);
      painter.predictExtent(identified, lo, hi);
      const int crossed = crossedBoxes(painter.getOutline(), otherBoxes);
      if (iterations == 0) {
        if (painter.getOutline().empty() && !members.empty()) ++q.emptyOutlines;
        for (const OutlineBox& b : members) {
          for (Vec2 p : {b.lower, b.upper, Vec2(b.lower.x, b.upper.y), Vec2(b.upper.x, b.lower.y), (b.lower + b.upper) * 0.5f}) {
            ++q.pointsChecked;
            if (!inTriangles(p, painter.getTriangles())) ++q.pointsOutside;
          }
        }
        q.crossingBefore += crossed > 0;
        q.crossedBoxesBefore += crossed;
      } else {
        if (painter.getOutline().empty() && !members.empty()) ++q.emptyOutlines;
        q.crossingAfter += crossed > 0;
        q.crossedBoxesAfter += crossed;
      }
    }
  }
}

void setUpView(MetricsVisualizerSimple& painter, SelectionManager& selection, Model& model) {
  painter.setBlendEquation(lookupBlendEquation());
  painter.setSelectionManager(&selection);
  painter.setMetricSet(&model.metrics);
  painter.setAreas(&model.areas);
}

void fitWhole(Diagram* diagram, CanvasWindow& view) {
  Vec2 lo(3.0e38f, 3.0e38f), hi(-3.0e38f, -3.0e38f);
  for (DiagramElement* e : diagram->getElements()) {
    const VisualElementLayout* l = e->getCurrentLayout();
    if (!l || !l->getLowerLeft() || !l->getUpperRight()) continue;
    lo = Vec2(std::min(lo.x, l->getLowerLeft()->x), std::min(lo.y, l->getLowerLeft()->y));
    hi = Vec2(std::max(hi.x, l->getUpperRight()->x), std::max(hi.y, l->getUpperRight()->y));
  }
  view.camera().zoomToFit(lo, hi, kWidth, kHeight);
}

// Moves a box by (dx, dy).
void nudge(DiagramElement* element, float dx) {
  VisualElementLayout* l = element->getCurrentLayout();
  l->setCorners(new Vec2(*l->getLowerLeft() + Vec2(dx, 0)), new Vec2(*l->getUpperRight() + Vec2(dx, 0)));
}

// Writes RGB rows, top first, as a binary PPM.
bool writePpm(const std::string& file, const std::vector<unsigned char>& rgb, int width, int height) {
  std::FILE* f = std::fopen(file.c_str(), "wb");
  if (f == nullptr) return false;
  std::fprintf(f, "P6\n%d %d\n255\n", width, height);
  const bool ok = std::fwrite(rgb.data(), 1, rgb.size(), f) == rgb.size();
  return std::fclose(f) == 0 && ok;
}

struct Options {
  int classes = 500;
  int areas = 20;
  std::string dump, method = AREA_METHOD_POLYGONS, mode = AREA_MODE_AREA;
  bool sliderDrag = false;  // only the slider drags
};

// Each slider dragged across its range, one step per position: the value
// set, then the view brought up to date and shown, as one repaint of the
// viewer does. "full" records the whole view again (what every area change
// cost before the area-only refresh); "areas only" records the view's
// background (the area picture) again and replays the kept diagram.
// "building the outlines" is what the painters' outline builders take of a
// step.
void timeSliderDrags(Model& model, CanvasWindow& view, MetricsVisualizerSimple& painter) {
  Diagram* diagram = model.diagrams.front();
  // The softness slider acts on the selected area.
  auto setSoftness = [&](int v) { outerOf(model, 0)->setSoftness(v); };
  struct Slider {
    const char* name;
    int from, to;
    std::function<void(int)> set;
    bool outlines;  // whether the value reaches the outline builder
  };
  const Slider sliders[] = {
      {"Radius 10..60", 10, 60, [&](int v) { model.areas.setRadius(v / 20.0f); }, true},
      {"Iterations 0..20", 0, 20, [&](int v) { model.areas.setIterations(v); }, true},
      {"Distance 1..20", 1, 20, [&](int v) { model.areas.setDistance(v / 2000.0f); }, true},
      {"Softness of one area 1..100 (every 3rd)", 0, 33, [&](int v) { setSoftness(1 + 3 * v); }, false},
      {"Areas transparency 0..100 (every 3rd)", 0, 33, [&](int v) { painter.setAreaAlpha(3 * v / 100.0f); }, false},
  };
  auto restore = [&] {
    model.areas.setRadius(1.0f);
    model.areas.setIterations(10);
    model.areas.setDistance(0.005f);
    setSoftness(50);
    painter.setAreaAlpha(0.2f);
  };
  view.render(false);
  printTiming("replay of the view", timeMs([&](int) { view.render(true); }, 9));
  std::printf("\nSlider drags, per step (medians; fps from the median wall time):\n");
  for (const Slider& s : sliders) {
    const int steps = s.to - s.from + 1;
    char label[128];
    restore();
    view.render(false);
    const Timing full = timeMs(
        [&](int i) {
          s.set(s.from + i);
          view.render(false);
        },
        steps);
    std::snprintf(label, sizeof label, "%s, full (%.0f fps)", s.name, 1000.0 / full.wall);
    printTiming(label, full);
    restore();
    view.render(false);
    const int recordings = view.sceneRecordings();
    const Timing areasOnly = timeMs(
        [&](int i) {
          s.set(s.from + i);
          view.areasChanged();
          view.render(true);
        },
        steps);
    std::snprintf(label, sizeof label, "%s, areas only (%.0f fps, %s)", s.name, 1000.0 / areasOnly.wall,
                  view.sceneRecordings() == recordings ? "diagram kept" : "DIAGRAM RECORDED");
    printTiming(label, areasOnly);
    const Timing picture = timeMs(
        [&](int i) {
          s.set(s.from + i);
          view.areasChanged();
        },
        steps);
    printTiming("  of which the area picture", picture);
    if (!s.outlines) continue;
    // The outlines' share of a step: what the area pass asks of the painters.
    const Timing outlines = timeMs(
        [&](int i) {
          s.set(s.from + i);
          for (std::size_t k = 0; k < model.areas.getIdentifiedCount(); ++k) {
            AreaVisualizerOuter* outer = outerOf(model, k);
            outer->prepare(50, diagram);
            outer->setRadius(model.areas.getRadius());
            outer->setIterations(model.areas.getIterations());
            outer->setDistance(model.areas.getDistance());
            Vec2 lo, hi;
            outer->predictExtent(model.areas.getIdentifiedArea(k), lo, hi);
          }
        },
        steps);
    printTiming("  of which building the outlines", outlines);
  }
  restore();
}

void timeViews(const Options& options, OffscreenGL& gl) {
  const int classes = options.classes, areaCount = options.areas;
  const std::string& dump = options.dump;
  Model model;
  if (!loadGenerated(model, classes, areaCount, 1)) {
    std::fprintf(stderr, "outer_area_benchmark: cannot generate the model\n");
    std::exit(1);
  }
  for (std::size_t i = 0; i < model.areas.getLoadedCount(); ++i) {
    outerOf(model, i)->setMethod(options.method);
    outerOf(model, i)->setDrawingMode(options.mode);
  }
  Diagram* diagram = model.diagrams.front();
  showAll(model);
  std::size_t vertices = 0;
  if (dump.empty()) {
    std::printf("%s, %dx%d view; %d classes, %d Outer areas\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                kWidth, kHeight, classes, areaCount);
    std::printf("  %-52s %8s %8s %8s %8s\n", "median ms", "wall", "cpu", "worst", "(cpu)");
  }

  OffscreenWindowHost host;
  SelectionManager selection;
  MetricsVisualizerSimple painter;
  setUpView(painter, selection, model);
  CanvasWindow view(&host, 0, 0, kWidth, kHeight);
  view.setVisualizer(&painter);
  view.setDiagram(diagram);
  fitWhole(diagram, view);
  const int runs = 9;
  auto recompile = [&](int) { view.render(false); };

  AreaSet noAreas;
  painter.setAreas(&noAreas);
  view.render(false);
  if (dump.empty()) printTiming("recompile, no areas", timeMs(recompile, runs));
  painter.setAreas(&model.areas);
  view.render(false);
  if (!dump.empty()) {
    if (!writePpm(dump, gl.readRGB(), kWidth, kHeight)) std::fprintf(stderr, "cannot write %s\n", dump.c_str());
    return;
  }
  for (std::size_t i = 0; i < model.areas.getLoadedCount(); ++i) vertices += outerOf(model, i)->getOutline().size();
  std::printf("  (%zu outline vertices in all at the defaults)\n", vertices);
  if (options.sliderDrag) {
    timeSliderDrags(model, view, painter);
    return;
  }
  printTiming("recompile, areas unchanged", timeMs(recompile, runs));
  printTiming("replay", timeMs([&](int) { view.render(true); }, runs));
  printTiming("recompile, every outline rebuilt", timeMs(
                                                      [&](int) {
                                                        for (std::size_t i = 0; i < model.areas.getLoadedCount(); ++i)
                                                          outerOf(model, i)->getGeometry()->invalidate();
                                                        view.render(false);
                                                      },
                                                      runs));
  for (int changed : {1, 5, 20}) {
    char label[64];
    std::snprintf(label, sizeof label, "recompile, a box of %d area%s moved", changed, changed > 1 ? "s" : "");
    printTiming(label, timeMs(
                           [&](int run) {
                             for (int k = 0; k < changed && k < areaCount; ++k)
                               nudge(model.areas.getIdentifiedArea(k)->getElement(0), run % 2 ? -20.0f : 20.0f);
                             view.render(false);
                           },
                           runs));
  }

  timeSliderDrags(model, view, painter);
}

void reportQuality(int classes, int areaCount) {
  std::printf("\nOutlines on generated layouts (%d classes, %d areas each, distance 0.005):\n", classes, areaCount);
  std::printf("  %6s %6s %14s %14s %22s %22s\n", "seed", "areas", "empty outline", "points out/all",
              "crossing, 0 iterations", "crossing, 10 iterations");
  Quality total;
  for (unsigned seed = 1; seed <= 5; ++seed) {
    Model model;
    if (!loadGenerated(model, classes, areaCount, seed)) std::exit(1);
    showAll(model);
    Quality q;
    assessLayout(model, q);
    std::printf("  %6u %6d %14d %8d/%-5d %10d (%4d boxes) %10d (%4d boxes)\n", seed, q.areas, q.emptyOutlines,
                q.pointsOutside, q.pointsChecked, q.crossingBefore, q.crossedBoxesBefore, q.crossingAfter,
                q.crossedBoxesAfter);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--dump" && hasValue) options.dump = argv[++i];
    else if (arg == "--method" && hasValue) options.method = argv[++i];
    else if (arg == "--mode" && hasValue) options.mode = argv[++i];
    else if (arg == "--slider-drag") options.sliderDrag = true;
    else positional.push_back(arg);
  }
  if (positional.size() > 0) options.classes = std::max(10, std::atoi(positional[0].c_str()));
  if (positional.size() > 1) options.areas = std::max(1, std::atoi(positional[1].c_str()));
  {
    OffscreenGL gl(kWidth, kHeight);
    loadDefaultFont();
    applyFixedGLState();
    timeViews(options, gl);
    FontRegistry::instance().clear();
  }
  if (options.dump.empty() && !options.sliderDrag) reportQuality(options.classes, options.areas);
  return 0;
}
