// The UML2 reader over one small file per dialect: each read model is
// written out as one line per element, feature, relation and shape, and
// the table names lines that must be there ("!" lines that must not).
// The model's name is a line too; the notes the read leaves for the user
// are lines that "!" lines do not look at.

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "layout/BoxSize.h"
#include "model/Namespaces.h"
#include "modelfiles/ModelLoader.h"
#include "model/UmlElements.h"
#include "modelfiles/DiagramParserUML2.h"
#include "tests/modelfiles/ReadHelpers.h"

namespace lumetra {
namespace {

std::string features(const Feature& f) {
  std::string line = f.getName() + " : " + f.getType() + " " + f.getVisibility();
  if (auto* a = dynamic_cast<const Attribute*>(&f); a && !a->multiplicity().empty()) line += " [" + a->multiplicity() + "]";
  if (f.isStatic()) line += " static";
  if (auto* m = dynamic_cast<const Method*>(&f)) {
    line += " (";
    for (const Parameter& p : m->parameters()) line += p.name + ":" + p.type + " ";
    line += m->isAbstract() ? ") abstract" : ")";
  }
  return line;
}

std::string end(const AssociationEnd* e) {
  return e->getType() + "[" + e->getMultiplicity() + "]" + e->getAggregation() + (e->isNavigable() ? ">" : "");
}

// One line per element of the pool and per shape of each diagram.
std::string describe(const testing::ReadModel& m) {
  std::ostringstream out;
  out << "model " << m.status.modelName << "\n";
  for (std::size_t i = 0; i < m.pool.size(); ++i) {
    const ModelElement* e = m.pool.get(i);
    const std::string q = qualifiedName(*e, m.pool);
    if (auto* c = dynamic_cast<const Class*>(e)) {
      out << "class " << q << (c->isAbstract() ? " abstract" : "") << " " << c->getExtraText() << "\n";
      for (const Attribute* a : c->getAttributes()) out << "attribute " << q << "." << features(*a) << "\n";
      for (const Method* o : c->getMethods()) out << "operation " << q << "." << features(*o) << "\n";
    } else if (auto* f = dynamic_cast<const Interface*>(e)) {
      out << "interface " << q << "\n";
      for (const Method* o : f->getMethods()) out << "operation " << q << "." << features(*o) << "\n";
    } else if (auto* g = dynamic_cast<const Inheritance*>(e)) {
      out << "generalization " << g->getId() << " " << g->getChild() << " -> " << g->getParent() << "\n";
    } else if (auto* d = dynamic_cast<const Dependency*>(e)) {
      static const char* kinds[] = {"dependency", "usage", "realization"};
      out << kinds[static_cast<int>(d->kind())] << " " << d->getClient() << " -> " << d->getSupplier() << "\n";
    } else if (auto* a = dynamic_cast<const Association*>(e)) {
      out << "association " << a->getName() << " " << end(a->getFirstEnd()) << " " << end(a->getSecondEnd()) << "\n";
      out << "roles " << a->getName() << " " << a->getFirstEnd()->getName() << " " << a->getSecondEnd()->getName() << "\n";
    } else if (auto* n = dynamic_cast<const Note*>(e)) {
      out << "note " << n->getText() << "\n";
    } else {
      out << e->getTypeName() << " " << q << "\n";
    }
  }
  for (const Diagram* d : m.diagrams) {
    for (DiagramElement* s : const_cast<Diagram*>(d)->getElements()) {
      const VisualElementLayout* l = s->getCurrentLayout();
      const Vec2 lo = *l->getLowerLeft(), hi = *l->getUpperRight();
      out << "shape " << d->getName() << " " << s->getModelElement()->getId() << " " << lo.x << "," << lo.y << " "
          << hi.x - lo.x << "x" << hi.y - lo.y << "\n";
      if (s->waypoints().empty()) continue;
      out << "route " << d->getName() << " " << s->getModelElement()->getId();
      for (Vec2 p : s->waypoints()) out << " " << p.x << "," << p.y;
      out << "\n";
    }
  }
  return out.str();
}

struct Case {
  const char* file;
  std::size_t diagrams;
  std::vector<const char*> lines;
};

TEST(Uml2ReaderTest, EachDialectReadsIntoTheModel) {
  const Case cases[] = {
      {"shop.uml", 1,
       {"Package shop.orders\n", "class shop.orders.Order abstract \n",
        "attribute shop.orders.Order.id : String private static\n", "attribute shop.orders.Order.tags : Tag public [0..*]\n",
        "!Order.lines", "operation shop.orders.Order.add : Boolean public (line:OrderLine quantity:_int7 ) abstract\n",
        "class shop.orders.Tag enumeration\n", "attribute shop.orders.Tag.GIFT :  public\n",
        "interface shop.orders.Priced\n", "operation shop.orders.Priced.total :  public ()\n",
        "realization _order -> _priced\n", "generalization _g _line -> _order\n",
        "association holds _line[1 *]none> _order[1]composite\n", "note Orders are never deleted.\n",
        "shape Orders _p 100,50 400x300\n", "shape Orders _order 120,40 160x90\n", "shape Orders _line 0,400 ",
        "shape Orders _c 600,40 120x50\n", "shape Orders _a ", "shape Orders _g ", "!_gone", "!Lifecycle",
        // Papyrus bend points, relative to the anchors, turned to run from the first end.
        "route Orders _a 0,285 0,85\n", "!route Orders _g", "roles holds lines order\n", "model shop\n",
        "shop.uml: shapes of elements the model does not show left out (2, the first '_gone')\n"}},
      {"ea.xmi", 1,
       {"class EA_Model.Billing.Invoice \n", "class EA_Model.Billing.Client\xC3\xA9 \n",
        "attribute EA_Model.Billing.Invoice.number : String private\n",
        "operation EA_Model.Billing.Invoice.pay : void public (amount:double )\n",
        "association  EAID_inv[0 *]aggregate> EAID_cli[1]none\n", "usage EAID_inv -> EAID_stub\n",
        "shape Billing overview EAID_inv 100,80 150x90\n", "shape Billing overview EAID_cli 400,80 120x60\n",
        "shape Billing overview EAID_as ", "!EAID_stub 600", "route Billing overview EAID_as 300,200 350,200\n",
        "model EA_Model\n", "ea.xmi: shapes of elements the model does not show left out ('EAID_stub')\n"}},
      {"plain.xmi", 0,
       {"class Library.core.Book Copy \n", "attribute Library.core.Book Copy.next : Book Copy public\n",
        "attribute Library.core.Book Copy.shelf : nowhere public\n", "!ghost", "class Library.core.ISBN dataType\n",
        "association lent book[1]none reader[0 *]composite>\n", "usage reader -> isbn\n", "generalization g1 book -> item\n",
        "!generalization g2", "!generalization g3", "!half", "!Borrow", "roles lent  reader\n",
        "plain.xmi: types naming identifiers the file does not hold, shown by the identifier ('nowhere')\n",
        "plain.xmi: associations without two ends that can be found left out ('half')\n",
        "plain.xmi: generalizations closing a cycle left out ('g2')\n",
        "plain.xmi: generalizations naming their own class left out ('reader')\n"}},
      {"di.xmi", 1,
       // The cycle loses the later link; its edge, read afterwards, is left out.
       {"class Shapes.Shape \n", "generalization BA A -> B\n", "!generalization AB", "!shape Geometry AB",
        "shape Geometry A 40,30 120x60\n", "shape Geometry B 40,200 120x60\n", "shape Geometry BA 85,140 30x10\n",
        "route Geometry dep 200,230 200,60\n", "!route Geometry BA"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    auto m = std::make_unique<testing::ReadModel>();
    DiagramParserController controller(m->diagrams, m->pool);
    testing::DebugCapture quiet;
    controller.open(std::string(LUMETRA_TEST_DATA_DIR) + "/uml2/" + c.file);
    m->status = controller.status();
    ASSERT_TRUE(controller.status().ok()) << controller.status().message();
    EXPECT_EQ(m->diagrams.size(), c.diagrams);
    const std::string text = describe(*m);
    std::string told;
    for (const std::string& note : m->status.notes) told += note + "\n";
    for (const char* line : c.lines) {
      if (line[0] == '!') EXPECT_EQ(text.find(line + 1), std::string::npos) << line << " in\n" << text;
      else EXPECT_NE((text + told).find(line), std::string::npos) << line << " not in\n" << text << told;
    }
  }
}

// Loaded as the viewer loads it: classes that no diagram of the file shows
// (all of them without geometry) get generated diagrams, and an auto-sized
// shape has the size the automatic layout gives its class.
TEST(Uml2ReaderTest, ClassesNoDiagramShowsAreLaidOut) {
  for (const char* file : {"plain.xmi", "shop.uml"}) {
    SCOPED_TRACE(file);
    testing::ReadModel m;
    testing::DebugCapture quiet;
    m.status = loadModel(std::string(LUMETRA_TEST_DATA_DIR) + "/uml2/" + file, m.diagrams, m.pool);
    ASSERT_TRUE(m.status.ok()) << m.status.message();
    std::set<const ModelElement*> shown;
    for (Diagram* d : m.diagrams)
      for (DiagramElement* s : d->getElements()) {
        shown.insert(s->getModelElement());
        if (s->getModelElement()->getId() != "_line" || d->getName() != "Orders") continue;
        const VisualElementLayout* l = s->getCurrentLayout();
        const Vec2 size = *l->getUpperRight() - *l->getLowerLeft(), wanted = contentBoxSize(*s->getModelElement());
        EXPECT_FLOAT_EQ(size.x, wanted.x);
        EXPECT_FLOAT_EQ(size.y, wanted.y);
      }
    for (std::size_t i = 0; i < m.pool.size(); ++i) {
      const ModelElement* e = m.pool.get(i);
      if (dynamic_cast<const Class*>(e) || dynamic_cast<const Interface*>(e)) {
        EXPECT_TRUE(shown.count(e)) << e->getId() << " on no diagram";
      }
    }
  }
}

TEST(Uml2ReaderTest, UnreadableDocumentsGiveTheLineAndKeepNothing) {
  const std::string head = R"(<xmi:XMI xmlns:xmi="http://www.omg.org/XMI" xmlns:uml="http://www.eclipse.org/uml2/5.0.0/UML">)";
  std::string deep = head + "\n<uml:Model xmi:id=\"m\">\n";
  for (int i = 0; i < 10000; ++i) deep += "<packagedElement xmi:type=\"uml:Package\" xmi:id=\"p" + std::to_string(i) + "\">\n";
  for (int i = 0; i < 10000; ++i) deep += "</packagedElement>";
  deep += "</uml:Model></xmi:XMI>";
  struct Bad {
    std::string text;
    LoadStatus::Outcome outcome;
    unsigned line;
  } cases[] = {
      {deep, LoadStatus::Outcome::Rejected, 2u + DiagramParserUML2::kMaxPackageDepth},
      {R"(<uml:Model xmlns:uml="http://example.com/not/UML"/>)", LoadStatus::Outcome::NoReader, 0},
      {head + "<uml:Class/>", LoadStatus::Outcome::NotLoaded, 1},
  };
  for (const Bad& c : cases) {
    const auto m = testing::readText(c.text, "bad.uml");
    EXPECT_EQ(m->status.outcome, c.outcome) << m->status.message();
    EXPECT_EQ(m->status.line, c.line) << m->status.message();
    EXPECT_FALSE(m->status.reason.empty());
    EXPECT_EQ(m->pool.size(), 0u);
    EXPECT_TRUE(m->diagrams.empty());
  }
}

}  // namespace
}  // namespace lumetra
