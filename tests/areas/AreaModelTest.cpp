// Area identification: resolving areas over a diagram, the drawing order,
// free elements, and swapping an area's painter.

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "areas/Area.h"
#include "areas/AreaVisualizer.h"
#include "tests/areas/AreaScene.h"

namespace lumetra {
namespace {

using test::AreaScene;
using Shapes = std::vector<DiagramElement*>;

Area* makeArea(AreaSet& set, const std::string& name, std::vector<std::string> ids, int value = 0) {
  auto* area = new Area(name);
  for (const auto& id : ids) area->addElement(id);
  area->setValue(value);
  set.addArea(area);
  return area;
}

std::vector<std::string> identifiedNames(const AreaSet& set) {
  std::vector<std::string> names;
  for (const IdentifiedArea* a : set.getIdentifiedAreas()) names.push_back(a->getName());
  return names;
}

class AreaIdentificationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    c1 = scene.addClass("c1", {0, 0}, {10, 10});
    c2 = scene.addClass("c2", {20, 0}, {30, 10});
    c3 = scene.addClass("c3", {40, 0}, {50, 10});
    // The same model element shown a second time.
    c1b = scene.addView(c1->getModelElement(), {60, 0}, {70, 10});
  }

  std::vector<std::unique_ptr<ModelElement>> owned;
  AreaScene scene;
  AreaSet set;
  DiagramElement *c1 = nullptr, *c2 = nullptr, *c3 = nullptr, *c1b = nullptr;
};

TEST_F(AreaIdentificationTest, FollowsIdentifierOrderThenDiagramOrder) {
  Area* area = makeArea(set, "A", {"c3", "c1", "missing", "c1"}, 7);
  IdentifiedArea* found = AreaIdentifier(&scene.diagram, &set).identify(area);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->getElements(), (Shapes{c3, c1, c1b, c1, c1b}))
      << "every shape of an identifier, and an identifier listed twice adds them twice";
  EXPECT_EQ(found->getName(), "A");
  EXPECT_EQ(found->getValue(), 7);
  EXPECT_EQ(found->getColor(), area->getColor()) << "the colour is shared with the area";
  EXPECT_EQ(set.getIdentifiedCount(), 1u);
  EXPECT_EQ(set.getIdentifiedArea(0), found);
}

TEST_F(AreaIdentificationTest, IdentifiersCompareExactly) {
  Area* area = makeArea(set, "A", {"C1", "c1 ", ""});
  IdentifiedArea* found = AreaIdentifier(&scene.diagram, &set).identify(area);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->getElementCount(), 0u);
  EXPECT_TRUE(set.isIdentified("A")) << "an area that matches nothing is still shown";
}

TEST_F(AreaIdentificationTest, NestedShapesAreNotVisited) {
  auto* composed = static_cast<ComposedDiagramElement*>(nullptr);
  {
    auto* service = new PelkService("svc", "Service");
    composed = new ComposedDiagramElement("svc-shape",
                                          new VisualElementLayout("Default", new Vec2(0, 20), new Vec2(30, 40)));
    composed->setModelElement(service);
    scene.diagram.addElement(composed);
    owned.emplace_back(service);
  }
  Class inner("inner", "Inner");
  DiagramElement child("inner-shape", new VisualElementLayout("Default", new Vec2(5, 25), new Vec2(9, 29)));
  child.setModelElement(&inner);
  composed->addChild(&child);

  Area* area = makeArea(set, "A", {"inner", "svc"});
  IdentifiedArea* found = AreaIdentifier(&scene.diagram, &set).identify(area);
  EXPECT_EQ(found->getElements(), (Shapes{composed})) << "the nested shape is not found";
}

TEST_F(AreaIdentificationTest, NullAreaOrSetIsPassedOver) {
  AreaIdentifier identifier(&scene.diagram, &set);
  EXPECT_EQ(identifier.identify(nullptr), nullptr);
  EXPECT_EQ(set.getIdentifiedCount(), 0u);
  Area* area = makeArea(set, "A", {"c1"});
  AreaIdentifier noSet;
  noSet.setDiagram(&scene.diagram);
  EXPECT_EQ(noSet.identify(area), nullptr);
  AreaIdentifier noDiagram;
  noDiagram.setAreaSet(&set);
  ASSERT_NE(noDiagram.identify(area), nullptr);
  EXPECT_EQ(set.getIdentifiedArea(0)->getElementCount(), 0u);
}

