// lumetra-generate-xmi CLASSES DIAGRAMS OUT.xmi: writes a synthetic model.
#include <cstdio>
#include <cstdlib>

#include "bench/load/SyntheticXmi.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s CLASSES DIAGRAMS OUT.xmi\n", argv[0]);
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
  return 0;
}
