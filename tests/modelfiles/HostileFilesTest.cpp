// Malformed and hostile input: every case ends with a clear status or a
// sensible partial read, never a crash or a hang.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "model/ScenarioElements.h"
#include "model/UmlElements.h"
#include "modelfiles/DiagramWriter.h"
#include "modelfiles/ModelLoader.h"
#include "geometry/GeometryPasses.h"
#include "tests/modelfiles/ReadHelpers.h"

namespace lumetra {
namespace {

using testing::classDiagram;
using testing::DebugCapture;
using testing::readText;
using testing::shape;
using testing::xmiDocument;

std::string dataFile(const char* name) { return std::string(LUMETRA_TEST_DATA_DIR) + "/" + name; }

// Loads like the viewer (passes included) and builds the diagram document.
struct FullLoad {
  std::vector<Diagram*> diagrams;
  ModelElementsPool pool;
  LoadStatus status;
  explicit FullLoad(const std::string& path) {
    status = loadModel(path, diagrams, pool);
    XMLDiagramWriter writer("unused.dia", diagrams, pool);
    writer.buildDocument();
  }
  ~FullLoad() { deleteDiagrams(diagrams); }
};

TEST(HostileFilesTest, BrokenFilesEndWithAReason) {
  struct Case {
    const char* file;
    const char* reason;
  } cases[] = {
      {"truncated.xmi", "Start-end tags mismatch"},
      {"binary.xmi", ""},
      {"mismatched.scenario", "Start-end tags mismatch"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    FullLoad load(dataFile(c.file));
    EXPECT_EQ(load.status.outcome, LoadStatus::Outcome::NotLoaded);
    EXPECT_FALSE(load.status.reason.empty());
    if (*c.reason) {
      EXPECT_EQ(load.status.reason, c.reason);
    }
    EXPECT_GE(load.status.line, 1u);
    EXPECT_TRUE(load.diagrams.empty());
    EXPECT_EQ(load.pool.size(), 0u);
  }
}

TEST(HostileFilesTest, OddButWellFormedFilesAreReadSafely) {
  // A NUL byte ends the text pugixml sees; entities expand within limits.
  FullLoad nul(dataFile("nul-inside.xmi"));
  EXPECT_TRUE(nul.diagrams.empty());
  FullLoad entities(dataFile("entities.scenario"));
  EXPECT_TRUE(entities.status.ok() || !entities.status.reason.empty());
}

TEST(HostileFilesTest, DeeplyNestedModelPartIsIndexedWithoutRecursion) {
  const int depth = 200000;
  std::string model;
  model.reserve(depth * 8 + 64);
  for (int i = 0; i < depth; ++i) model += "<n>";
  model += R"(<UML:Class xmi.id="deep" name="Deep"/>)";
  for (int i = 0; i < depth; ++i) model += "</n>";
  const auto m = readText(xmiDocument(model, classDiagram(shape("s", "deep"))), "deep.xmi");
  ASSERT_EQ(m->diagrams.size(), 1u);
  EXPECT_EQ(static_cast<Class*>(m->pool.get(0))->getName(), "Deep");
}

TEST(HostileFilesTest, AMillionSiblingsAreIndexedWithoutRecursion) {
  const int siblings = 1000000;
  std::string model;
  model.reserve(siblings * 4 + 64);
  for (int i = 0; i < siblings; ++i) model += "<x/>";
  model += R"(<UML:Class xmi.id="last" name="Last"/>)";
  const auto m = readText(xmiDocument(model, classDiagram(shape("s", "last"))), "wide.xmi");
  ASSERT_EQ(m->diagrams.size(), 1u);
  EXPECT_EQ(static_cast<Class*>(m->pool.get(0))->getName(), "Last");
}

TEST(HostileFilesTest, MegabyteAttributesAreCarriedThrough) {
  const std::string huge(4 << 20, 'x');
  std::string geometry(2 << 20, '9');
  geometry += ", 1, 2, 3,";
  DebugCapture quiet;
  const auto m = readText(xmiDocument(R"(<UML:Class xmi.id=")" + huge + R"(" name=")" + huge + R"("/>)",
                                      classDiagram(shape("s", huge, "", geometry) + shape("t", "x", huge, huge))),
                          "huge.xmi");
  ASSERT_EQ(m->diagrams.size(), 1u);
  EXPECT_EQ(m->pool.size(), 1u);
  EXPECT_EQ(static_cast<Class*>(m->pool.get(0))->getName().size(), huge.size());
  // A number of two million digits overflows to infinity, which is kept.
  EXPECT_TRUE(std::isinf(m->diagram(0)->getElement(0)->getCurrentLayout()->getLowerLeft()->x));
  XMLDiagramWriter writer("unused.dia", m->diagrams, m->pool);
  writer.buildDocument();
  EXPECT_EQ(std::string(writer.document().child("root").child("model_elements").first_child().attribute("id").value())
                .size(),
            huge.size());
}

TEST(HostileFilesTest, ManyConnectionsPairWithoutQuadraticSearch) {
  // 200,000 distinct connections named at one output and, reversed, at one
  // input: every one pairs, whichever order they come in.
  const int count = 200000;
  std::string forward, backward;
  for (int i = 0; i < count; ++i) forward += (i ? " c" : "c") + std::to_string(i);
  for (int i = count - 1; i >= 0; --i) backward += "c" + std::to_string(i) + (i ? " " : "");
  const auto m = readText("<?xml version=\"1.0\"?><s id=\"s\">"
                          "<nodes id=\"a\" Name=\"A\" x=\"0\" y=\"0\"><outputs id=\"o\" Name=\"o\" edges=\"" +
                              forward +
                              "\"/></nodes>"
                              "<nodes id=\"b\" Name=\"B\" x=\"9\" y=\"9\"><inputs id=\"i\" Name=\"i\" edges=\"" +
                              backward + "\"/></nodes></s>",
                          "many.scenario");
  ASSERT_EQ(m->diagrams.size(), 1u);
  EXPECT_EQ(m->diagram(0)->getElementCount(), static_cast<std::size_t>(count) + 2);
  EXPECT_EQ(m->diagram(0)->getElement(1)->getId(), "c" + std::to_string(count - 1));
  auto* first = dynamic_cast<PelkConnection*>(m->pool.find("c0"));
  ASSERT_NE(first, nullptr);
  ASSERT_NE(first->getFirstEnd(), nullptr);
  EXPECT_EQ(first->getFirstEnd()->getId(), "i");
}

TEST(HostileFilesTest, ALargeModelLoadsThroughThePasses) {
  // Many shapes of many kinds on one diagram: loading, the passes and the
  // writer all finish (a quadratic step would not, at this size).
  const int n = 30000;
  std::string model, shapes;
  for (int i = 0; i < n; ++i) {
    const std::string id = std::to_string(i);
    model += R"(<UML:Class xmi.id="c)" + id + R"(" name="C"/><UML:Generalization xmi.id="g)" + id +
             R"(" parent="c0" child="c)" + id + R"("/>)";
    shapes += shape("s" + id, "g" + id, "", id + ", 5, 10, 10,") + shape("t" + id, "c" + id, "", id + ", 50, 10, 10,");
  }
  const auto m = readText(xmiDocument(model, classDiagram(shapes)), "large.xmi");
  ASSERT_EQ(m->diagrams.size(), 1u);
  EXPECT_EQ(m->pool.size(), 2u * n);
  normalizeGeometry(m->diagrams);
  orderElements(m->diagrams);
  EXPECT_EQ(m->diagram(0)->getElement(0)->getId(), "s0");
  EXPECT_EQ(m->diagram(0)->getElement(n)->getId(), "t0");
}

}  // namespace
}  // namespace lumetra