TEST(FreeElementsTest, NodeKindsInNoShownArea) {
  AreaScene scene;
  DiagramElement* cls = scene.addClass("cls", {0, 0}, {10, 10});
  DiagramElement* ifc = scene.add(new Interface("ifc", "I"), {0, 0}, {10, 10});
  DiagramElement* pkg = scene.add(new Package("pkg", "P"), {0, 0}, {10, 10});
  DiagramElement* svc = scene.add(new PelkService("svc", "S"), {0, 0}, {10, 10});
  scene.add(new Note("note", "text"), {0, 0}, {10, 10});
  scene.add(new Association("assoc", "a"), {0, 0}, {10, 10});
  scene.add(new Inheritance("gen"), {0, 0}, {10, 10});
  auto* bare = new DiagramElement("bare", new VisualElementLayout("Default", new Vec2(0, 0), new Vec2(1, 1)));
  scene.diagram.addElement(bare);  // a shape without a model element is never free

  AreaSet set;
  set.computeFreeElements(&scene.diagram);
  EXPECT_EQ(set.getFreeElements(), (Shapes{cls, ifc, pkg, svc})) << "with no area every node is free";

  AreaIdentifier identifier(&scene.diagram, &set);
  identifier.identify(makeArea(set, "twice", {"cls", "cls"}));
  set.computeFreeElements(&scene.diagram);
  EXPECT_EQ(set.getFreeElements(), (Shapes{ifc, pkg, svc})) << "a member listed twice is removed once, and gone";

  identifier.identify(makeArea(set, "overlap", {"ifc", "cls", "note"}));
  set.computeFreeElements(&scene.diagram);
  EXPECT_EQ(set.getFreeElements(), (Shapes{pkg, svc})) << "an element in two areas is not free";

  set.removeIdentified("twice");
  EXPECT_EQ(set.getFreeElements(), (Shapes{pkg, svc})) << "hiding does not recompute";
  set.computeFreeElements(&scene.diagram);
  EXPECT_EQ(set.getFreeElements(), (Shapes{pkg, svc}));
  set.computeFreeElements(nullptr);
  EXPECT_TRUE(set.getFreeElements().empty());
}

TEST(AreaSetTest, SortByValueIsStable) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, int>> areas;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"equal values keep their order", {{"a", 3}, {"b", 1}, {"c", 3}}, {"b", "a", "c"}},
      {"already sorted", {{"a", -1}, {"b", 0}, {"c", 5}}, {"a", "b", "c"}},
      {"reversed", {{"a", 9}, {"b", 4}, {"c", -4}}, {"c", "b", "a"}},
      {"all equal", {{"a", 2}, {"b", 2}, {"c", 2}}, {"a", "b", "c"}},
      {"empty", {}, {}},
  };
  for (const Case& c : cases) {
    AreaSet set;
    for (auto& [name, value] : c.areas) {
      auto* identified = new IdentifiedArea(name);
      identified->setValue(value);
      set.addIdentified(identified);
    }
    set.sortByValue();
    EXPECT_EQ(identifiedNames(set), c.expected) << c.name;
  }
}

TEST_F(AreaIdentificationTest, RemoveTakesTheFirstOfAName) {
  makeArea(set, "A", {"c1"});
  makeArea(set, "B", {"c2"});
  ASSERT_TRUE(showArea(set, &scene.diagram, "A"));
  ASSERT_TRUE(showArea(set, &scene.diagram, "B"));
  ASSERT_TRUE(showArea(set, &scene.diagram, "A"));
  EXPECT_FALSE(showArea(set, &scene.diagram, "nope"));
  EXPECT_EQ(identifiedNames(set), (std::vector<std::string>{"A", "B", "A"}));
  IdentifiedArea* second = set.getIdentifiedArea(2);
  set.removeIdentified("A");
  EXPECT_EQ(identifiedNames(set), (std::vector<std::string>{"B", "A"}));
  EXPECT_EQ(set.findIdentified("A"), second);
  set.removeIdentified("nope");
  EXPECT_EQ(set.getIdentifiedCount(), 2u);
  set.clearIdentified();
  EXPECT_EQ(set.getIdentifiedCount(), 0u);
  EXPECT_EQ(set.getLoadedCount(), 2u) << "loaded areas stay";
}

