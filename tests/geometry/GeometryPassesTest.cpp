#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "model/ModelFactory.h"
#include "geometry/GeometryPasses.h"

namespace lumetra {
namespace {

// Owns what a test builds: diagrams and the pool, as a loaded model would.
struct Model {
  std::vector<Diagram*> diagrams;
  ModelElementsPool pool;
  ~Model() {
    for (Diagram* d : diagrams) delete d;
  }
  Diagram* addDiagram(const std::string& type = "ClassDiagram") {
    diagrams.push_back(createDiagram("d" + std::to_string(diagrams.size()), "D", type, "Default"));
    return diagrams.back();
  }
  // A shape with corners (x0, y0)-(x1, y1) showing a new model element.
  DiagramElement* addShape(Diagram* diagram, ModelElement* model, float x0, float y0, float x1, float y1) {
    auto* shape = new DiagramElement(model->getId(), new VisualElementLayout("Default", new Vec2(x0, y0), new Vec2(x1, y1)));
    shape->setAppearance(makeDefaultAppearance());
    shape->setModelElement(model);
    pool.add(model);
    diagram->addElement(shape);
    return shape;
  }
};

Vec2 lowerLeft(const VisualElement* e) { return *e->getCurrentLayout()->getLowerLeft(); }
Vec2 upperRight(const VisualElement* e) { return *e->getCurrentLayout()->getUpperRight(); }

TEST(NormalizeGeometryTest, MirrorsVerticallyAndCentresOnTheOrigin) {
  Model m;
  Diagram* d = m.addDiagram();
  // File coordinates, y down: the first box is near the top of the page.
  DiagramElement* top = m.addShape(d, new Class("a", "A"), 0, 10, 20, 20);
  DiagramElement* bottom = m.addShape(d, new Class("b", "B"), 30, 90, 50, 100);
  auto* label = new VisualSupplElement("r", new VisualElementLayout("Default", new Vec2(20, 0), new Vec2(30, 5)));
  d->addSupplementaryElement(label);

  normalizeGeometry(m.diagrams);

  // Diagram box (0, 10)-(50, 100), centre (25, 55).
  EXPECT_EQ(lowerLeft(d), Vec2(-25, -45));
  EXPECT_EQ(upperRight(d), Vec2(25, 45));
  // The top box stays on top: y now grows upwards.
  EXPECT_EQ(lowerLeft(top), Vec2(-25, 35));
  EXPECT_EQ(upperRight(top), Vec2(-5, 45));
  EXPECT_EQ(lowerLeft(bottom), Vec2(5, -45));
  EXPECT_EQ(upperRight(bottom), Vec2(25, -35));
  EXPECT_GT(top->getCurrentLayout()->getCentre()->y, bottom->getCurrentLayout()->getCentre()->y);
  // Supplementary shapes move with the diagram (mirrored inside its box).
  EXPECT_EQ(lowerLeft(label), Vec2(-5, 50));
  EXPECT_EQ(upperRight(label), Vec2(5, 55));
}

// A shape whose corners are not numbers or are infinite (a damaged file read
// as atof reads it) must not move the rest of the diagram: the box is that
// of the readable shapes, wherever the damaged shape comes.
TEST(NormalizeGeometryTest, ShapesWithCornersThatAreNotNumbersLeaveTheBoxAlone) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const Vec2 odd[] = {{nan, 0}, {0, nan}, {inf, 5}, {-inf, -inf}};
  for (const Vec2& corner : odd) {
    for (bool first : {true, false}) {
      SCOPED_TRACE(::testing::Message() << corner.x << "," << corner.y << (first ? " first" : " last"));
      Model m;
      Diagram* d = m.addDiagram();
      if (first) m.addShape(d, new Class("x", "X"), corner.x, corner.y, 10, 10);
      DiagramElement* a = m.addShape(d, new Class("a", "A"), 0, 10, 20, 20);
      DiagramElement* b = m.addShape(d, new Class("b", "B"), 30, 90, 50, 100);
      if (!first) m.addShape(d, new Class("x", "X"), corner.x, corner.y, 10, 10);
      normalizeGeometry(m.diagrams);
      EXPECT_EQ(lowerLeft(d), Vec2(-25, -45));
      EXPECT_EQ(upperRight(d), Vec2(25, 45));
      EXPECT_EQ(lowerLeft(a), Vec2(-25, 35));
      EXPECT_EQ(upperRight(b), Vec2(25, -35));
    }
  }
}

// Finite corners near the float limit: the centre must not overflow and
// carry every other shape to infinity.
TEST(NormalizeGeometryTest, ABoxSpanningTheFloatRangeKeepsOtherShapesFinite) {
  Model m;
  Diagram* d = m.addDiagram();
  m.addShape(d, new Class("x", "X"), -3.0e38f, -3.0e38f, -2.9e38f, -2.9e38f);
  m.addShape(d, new Class("y", "Y"), 2.9e38f, 2.9e38f, 3.0e38f, 3.0e38f);
  DiagramElement* a = m.addShape(d, new Class("a", "A"), 0, 10, 20, 20);
  normalizeGeometry(m.diagrams);
  for (const Vec2& corner : {lowerLeft(a), upperRight(a), lowerLeft(d), upperRight(d)}) {
    EXPECT_TRUE(std::isfinite(corner.x) && std::isfinite(corner.y)) << corner.x << "," << corner.y;
  }
  // The centre of the box is the origin; at this range a float keeps no
  // units, so only the order of a's corners is left to check.
  EXPECT_LE(lowerLeft(a).x, upperRight(a).x);
  EXPECT_LE(lowerLeft(a).y, upperRight(a).y);
}

TEST(NormalizeGeometryTest, AnEmptyFirstDiagramDoesNotStopTheOthers) {
  Model m;
  m.addDiagram();
  Diagram* second = m.addDiagram();
  DiagramElement* shape = m.addShape(second, new Class("a", "A"), 100, 100, 120, 140);
  normalizeGeometry(m.diagrams);
  EXPECT_EQ(lowerLeft(shape), Vec2(-10, -20));
  EXPECT_EQ(upperRight(shape), Vec2(10, 20));
}

TEST(NormalizeGeometryTest, ShapesWithoutCornersAreLeftAloneAndIgnoredInTheBox) {
  Model m;
  Diagram* d = m.addDiagram();
  auto* bare = new DiagramElement("x", new VisualElementLayout("Default"));
  bare->setModelElement(new Note("x", "n"));
  m.pool.add(bare->getModelElement());
  d->addElement(bare);
  DiagramElement* shape = m.addShape(d, new Class("a", "A"), 10, 10, 30, 30);
  normalizeGeometry(m.diagrams);
  EXPECT_EQ(bare->getCurrentLayout()->getLowerLeft(), nullptr);
  EXPECT_EQ(lowerLeft(shape), Vec2(-10, -10));
}

TEST(PlaceInterfacesTest, ProvidedGoLeftRequiredGoRightEachDownwards) {
  Model m;
  Diagram* d = m.addDiagram("PelkComponentDiagram");
  auto* service = createComposedElement("svc", "Default");
  auto* pelk = new PelkService("svc", "Service");
  m.pool.add(pelk);
  service->setModelElement(pelk);
  service->getCurrentLayout()->setCorners(new Vec2(0, 0), new Vec2(100, 200));
  d->addElement(service);

  std::vector<std::unique_ptr<DiagramElement>> markers;  // composed shapes do not own children
  auto addMarker = [&](const std::string& id, const std::string& kind) {
    auto* iface = createPelkInterface(id, id, kind, "svc");
    m.pool.add(iface);
    markers.emplace_back(createEmptyElement(id, "Default"));
    markers.back()->setModelElement(iface);
    service->addChild(markers.back().get());
    return markers.back().get();
  };
  DiagramElement* in1 = addMarker("in1", "provided");
  DiagramElement* out1 = addMarker("out1", "required");
  DiagramElement* in2 = addMarker("in2", "provided");
  DiagramElement* in3 = addMarker("in3", "provided");

  placeInterfaces(*service);

  const float k = 1.4f;
  const float half = 20.0f / k / 2.0f;
  struct Expected {
    DiagramElement* marker;
    float x, y;
  } cases[] = {
      {in1, 0.0f, 200.0f - 40.0f / k},
      {in2, 0.0f, 200.0f - 70.0f / k},
      {in3, 0.0f, 200.0f - 100.0f / k},
      {out1, 100.0f, 200.0f - 40.0f / k},
  };
  for (const Expected& c : cases) {
    SCOPED_TRACE(c.marker->getId());
    const Vec2 centre = *c.marker->getCurrentLayout()->getCentre();
    EXPECT_FLOAT_EQ(centre.x, c.x);
    EXPECT_NEAR(centre.y, c.y, 1e-4f);
    EXPECT_NEAR(upperRight(c.marker).x - lowerLeft(c.marker).x, 2 * half, 1e-4f);
    EXPECT_FLOAT_EQ(c.marker->getAppearance()->fillColour.a, 2.0f);
  }
}

TEST(ApplyDefaultAppearancesTest, ColoursByModelKind) {
  Model m;
  Diagram* d = m.addDiagram();
  struct Case {
    const char* name;
    ModelElement* model;
    Color fill;
    Color outline;
  };
  const ElementAppearance plain;
  Case cases[] = {
      {"class", new Class("c", "C"), Color(1.0f, 1.0f, 0.8f, 1.0f), plain.outlineColour},
      {"interface", new Interface("i", "I"), Color(1.0f, 1.0f, 0.8f, 1.0f), plain.outlineColour},
      {"association", new Association("a", "A"), plain.fillColour, Color(0.6f, 0.0f, 0.2f, 1.0f)},
      {"service", new PelkService("s", "S"), Color(0.4f, 1.0f, 1.0f, 1.0f), plain.outlineColour},
      {"package keeps its colours", new Package("p", "P"), plain.fillColour, plain.outlineColour},
      {"dummy keeps its colours", new Dummy("d", "x", "RealizeRelation"), plain.fillColour, plain.outlineColour},
  };
  for (Case& c : cases) m.addShape(d, c.model, 0, 0, 1, 1);
  applyDefaultAppearances(m.diagrams);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].name);
    const ElementAppearance* a = d->getElement(i)->getAppearance();
    EXPECT_EQ(a->fillColour, cases[i].fill);
    EXPECT_EQ(a->outlineColour, cases[i].outline);
  }
}

