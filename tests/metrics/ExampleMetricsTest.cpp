// The example metrics file against the example model it belongs to: every
// identifier names an element of the model, and the areas overlap.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "areas/Area.h"
#include "metrics/Metric.h"
#include "metrics/MetricParser.h"
#include "metrics/MetricSet.h"
#include "modelfiles/ModelLoader.h"

namespace lumetra {
namespace {

class ExampleMetricsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string examples = std::string(LUMETRA_SOURCE_DIR) + "/examples/";
    loadModel(examples + "webshop.xmi", diagrams, pool);
    ASSERT_FALSE(diagrams.empty());
    ASSERT_TRUE(MetricParser(&metrics, &areas).load(examples + "webshop.met"));
  }
  void TearDown() override { deleteDiagrams(diagrams); }

  std::vector<Diagram*> diagrams;
  ModelElementsPool pool;
  MetricSet metrics;
  AreaSet areas;
};

TEST_F(ExampleMetricsTest, EveryIdentifierIsAModelElement) {
  int integers = 0, booleans = 0;
  for (std::size_t i = 0; i < metrics.getMetricCount(); ++i) {
    Metric* m = metrics.getMetric(i);
    if (auto* im = dynamic_cast<IntegerMetric*>(m)) {
      ++integers;
      EXPECT_LT(im->getMinimum(), im->getMaximum()) << m->getName();
      for (std::size_t k = 0; k < im->getValueCount(); ++k)
        EXPECT_NE(pool.find(im->getPair(k).elementId), nullptr) << m->getName() << " " << im->getPair(k).elementId;
    } else if (auto* bm = dynamic_cast<BooleanMetric*>(m)) {
      ++booleans;
      for (std::size_t k = 0; k < bm->getValueCount(); ++k)
        EXPECT_NE(pool.find(bm->getPair(k).elementId), nullptr) << m->getName() << " " << bm->getPair(k).elementId;
    }
  }
  EXPECT_GE(integers, 2);
  EXPECT_GE(booleans, 1);
  ASSERT_GE(areas.getLoadedCount(), 3u);
  for (std::size_t i = 0; i < areas.getLoadedCount(); ++i) {
    Area* area = areas.getLoadedArea(i);
    for (std::size_t k = 0; k < area->getElementCount(); ++k)
      EXPECT_NE(pool.find(area->getElement(k)), nullptr) << area->getName() << " " << area->getElement(k);
  }
}

TEST_F(ExampleMetricsTest, AreasOverlapOnTheFirstDiagram) {
  Diagram* diagram = diagrams.front();
  for (std::size_t i = 0; i < areas.getLoadedCount(); ++i) showArea(areas, diagram, areas.getLoadedArea(i)->getName());
  std::map<DiagramElement*, int> memberships;
  int nonEmpty = 0;
  for (const IdentifiedArea* area : areas.getIdentifiedAreas()) {
    if (area->getElementCount() > 0) ++nonEmpty;
    for (DiagramElement* e : area->getElements()) ++memberships[e];
  }
  EXPECT_GE(nonEmpty, 2) << diagram->getName();
  int shared = 0;
  for (const auto& [element, count] : memberships) shared += count > 1 ? 1 : 0;
  EXPECT_GE(shared, 1) << "some element belongs to two areas";
  EXPECT_FALSE(areas.getFreeElements().empty()) << "and some to none";
}

}  // namespace
}  // namespace lumetra