TEST_F(AreaIdentificationTest, ReidentifyKeepsOrderOverANewDiagram) {
  makeArea(set, "high", {"c1"}, 5);
  makeArea(set, "low", {"c2", "c3"}, 1);
  showArea(set, &scene.diagram, "high");
  showArea(set, &scene.diagram, "low");

  AreaScene other;
  DiagramElement* o2 = other.addClass("c2", {0, 0}, {5, 5});
  DiagramElement* o4 = other.addClass("c4", {0, 0}, {5, 5});
  reidentifyAreas(set, &other.diagram, false);
  EXPECT_EQ(identifiedNames(set), (std::vector<std::string>{"high", "low"}));
  EXPECT_EQ(set.findIdentified("high")->getElementCount(), 0u);
  EXPECT_EQ(set.findIdentified("low")->getElements(), (Shapes{o2}));
  EXPECT_EQ(set.getFreeElements(), (Shapes{o4}));

  reidentifyAreas(set, &other.diagram, true);
  EXPECT_EQ(identifiedNames(set), (std::vector<std::string>{"low", "high"})) << "sorted by value when asked";
}

TEST(AreaTest, ElementsColourAndValue) {
  Area area("Core");
  EXPECT_EQ(area.getName(), "Core");
  EXPECT_EQ(*area.getColor(), Color());
  area.addElement("x");
  area.addElement("x");
  EXPECT_EQ(area.getElementCount(), 2u);
  EXPECT_EQ(area.getElement(1), "x");
  try {
    area.getElement(2);
    FAIL() << "no exception";
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "invalid vector<T> subscript");
  }
  area.setColor(new Color(0.0f, 1.0f, 1.0f, 1.0f));
  area.setColor(nullptr);
  EXPECT_EQ(*area.getColor(), Color(0.0f, 1.0f, 1.0f, 1.0f));
  IdentifiedArea identified("Core");
  EXPECT_THROW(identified.getElement(0), std::out_of_range);
}

TEST(AreaTest, IdentifiedAreaSeesANewColourOfItsArea) {
  // The identified area borrows the area's colour object; replacing the
  // colour must not leave it pointing at freed memory (valgrind run too).
  Area area("Core");
  area.setColor(new Color(1.0f, 0.0f, 0.0f, 1.0f));
  IdentifiedArea identified("Core", area.getColor());
  area.setColor(new Color(0.0f, 0.5f, 1.0f, 1.0f));
  ASSERT_NE(identified.getColor(), nullptr);
  EXPECT_EQ(*identified.getColor(), Color(0.0f, 0.5f, 1.0f, 1.0f));
  EXPECT_EQ(identified.getColor(), area.getColor());
}

TEST(AreaTest, PainterSwapKeepsModeMethodAndSoftness) {
  Area area("Core");
  AreaVisualizer* first = area.getVisualizer();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->getName(), "Inner");
  EXPECT_EQ(first->getDrawingMode(), "Area");
  EXPECT_EQ(first->getMethod(), "Polygons");
  EXPECT_EQ(first->getSoftness(), 50);

  first->setDrawingMode("Contour");
  first->setSoftness(80);
  EXPECT_TRUE(area.setVisualizer("Inner"));
  AreaVisualizer* second = area.getVisualizer();
  EXPECT_EQ(second->getDrawingMode(), "Contour");
  EXPECT_EQ(second->getSoftness(), 80);
  EXPECT_EQ(second->getMethod(), "Polygons");

  for (const char* unknown : {"None", "inner", "", "Triangles"}) {
    EXPECT_FALSE(area.setVisualizer(unknown)) << unknown;
    EXPECT_EQ(area.getVisualizer(), second) << unknown << ": the painter is kept";
  }
  area.replaceVisualizer(nullptr);
  EXPECT_EQ(area.getVisualizer(), second);
}

TEST(AreaSetTest, ParametersAndClear) {
  AreaSet set;
  EXPECT_FLOAT_EQ(set.getRadius(), 1.0f);
  EXPECT_FLOAT_EQ(set.getDistance(), 0.005f);
  EXPECT_EQ(set.getIterations(), 10);
  makeArea(set, "A", {});
  makeArea(set, "A", {});
  EXPECT_EQ(set.findArea("A"), set.getLoadedArea(0));
  EXPECT_EQ(set.findArea("B"), nullptr);
  EXPECT_THROW(set.getLoadedArea(2), std::out_of_range);
  set.addIdentified(new IdentifiedArea("A"));
  set.clear();
  EXPECT_EQ(set.getLoadedCount(), 0u);
  EXPECT_EQ(set.getIdentifiedCount(), 0u);
}

}  // namespace
}  // namespace lumetra
