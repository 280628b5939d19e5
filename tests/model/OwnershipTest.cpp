// Who deletes what. This binary also runs under valgrind (see CMakeLists),
// which turns a double delete, a use after free or a leak into a failure.

#include <gtest/gtest.h>

#include "model/Model.h"

namespace lumetra {
namespace {

int destroyed = 0;

class TrackedClass : public Class {
 public:
  using Class::Class;
  ~TrackedClass() override { ++destroyed; }
};

class TrackedShape : public DiagramElement {
 public:
  using DiagramElement::DiagramElement;
  ~TrackedShape() override { ++destroyed; }
};

class TrackedAttribute : public Attribute {
 public:
  using Attribute::Attribute;
  ~TrackedAttribute() override { ++destroyed; }
};

class TrackedEnd : public AssociationEnd {
 public:
  using AssociationEnd::AssociationEnd;
  ~TrackedEnd() override { ++destroyed; }
};

TEST(OwnershipTest, DestroyingAComposedElementLeavesItsChildren) {
  destroyed = 0;
  auto* child = new TrackedShape("child");
  child->setAppearance(makeDefaultAppearance());
  {
    ComposedDiagramElement parent("parent", new VisualElementLayout("Default"));
    parent.setAppearance(makeDefaultAppearance());
    parent.addChild(child);
  }
  EXPECT_EQ(destroyed, 0);
  child->addLayout(new VisualElementLayout("Still usable"));
  EXPECT_EQ(child->findLayout("Still usable")->getName(), "Still usable");
  delete child;
  EXPECT_EQ(destroyed, 1);
}

TEST(OwnershipTest, DestroyingADiagramDeletesShapesButNotPoolElements) {
  destroyed = 0;
  ModelElementsPool pool;
  auto* cls = new TrackedClass("c", "C");
  pool.add(cls);
  auto* diagram = createDiagram("d", "D", "ClassDiagram", "Default");
  auto* shape = new TrackedShape("s", parseGeometry("Default", "300,150,90,30"));
  shape->setAppearance(makeDefaultAppearance());
  shape->setModelElement(cls);
  diagram->addElement(shape);
  diagram->addSupplementaryElement(createSupplementaryElement("r", "Default", "1,2,3,4", "", "end"));
  delete diagram;
  EXPECT_EQ(destroyed, 1) << "only the shape";
  EXPECT_EQ(pool.find("c"), cls);
  EXPECT_EQ(cls->getName(), "C");
  pool.clear();
  EXPECT_EQ(destroyed, 2);
}

TEST(OwnershipTest, ClassesAndAssociationsDeleteWhatTheyOwn) {
  destroyed = 0;
  {
    ModelElementsPool pool;
    auto* cls = new Class("c", "C");
    cls->addAttribute(new TrackedAttribute("a", "x", "int", "private"));
    cls->addAttribute(new TrackedAttribute("b", "y", "int", "private"));
    pool.add(cls);
    auto* assoc = new Association("as", "");
    assoc->setFirstEnd(new TrackedEnd("e1"));
    assoc->setSecondEnd(new TrackedEnd("e2"));
    // Replacing an end frees the one it replaces.
    assoc->setSecondEnd(new TrackedEnd("e3"));
    EXPECT_EQ(destroyed, 1);
    pool.add(assoc);
  }
  EXPECT_EQ(destroyed, 5);
}

TEST(OwnershipTest, ReplacedAppearanceStaysWithTheCaller) {
  auto* shape = new DiagramElement("s");
  auto* first = makeDefaultAppearance();
  auto* second = makeDefaultAppearance();
  shape->setAppearance(first);
  shape->setAppearance(second);
  delete shape;  // deletes second only
  EXPECT_EQ(first->fontSize, 10);
  delete first;
}

}  // namespace
}  // namespace lumetra
