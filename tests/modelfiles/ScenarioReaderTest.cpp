#include <gtest/gtest.h>

#include <climits>

#include "model/ScenarioElements.h"
#include "modelfiles/DiagramParserPelk.h"
#include "tests/modelfiles/ReadHelpers.h"

namespace lumetra {
namespace {

using testing::readText;

std::string scenario(const std::string& nodes, const std::string& attributes = R"(id="sc" Name="Flow")") {
  return "<?xml version=\"1.0\"?>\n<scenario " + attributes + ">" + nodes + "</scenario>";
}

PelkConnection* connection(const testing::ReadModel& m, const std::string& id) {
  return dynamic_cast<PelkConnection*>(m.pool.find(id));
}

TEST(ScenarioReaderTest, NodesBecomeServicesWithInterfaceShapes) {
  const auto m = readText(scenario(R"(<nodes id="n1" Name="Reader" x="100" y="50">)"
                                   R"(<outputs id="o1" Name="out"/><inputs id="i1" Name="in">)"
                                   R"(<operations Name="read"/><operations Name="close"/></inputs>)"
                                   R"(<inputs id="i2" Name="control"/></nodes>)"),
                          "flow.scenario");
  ASSERT_EQ(m->diagrams.size(), 1u);
  Diagram* d = m->diagram(0);
  EXPECT_EQ(d->getTypeName(), "PelkComponentDiagram");
  EXPECT_EQ(d->getId(), "sc");
  EXPECT_EQ(d->getName(), "Flow");
  ASSERT_EQ(d->getElementCount(), 1u);
  auto* node = dynamic_cast<ComposedDiagramElement*>(d->getElement(0));
  ASSERT_NE(node, nullptr);
  auto* service = dynamic_cast<PelkService*>(node->getModelElement());
  ASSERT_NE(service, nullptr);
  EXPECT_EQ(service->getName(), "Reader");

  // Inputs first, then outputs, whatever their order in the file.
  ASSERT_EQ(node->getChildCount(), 3u);
  const char* ids[] = {"i1", "i2", "o1"};
  const char* kinds[] = {"provided", "provided", "required"};
  for (std::size_t i = 0; i < 3; ++i) {
    auto* iface = dynamic_cast<PelkInterface*>(node->getChild(i)->getModelElement());
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->getId(), ids[i]);
    EXPECT_EQ(iface->getKind(), kinds[i]);
    EXPECT_EQ(iface->getServiceId(), "n1");
    // No corners yet: the markers are placed after loading.
    EXPECT_EQ(node->getChild(i)->getCurrentLayout()->getLowerLeft(), nullptr);
  }
  EXPECT_EQ(service->getProvided().size(), 2u);
  EXPECT_EQ(service->getRequired().size(), 1u);
  EXPECT_EQ(static_cast<PelkInterface*>(node->getChild(0)->getModelElement())->getOperations(),
            (std::vector<std::string>{"read", "close"}));
  // Pool order: service, then its interfaces as read.
  ASSERT_EQ(m->pool.size(), 4u);
  EXPECT_EQ(m->pool.get(0), service);
  EXPECT_EQ(m->pool.get(1)->getId(), "i1");
}

TEST(ScenarioReaderTest, NodeExtentGrowsWithTheLongerInterfaceList) {
  const auto m = readText(scenario(R"(<nodes id="n" Name="N" x="280" y="140">)"
                                   R"(<inputs id="a" Name="a"/><inputs id="b" Name="b"/><inputs id="c" Name="c"/>)"
                                   R"(<outputs id="d" Name="d"/></nodes>)"),
                          "s.scenario");
  ASSERT_EQ(m->diagrams.size(), 1u);
  const VisualElementLayout* layout = m->diagram(0)->getElement(0)->getCurrentLayout();
  // Extent (180, 30 * 3 + 50) = (180, 140) around (280, 140), then / 1.4.
  const float inverse = 1.0f / 1.4f;
  EXPECT_FLOAT_EQ(layout->getLowerLeft()->x, 190.0f * inverse);
  EXPECT_FLOAT_EQ(layout->getLowerLeft()->y, 70.0f * inverse);
  EXPECT_FLOAT_EQ(layout->getUpperRight()->x, 370.0f * inverse);
  EXPECT_FLOAT_EQ(layout->getUpperRight()->y, 210.0f * inverse);
}

TEST(ScenarioReaderTest, ConnectionsPairAtTheSecondInterfaceThatNamesThem) {
  const auto m = readText(scenario(R"(<nodes id="n1" Name="A" x="0" y="0"><outputs id="out" Name="o" edges="a b"/></nodes>)"
                                   R"(<nodes id="n2" Name="B" x="300" y="0"><inputs id="in" Name="i" edges="b a"/></nodes>)"),
                          "s.scenario");
  ASSERT_EQ(m->diagrams.size(), 1u);
  Diagram* d = m->diagram(0);
  // Node 1, the shapes of b then a (made at the input), then node 2.
  ASSERT_EQ(d->getElementCount(), 4u);
  EXPECT_EQ(d->getElement(0)->getId(), "n1");
  EXPECT_EQ(d->getElement(1)->getId(), "b");
  EXPECT_EQ(d->getElement(2)->getId(), "a");
  EXPECT_EQ(d->getElement(3)->getId(), "n2");
  for (const char* id : {"a", "b"}) {
    SCOPED_TRACE(id);
    PelkConnection* c = connection(*m, id);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->getFirstEnd()->getId(), "in");    // the input it leads into
    EXPECT_EQ(c->getSecondEnd()->getId(), "out");  // the output it leaves from
  }
  EXPECT_EQ(d->getElement(1)->getModelElement(), connection(*m, "b"));
  // Connection shapes sit at the origin until the passes place them.
  EXPECT_EQ(*d->getElement(1)->getCurrentLayout()->getUpperRight(), Vec2());
}