std::string order(Diagram* d) {
  std::string ids;
  for (DiagramElement* e : d->getElements()) ids += e->getId();
  return ids;
}

TEST(OrderElementsTest, RelationsBeforeBoxesKeepingOrderWithinEachGroup) {
  Model m;
  Diagram* d = m.addDiagram();
  m.addShape(d, new Class("A", "A"), 0, 0, 1, 1);
  m.addShape(d, new Association("1", ""), 0, 0, 1, 1);
  m.addShape(d, new Interface("B", "B"), 0, 0, 1, 1);
  m.addShape(d, new Inheritance("2"), 0, 0, 1, 1);
  m.addShape(d, new Package("C", "C"), 0, 0, 1, 1);
  m.addShape(d, new Note("3", "n"), 0, 0, 1, 1);
  m.addShape(d, new Dummy("4", "x", "DependencyRelation"), 0, 0, 1, 1);
  m.addShape(d, new PelkService("D", "D"), 0, 0, 1, 1);
  orderElements(m.diagrams);
  EXPECT_EQ(order(d), "1234ABCD");
}

TEST(OrderElementsTest, AlreadyOrderedAndEmptyDiagramsStayAsTheyAre) {
  Model m;
  Diagram* empty = m.addDiagram();
  Diagram* d = m.addDiagram("PelkComponentDiagram");
  m.addShape(d, new PelkConnection("1"), 0, 0, 1, 1);
  m.addShape(d, new PelkService("A", "A"), 0, 0, 1, 1);
  orderElements(m.diagrams);
  EXPECT_EQ(order(empty), "");
  EXPECT_EQ(order(d), "1A");
}

TEST(OrderElementsTest, ALargeDiagramIsPartitionedStably) {
  // Many elements alternate kinds: the order must still be the stable
  // partition (a quadratic sort would also get it right, only slowly).
  Model m;
  Diagram* d = m.addDiagram();
  const int n = 20000;
  for (int i = 0; i < n; ++i) {
    if (i % 3 == 0)
      m.addShape(d, new Class("c" + std::to_string(i), ""), 0, 0, 1, 1);
    else
      m.addShape(d, new Association("a" + std::to_string(i), ""), 0, 0, 1, 1);
  }
  orderElements(m.diagrams);
  const auto& elements = d->getElements();
  int previousRelation = -1, previousBox = -1;
  bool seenBox = false;
  for (DiagramElement* e : elements) {
    const int index = std::stoi(e->getId().substr(1));
    if (isBoxElement(*e)) {
      seenBox = true;
      ASSERT_GT(index, previousBox);
      previousBox = index;
    } else {
      ASSERT_FALSE(seenBox) << "a relation after a box";
      ASSERT_GT(index, previousRelation);
      previousRelation = index;
    }
  }
  EXPECT_EQ(elements.size(), static_cast<std::size_t>(n));
}

}  // namespace
}  // namespace lumetra
