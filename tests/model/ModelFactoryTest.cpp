#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "model/Model.h"
#include "platform/DebugOutput.h"

namespace lumetra {
namespace {


struct GeometryCase {
  const char* name;
  const char* geometry;
  Vec2 lowerLeft, upperRight, centre, size;
};

TEST(ParseGeometryTest, ReadsAtOneThirdAroundThePosition) {
  const GeometryCase cases[] = {
      {"the documented box", "300,150,90,30", {85, 45}, {115, 55}, {100, 50}, {31, 11}},
      {"trailing comma", "300,150,90,30,", {85, 45}, {115, 55}, {100, 50}, {31, 11}},
      {"anything after a fourth comma is ignored", "300,150,90,30,999,abc", {85, 45}, {115, 55}, {100, 50}, {31, 11}},
      {"four zeros", "0,0,0,0", {0, 0}, {0, 0}, {0, 0}, {1, 1}},
      {"exactly three commas use the whole fourth number", "30,60,60,120", {0, 0}, {20, 40}, {10, 20}, {21, 41}},
      {"blanks before numbers", " 30, 60, 60, 120,", {0, 0}, {20, 40}, {10, 20}, {21, 41}},
      {"text without a number reads 0", "abc,30,x,60", {0, -0}, {0, 20}, {0, 10}, {1, 21}},
      {"number followed by junk", "30px,60,60,120", {0, 0}, {20, 40}, {10, 20}, {21, 41}},
  };
  for (const GeometryCase& c : cases) {
    std::unique_ptr<VisualElementLayout> layout(parseGeometry("Default", c.geometry));
    EXPECT_EQ(layout->getName(), "Default");
    EXPECT_FLOAT_EQ(layout->getLowerLeft()->x, c.lowerLeft.x) << c.name;
    EXPECT_FLOAT_EQ(layout->getLowerLeft()->y, c.lowerLeft.y) << c.name;
    EXPECT_FLOAT_EQ(layout->getUpperRight()->x, c.upperRight.x) << c.name;
    EXPECT_FLOAT_EQ(layout->getUpperRight()->y, c.upperRight.y) << c.name;
    EXPECT_FLOAT_EQ(layout->getCentre()->x, c.centre.x) << c.name;
    EXPECT_FLOAT_EQ(layout->getCentre()->y, c.centre.y) << c.name;
    EXPECT_FLOAT_EQ(layout->getSize()->x, c.size.x) << c.name;
    EXPECT_FLOAT_EQ(layout->getSize()->y, c.size.y) << c.name;
  }
}

TEST(ParseGeometryTest, TheDocumentedBoxIsExact) {
  std::unique_ptr<VisualElementLayout> layout(parseGeometry("Default", "300,150,90,30"));
  EXPECT_EQ(*layout->getLowerLeft(), Vec2(85, 45));
  EXPECT_EQ(*layout->getUpperRight(), Vec2(115, 55));
  EXPECT_EQ(*layout->getCentre(), Vec2(100, 50));
  EXPECT_EQ(*layout->getSize(), Vec2(31, 11));
}

TEST(ParseGeometryTest, FewerThanThreeCommasGiveZeroCornersAndADebugLine) {
  for (const char* text : {"", "12", "1,2", "1,2,", "no numbers at all"}) {
    DebugCapture debug;
    std::unique_ptr<VisualElementLayout> layout(parseGeometry("Default", text));
    EXPECT_EQ(*layout->getLowerLeft(), Vec2(0, 0)) << text;
    EXPECT_EQ(*layout->getUpperRight(), Vec2(0, 0)) << text;
    EXPECT_EQ(*layout->getSize(), Vec2(1, 1)) << text;
    EXPECT_NE(debug.text().find("GEOMETRY"), std::string::npos) << text;
  }
}

TEST(ParseGeometryTest, HugeTextIsHandled) {
  std::string text(1 << 20, '9');
  text += ",1,2,3";
  std::unique_ptr<VisualElementLayout> layout(parseGeometry("Default", text));
  EXPECT_TRUE(std::isinf(layout->getLowerLeft()->x) || layout->getLowerLeft()->x > 1e30f);
}

// Every field converts exactly as atof converts it, whatever its form: the
// corners must equal those computed from atof's values bit for bit.
TEST(ParseGeometryTest, FieldsConvertExactlyAsAtofConvertsThem) {
  const char* const fields[] = {
      "0",     "-0",        "+7",         " 12",        "\t\n 300",  "  -45 ",     "999999999", "-999999999",
      "1234567890", "12345678901234567890", "12.5", "-0.25", "1e3",   "1E-2",       "7e",        "0x1A",
      "0X10",  "00012",     "12abc",      "12 34",      "",          " ",          "-",         "+",
      "inf",   "-nan",      "- 5",        "+-3",        ".5",        "5.",         "1.5e+2x",   "16777217",
      "33554433", "3\x01",
  };
  for (const char* a : fields) {
    for (const char* b : {"150", a}) {
      const std::string geometry = std::string(a) + "," + b + "," + a + ",90";
      SCOPED_TRACE(geometry);
      std::unique_ptr<VisualElementLayout> layout(parseGeometry("Default", geometry));
      const Vec2 p(static_cast<float>(std::atof(a)), static_cast<float>(std::atof(b)));
      const Vec2 size(static_cast<float>(std::atof(a)), 90.0f);
      const float third = 1.0f / 3.0f;
      const Vec2 lo = (p - size * 0.5f) * third;
      const Vec2 hi = (p + size * 0.5f) * third;
      auto same = [](float x, float y) { return std::memcmp(&x, &y, sizeof x) == 0 || (std::isnan(x) && std::isnan(y)); };
      EXPECT_TRUE(same(layout->getLowerLeft()->x, lo.x)) << layout->getLowerLeft()->x << " vs " << lo.x;
      EXPECT_TRUE(same(layout->getLowerLeft()->y, lo.y)) << layout->getLowerLeft()->y << " vs " << lo.y;
      EXPECT_TRUE(same(layout->getUpperRight()->x, hi.x)) << layout->getUpperRight()->x << " vs " << hi.x;
      EXPECT_TRUE(same(layout->getUpperRight()->y, hi.y)) << layout->getUpperRight()->y << " vs " << hi.y;
    }
  }
}

TEST(ModelFactoryTest, DiagramKindsAreChosenByExactName) {
  std::unique_ptr<Diagram> cd(createDiagram("d1", "Main", "ClassDiagram", "Default"));
  ASSERT_NE(cd, nullptr);
  EXPECT_EQ(cd->getTypeName(), "ClassDiagram");
  EXPECT_EQ(cd->getName(), "Main");
  ASSERT_NE(cd->getCurrentLayout(), nullptr);
  EXPECT_EQ(cd->getCurrentLayout()->getName(), "Default");
  EXPECT_EQ(cd->getCurrentLayout()->getLowerLeft(), nullptr);
  std::unique_ptr<Diagram> pd(createDiagram("d2", "S", "PelkComponentDiagram", "Default"));
  ASSERT_NE(pd, nullptr);
  EXPECT_EQ(pd->getTypeName(), "PelkComponentDiagram");
  EXPECT_EQ(createDiagram("d3", "x", "classdiagram", "Default"), nullptr);
  EXPECT_EQ(createDiagram("d4", "x", "", "Default"), nullptr);
}

TEST(ModelFactoryTest, ShapesGetLayoutAndDefaultAppearance) {
  std::unique_ptr<DiagramElement> shape(createDiagramElement("s", "Default", "300,150,90,30", "font=Times"));
  ASSERT_NE(shape->getAppearance(), nullptr);
  const ElementAppearance& a = *shape->getAppearance();
  EXPECT_EQ(a.fontName, "Arial");
  EXPECT_EQ(a.fontSize, 10);
  EXPECT_EQ(a.styleFlags, 0);
  EXPECT_EQ(a.fillColour, Color(1, 1, 1, 0));
  EXPECT_EQ(a.textColour, Color(0, 0, 0, 1));
  EXPECT_EQ(a.outlineColour, Color(0, 0, 0, 1));
  EXPECT_EQ(*shape->getCurrentLayout()->getCentre(), Vec2(100, 50));
  EXPECT_EQ(shape->getModelElement(), nullptr);

  std::unique_ptr<VisualSupplElement> role(createSupplementaryElement("r", "Default", "3,3,3,3", "", "end-1"));
  EXPECT_EQ(role->getSubjectId(), "end-1");
  EXPECT_NE(role->getAppearance(), nullptr);

  std::unique_ptr<ComposedDiagramElement> composed(createComposedElement("c", "Default"));
  EXPECT_EQ(composed->getCurrentLayout()->getLowerLeft(), nullptr);
  EXPECT_NE(composed->getAppearance(), nullptr);

  std::unique_ptr<DiagramElement> empty(createEmptyElement("e", "Default"));
  EXPECT_EQ(empty->getCurrentLayout()->getUpperRight(), nullptr);

  std::unique_ptr<DiagramElement> zero(createZeroElement("z", "Default"));
  EXPECT_EQ(*zero->getCurrentLayout()->getCentre(), Vec2(0, 0));
  EXPECT_EQ(*zero->getCurrentLayout()->getSize(), Vec2(1, 1));
}

TEST(ModelFactoryTest, FeaturesByKind) {
  std::unique_ptr<Feature> a(createFeature("attribute", "a", "balance", "int", "private"));
  ASSERT_NE(dynamic_cast<Attribute*>(a.get()), nullptr);
  EXPECT_EQ(a->getType(), "int");
  EXPECT_EQ(a->getVisibility(), "private");
  std::unique_ptr<Feature> m(createFeature("method", "m", "pay", "", "public"));
  ASSERT_NE(dynamic_cast<Method*>(m.get()), nullptr);
  DebugCapture debug;
  EXPECT_EQ(createFeature("Attribute", "x", "n", "t", "v"), nullptr);
  EXPECT_EQ(debug.text(), "\n ERROR: WRONG CLASS FEATURE CREATION \n");
}

TEST(ModelFactoryTest, RelationsAndEnds) {
  std::unique_ptr<Inheritance> g(createInheritance("g", "parent", "child"));
  EXPECT_EQ(g->getParent(), "parent");
  EXPECT_EQ(g->getChild(), "child");
  std::unique_ptr<Dependency> d(createDependency("d", "client", "supplier", "uses"));
  EXPECT_EQ(d->getClient(), "client");
  EXPECT_EQ(d->getSupplier(), "supplier");
  EXPECT_EQ(d->getName(), "uses");
  const std::pair<const char*, bool> navigable[] = {{"true", true}, {"false", false}, {"", false}, {"TRUE", false}};
  for (auto [text, expected] : navigable) {
    std::unique_ptr<AssociationEnd> e(createAssociationEnd("e", "C", "composite", "0 *", text));
    EXPECT_EQ(e->isNavigable(), expected) << text;
    EXPECT_EQ(e->getAggregation(), "composite");
    EXPECT_EQ(e->getMultiplicity(), "0 *");
    EXPECT_EQ(e->getType(), "C");
  }
  std::unique_ptr<Dummy> dummy(createDummy("x", "subject", "RealizeRelation"));
  EXPECT_EQ(dummy->getSubjectId(), "subject");
  EXPECT_EQ(dummy->getRelationKind(), "RealizeRelation");
  std::unique_ptr<PelkInterface> pi(createPelkInterface("i", "orders", "provided", "svc"));
  EXPECT_EQ(pi->getKind(), "provided");
  EXPECT_EQ(pi->getServiceId(), "svc");
  std::unique_ptr<PelkConnection> pc(createPelkConnection("c"));
  EXPECT_EQ(pc->getFirstEnd(), nullptr);
  EXPECT_EQ(pc->getSecondEnd(), nullptr);
}

}  // namespace
}  // namespace lumetra