TEST(ScenarioReaderTest, AnIdentifierNamedTwiceAtOutputsTakesTheLaterOutput) {
  const auto m = readText(scenario(R"(<nodes id="n1" Name="A" x="0" y="0"><outputs id="o1" Name="o" edges="c"/></nodes>)"
                                   R"(<nodes id="n2" Name="B" x="0" y="0"><outputs id="o2" Name="o" edges="c"/></nodes>)"),
                          "s.scenario");
  PelkConnection* c = connection(*m, "c");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->getSecondEnd()->getId(), "o2");
  EXPECT_EQ(c->getFirstEnd(), nullptr);
  EXPECT_EQ(m->diagram(0)->getElementCount(), 3u);  // two nodes and the connection's shape
}

TEST(ScenarioReaderTest, AConnectionNamedOnceHasNoShape) {
  const auto m =
      readText(scenario(R"(<nodes id="n1" Name="A" x="0" y="0"><inputs id="i" Name="i" edges="lonely"/></nodes>)"),
               "s.scenario");
  PelkConnection* c = connection(*m, "lonely");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->getFirstEnd()->getId(), "i");
  EXPECT_EQ(m->diagram(0)->getElementCount(), 1u);
}

TEST(ScenarioReaderTest, AnIdentifierNamedThreeTimesPairsTheFirstTwoAndLeavesTheThirdWaiting) {
  const auto m = readText(scenario(R"(<nodes id="n" Name="A" x="0" y="0"><outputs id="o" Name="o" edges="c c c"/></nodes>)"),
                          "s.scenario");
  // Two connections with the same identifier: the first pooled wins a look-up.
  std::size_t connections = 0;
  for (std::size_t i = 0; i < m->pool.size(); ++i) connections += m->pool.get(i)->getTypeName() == "PelkConnection";
  EXPECT_EQ(connections, 2u);
  EXPECT_EQ(m->diagram(0)->getElementCount(), 2u);  // one connection shape and the node
}

TEST(ScenarioReaderTest, OperationsUnderOutputsAreIgnored) {
  const auto m = readText(
      scenario(R"(<nodes id="n" Name="A" x="0" y="0"><outputs id="o" Name="o"><operations Name="x"/></outputs></nodes>)"),
      "s.scenario");
  auto* iface = dynamic_cast<PelkInterface*>(m->pool.find("o"));
  ASSERT_NE(iface, nullptr);
  EXPECT_TRUE(iface->getOperations().empty());
}

