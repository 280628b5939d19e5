#include <gtest/gtest.h>

#include <stdexcept>

#include "model/Model.h"

namespace lumetra {
namespace {

VisualElementLayout* layoutAt(const char* name, float x0, float y0, float x1, float y1) {
  return new VisualElementLayout(name, new Vec2(x0, y0), new Vec2(x1, y1));
}

TEST(VisualElementLayoutTest, CentreAndSizeFollowTheCorners) {
  struct Case {
    const char* name;
    Vec2 lo, hi, centre, size;
  } cases[] = {
      {"coinciding corners", {0, 0}, {0, 0}, {0, 0}, {1, 1}},
      {"plain box", {2, 4}, {6, 10}, {4, 7}, {5, 7}},
      {"negative box", {-10, -4}, {-2, 0}, {-6, -2}, {9, 5}},
  };
  for (const Case& c : cases) {
    VisualElementLayout layout("Default", new Vec2(c.lo), new Vec2(c.hi));
    ASSERT_NE(layout.getCentre(), nullptr) << c.name;
    EXPECT_EQ(*layout.getCentre(), c.centre) << c.name;
    EXPECT_EQ(*layout.getSize(), c.size) << c.name;
  }
}

TEST(VisualElementLayoutTest, NameOnlyLayoutHasNoPoints) {
  VisualElementLayout layout("Default");
  EXPECT_EQ(layout.getName(), "Default");
  EXPECT_EQ(layout.getLowerLeft(), nullptr);
  EXPECT_EQ(layout.getUpperRight(), nullptr);
  EXPECT_EQ(layout.getCentre(), nullptr);
  EXPECT_EQ(layout.getSize(), nullptr);
}

TEST(VisualElementLayoutTest, SetCornersTwiceKeepsOnlyTheSecondPair) {
  VisualElementLayout layout("L");
  layout.setCorners(new Vec2(0, 0), new Vec2(10, 10));
  Vec2* lo = new Vec2(2, 4);
  Vec2* hi = new Vec2(6, 10);
  EXPECT_EQ(layout.setCorners(lo, hi), &layout);
  EXPECT_EQ(layout.getLowerLeft(), lo);
  EXPECT_EQ(layout.getUpperRight(), hi);
  EXPECT_EQ(*layout.getCentre(), Vec2(4, 7));
  EXPECT_EQ(*layout.getSize(), Vec2(5, 7));
  // Setting the same corner objects again must not free them.
  layout.setCorners(lo, hi);
  EXPECT_EQ(*layout.getLowerLeft(), Vec2(2, 4));
}

TEST(VisualElementLayoutTest, RecomputingReplacesTheDerivedPoints) {
  VisualElementLayout layout("L", new Vec2(0, 0), new Vec2(4, 2));
  *layout.getUpperRight() = Vec2(8, 6);
  EXPECT_EQ(*layout.computeCentre(), Vec2(4, 3));
  EXPECT_EQ(*layout.computeSize(), Vec2(9, 7));
  EXPECT_EQ(*layout.getCentre(), Vec2(4, 3));
}

TEST(VisualElementTest, SelectLayoutLastMatchWinsAndUnknownKeepsCurrent) {
  VisualElement element("e");
  auto* a = new VisualElementLayout("Same");
  auto* b = new VisualElementLayout("Other");
  auto* c = new VisualElementLayout("Same");
  element.addLayout(a);
  element.addLayout(b);
  element.addLayout(c);
  EXPECT_EQ(element.getCurrentLayout(), nullptr) << "addLayout does not make a layout current";
  element.selectLayout("Same");
  EXPECT_EQ(element.getCurrentLayout(), c);
  element.selectLayout("Missing");
  EXPECT_EQ(element.getCurrentLayout(), c);
  element.selectLayout("Other");
  EXPECT_EQ(element.getCurrentLayout(), b);
}

TEST(VisualElementTest, FindLayoutFirstMatchWins) {
  VisualElement element("e");
  auto* a = new VisualElementLayout("Same");
  auto* b = new VisualElementLayout("Same");
  element.addLayout(a);
  element.addLayout(b);
  EXPECT_EQ(element.findLayout("Same"), a);
  EXPECT_EQ(element.findLayout("None"), nullptr);
}

TEST(VisualElementTest, ConstructionWithAndWithoutLayout) {
  auto* layout = new VisualElementLayout("Default");
  VisualElement with("w", layout);
  EXPECT_EQ(with.getLayouts().size(), 1u);
  EXPECT_EQ(with.getCurrentLayout(), layout);
  VisualElement without("n");
  EXPECT_TRUE(without.getLayouts().empty());
  EXPECT_EQ(without.getCurrentLayout(), nullptr);
}

TEST(IndexedAccessTest, OutOfRangeThrowsWithTheStandardText) {
  VisualElement element("e", new VisualElementLayout("Default"));
  Class cls("c", "C");
  Diagram diagram("d");
  ModelElementsPool pool;
  ComposedDiagramElement composed("x");
  auto expectThrow = [](auto&& call, const char* what) {
    try {
      call();
      ADD_FAILURE() << what << " did not throw";
    } catch (const std::out_of_range& e) {
      EXPECT_STREQ(e.what(), "invalid vector<T> subscript") << what;
    }
  };
  expectThrow([&] { element.getLayout(1); }, "getLayout");
  expectThrow([&] { cls.getRelated(0); }, "getRelated");
  expectThrow([&] { cls.getMethod(0); }, "getMethod");
  expectThrow([&] { cls.getAttribute(0); }, "getAttribute");
  expectThrow([&] { diagram.getElement(0); }, "getElement");
  expectThrow([&] { diagram.getSupplementaryElement(0); }, "getSupplementaryElement");
  expectThrow([&] { pool.get(0); }, "pool get");
  expectThrow([&] { composed.getChild(0); }, "getChild");
  EXPECT_EQ(element.getLayout(0)->getName(), "Default");
}

TEST(TypeNameTest, EveryClassReportsItsName) {
  Diagram plain("d");
  ClassDiagram classDiagram("c");
  PelkComponentDiagram componentDiagram("p");
  DiagramElement shape("s");
  ComposedDiagramElement composed("x");
  VisualSupplElement suppl("v");
  VisualElement visual("e");
  const std::pair<const Element*, const char*> table[] = {
      {&plain, "VisualElement"},
      {&classDiagram, "ClassDiagram"},
      {&componentDiagram, "PelkComponentDiagram"},
      {&shape, "VisualElement"},
      {&composed, "ComposedDiagramElement"},
      {&suppl, "VisualSupplElement"},
      {&visual, "VisualElement"},
  };
  for (auto [element, name] : table) EXPECT_EQ(element->getTypeName(), name);

  Class c;
  Interface i;
  Package p;
  Note n;
  Attribute a;
  Method m;
  Association as;
  AssociationEnd ae;
  Inheritance in;
  Dependency de;
  Dummy du;
  PelkService ps;
  PelkInterface pi;
  PelkConnection pc;
  const std::pair<const Element*, int> codes[] = {
      {&c, 0}, {&as, 1}, {&ae, 2}, {&a, 3}, {&classDiagram, 4}, {&de, 5}, {&i, 6}, {&in, 7}, {&m, 8},
      {&n, 9}, {&p, 10}, {&du, 11}, {&componentDiagram, 12}, {&pc, 13}, {&pi, 14}, {&ps, 15},
      {&shape, 16}, {&suppl, 17}, {&composed, 18},
  };
  for (auto [element, code] : codes) EXPECT_EQ(typeCodeOf(element->getTypeName()), code) << element->getTypeName();
  EXPECT_EQ(typeCodeOf("class"), -1);
}

TEST(ComposedDiagramElementTest, FindChildMatchesTheModelElementId) {
  Class a("A", "a");
  Class b("B", "b");
  ComposedDiagramElement parent("P");
  DiagramElement first("shape-1");
  DiagramElement second("shape-2");
  DiagramElement orphan("shape-3");  // no model element: passed over
  first.setModelElement(&a);
  second.setModelElement(&b);
  parent.addChild(&orphan);
  parent.addChild(&first);
  parent.addChild(&second);
  EXPECT_EQ(parent.findChild("B"), &second);
  EXPECT_EQ(parent.findChild("shape-1"), nullptr);
  EXPECT_EQ(parent.getChildCount(), 3u);
}

}  // namespace
}  // namespace lumetra
