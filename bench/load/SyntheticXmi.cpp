#include "bench/load/SyntheticXmi.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace lumetra::bench {

namespace {

const char* const kTypes[] = {"int", "String", "double", "List<Item>", "boolean"};
const char* const kVisibility[] = {"private", "protected", "public", "package", "private"};
const char* const kAggregation[] = {"none", "aggregate", "composite"};

// The place of a class on its diagram (file units, y down).
void positionOf(int cls, int diagrams, int& x, int& y) {
  const int index = cls / diagrams;
  x = 200 + (index % 40) * 400;
  y = 150 + (index / 40) * 360;
}
int associatedWith(int cls, int n) { return static_cast<int>((static_cast<long long>(cls) * 7 + 1) % n); }

// Box sizes on the diagram (file units).
constexpr int kClassWidth = 300;
constexpr int kClassHeight = 260;

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Opens the file and has write fill it for a model of at least one class;
// false when the file cannot be opened or written.
template <typename Write>
bool writeModelFile(const std::string& fileName, const SyntheticModel& model, Write&& write) {
  File file(std::fopen(fileName.c_str(), "wb"), std::fclose);
  if (!file || model.classes < 1) return false;
  std::FILE* f = file.get();
  write(f, model.classes);
  return std::fflush(f) == 0 && std::ferror(f) == 0;
}

}  // namespace

bool writeSyntheticXmi(const std::string& fileName, const SyntheticModel& model) {
  return writeModelFile(fileName, model, [&](std::FILE* f, int n) {
    const int d = model.diagrams < 1 ? 1 : model.diagrams;

    std::fprintf(f, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<XMI xmi.version=\"1.1\">\n<XMI.content>\n"
                    "<UML:Model xmi.id=\"model\" name=\"Synthetic\"><UML:Namespace.ownedElement>\n");
    for (int c = 0; c < n; ++c) {
      std::fprintf(f, "<UML:Class xmi.id=\"C%d\" name=\"Class%d\"><UML:Classifier.feature>", c, c);
      for (int a = 0; a < 5; ++a)
        std::fprintf(f, "<UML:Attribute xmi.id=\"C%d.a%d\" name=\"field%d\" type=\"%s\" visibility=\"%s\"/>", c, a, a,
                     kTypes[a], kVisibility[a]);
      for (int o = 0; o < 5; ++o)
        std::fprintf(f, "<UML:Operation xmi.id=\"C%d.o%d\" name=\"operation%d\" visibility=\"%s\"/>", c, o, o,
                     kVisibility[4 - o]);
      std::fprintf(f, "</UML:Classifier.feature></UML:Class>\n");
    }
    for (int a = 0; a < n; ++a) {
      std::fprintf(f, "<UML:Association xmi.id=\"A%d\" name=\"link%d\"><UML:Association.connection>", a, a);
      const int ends[2] = {a, associatedWith(a, n)};
      for (int e = 0; e < 2; ++e)
        std::fprintf(f,
                     "<UML:AssociationEnd xmi.id=\"A%d.e%d\" type=\"C%d\" aggregation=\"%s\" isNavigable=\"%s\">"
                     "<UML:AssociationEnd.multiplicity><UML:Multiplicity><UML:Multiplicity.range>"
                     "<UML:MultiplicityRange lower=\"%d\" upper=\"%d\"/></UML:Multiplicity.range></UML:Multiplicity>"
                     "</UML:AssociationEnd.multiplicity></UML:AssociationEnd>",
                     a, e, ends[e], e == 0 ? kAggregation[a % 3] : "none", e == 1 ? "true" : "false", e == 0 ? 1 : 0,
                     e == 0 ? 1 : -1);
      std::fprintf(f, "</UML:Association.connection></UML:Association>\n");
    }
    for (int g = 1; g <= n / 2; ++g)
      std::fprintf(f, "<UML:Generalization xmi.id=\"G%d\" parent=\"C%d\" child=\"C%d\"/>\n", g, g / 2, g);
    std::fprintf(f, "</UML:Namespace.ownedElement></UML:Model>\n");

    int shape = 0;
    for (int diagram = 0; diagram < d; ++diagram) {
      std::fprintf(f, "<UML:Diagram xmi.id=\"D%d\" name=\"Diagram %d\" diagramType=\"ClassDiagram\" style=\"\">"
                      "<UML:Diagram.element>\n", diagram, diagram);
      for (int c = diagram; c < n; c += d) {
        int x = 0, y = 0;
        positionOf(c, d, x, y);
        std::fprintf(f, "<UML:DiagramElement xmi.id=\"S%d\" geometry=\"%d, %d, %d, %d,\" style=\"\" subject=\"C%d\"/>\n",
                     shape++, x, y, kClassWidth, kClassHeight, c);
        // The association and generalization whose first class this is.
        std::fprintf(f, "<UML:DiagramElement xmi.id=\"S%d\" geometry=\"%d, %d, 90, 30,\" style=\"\" subject=\"A%d\"/>\n",
                     shape++, x + 200, y, c);
        if (c >= 1 && c <= n / 2)
          std::fprintf(f,
                       "<UML:DiagramElement xmi.id=\"S%d\" geometry=\"%d, %d, 60, 30,\" style=\"\" subject=\"G%d\"/>\n",
                       shape++, x, y - 170, c);
        if (c % 10 == 0)
          std::fprintf(f,
                       "<UML:DiagramElement xmi.id=\"S%d\" geometry=\"%d, %d, 60, 20,\" style=\"Role\" subject=\"A%d.e0\"/>\n",
                       shape++, x + 160, y + 20, c);
      }
      std::fprintf(f, "</UML:Diagram.element></UML:Diagram>\n");
    }
    std::fprintf(f, "</XMI.content>\n</XMI>\n");
  });
}