TEST(ScenarioReaderTest, EdgesAreSplitAtSingleSpacesWithoutEmptyPieces) {
  struct Case {
    const char* name;
    std::string edges;
    std::vector<std::string> expected;
  } cases[] = {
      {"one", "a", {"a"}},
      {"two", "a b", {"a", "b"}},
      {"empty", "", {}},
      {"doubled space", "a  b", {"a", "b"}},
      {"leading and trailing spaces", " a b ", {"a", "b"}},
      {"only spaces", "   ", {}},
      {"tabs are part of an identifier", "a\tb", {"a\tb"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(splitEdges(c.edges), c.expected);
  }
  // Two interfaces with stray spaces are not joined by a phantom connection.
  const auto m = readText(scenario(R"(<nodes id="n1" Name="A" x="0" y="0"><outputs id="o" Name="o" edges="a "/></nodes>)"
                                   R"(<nodes id="n2" Name="B" x="0" y="0"><inputs id="i" Name="i" edges=" b"/></nodes>)"),
                          "s.scenario");
  EXPECT_EQ(m->pool.find(""), nullptr);
  EXPECT_EQ(m->diagram(0)->getElementCount(), 2u);
}

TEST(ScenarioReaderTest, ScenarioElementAndItsName) {
  struct Case {
    const char* name;
    std::string document;
    std::size_t diagrams;
    std::string diagramName;
  } cases[] = {
      {"without Name", scenario(R"(<nodes id="n" Name="A" x="1" y="1"/>)", R"(id="s")"), 1, kDefaultScenarioName},
      {"empty Name is a name", scenario(R"(<nodes id="n" Name="A" x="1" y="1"/>)", R"(id="s" Name="")"), 1, ""},
      {"no declaration", R"(<flow id="s" Name="F"><nodes id="n" Name="A" x="1" y="1"/></flow>)", 1, "F"},
      {"comment before the element",
       "<?xml version=\"1.0\"?><!-- c --><flow id=\"s\" Name=\"F\"><nodes id=\"n\" Name=\"A\"/></flow>", 1, "F"},
      {"no nodes", scenario("<other/>"), 0, ""},
      {"no element at all", "<?xml version=\"1.0\"?><!-- nothing -->", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto m = readText(c.document, "s.scenario");
    ASSERT_EQ(m->diagrams.size(), c.diagrams);
    if (c.diagrams > 0) {
      EXPECT_EQ(m->diagram(0)->getName(), c.diagramName);
    } else {
      EXPECT_EQ(m->pool.size(), 0u);
    }
  }
}

TEST(ScenarioReaderTest, MissingOrOddNodeAttributesAreReadSensibly) {
  const auto m = readText(scenario(R"(<nodes><inputs edges="x"/><outputs edges="x"/></nodes>)"
                                   R"(<nodes id="big" Name="B" x="99999999999999999999" y="-12abc"/>)"),
                          "s.scenario");
  ASSERT_EQ(m->diagrams.size(), 1u);
  Diagram* d = m->diagram(0);
  // The connection's shape is made at its second interface, before the
  // node that holds both is appended.
  ASSERT_EQ(d->getElementCount(), 3u);
  EXPECT_EQ(d->getElement(0)->getId(), "x");
  EXPECT_EQ(d->getElement(1)->getId(), "");
  // Missing coordinates read as 0: the box is centred on the origin.
  EXPECT_EQ(*d->getElement(1)->getCurrentLayout()->getCentre(), Vec2());
  // Out-of-range numbers are clamped; trailing text is ignored as atoi does.
  const VisualElementLayout* big = d->getElement(2)->getCurrentLayout();
  EXPECT_NEAR(big->getCentre()->x, static_cast<float>(INT_MAX) / 1.4f, 512.0f);
  EXPECT_NEAR(big->getCentre()->y, -12.0f / 1.4f, 1e-4f);
}

}  // namespace
}  // namespace lumetra
