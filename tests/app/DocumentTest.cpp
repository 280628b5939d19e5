// The loaded document shared by the viewer and the batch export: a file that
// cannot be read changes nothing, metrics and areas are added and shown by
// name, and every unknown name is reported while the rest is shown.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/document/Document.h"
#include "areas/AreaVisualizer.h"

namespace lumetra {
namespace {

const std::string kModel = std::string(LUMETRA_SOURCE_DIR) + "/examples/webshop.xmi";
const std::string kMetrics = std::string(LUMETRA_SOURCE_DIR) + "/examples/webshop.met";
const std::string kScenario = std::string(LUMETRA_SOURCE_DIR) + "/examples/traffic-monitoring.scenario";
const std::string kTruncated = std::string(LUMETRA_SOURCE_DIR) + "/tests/modelfiles/data/truncated.xmi";

TEST(DocumentTest, AFileThatCannotBeReadLeavesTheLoadedModelMetricsAndSelection) {
  Document document;
  ASSERT_TRUE(document.openModel(kModel).ok());
  ASSERT_TRUE(document.openMetrics(kMetrics));
  const std::vector<Diagram*> before = document.diagrams();
  ASSERT_EQ(before.size(), 3u);
  const Document::Shown shown = document.showNamed("", {"Coupling"}, {"Checkout"});
  ASSERT_TRUE(shown.problems.empty());
  ModelElement* element = document.pool().get(0);
  document.selection().toggleElement(element);

  for (const std::string& bad : {kTruncated, std::string("/no/such/model.xmi")}) {
    const LoadStatus status = document.openModel(bad);
    EXPECT_FALSE(status.ok()) << bad;
    EXPECT_NE(status.message().find(bad), std::string::npos) << status.message();
    EXPECT_EQ(document.diagrams(), before) << bad;
    EXPECT_EQ(document.modelFile(), kModel);
    EXPECT_EQ(document.metrics().getShownCount(), 1u);
    EXPECT_TRUE(document.areas().isIdentified("Checkout"));
    EXPECT_TRUE(document.selection().isElementSelected(element));
  }
  // The truncated file's message carries the line and column of the error.
  EXPECT_NE(document.openModel(kTruncated).message().find(kTruncated + ":"), std::string::npos);

  const std::string broken = std::string(LUMETRA_SOURCE_DIR) + "/tests/diagram/data/broken.met";
  EXPECT_FALSE(document.openMetrics(broken));
  EXPECT_NE(document.metricsError().find("broken.met"), std::string::npos) << document.metricsError();
  EXPECT_EQ(document.metrics().getShownCount(), 1u);
}

TEST(DocumentTest, OpeningAnotherModelForgetsMetricsAreasAndSelection) {
  Document document;
  ASSERT_TRUE(document.openModel(kModel).ok());
  ASSERT_TRUE(document.openMetrics(kMetrics));
  document.showNamed("Overview", {"Coupling"}, {"Checkout", "Payments"});
  document.selection().toggleElement(document.pool().get(0));

  ASSERT_TRUE(document.openModel(kScenario).ok());
  EXPECT_EQ(document.modelFile(), kScenario);
  EXPECT_FALSE(document.diagrams().empty());
  EXPECT_EQ(document.metrics().getMetricCount(), 0u);
  EXPECT_EQ(document.areas().getLoadedCount(), 0u);
  EXPECT_EQ(document.areas().getIdentifiedCount(), 0u);
  EXPECT_TRUE(document.selection().selectedElements().empty());
  EXPECT_TRUE(document.metricsFile().empty());
}

TEST(DocumentTest, ShowNamedReportsEachUnknownNameAndShowsTheRest) {
  struct Case {
    const char* name;
    std::string diagram;
    std::vector<std::string> metrics, areas;
    std::string shownDiagram;
    std::vector<std::string> problems;  // a fragment of each, in order
    size_t shownMetrics, shownAreas;
  };
  const Case cases[] = {
      {"defaults", "", {}, {}, "Orders and billing", {}, 0, 0},
      {"named diagram", "Overview", {"Coupling", "Operations"}, {"Payments"}, "Overview", {}, 2, 1},
      {"twice is once", "", {"Coupling", "Coupling"}, {"Checkout", "Checkout"}, "Orders and billing", {}, 1, 1},
      {"unknown diagram falls back to the first",
       "Nope", {}, {"Checkout"}, "Orders and billing",
       {"unknown diagram 'Nope' in " + kModel + " (it has 'Orders and billing', 'Inventory and shipping', 'Overview')"},
       0, 1},
      {"unknown metric and area", "", {"Lines", "Coupling"}, {"Shipping", "Payments"}, "Orders and billing",
       {"unknown metric 'Lines' in " + kMetrics, "unknown area 'Shipping' in " + kMetrics}, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Document document;
    ASSERT_TRUE(document.openModel(kModel).ok());
    ASSERT_TRUE(document.openMetrics(kMetrics));
    const Document::Shown shown = document.showNamed(c.diagram, c.metrics, c.areas);
    ASSERT_NE(shown.diagram, nullptr);
    EXPECT_EQ(shown.diagram->getName(), c.shownDiagram);
    EXPECT_EQ(shown.problems, c.problems);
    EXPECT_EQ(document.metrics().getShownCount(), c.shownMetrics);
    EXPECT_EQ(document.areas().getIdentifiedCount(), c.shownAreas);
    if (c.shownAreas > 0) {
      EXPECT_EQ(document.areas().getIdentifiedDiagram(), shown.diagram);
    }
  }
}

TEST(DocumentTest, NamesWithoutAMetricsFileSayNoneWasGiven) {
  Document document;
  ASSERT_TRUE(document.openModel(kModel).ok());
  const Document::Shown shown = document.showNamed("", {"Coupling"}, {"Checkout"});
  ASSERT_EQ(shown.problems.size(), 2u);
  for (const std::string& p : shown.problems) EXPECT_NE(p.find("no metrics file was given"), std::string::npos) << p;
  // Without a model there is nothing to show areas over.
  Document empty;
  EXPECT_EQ(empty.showNamed("", {}, {"Checkout"}).diagram, nullptr);
  EXPECT_FALSE(empty.showArea(nullptr, "Checkout"));
}

}  // namespace
}  // namespace lumetra

namespace lumetra {
namespace {

// --area NAME[:PAINTER]: the text after the last colon is a painter only
// when it names one, so area names with colons keep working.
TEST(DocumentTest, AreaOptionsChooseThePainterAfterTheLastColon) {
  struct Case {
    const char* option;
    const char* area;     // the area shown, "" when none
    const char* painter;  // its painter
  };
  const Case cases[] = {
      {"Billing", "Billing", "Inner"},
      {"Billing:Outer", "Billing", "Outer"},
      {"Billing:Square", "Billing", "Square"},
      {"Billing:Inner", "Billing", "Inner"},
      {"Orders:2024", "Orders:2024", "Inner"},
      {"Orders:2024:Square", "Orders:2024", "Square"},
      {"Billing:Outer:Outer", "Billing:Outer", "Outer"},
      {"Billing:outer", "", ""},  // painter names are case-sensitive
      {"Billing:", "", ""},
  };
  for (const Case& c : cases) {
    Document document;
    ASSERT_TRUE(document.openModel(kModel).ok());
    ASSERT_TRUE(document.openMetrics(std::string(LUMETRA_TEST_DATA_DIR) + "/colon-areas.met"));
    const Document::Shown shown = document.showNamed("", {}, {c.option});
    if (*c.area == '\0') {
      ASSERT_EQ(shown.problems.size(), 1u) << c.option;
      EXPECT_NE(shown.problems[0].find(std::string("unknown area '") + c.option + "'"), std::string::npos)
          << shown.problems[0];
      EXPECT_EQ(document.areas().getIdentifiedCount(), 0u) << c.option;
      continue;
    }
    EXPECT_TRUE(shown.problems.empty()) << c.option << ": " << shown.problems.front();
    ASSERT_EQ(document.areas().getIdentifiedCount(), 1u) << c.option;
    EXPECT_EQ(document.areas().getIdentifiedArea(0)->getName(), c.area) << c.option;
    EXPECT_EQ(document.areas().findArea(c.area)->getVisualizer()->getName(), c.painter) << c.option;
  }
}

}  // namespace
}  // namespace lumetra