bool writeSyntheticUml2(const std::string& fileName, const SyntheticModel& model) {
  return writeModelFile(fileName, model, [&](std::FILE* f, int n) {
    std::fprintf(f, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xmi:XMI xmlns:xmi=\"http://www.omg.org/spec/XMI/20131001\" "
                    "xmlns:uml=\"http://www.omg.org/spec/UML/20131001\" "
                    "xmlns:umldi=\"http://www.omg.org/spec/UML/20131001/UMLDI\" "
                    "xmlns:dc=\"http://www.omg.org/spec/DD/20131001/DC\">\n<uml:Model xmi:id=\"model\" name=\"Synthetic\">\n");
    for (int c = 0; c < n; ++c) {
      if (c % 100 == 0) std::fprintf(f, "%s<packagedElement xmi:type=\"uml:Package\" xmi:id=\"P%d\" name=\"package%d\">\n",
                                     c == 0 ? "" : "</packagedElement>\n", c / 100, c / 100);
      std::fprintf(f, "<packagedElement xmi:type=\"uml:Class\" xmi:id=\"C%d\" name=\"Class%d\">", c, c);
      if (c % 2 == 1) std::fprintf(f, "<generalization xmi:id=\"G%d\" general=\"C%d\"/>", c, c - 1);
      for (int a = 0; a < 5; ++a) {
        std::fprintf(f, "<ownedAttribute xmi:id=\"C%d.a%d\" name=\"field%d\" visibility=\"%s\"", c, a, a, kVisibility[a]);
        if (a % 2 == 0)
          std::fprintf(f, "><type href=\"pathmap://UML_LIBRARIES/UMLPrimitiveTypes.library.uml#%s\"/></ownedAttribute>",
                       kTypes[a]);
        else
          std::fprintf(f, " type=\"C%d\"><lowerValue xmi:type=\"uml:LiteralInteger\" xmi:id=\"C%d.a%d.l\"/>"
                          "<upperValue xmi:type=\"uml:LiteralUnlimitedNatural\" xmi:id=\"C%d.a%d.u\" value=\"*\"/>"
                          "</ownedAttribute>",
                       (c + a) % n, c, a, c, a);
      }
      for (int o = 0; o < 5; ++o)
        std::fprintf(f, "<ownedOperation xmi:id=\"C%d.o%d\" name=\"operation%d\"><ownedParameter xmi:id=\"C%d.o%d.p\" "
                        "name=\"value\" type=\"C%d\"/><ownedParameter xmi:id=\"C%d.o%d.r\" direction=\"return\">"
                        "<type href=\"pathmap://UML_LIBRARIES/UMLPrimitiveTypes.library.uml#Integer\"/></ownedParameter>"
                        "</ownedOperation>",
                     c, o, o, c, o, (c + o + 1) % n, c, o);
      std::fprintf(f, "</packagedElement>\n");
    }
    std::fprintf(f, "</packagedElement>\n");
    for (int a = 0; a < n; ++a)
      std::fprintf(f, "<packagedElement xmi:type=\"uml:Association\" xmi:id=\"A%d\" name=\"link%d\" memberEnd=\"A%d.e0 A%d.e1\" "
                      "navigableOwnedEnd=\"A%d.e1\"><ownedEnd xmi:id=\"A%d.e0\" type=\"C%d\" aggregation=\"%s\"/>"
                      "<ownedEnd xmi:id=\"A%d.e1\" type=\"C%d\"><upperValue xmi:type=\"uml:LiteralUnlimitedNatural\" "
                      "xmi:id=\"A%d.u\" value=\"*\"/></ownedEnd></packagedElement>\n",
                   a, a, a, a, a, a, a, a % 3 == 2 ? "composite" : "none", a, associatedWith(a, n), a);
    std::fprintf(f, "</uml:Model>\n");
    if (model.diagrams >= 1) {
      std::fprintf(f, "<umldi:UMLClassDiagram xmi:id=\"D\" name=\"All classes\">\n");
      for (int c = 0; c < n; ++c) {
        int x = 0, y = 0;
        positionOf(c, 1, x, y);
        std::fprintf(f, "<ownedElement xmi:type=\"umldi:UMLShape\" xmi:id=\"S%d\" modelElement=\"C%d\"><bounds "
                        "xmi:type=\"dc:Bounds\" x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\"/></ownedElement>\n",
                     c, c, x, y, kClassWidth / 2, kClassHeight / 2);
      }
      for (int a = 0; a < n; ++a)
        std::fprintf(f, "<ownedElement xmi:type=\"umldi:UMLEdge\" xmi:id=\"E%d\" modelElement=\"A%d\"/>\n", a, a);
      std::fprintf(f, "</umldi:UMLClassDiagram>\n");
    }
    std::fprintf(f, "</xmi:XMI>\n");
  });
}

