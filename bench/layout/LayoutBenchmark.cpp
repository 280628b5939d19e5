// Times the generated diagrams of models without geometry and, in the same
// run, the dot program on one graph of the same boxes and edges.
//
//   layout_benchmark [--classes N]... [--seed S] [--package-size K] [--no-dot]
//
// A model of N classes (1,000 and 5,000 unless given) in packages of 5 to
// 200 classes, 70 % of the classes subclassed (by a class of their package),
// and N / 2 associations between any two classes. For each size: wall time
// of addGeneratedDiagrams (every package diagram and the Overview), the
// diagrams made, the dot program's wall time on the whole graph
// (dot -Tplain, boxes of the same sizes, generalizations ranking,
// associations constraint=false), their ratio, and the process's peak
// resident memory so far. --package-size K puts K classes in every
// package (10000 with --classes 10000: one package of 10,000 classes);
// --no-dot leaves the dot program out.

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <filesystem>
#include <string>
#include <vector>

#include "layout/AutoLayout.h"
#include "layout/BoxSize.h"
#include "model/Model.h"

namespace {

using namespace lumetra;

struct Model {
  std::vector<Diagram*> diagrams;
  ModelElementsPool pool;
  ~Model() {
    for (Diagram* d : diagrams) delete d;
  }
};

void build(Model& m, int classes, unsigned seed, int packageSize) {
  auto next = [&seed](unsigned n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % n;
  };
  int made = 0, package = 0, relation = 0;
  while (made < classes) {
    const int size = std::min(classes - made, packageSize > 0 ? packageSize : 5 + static_cast<int>(next(196)));
    const std::string pid = "P" + std::to_string(package);
    m.pool.add(new Package(pid, "package" + std::to_string(package++)));
    const int first = made;
    for (int c = 0; c < size; ++c, ++made) {
      auto* cls = new Class("C" + std::to_string(made), "GeneratedClass" + std::to_string(made));
      cls->setOwnerId(pid);
      if (c % 2 == 0) cls->addAttribute(new Attribute("A" + std::to_string(made), "value", "int", "private"));
      cls->addMethod(new Method("O" + std::to_string(made), "compute", "", "public"));
      m.pool.add(cls);
      if (c > 0 && next(100) < 70) {
        m.pool.add(new Inheritance("G" + std::to_string(relation++)));
        auto* g = static_cast<Inheritance*>(m.pool.get(m.pool.size() - 1));
        g->setParent("C" + std::to_string(first + static_cast<int>(next(c))));
        g->setChild("C" + std::to_string(made));
      }
    }
  }
  for (int i = 0; i < classes / 2; ++i) {
    auto* a = new Association("R" + std::to_string(relation++), "");
    a->setFirstEnd(new AssociationEnd("E" + std::to_string(i) + "a"));
    a->setSecondEnd(new AssociationEnd("E" + std::to_string(i) + "b"));
    a->getFirstEnd()->setType("C" + std::to_string(next(classes)));
    a->getSecondEnd()->setType("C" + std::to_string(next(classes)));
    m.pool.add(a);
  }
}

// The whole model as one dot graph, boxes sized as the layout sizes them.
void writeDot(const Model& m, const std::string& path) {
  std::ofstream out(path);
  out << "digraph g {\nnode [shape=box, fixedsize=true, label=\"\"];\nedge [dir=none];\n"
         "nodesep=0.333; ranksep=0.556;\n";
  for (std::size_t i = 0; i < m.pool.size(); ++i) {
    const ModelElement* e = m.pool.get(i);
    if (dynamic_cast<const Class*>(e)) {
      const Vec2 size = contentBoxSize(*e);
      out << e->getId() << " [width=" << size.x / 72.0 << ", height=" << size.y / 72.0 << "];\n";
    } else if (auto* g = dynamic_cast<const Inheritance*>(e)) {
      out << g->getParent() << " -> " << g->getChild() << ";\n";
    } else if (auto* a = dynamic_cast<const Association*>(e)) {
      out << a->getFirstEnd()->getType() << " -> " << a->getSecondEnd()->getType() << " [constraint=false];\n";
    }
  }
  out << "}\n";
}

double seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double peakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  unsigned seed = 1;
  int packageSize = 0;
  bool runDot = true;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : "0";
    if (option == "--classes") sizes.push_back(std::atoi(value)), ++i;
    else if (option == "--seed") seed = static_cast<unsigned>(std::atoi(value)), ++i;
    else if (option == "--package-size") packageSize = std::atoi(value), ++i;
    else if (option == "--no-dot") runDot = false;
  }
  if (sizes.empty()) sizes = {1000, 5000};
  std::printf("%8s %10s %9s %10s %8s %9s\n", "classes", "layout s", "diagrams", "dot -Tplain s", "ratio", "peak MB");
  for (int classes : sizes) {
    Model m;
    build(m, classes, seed, packageSize);
    const auto start = std::chrono::steady_clock::now();
    const auto failures = addGeneratedDiagrams(m.diagrams, m.pool, "model");
    const double layout = seconds(start);
    const double peak = peakMegabytes();
    for (const auto& f : failures) std::fprintf(stderr, "%s\n", f.message().c_str());

    int status = 0;
    double dotSeconds = 0.0;
    if (runDot) {
      const std::string dot = (std::filesystem::temp_directory_path() / "lumetra-layout-bench.gv").string();
      writeDot(m, dot);
      const auto dotStart = std::chrono::steady_clock::now();
      status = std::system(("dot -Tplain " + dot + " > /dev/null").c_str());
      dotSeconds = seconds(dotStart);
      std::filesystem::remove(dot);
    }
    std::printf("%8d %10.2f %9zu %13.2f%s %8.2f %9.0f\n", classes, layout, m.diagrams.size(), dotSeconds,
                status == 0 ? "" : "!", layout / dotSeconds, peak);
  }
  return 0;
}
