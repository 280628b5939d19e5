// lumetra-generate-xmi CLASSES DIAGRAMS OUT.xmi [--dot OUT.dot WIDTHxHEIGHT]
//                      [--metrics OUT.met]:
// writes a synthetic model (as UML2 XMI 2.x when OUT ends in ".uml", with
// one diagram-interchange diagram however many are asked) and, when asked, its first diagram as a Graphviz
// graph drawn at the same places for a picture of that size, and a metrics
// file with metrics and areas over its classes.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/load/SyntheticXmi.h"

namespace {

int usage(const char* program) {
  std::fprintf(stderr, "usage: %s CLASSES DIAGRAMS OUT.xmi [--dot OUT.dot WIDTHxHEIGHT] [--metrics OUT.met]\n",
               program);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return usage(argv[0]);
  lumetra::bench::SyntheticModel model;
  model.classes = std::atoi(argv[1]);
  model.diagrams = std::atoi(argv[2]);
  if (model.classes < 1 || model.diagrams < 1) {
    std::fprintf(stderr, "CLASSES and DIAGRAMS must be positive\n");
    return 2;
  }
  std::string dot, metrics;
  int width = 0, height = 0;
  for (int i = 4; i < argc; ++i) {
    if (std::strcmp(argv[i], "--dot") == 0 && i + 2 < argc) {
      dot = argv[i + 1];
      if (std::sscanf(argv[i + 2], "%dx%d", &width, &height) != 2 || width < 1 || height < 1) {
        std::fprintf(stderr, "invalid picture size %s: expected WIDTHxHEIGHT\n", argv[i + 2]);
        return 2;
      }
      i += 2;
    } else if (std::strcmp(argv[i], "--metrics") == 0 && i + 1 < argc) {
      metrics = argv[++i];
    } else {
      return usage(argv[0]);
    }
  }
  const std::string out = argv[3];
  const bool uml2 = out.size() > 4 && out.compare(out.size() - 4, 4, ".uml") == 0;
  if (!(uml2 ? lumetra::bench::writeSyntheticUml2(out, model) : lumetra::bench::writeSyntheticXmi(out, model))) {
    std::fprintf(stderr, "cannot write %s\n", argv[3]);
    return 1;
  }
  if (!dot.empty() && !lumetra::bench::writeSyntheticDot(dot, model, width, height)) {
    std::fprintf(stderr, "cannot write %s\n", dot.c_str());
    return 1;
  }
  if (!metrics.empty() && !lumetra::bench::writeSyntheticMetrics(metrics, model)) {
    std::fprintf(stderr, "cannot write %s\n", metrics.c_str());
    return 1;
  }
  return 0;
}
