#include <gtest/gtest.h>

#include "model/ModelFactory.h"
#include "model/UmlElements.h"
#include "modelfiles/DiagramParserXMI.h"
#include "tests/modelfiles/ReadHelpers.h"

namespace lumetra {
namespace {

using testing::classDiagram;
using testing::DebugCapture;
using testing::readText;
using testing::shape;
using testing::xmiDocument;

const std::string kClassA =
    R"(<UML:Class xmi.id="A" name="Alpha"><UML:Classifier.feature>)"
    R"(<UML:Operation xmi.id="A.op1" name="run" visibility="public"/>)"
    R"(<UML:Attribute xmi.id="A.at1" name="size" type="int" visibility="private"/>)"
    R"(<UML:Operation xmi.id="A.op2" name="stop" visibility="protected"/>)"
    R"(<UML:Attribute xmi.id="A.at2" name="name" type="String" visibility="public"/>)"
    R"(</UML:Classifier.feature></UML:Class>)";
const std::string kClassB = R"(<UML:Class xmi.id="B" name="Beta"/>)";

std::string association(const std::string& id, const std::string& lower, const std::string& upper,
                        const std::string& navigable = "true") {
  return R"(<UML:Association xmi.id=")" + id + R"(" name="uses"><UML:Association.connection>)"
         R"(<UML:AssociationEnd xmi.id=")" + id + R"(.1" type="A" aggregation="composite" isNavigable=")" +
         navigable + R"("><UML:AssociationEnd.multiplicity><UML:Multiplicity><UML:Multiplicity.range>)"
         R"(<UML:MultiplicityRange lower=")" + lower + R"(" upper=")" + upper +
         R"("/></UML:Multiplicity.range></UML:Multiplicity></UML:AssociationEnd.multiplicity></UML:AssociationEnd>)"
         R"(<UML:AssociationEnd xmi.id=")" + id + R"(.2" type="B" aggregation="none" isNavigable="false"/>)"
         R"(</UML:Association.connection></UML:Association>)";
}

TEST(XmiReaderTest, ShapesWithTheSameSubjectShareOneModelElement) {
  const auto m = readText(xmiDocument(kClassA + kClassB,
                                      classDiagram(shape("s1", "A") + shape("s2", "B") + shape("s3", "A"), "D1") +
                                          classDiagram(shape("s4", "A"), "D2")),
                          "m.xmi");
  ASSERT_EQ(m->diagrams.size(), 2u);
  ASSERT_EQ(m->pool.size(), 2u);  // A once, B once, in reading order
  EXPECT_EQ(m->pool.get(0)->getId(), "A");
  EXPECT_EQ(m->pool.get(1)->getId(), "B");
  ModelElement* a = m->pool.get(0);
  EXPECT_EQ(m->diagram(0)->getElement(0)->getModelElement(), a);
  EXPECT_EQ(m->diagram(0)->getElement(2)->getModelElement(), a);
  EXPECT_EQ(m->diagram(1)->getElement(0)->getModelElement(), a);
}

TEST(XmiReaderTest, EveryRelationShapeGetsItsOwnDummy) {
  const std::string model = kClassA + R"(<UML:Abstraction xmi.id="R" client="A" supplier="B"/>)";
  const auto m = readText(xmiDocument(model, classDiagram(shape("s1", "A", "RealizeRelation") +
                                                          shape("s2", "A", "RealizeRelation") +
                                                          shape("s3", "R", "DependencyRelation"))),
                          "m.xmi");
  ASSERT_EQ(m->diagrams.size(), 1u);
  ASSERT_EQ(m->pool.size(), 3u);  // three dummies; the class itself is never built
  for (std::size_t i = 0; i < 3; ++i) {
    auto* dummy = dynamic_cast<Dummy*>(m->pool.get(i));
    ASSERT_NE(dummy, nullptr) << i;
    EXPECT_EQ(m->diagram(0)->getElement(i)->getModelElement(), dummy);
    EXPECT_EQ(dummy->getId(), m->diagram(0)->getElement(i)->getId());
  }
  EXPECT_EQ(static_cast<Dummy*>(m->pool.get(0))->getSubjectId(), "A");
  EXPECT_EQ(static_cast<Dummy*>(m->pool.get(0))->getRelationKind(), "RealizeRelation");
  EXPECT_EQ(static_cast<Dummy*>(m->pool.get(2))->getRelationKind(), "DependencyRelation");
}

