#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/Model.h"

namespace lumetra {
namespace {

// Records which visitor operation was called.
class RecordingVisitor : public ModelVisitor {
 public:
  std::vector<std::string> calls;
  void visitPelkConnection(PelkConnection*) override { calls.push_back("PelkConnection"); }
  void visitPelkInterface(PelkInterface*) override { calls.push_back("PelkInterface"); }
  void visitPelkService(PelkService*) override { calls.push_back("PelkService"); }
  void visitPackage(Package*) override { calls.push_back("Package"); }
  void visitDependency(Dependency*) override { calls.push_back("Dependency"); }
  void visitInterface(Interface*) override { calls.push_back("Interface"); }
  void visitInheritance(Inheritance*) override { calls.push_back("Inheritance"); }
  void visitAssociation(Association*) override { calls.push_back("Association"); }
  void visitClass(Class*) override { calls.push_back("Class"); }
  void visitModelElement(ModelElement*) override { calls.push_back("ModelElement"); }
};

TEST(VisitorTest, EachClassDispatchesToItsOperation) {
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
  const std::pair<ModelElement*, const char*> table[] = {
      {&c, "Class"},         {&i, "Interface"},       {&p, "Package"},         {&n, "ModelElement"},
      {&a, "ModelElement"},  {&m, "ModelElement"},    {&as, "Association"},    {&ae, "ModelElement"},
      {&in, "Inheritance"},  {&de, "Dependency"},     {&du, "ModelElement"},   {&ps, "PelkService"},
      {&pi, "PelkInterface"}, {&pc, "PelkConnection"},
  };
  for (auto [element, expected] : table) {
    RecordingVisitor v;
    element->accept(v);
    ASSERT_EQ(v.calls.size(), 1u) << element->getTypeName();
    EXPECT_EQ(v.calls[0], expected) << element->getTypeName();
  }
}

TEST(ModelElementsPoolTest, FindReturnsTheFirstAddedAndClearEmpties) {
  ModelElementsPool pool;
  EXPECT_EQ(pool.find("x"), nullptr);
  auto* first = new Class("x", "first");
  auto* second = new Class("x", "second");
  auto* other = new Note("y", "note");
  pool.add(first);
  pool.add(other);
  pool.add(second);
  EXPECT_EQ(pool.find("x"), first);
  EXPECT_EQ(pool.find("y"), other);
  EXPECT_EQ(pool.find("X"), nullptr) << "identifiers are case-sensitive";
  EXPECT_EQ(pool.find(""), nullptr);
  EXPECT_EQ(pool.size(), 3u);
  EXPECT_EQ(pool.get(2), second);
  pool.clear();
  EXPECT_EQ(pool.size(), 0u);
  EXPECT_EQ(pool.find("x"), nullptr);
  auto* again = new Class("x", "again");
  pool.add(again);
  EXPECT_EQ(pool.find("x"), again) << "the index is rebuilt after clear";
}

TEST(ModelElementsPoolTest, EmptyIdentifierIsFoundLikeAnyOther) {
  ModelElementsPool pool;
  auto* anonymous = new Class("", "anonymous");
  pool.add(anonymous);
  EXPECT_EQ(pool.find(""), anonymous);
}

TEST(ModelElementsPoolTest, ReserveKeepsWhatIsPooledAndItsOrder) {
  // Reserving below, at and above the current size, then adding past the
  // reserved count: nothing is lost, order and first-match stay.
  ModelElementsPool pool;
  std::vector<ModelElement*> added;
  const std::size_t reserves[] = {4, 2, 3, 0, 10};
  for (std::size_t round = 0; round < 5; ++round) {
    pool.reserve(reserves[round]);
    for (int i = 0; i < 3; ++i) {
      auto* element = new Class("id" + std::to_string(i), "round" + std::to_string(round));
      pool.add(element);
      added.push_back(element);
    }
  }
  ASSERT_EQ(pool.size(), added.size());
  for (std::size_t i = 0; i < added.size(); ++i) EXPECT_EQ(pool.get(i), added[i]);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(pool.find("id" + std::to_string(i)), added[i]) << "the first added wins";
}

TEST(VisualElementTest, ByReferenceAccessorsShowTheCurrentState) {
  VisualElement element("e", new VisualElementLayout("First"));
  const auto& layouts = element.layoutsRef();
  element.addLayout(new VisualElementLayout("Second"));
  ASSERT_EQ(layouts.size(), 2u) << "the reference follows later additions";
  EXPECT_EQ(layouts, element.getLayouts());
  layouts[1]->setName("Renamed");
  EXPECT_EQ(layouts[1]->nameRef(), "Renamed");
}

TEST(DiagramTest, FindElementMatchesModelIdNotShapeId) {
  Class a("model-a", "A");
  Class b("model-b", "B");
  ClassDiagram diagram("d", "Main");
  auto* shapeA = new DiagramElement("shape-a");
  auto* shapeB = new DiagramElement("model-a");  // shape id equal to another model id
  auto* shapeB2 = new DiagramElement("shape-b2");
  shapeA->setModelElement(&a);
  shapeB->setModelElement(&b);
  shapeB2->setModelElement(&b);
  diagram.addElement(shapeB);
  diagram.addElement(shapeA);
  diagram.addElement(shapeB2);
  EXPECT_EQ(diagram.findElement("model-a"), shapeA);
  EXPECT_EQ(diagram.findElement("model-b"), shapeB) << "first match wins";
  EXPECT_EQ(diagram.findElement("shape-a"), nullptr);
  EXPECT_EQ(diagram.getName(), "Main");
  EXPECT_EQ(diagram.getElementCount(), 3u);
  // getElements hands out the list itself.
  std::swap(diagram.getElements()[0], diagram.getElements()[1]);
  EXPECT_EQ(diagram.getElement(0), shapeA);
}

TEST(DiagramTest, SupplementaryElementsAreFoundBySubject) {
  Diagram diagram("d");
  auto* role1 = new VisualSupplElement("r1");
  auto* role2 = new VisualSupplElement("r2");
  role1->setSubjectId("end-1");
  role2->setSubjectId("end-1");
  diagram.addSupplementaryElement(role1);
  diagram.addSupplementaryElement(role2);
  EXPECT_EQ(diagram.findSupplementaryElement("end-1"), role1);
  EXPECT_EQ(diagram.findSupplementaryElement("r1"), nullptr);
  EXPECT_EQ(diagram.getSupplementaryElementCount(), 2u);
}

TEST(ClassTest, FeaturesOfTheWrongKindAreRefused) {
  Class cls("c", "Customer");
  EXPECT_EQ(cls.getName(), "Customer");
  EXPECT_EQ(cls.getId(), "c");
  Method m("m", "pay", "", "public");
  Attribute a("a", "balance", "int", "private");
  EXPECT_EQ(cls.addAttribute(&m), nullptr);
  EXPECT_EQ(cls.addMethod(&a), nullptr);
  EXPECT_TRUE(cls.getAttributes().empty());
  EXPECT_TRUE(cls.getMethods().empty());
  auto* owned = new Attribute("a2", "name", "string", "private");
  EXPECT_EQ(cls.addAttribute(owned), &cls);
  EXPECT_EQ(cls.getAttribute(0), owned);

  Interface iface("i", "Payable");
  EXPECT_EQ(iface.addMethod(&a), nullptr);
  EXPECT_TRUE(iface.getMethods().empty());
}

TEST(AssociationTest, EndsMustBeAssociationEnds) {
  Association assoc("as", "owns");
  auto* end1 = new AssociationEnd("e1");
  EXPECT_EQ(assoc.setFirstEnd(end1), &assoc);
  Class notAnEnd("c");
  EXPECT_EQ(assoc.setFirstEnd(&notAnEnd), nullptr);
  EXPECT_EQ(assoc.getFirstEnd(), end1);
  EXPECT_EQ(assoc.getSecondEnd(), nullptr);
}

TEST(ScenarioElementsTest, ProvidedAndRequiredAreSeparate) {
  PelkService service("s", "Billing");
  PelkInterface in("in", "orders", "s");
  PelkInterface out("out", "invoices", "s");
  in.setKind("provided");
  out.setKind("required");
  service.addProvided(&in);
  service.addRequired(&out);
  EXPECT_EQ(service.findProvided("in"), &in);
  EXPECT_EQ(service.findProvided("out"), nullptr);
  EXPECT_EQ(service.findRequired("out"), &out);
  EXPECT_TRUE(out.getOperations().empty());
  in.addOperation("place");
  in.addOperation("cancel");
  EXPECT_EQ(in.getOperations(), (std::vector<std::string>{"place", "cancel"}));
  PelkConnection half("c");
  half.setFirstEnd(&in);
  EXPECT_EQ(half.getFirstEnd(), &in);
  EXPECT_EQ(half.getSecondEnd(), nullptr);
}

}  // namespace
}  // namespace lumetra
