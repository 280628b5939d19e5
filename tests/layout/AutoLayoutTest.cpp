// Generated diagrams and Arrange, on models without diagram geometry read
// through loadModel (the reader, the post-load passes and the layout), and
// on the web shop. One table of models; every model is checked for the same
// properties.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "layout/AutoLayout.h"
#include "layout/BoxSize.h"
#include "layout/TextMeasure.h"
#include "modelfiles/ModelLoader.h"
#include "model/Namespaces.h"

namespace lumetra {
namespace {

struct Loaded {
  std::vector<Diagram*> diagrams;
  ModelElementsPool pool;
  LoadStatus status;
  ~Loaded() { deleteDiagrams(diagrams); }
  Diagram* named(const std::string& name) const {
    for (Diagram* d : diagrams)
      if (d->getName() == name) return d;
    return nullptr;
  }
};

std::unique_ptr<Loaded> load(const std::string& text, const std::string& name) {
  const auto path = std::filesystem::temp_directory_path() / ("lumetra-layout-" + name + ".xmi");
  std::ofstream(path) << text;
  auto loaded = std::make_unique<Loaded>();
  loaded->status = loadModel(path.string(), loaded->diagrams, loaded->pool);
  std::filesystem::remove(path);
  return loaded;
}

// A model without diagrams: packages of classes (nested in a parent package
// "app"), some subclassed within their package, associations between any
// two classes, and the faults a file may hold.
struct ModelSpec {
  const char* name;
  std::vector<int> packages;  // classes per package
  int subclassedPercent = 70;
  int associationsPercent = 50;
  int selfAssociations = 0;   // on the first class
  bool cycle = false;         // the first three classes specialize each other in a ring
  bool ownSuper = false;      // the first class specializes itself
  bool dangling = false;      // relations to classes that do not exist
  bool features = true;
};

std::string modelText(const ModelSpec& spec) {
  std::ostringstream x;
  unsigned seed = 7;
  auto next = [&seed](unsigned n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % n;
  };
  x << "<?xml version=\"1.0\"?><XMI xmi.version=\"1.1\"><XMI.content><UML:Model xmi.id=\"M\" name=\"" << spec.name
    << "\"><UML:Namespace.ownedElement><UML:Package xmi.id=\"app\" name=\"app\"><UML:Namespace.ownedElement>";
  int total = 0;
  std::ostringstream relations;
  int relation = 0;
  for (std::size_t p = 0; p < spec.packages.size(); ++p) {
    x << "<UML:Package xmi.id=\"P" << p << "\" name=\"pkg" << p << "\"><UML:Namespace.ownedElement>";
    const int first = total;
    for (int c = 0; c < spec.packages[p]; ++c, ++total) {
      x << "<UML:Class xmi.id=\"C" << total << "\" name=\"Class" << total << (c % 5 == 0 ? "WithALongerName" : "")
        << "\">";
      if (spec.features && c % 3 == 0)
        x << "<UML:Classifier.feature><UML:Attribute xmi.id=\"A" << total
          << "\" name=\"value\" type=\"int\" visibility=\"private\"/><UML:Operation xmi.id=\"O" << total
          << "\" name=\"compute\" visibility=\"public\"/></UML:Classifier.feature>";
      x << "</UML:Class>";
      if (c > 0 && static_cast<int>(next(100)) < spec.subclassedPercent)
        relations << "<UML:Generalization xmi.id=\"G" << relation++ << "\" parent=\"C" << first + next(c)
                  << "\" child=\"C" << total << "\"/>";
    }
    x << "</UML:Namespace.ownedElement></UML:Package>";
  }
  x << "</UML:Namespace.ownedElement></UML:Package>";
  auto association = [&](const std::string& a, const std::string& b) {
    ++relation;
    relations << "<UML:Association xmi.id=\"R" << relation << "\"><UML:Association.connection>"
              << "<UML:AssociationEnd xmi.id=\"E" << relation << "a\" type=\"" << a << "\" aggregation=\"none\"/>"
              << "<UML:AssociationEnd xmi.id=\"E" << relation << "b\" type=\"" << b
              << "\" aggregation=\"composite\"/></UML:Association.connection></UML:Association>";
  };
  for (int i = 0; i < total * spec.associationsPercent / 100; ++i)
    association("C" + std::to_string(next(total)), "C" + std::to_string(next(total)));
  for (int i = 0; i < spec.selfAssociations; ++i) association("C0", "C0");
  if (spec.cycle)
    for (int i = 0; i < 3; ++i)
      relations << "<UML:Generalization xmi.id=\"Y" << i << "\" parent=\"C" << i << "\" child=\"C" << (i + 1) % 3 << "\"/>";
  if (spec.ownSuper) relations << "<UML:Generalization xmi.id=\"S0\" parent=\"C0\" child=\"C0\"/>";
  if (spec.dangling) {
    relations << "<UML:Generalization xmi.id=\"D0\" parent=\"nowhere\" child=\"C1\"/>";
    association("C0", "missing");
  }
  x << relations.str() << "</UML:Namespace.ownedElement></UML:Model></XMI.content></XMI>";
  return x.str();
}

struct Box {
  Vec2 lo, hi;
};
Box boxOf(const DiagramElement* shape) {
  const VisualElementLayout* l = shape->getCurrentLayout();
  return {*l->getLowerLeft(), *l->getUpperRight()};
}
bool isClassBox(const DiagramElement* shape) {
  return dynamic_cast<const Class*>(shape->getModelElement()) || dynamic_cast<const Interface*>(shape->getModelElement());
}

// The properties every laid-out diagram has: boxes apart, each at least as
// wide as its name, superclasses above subclasses (unless the model's
// generalizations have a cycle).
void checkDiagram(Diagram& diagram, const ModelElementsPool& pool, bool acyclic, const std::string& label) {
  std::vector<const DiagramElement*> boxes;
  for (const DiagramElement* shape : diagram.getElements())
    if (isClassBox(shape)) boxes.push_back(shape);
  // Sweep along x: a pair can only overlap while both are open.
  std::vector<const DiagramElement*> byX = boxes;
  std::sort(byX.begin(), byX.end(), [](auto* a, auto* b) { return boxOf(a).lo.x < boxOf(b).lo.x; });
  int overlaps = 0;
  for (std::size_t i = 0; i < byX.size(); ++i) {
    const Box a = boxOf(byX[i]);
    for (std::size_t j = i + 1; j < byX.size() && boxOf(byX[j]).lo.x < a.hi.x; ++j) {
      const Box b = boxOf(byX[j]);
      if (a.lo.y < b.hi.y && b.lo.y < a.hi.y) ++overlaps;
    }
  }
  EXPECT_EQ(overlaps, 0) << label << " / " << diagram.getName();
  for (const DiagramElement* shape : boxes) {
    const std::string name = elementName(*shape->getModelElement());
    const Box b = boxOf(shape);
    ASSERT_GE(b.hi.x - b.lo.x, measureText(name, 10).width) << label << " " << name;
  }
  if (!acyclic) return;
  int misplaced = 0;
  for (DiagramElement* shape : diagram.getElements()) {
    const auto* g = dynamic_cast<const Inheritance*>(shape->getModelElement());
    if (!g || g->getParent() == g->getChild()) continue;
    const DiagramElement* parent = diagram.findElement(g->getParent());
    const DiagramElement* child = diagram.findElement(g->getChild());
    if (parent && child && boxOf(parent).lo.y < boxOf(child).hi.y) ++misplaced;
  }
  EXPECT_EQ(misplaced, 0) << label << " / " << diagram.getName();
}

// The Overview's packages fit what they hold (classes, routes and labels):
// beyond it only a margin, the name line and the tab, however tall.
void checkGroupsFit(Diagram& overview, const std::string& label) {
  const float nameLine = 2.0f * boxTextSpacing() + measureText("Mg", 10).height;
  for (const DiagramElement* frame : overview.getElements()) {
    if (!dynamic_cast<const Package*>(frame->getModelElement())) continue;
    const Box f = boxOf(frame);
    float low = f.hi.y, high = f.lo.y;
    auto inside = [&](Vec2 p) { return p.x > f.lo.x && p.x < f.hi.x && p.y > f.lo.y && p.y < f.hi.y; };
    for (const DiagramElement* shape : overview.getElements()) {
      if (shape == frame || dynamic_cast<const Package*>(shape->getModelElement())) continue;
      std::vector<Vec2> points = shape->waypoints();
      points.push_back(boxOf(shape).lo);
      points.push_back(boxOf(shape).hi);
      for (Vec2 p : points)
        if (inside(p)) low = std::min(low, p.y), high = std::max(high, p.y);
    }
    ASSERT_LT(low, high) << label << ": no class inside " << frame->getId();
    EXPECT_LE((f.hi.y - f.lo.y) - (high - low), 2.0f * nameLine + 30.0f) << label << ": " << frame->getId();
  }
}

std::string geometryText(const std::vector<Diagram*>& diagrams) {
  std::ostringstream out;
  for (Diagram* d : diagrams) {
    out << d->getName() << (d->isGenerated() ? "*" : "") << "\n";
    for (DiagramElement* shape : d->getElements()) {
      const Box b = boxOf(shape);
      out << shape->getId() << " " << b.lo.x << "," << b.lo.y << " " << b.hi.x << "," << b.hi.y;
      for (Vec2 p : shape->waypoints()) out << " " << p.x << "," << p.y;
      out << "\n";
    }
  }
  return out.str();
}

TEST(AutoLayoutTest, ModelsWithoutGeometryOpenAsLaidOutDiagrams) {
  ASSERT_TRUE(textMeasureAvailable());
  const ModelSpec specs[] = {
      {"forest", {5, 40, 12, 200, 7}},
      {"one big package", {600}, 70, 10},
      {"cycle and own superclass", {6}, 50, 50, 0, true, true},
      {"dangling relations", {4, 3}, 50, 50, 0, false, false, true},
      {"self-associations", {1}, 0, 0, 2000},
      {"no features", {30}, 90, 20, 0, false, false, false, false},
  };
  for (const ModelSpec& spec : specs) {
    const std::string text = modelText(spec);
    auto model = load(text, "a");
    ASSERT_TRUE(model->status.ok()) << spec.name << ": " << model->status.message();
    EXPECT_TRUE(model->status.notes.empty()) << spec.name << ": " << model->status.notes.front();
    // One diagram per package, named by its qualified name, with all of
    // its classes; then the Overview with every class.
    ASSERT_EQ(model->diagrams.size(), spec.packages.size() + 1) << spec.name;
    int first = 0;
    for (std::size_t p = 0; p < spec.packages.size(); ++p) {
      Diagram* d = model->named("app.pkg" + std::to_string(p));
      ASSERT_NE(d, nullptr) << spec.name << " pkg" << p;
      EXPECT_TRUE(d->isGenerated());
      for (int c = first; c < first + spec.packages[p]; ++c)
        EXPECT_NE(d->findElement("C" + std::to_string(c)), nullptr) << spec.name << " C" << c;
      first += spec.packages[p];
      checkDiagram(*d, model->pool, !spec.cycle, spec.name);
    }
    Diagram* overview = model->named("Overview");
    ASSERT_NE(overview, nullptr) << spec.name;
    for (int c = 0; c < first; ++c) EXPECT_NE(overview->findElement("C" + std::to_string(c)), nullptr) << spec.name;
    checkDiagram(*overview, model->pool, !spec.cycle, spec.name);
    checkGroupsFit(*overview, spec.name);
    // The same model gives the same diagrams.
    auto again = load(text, "b");
    EXPECT_EQ(geometryText(model->diagrams), geometryText(again->diagrams)) << spec.name;
  }
}

// The web shop: with its diagrams it needs nothing generated; without them
// every package gets one; Arrange lays a file's diagram out afresh and the
// geometry taken before puts it back exactly.
TEST(AutoLayoutTest, WebShopWithAndWithoutItsDiagrams) {
  std::ifstream file(std::string(LUMETRA_SOURCE_DIR) + "/examples/webshop.xmi");
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  auto shop = load(text, "shop");
  ASSERT_EQ(shop->diagrams.size(), 3u);
  for (Diagram* d : shop->diagrams) EXPECT_FALSE(d->isGenerated());
  for (Diagram* d : shop->diagrams) {
    const std::string before = geometryText({d});
    const DiagramGeometry kept = captureGeometry(*d);
    ArrangeResult arranged = arrangeDiagram(*d, shop->pool);
    ASSERT_TRUE(arranged.ok) << arranged.error;
    applyGeometry(*d, arranged.geometry);
    EXPECT_NE(geometryText({d}), before);
    checkDiagram(*d, shop->pool, true, "arranged web shop");
    applyGeometry(*d, kept);
    EXPECT_EQ(geometryText({d}), before);
  }

  const std::size_t start = text.find("<UML:Diagram ");
  const std::size_t end = text.find("</XMI.content>");
  ASSERT_NE(start, std::string::npos);
  auto bare = load(text.substr(0, start) + text.substr(end), "bare");
  ASSERT_TRUE(bare->status.ok());
  std::size_t classes = 0;
  for (std::size_t i = 0; i < bare->pool.size(); ++i)
    if (dynamic_cast<Class*>(bare->pool.get(i)) || dynamic_cast<Interface*>(bare->pool.get(i))) ++classes;
  EXPECT_EQ(classes, 35u);  // 30 classes, 5 interfaces
  std::size_t shown = 0;
  for (Diagram* d : bare->diagrams) {
    EXPECT_TRUE(d->isGenerated());
    checkDiagram(*d, bare->pool, true, "bare web shop");
    if (d->getName() != "Overview")
      for (DiagramElement* shape : d->getElements()) shown += isClassBox(shape);
  }
  EXPECT_EQ(shown, classes);
  EXPECT_NE(bare->named("shop.orders"), nullptr);
}

}  // namespace
}  // namespace lumetra
