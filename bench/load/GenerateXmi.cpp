// lumetra-generate-xmi CLASSES DIAGRAMS OUT.xmi [--dot OUT.dot WIDTHxHEIGHT]:
// writes a synthetic model and, when asked, its first diagram as a Graphviz
// graph drawn at the same places for a picture of that size.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/load/SyntheticXmi.h"

int main(int argc, char** argv) {
  if (argc != 4 && !(argc == 7 && std::strcmp(argv[4], "--dot") == 0)) {
    std::fprintf(stderr, "usage: %s CLASSES DIAGRAMS OUT.xmi [--dot OUT.dot WIDTHxHEIGHT]\n", argv[0]);
    return 2;
  }
  lumetra::bench::SyntheticModel model;
  model.classes = std::atoi(argv[1]);
  model.diagrams = std::atoi(argv[2]);
  if (model.classes < 1 || model.diagrams < 1) {
    std::fprintf(stderr, "CLASSES and DIAGRAMS must be positive\n");
    return 2;
  }
  if (!lumetra::bench::writeSyntheticXmi(argv[3], model)) {
    std::fprintf(stderr, "cannot write %s\n", argv[3]);
    return 1;
  }
  if (argc == 7) {
    int width = 0, height = 0;
    if (std::sscanf(argv[6], "%dx%d", &width, &height) != 2 || width < 1 || height < 1) {
      std::fprintf(stderr, "invalid picture size %s: expected WIDTHxHEIGHT\n", argv[6]);
      return 2;
    }
    if (!lumetra::bench::writeSyntheticDot(argv[5], model, width, height)) {
      std::fprintf(stderr, "cannot write %s\n", argv[5]);
      return 1;
    }
  }
  return 0;
}