bool writeSyntheticMetrics(const std::string& fileName, const SyntheticModel& model) {
  return writeModelFile(fileName, model, [&](std::FILE* f, int n) {
    std::fprintf(f, "<?xml version=\"1.0\"?>\n<metrics>\n");
    struct IntMetric {
      const char* name;
      int factor, modulus, offset;
    };
    const IntMetric kInts[] = {{"Lines of code", 37, 900, 20}, {"Operations", 7, 40, 1}, {"Coupling", 13, 25, 0}};
    for (const IntMetric& metric : kInts) {
      std::fprintf(f, " <metric name=\"%s\" type=\"int\">\n", metric.name);
      for (int c = 0; c < n; ++c)
        std::fprintf(f, "  <element id=\"C%d\" value=\"%d\"/>\n", c,
                     static_cast<int>((static_cast<long long>(c) * metric.factor) % metric.modulus) + metric.offset);
      std::fprintf(f, " </metric>\n");
    }
    std::fprintf(f, " <metric name=\"Public\" type=\"bool\">\n");
    for (int c = 0; c < n; ++c) std::fprintf(f, "  <element id=\"C%d\" value=\"%s\"/>\n", c, c % 3 == 0 ? "false" : "true");
    std::fprintf(f, " </metric>\n");
    // Small areas spread over the model, then one large one.
    constexpr int kAreas = 20, kMembers = 50, kLarge = 1000;
    for (int a = 0; a < kAreas; ++a) {
      std::fprintf(f, " <metric name=\"Area %d\" type=\"area\" color=\"defined\" r=\"%d\" g=\"%d\" b=\"%d\" value=\"%d\">\n",
                   a + 1, (a * 67) % 256, (a * 139 + 90) % 256, (a * 29 + 180) % 256, a);
      const int first = static_cast<int>(static_cast<long long>(a) * n / kAreas);
      for (int m = 0; m < kMembers && first + m < n; ++m) std::fprintf(f, "  <element id=\"C%d\"/>\n", first + m);
      std::fprintf(f, " </metric>\n");
    }
    std::fprintf(f, " <metric name=\"Large area\" type=\"area\" color=\"defined\" r=\"120\" g=\"120\" b=\"120\" value=\"%d\">\n",
                 kAreas);
    for (int c = 0; c < kLarge && c < n; ++c) std::fprintf(f, "  <element id=\"C%d\"/>\n", c);
    std::fprintf(f, " </metric>\n</metrics>\n");
  });
}