TEST(XmiReaderTest, RoleShapesNeverMakeModelElements) {
  // A diagram of role labels only has no element shapes and is dropped.
  const auto onlyRoles = readText(xmiDocument(kClassA, classDiagram(shape("r1", "A", "Role"))), "m.xmi");
  EXPECT_TRUE(onlyRoles->diagrams.empty());
  EXPECT_EQ(onlyRoles->pool.size(), 0u);

  const auto mixed =
      readText(xmiDocument(kClassA + association("S", "1", "1"),
                           classDiagram(shape("s1", "S") + shape("r1", "A", "Role") + shape("r2", "S.1", "Role"))),
               "m.xmi");
  ASSERT_EQ(mixed->diagrams.size(), 1u);
  EXPECT_EQ(mixed->pool.size(), 1u);  // the association only
  ASSERT_EQ(mixed->diagram(0)->getSupplementaryElementCount(), 2u);
  EXPECT_EQ(mixed->diagram(0)->getSupplementaryElement(0)->getSubjectId(), "A");
  EXPECT_EQ(mixed->diagram(0)->getSupplementaryElement(1)->getSubjectId(), "S.1");
}

TEST(XmiReaderTest, MultiplicityTexts) {
  struct Case {
    const char* name;
    std::string lower, upper, expected;
  } cases[] = {
      {"one to many", "1", "-1", "1 *"},
      {"zero to many", "0", "-1", "0 *"},
      {"exactly one", "1", "1", "1"},
      {"optional", "0", "1", "0 1"},
      {"many written as -1 on both sides", "-1", "-1", "-1 *"},
      {"range", "2", "5", "2 5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(multiplicityText(c.lower, c.upper), c.expected);
    const auto m = readText(xmiDocument(kClassA + association("S", c.lower, c.upper), classDiagram(shape("s", "S"))),
                            "m.xmi");
    ASSERT_EQ(m->pool.size(), 1u);
    auto* assoc = dynamic_cast<Association*>(m->pool.get(0));
    ASSERT_NE(assoc, nullptr);
    EXPECT_EQ(assoc->getFirstEnd()->getMultiplicity(), c.expected);
    // The second end has no multiplicity path at all: empty text.
    EXPECT_EQ(assoc->getSecondEnd()->getMultiplicity(), "");
  }
}

TEST(XmiReaderTest, AssociationEndsKeepTheirAttributes) {
  struct Case {
    const char* navigable;
    bool expected;
  } cases[] = {{"true", true}, {"True", false}, {"TRUE", false}, {"false", false}, {"", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.navigable);
    const auto m =
        readText(xmiDocument(association("S", "0", "1", c.navigable), classDiagram(shape("s", "S"))), "m.xmi");
    ASSERT_EQ(m->pool.size(), 1u);
    auto* assoc = static_cast<Association*>(m->pool.get(0));
    EXPECT_EQ(assoc->getName(), "uses");
    EXPECT_EQ(assoc->getFirstEnd()->isNavigable(), c.expected);
    EXPECT_EQ(assoc->getFirstEnd()->getId(), "S.1");
    EXPECT_EQ(assoc->getFirstEnd()->getType(), "A");
    EXPECT_EQ(assoc->getFirstEnd()->getAggregation(), "composite");
    EXPECT_EQ(assoc->getSecondEnd()->getType(), "B");
  }
}

TEST(XmiReaderTest, AttributesPrecedeOperationsWhateverTheFileOrder) {
  const auto m = readText(xmiDocument(kClassA, classDiagram(shape("s", "A"))), "m.xmi");
  ASSERT_EQ(m->pool.size(), 1u);
  auto* cls = dynamic_cast<Class*>(m->pool.get(0));
  ASSERT_NE(cls, nullptr);
  EXPECT_EQ(cls->getName(), "Alpha");
  ASSERT_EQ(cls->attributeCount(), 2u);
  ASSERT_EQ(cls->methodCount(), 2u);
  EXPECT_EQ(cls->getAttribute(0)->getName(), "size");
  EXPECT_EQ(cls->getAttribute(0)->getType(), "int");
  EXPECT_EQ(cls->getAttribute(0)->getVisibility(), "private");
  EXPECT_EQ(cls->getAttribute(1)->getName(), "name");
  EXPECT_EQ(cls->getMethod(0)->getName(), "run");
  EXPECT_EQ(cls->getMethod(0)->getType(), "");  // operations have no type
  EXPECT_EQ(cls->getMethod(1)->getVisibility(), "protected");
}

TEST(XmiReaderTest, EachKindIsBuiltFromItsElement) {
  const std::string model =
      R"(<UML:Interface xmi.id="I" name="Iface"><UML:Classifier.feature>)"
      R"(<UML:Attribute xmi.id="I.a" name="ignored" type="int" visibility="public"/>)"
      R"(<UML:Operation xmi.id="I.o" name="call" visibility="public"/></UML:Classifier.feature></UML:Interface>)"
      R"(<UML:Package xmi.id="P" name="pkg"><UML:Namespace.ownedElement>)" + kClassB +
      R"(</UML:Namespace.ownedElement></UML:Package>)"
      R"(<UML:Comment xmi.id="N1" name="A note"/><UML:Comment xmi.id="N2"/>)"
      R"(<UML:Generalization xmi.id="G" parent="I" child="B"/>)"
      R"(<UML:Dependency xmi.id="E" client="B" supplier="I" name="needs"/>)";
  const auto m = readText(xmiDocument(model, classDiagram(shape("1", "I") + shape("2", "P") + shape("3", "N1") +
                                                          shape("4", "N2") + shape("5", "G") + shape("6", "E") +
                                                          shape("7", "B"))),
                          "m.xmi");
  ASSERT_EQ(m->pool.size(), 7u);
  auto* iface = dynamic_cast<Interface*>(m->pool.get(0));
  ASSERT_NE(iface, nullptr);
  ASSERT_EQ(iface->getMethods().size(), 1u);  // interface attributes are not read
  EXPECT_EQ(iface->getMethods()[0]->getName(), "call");
  EXPECT_EQ(dynamic_cast<Package*>(m->pool.get(1))->getName(), "pkg");
  EXPECT_EQ(dynamic_cast<Note*>(m->pool.get(2))->getText(), "A note");
  EXPECT_EQ(dynamic_cast<Note*>(m->pool.get(3))->getText(), "");
  auto* gen = dynamic_cast<Inheritance*>(m->pool.get(4));
  ASSERT_NE(gen, nullptr);
  EXPECT_EQ(gen->getParent(), "I");
  EXPECT_EQ(gen->getChild(), "B");
  auto* dep = dynamic_cast<Dependency*>(m->pool.get(5));
  ASSERT_NE(dep, nullptr);
  EXPECT_EQ(dep->getClient(), "B");
  EXPECT_EQ(dep->getSupplier(), "I");
  EXPECT_EQ(dep->getName(), "needs");
  EXPECT_EQ(dynamic_cast<Class*>(m->pool.get(6))->getName(), "Beta");  // nested in a package
}

TEST(XmiReaderTest, ShapesThatNameNoBuildableElementAreDroppedWithADiagnostic) {
  struct Case {
    const char* name;
    std::string subject;
    std::string debugLine;
  } cases[] = {
      {"unknown identifier", "nowhere", "\n ERROR: MODEL ELEMENT IS NOT FOUND \n"},
      {"association end", "S.1", "\n SKIP \n"},
      {"attribute", "A.at1", "\n ERROR: UNEXPECTED ELEMENT FOR XMI PARSING \n"},
      {"operation", "A.op1", "\n ERROR: UNEXPECTED ELEMENT FOR XMI PARSING \n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DebugCapture debug;
    const auto m = readText(
        xmiDocument(kClassA + association("S", "1", "1"), classDiagram(shape("x", c.subject) + shape("a", "A"))),
        "m.xmi");
    EXPECT_TRUE(debug.contains(c.debugLine)) << debug.text();
    ASSERT_EQ(m->diagrams.size(), 1u);
    ASSERT_EQ(m->diagram(0)->getElementCount(), 1u);  // the rest of the diagram is read
    EXPECT_EQ(m->diagram(0)->getElement(0)->getId(), "a");
  }
}

TEST(XmiReaderTest, DiagramsOfUnknownTypeAndEmptyDiagramsAreSkipped) {
  const std::string diagrams =
      classDiagram(shape("1", "A"), "D1") +
      R"(<UML:Diagram xmi.id="D2" name="Seq" diagramType="SequenceDiagram"><UML:Diagram.element>)" +
      shape("2", "A") + "</UML:Diagram.element></UML:Diagram>" + classDiagram(shape("3", "missing"), "D3") +
      R"(<UML:Diagram xmi.id="D4" name="C" diagramType="PelkComponentDiagram"><UML:Diagram.element>)" +
      shape("4", "A") + "</UML:Diagram.element></UML:Diagram>";
  const auto m = readText(xmiDocument(kClassA, diagrams), "m.xmi");
  ASSERT_EQ(m->diagrams.size(), 2u);
  EXPECT_EQ(m->diagram(0)->getId(), "D1");
  EXPECT_EQ(m->diagram(0)->getName(), "Main");
  EXPECT_EQ(m->diagram(1)->getTypeName(), "PelkComponentDiagram");
}

TEST(XmiReaderTest, TheFirstElementWithAnIdentifierWinsAndElementsAfterTheModelAreFound) {
  const std::string document =
      "<XMI><XMI.content>"
      R"(<UML:Class xmi.id="before" name="BeforeTheModel"/>)"
      R"(<UML:Model xmi.id="m"><UML:Class xmi.id="dup" name="First"/><UML:Class xmi.id="dup" name="Second"/></UML:Model>)"
      R"(<UML:Class xmi.id="after" name="AfterTheModel"/>)" +
      classDiagram(shape("1", "dup") + shape("2", "after") + shape("3", "before")) + "</XMI.content></XMI>";
  const auto m = readText(document, "m.xmi");
  ASSERT_EQ(m->pool.size(), 2u);
  EXPECT_EQ(static_cast<Class*>(m->pool.get(0))->getName(), "First");
  EXPECT_EQ(static_cast<Class*>(m->pool.get(1))->getName(), "AfterTheModel");
}

TEST(XmiReaderTest, IncompleteDocumentsAreReadAsFarAsTheyGo) {
  struct Case {
    const char* name;
    std::string document;
    std::size_t diagrams;
    std::size_t pooled;
  } cases[] = {
      {"no XMI.content", "<XMI><UML:Model/></XMI>", 0, 0},
      {"empty XMI", "<XMI/>", 0, 0},
      {"no UML:Model: elements beside the diagrams are found",
       "<XMI><XMI.content>" + kClassB + classDiagram(shape("1", "B")) + "</XMI.content></XMI>", 1, 1},
      {"association without connection",
       xmiDocument(R"(<UML:Association xmi.id="S" name="x"/>)" + kClassB,
                   classDiagram(shape("1", "S") + shape("2", "B"))),
       1, 1},
      {"association with one end",
       xmiDocument(R"(<UML:Association xmi.id="S"><UML:Association.connection><UML:AssociationEnd xmi.id="e" type="B"/>)"
                   R"(</UML:Association.connection></UML:Association>)" + kClassB,
                   classDiagram(shape("1", "S") + shape("2", "B"))),
       1, 1},
      {"shape and elements without attributes",
       xmiDocument("<UML:Class/><UML:Comment/>", classDiagram("<UML:DiagramElement/>")), 0, 0},
      {"diagram without element list",
       xmiDocument(kClassB, R"(<UML:Diagram xmi.id="D" diagramType="ClassDiagram"/>)"), 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DebugCapture quiet;
    const auto m = readText(c.document, "m.xmi");
    EXPECT_TRUE(m->status.ok());
    EXPECT_EQ(m->diagrams.size(), c.diagrams);
    EXPECT_EQ(m->pool.size(), c.pooled);
  }
}

TEST(XmiReaderTest, ShapesWithoutAttributesReadAsEmptyText) {
  // An element whose xmi.id is missing matches the empty subject of a shape
  // without attributes; both read as empty text and nothing breaks.
  DebugCapture quiet;
  const auto m = readText(xmiDocument(R"(<UML:Class name="Anonymous"/>)", classDiagram("<UML:DiagramElement/>")),
                          "m.xmi");
  EXPECT_TRUE(m->diagrams.empty());  // no element carries xmi.id="", so the shape is dropped
  const auto named =
      readText(xmiDocument(R"(<UML:Class xmi.id="" name="EmptyId"/>)", classDiagram("<UML:DiagramElement/>")),
               "m.xmi");
  ASSERT_EQ(named->diagrams.size(), 1u);
  EXPECT_EQ(static_cast<Class*>(named->pool.get(0))->getName(), "EmptyId");
  // Invalid geometry gives a layout at the origin.
  EXPECT_EQ(*named->diagram(0)->getElement(0)->getCurrentLayout()->getLowerLeft(), Vec2());
}

TEST(XmiReaderTest, IndexFollowsDocumentPreOrderFromTheModel) {
  const std::string document =
      "<XMI><XMI.content><Before/><UML:Model><a><b/>text</a><c/></UML:Model><After><d/></After></XMI.content></XMI>";
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_string(document.c_str()));
  std::vector<Diagram*> diagrams;
  ModelElementsPool pool;
  DiagramParserXMI reader(diagrams, pool, doc);
  reader.parse();
  std::string order;
  for (const pugi::xml_node& node : reader.indexedNodes())
    order += node.type() == pugi::node_pcdata ? std::string("#") + node.value() : std::string(node.name());
  order += "|";
  EXPECT_EQ(order, "UML:Modelab#textcAfterd|");
}

// Which pooled element a shape shows: the pool's first element of the
// subject's identifier, whether this read pooled it (a class, or the Dummy
// of a relation shape carrying that identifier) or it was there before.
TEST(XmiReaderSubjectTest, AShapeNamingARelationShapeShowsItsDummy) {
  const auto m = readText(xmiDocument(kClassA, classDiagram(shape("R1", "A", "RealizeRelation") + shape("s2", "R1") +
                                                            shape("s3", "R1"))),
                          "m.xmi");
  ASSERT_EQ(m->pool.size(), 1u);  // only the Dummy; nothing named R1 is in the model part
  auto* dummy = dynamic_cast<Dummy*>(m->pool.get(0));
  ASSERT_NE(dummy, nullptr);
  ASSERT_EQ(m->diagram(0)->getElementCount(), 3u);
  EXPECT_EQ(m->diagram(0)->getElement(1)->getModelElement(), dummy);
  EXPECT_EQ(m->diagram(0)->getElement(2)->getModelElement(), dummy);
}

TEST(XmiReaderSubjectTest, AClassShownBeforeARelationShapeOfTheSameIdentifierStaysTheAnswer) {
  const auto m = readText(
      xmiDocument(kClassA, classDiagram(shape("s1", "A") + shape("A", "B", "DependencyRelation") + shape("s3", "A"))),
      "m.xmi");
  ASSERT_EQ(m->pool.size(), 2u);  // the class A, then the Dummy that also carries "A"
  EXPECT_EQ(m->pool.get(0)->getTypeName(), "Class");
  EXPECT_EQ(m->pool.get(1)->getTypeName(), "Dummy");
  EXPECT_EQ(m->diagram(0)->getElement(2)->getModelElement(), m->pool.get(0));
}

TEST(XmiReaderSubjectTest, AnElementAlreadyPooledIsShownAndNotBuiltAgain) {
  const std::string text = xmiDocument(kClassA + kClassB, classDiagram(shape("s1", "A") + shape("s2", "B")));
  std::vector<Diagram*> diagrams;
  ModelElementsPool pool;
  Class* earlier = createClass("A", "Earlier");
  pool.add(earlier);
  DiagramParserController controller(diagrams, pool);
  controller.openBuffer(text.data(), text.size(), "m.xmi");
  ASSERT_EQ(diagrams.size(), 1u);
  EXPECT_EQ(pool.size(), 2u);  // the earlier A and the new B
  EXPECT_EQ(diagrams[0]->getElement(0)->getModelElement(), earlier);
  EXPECT_EQ(diagrams[0]->getElement(1)->getModelElement(), pool.get(1));
  for (Diagram* d : diagrams) delete d;
}

// Attributes are read in one pass over an element's attribute list: their
// order in the file does not matter, the first of a repeated name counts
// and a missing one reads as empty text.
TEST(XmiReaderSubjectTest, AttributesAreReadWhateverTheirOrder) {
  struct Case {
    const char* name;
    const char* attribute;
    const char* expectName;
    const char* expectType;
    const char* expectVisibility;
  };
  const Case cases[] = {
      {"file order", R"(xmi.id="f" name="size" type="int" visibility="private")", "size", "int", "private"},
      {"reversed", R"(visibility="private" type="int" name="size" xmi.id="f")", "size", "int", "private"},
      {"repeated name", R"(xmi.id="f" name="first" type="int" name="second" visibility="public")", "first", "int",
       "public"},
      {"missing type", R"(name="size" xmi.id="f" visibility="package")", "size", "", "package"},
      {"extra attributes", R"(ownerScope="x" xmi.id="f" a="1" name="n" b="2" type="t" visibility="v")", "n", "t",
       "v"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string cls = std::string(R"(<UML:Class name="C" xmi.id="C"><UML:Classifier.feature><UML:Attribute )") +
                            c.attribute + "/></UML:Classifier.feature></UML:Class>";
    const auto m = readText(xmiDocument(cls, classDiagram(shape("s1", "C"))), "m.xmi");
    ASSERT_EQ(m->pool.size(), 1u);
    auto* read = dynamic_cast<Class*>(m->pool.get(0));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->getName(), "C");
    ASSERT_EQ(read->getAttributes().size(), 1u);
    const Attribute* a = read->getAttribute(0);
    EXPECT_EQ(a->getId(), "f");
    EXPECT_EQ(a->getName(), c.expectName);
    EXPECT_EQ(a->getType(), c.expectType);
    EXPECT_EQ(a->getVisibility(), c.expectVisibility);
  }
}

// A look-up of an identifier that no shape names walks the document in
// index order and stops at the first element that carries it.
TEST(XmiReaderSubjectTest, DirectLookUpsOfIdentifiersNoShapeNamesFindTheFirstInIndexOrder) {
  pugi::xml_document document;
  const std::string text =
      xmiDocument(kClassB + R"(<UML:Package xmi.id="P"><UML:Class xmi.id="X" name="Inner"/></UML:Package>)" +
                      R"(<UML:Class xmi.id="X" name="Outer"/>)",
                  classDiagram(shape("s1", "B")));
  ASSERT_TRUE(document.load_string(text.c_str()));
  std::vector<Diagram*> diagrams;
  ModelElementsPool pool;
  DiagramParserXMI reader(diagrams, pool, document);
  reader.parse();
  ASSERT_EQ(pool.size(), 1u);

  std::unique_ptr<ModelElement> inner(reader.findModelElement("X"));
  auto* cls = dynamic_cast<Class*>(inner.get());
  ASSERT_NE(cls, nullptr);
  EXPECT_EQ(cls->getName(), "Inner") << "the nested class comes first in pre-order";

  DebugCapture capture;
  EXPECT_EQ(reader.findModelElement("nowhere"), nullptr);
  EXPECT_NE(capture.text().find("MODEL ELEMENT IS NOT FOUND"), std::string::npos);
  for (Diagram* d : diagrams) delete d;
}

// Features in both forms XMI 1.x writes them, with types given by name, by
// identifier in an attribute and by reference element.
TEST(XmiFeatureDetailsTest, TypesVisibilityScopeMultiplicityAndParameters) {
  const std::string model =
      R"(<UML:DataType xmi.id="T_money" name="Money"/><UML:Class xmi.id="C" name="Shop"><UML:Classifier.feature>)"
      R"(<UML:Attribute xmi.id="a1" name="owner" type="String" visibility="private"/>)"
      R"(<UML:Attribute xmi.id="a2" name="total" type="T_money" ownerScope="classifier">)"
      R"(<UML:ModelElement.visibility xmi.value="protected"/>)"
      R"(<UML:StructuralFeature.multiplicity><UML:Multiplicity><UML:Multiplicity.range>)"
      R"(<UML:MultiplicityRange lower="0" upper="-1"/></UML:Multiplicity.range></UML:Multiplicity>)"
      R"(</UML:StructuralFeature.multiplicity></UML:Attribute>)"
      R"(<UML:Attribute xmi.id="a3" name="due"><UML:StructuralFeature.type><UML:DataType xmi.idref="T_money"/>)"
      R"(</UML:StructuralFeature.type></UML:Attribute>)"
      R"(<UML:Operation xmi.id="o1" name="pay" visibility="public"><UML:BehavioralFeature.parameter>)"
      R"(<UML:Parameter xmi.id="p0" name="return" kind="return" type="T_money"/>)"
      R"(<UML:Parameter xmi.id="p1" name="amount" kind="in"><UML:Parameter.type><UML:DataType xmi.idref="T_money"/>)"
      R"(</UML:Parameter.type></UML:Parameter><UML:Parameter xmi.id="p2" name="note" type="String"/>)"
      R"(</UML:BehavioralFeature.parameter></UML:Operation>)"
      R"(<UML:Operation xmi.id="o2" name="reset"/></UML:Classifier.feature></UML:Class>)";
  const auto m = readText(xmiDocument(model, classDiagram(shape("s1", "C"))), "m.xmi");
  ASSERT_EQ(m->pool.size(), 1u);
  auto* shop = dynamic_cast<Class*>(m->pool.get(0));
  ASSERT_NE(shop, nullptr);
  struct Expected {
    const char* name;
    const char* type;
    const char* visibility;
    const char* multiplicity;
    bool isStatic;
  };
  const Expected attributes[] = {{"owner", "String", "private", "", false},
                                 {"total", "Money", "protected", "0..*", true},
                                 {"due", "Money", "", "", false}};
  ASSERT_EQ(shop->attributeCount(), std::size(attributes));
  for (std::size_t i = 0; i < std::size(attributes); ++i) {
    SCOPED_TRACE(attributes[i].name);
    const Attribute* a = shop->getAttribute(i);
    EXPECT_EQ(a->getName(), attributes[i].name);
    EXPECT_EQ(a->getType(), attributes[i].type);
    EXPECT_EQ(a->getVisibility(), attributes[i].visibility);
    EXPECT_EQ(a->multiplicity(), attributes[i].multiplicity);
    EXPECT_EQ(a->isStatic(), attributes[i].isStatic);
  }
  ASSERT_EQ(shop->methodCount(), 2u);
  EXPECT_EQ(shop->getMethod(0)->getType(), "Money");  // the return parameter
  EXPECT_EQ(shop->getMethod(0)->parameters(),
            (std::vector<Parameter>{{"amount", "Money"}, {"note", "String"}}));
  EXPECT_EQ(shop->getMethod(1)->getType(), "");
  EXPECT_TRUE(shop->getMethod(1)->parameters().empty());
}

// Relation shapes carry the relation their subject describes: its kind from
// the shape's style (or a usage's tag), its ends, its stereotype as name.
TEST(XmiFeatureDetailsTest, RelationShapesCarryTheirSubjectsRelation) {
  const std::string model =
      kClassA + kClassB +
      R"(<UML:Stereotype xmi.id="st_use" name="use"/>)"
      R"(<UML:Abstraction xmi.id="R1" client="A" supplier="B"><UML:ModelElement.stereotype>)"
      R"(<UML:Stereotype name="realize"/></UML:ModelElement.stereotype></UML:Abstraction>)"
      R"(<UML:Usage xmi.id="R2" stereotype="st_use"><UML:Dependency.client><UML:Class xmi.idref="B"/>)"
      R"(</UML:Dependency.client><UML:Dependency.supplier><UML:Class xmi.idref="A"/></UML:Dependency.supplier></UML:Usage>)"
      R"(<UML:Dependency xmi.id="R3" client="A" supplier="B" name="calls"/>)"
      R"(<UML:Dependency xmi.id="R4" client="A"/>)";
  const auto m = readText(xmiDocument(model, classDiagram(shape("s1", "R1", "RealizeRelation") +
                                                          shape("s2", "R2", "DependencyRelation") +
                                                          shape("s3", "R3", "DependencyRelation") +
                                                          shape("s4", "R4", "DependencyRelation") +
                                                          shape("s5", "missing", "RealizeRelation"))),
                          "m.xmi");
  struct Expected {
    const char* shape;
    bool hasRelation;
    Dependency::Kind kind;
    const char* client;
    const char* supplier;
    const char* name;
  };
  const Expected cases[] = {{"s1", true, Dependency::Kind::Realization, "A", "B", "<<realize>>"},
                            {"s2", true, Dependency::Kind::Usage, "B", "A", "<<use>>"},
                            {"s3", true, Dependency::Kind::Dependency, "A", "B", "calls"},
                            {"s4", false, {}, "", "", ""},
                            {"s5", false, {}, "", "", ""}};
  ASSERT_EQ(m->pool.size(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Expected& c = cases[i];
    SCOPED_TRACE(c.shape);
    auto* dummy = dynamic_cast<Dummy*>(m->pool.get(i));
    ASSERT_NE(dummy, nullptr);  // still a Dummy: the diagram file is written as before
    EXPECT_EQ(dummy->getId(), c.shape);
    auto* relation = dynamic_cast<Dependency*>(dummy->getRelation());
    ASSERT_EQ(relation != nullptr, c.hasRelation);
    if (!relation) continue;
    EXPECT_EQ(relation->getId(), c.shape);  // selected and picked as the Dummy
    EXPECT_EQ(relation->kind(), c.kind);
    EXPECT_EQ(relation->getClient(), c.client);
    EXPECT_EQ(relation->getSupplier(), c.supplier);
    EXPECT_EQ(relation->getName(), c.name);
  }
}

}  // namespace
}  // namespace lumetra