bool writeSyntheticDot(const std::string& fileName, const SyntheticModel& model, int width, int height) {
  if (width < 1 || height < 1) return false;
  return writeModelFile(fileName, model, [&](std::FILE* f, int n) {
    const int d = model.diagrams < 1 ? 1 : model.diagrams;

    // Diagram 0 shows the classes 0, d, 2d, ...; file y runs down, Graphviz's
    // up: a class at file (x, y) has its centre at (x + w/2, -(y + h/2)).
    int minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool first = true;
    for (int c = 0; c < n; c += d) {
      int x = 0, y = 0;
      positionOf(c, d, x, y);
      minX = first ? x : std::min(minX, x);
      minY = first ? y : std::min(minY, y);
      maxX = first ? x + kClassWidth : std::max(maxX, x + kClassWidth);
      maxY = first ? y + kClassHeight : std::max(maxY, y + kClassHeight);
      first = false;
    }
    // Pad the box to the picture's aspect, centred, as a view zoomed to fit.
    double boxW = maxX - minX, boxH = maxY - minY;
    const double aspect = static_cast<double>(width) / height;
    if (boxW / boxH < aspect) boxW = boxH * aspect; else boxH = boxW / aspect;
    const double centreX = (minX + maxX) / 2.0, centreY = -(minY + maxY) / 2.0;

    std::fprintf(f, "digraph synthetic {\n"
                    "graph [pad=0, margin=0, dpi=72, size=\"%.6f,%.6f!\", splines=line, outputorder=edgesfirst];\n"
                    "node [shape=record, fixedsize=true, width=%.6f, height=%.6f, style=filled, fillcolor=\"#ffffcc\", "
                    "fontname=\"Liberation Sans\", fontsize=28];\n"
                    "edge [color=\"#990033\", arrowhead=none, fontname=\"Liberation Sans\", fontsize=24];\n",
                 width / 72.0, height / 72.0, kClassWidth / 72.0, kClassHeight / 72.0);
    // Two invisible corners hold the padded box.
    std::fprintf(f, "corner0 [shape=point, style=invis, width=0, height=0, pos=\"%.1f,%.1f\"];\n",
                 centreX - boxW / 2.0, centreY - boxH / 2.0);
    std::fprintf(f, "corner1 [shape=point, style=invis, width=0, height=0, pos=\"%.1f,%.1f\"];\n",
                 centreX + boxW / 2.0, centreY + boxH / 2.0);
    for (int c = 0; c < n; c += d) {
      int x = 0, y = 0;
      positionOf(c, d, x, y);
      std::fprintf(f, "C%d [pos=\"%d,%d\", label=\"{Class%d|operation0\\loperation1\\loperation2\\l...\\l}\"];\n", c,
                   x + kClassWidth / 2, -(y + kClassHeight / 2), c);
    }
    const char* const kTail[] = {"none", "odiamond", "diamond"};
    for (int a = 0; a < n; a += d) {
      // The association is on this diagram when both of its classes are.
      const int other = associatedWith(a, n);
      if (other % d != 0) continue;
      std::fprintf(f, "C%d -> C%d [dir=both, arrowtail=%s, arrowhead=vee, taillabel=\"1\", headlabel=\"0..*\"];\n",
                   a, other, kTail[a % 3]);
    }
    for (int g = 1; g <= n / 2; ++g) {
      if (g % d != 0 || (g / 2) % d != 0) continue;
      std::fprintf(f, "C%d -> C%d [arrowhead=empty, color=black];\n", g, g / 2);
    }
    std::fprintf(f, "}\n");
  });
}

}  // namespace lumetra::bench
