// The frame-wide selection, the pick result's filters and the labels the
// painter gives its shapes. No GL needed.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "diagram/MetricsVisualizerSimple.h"
#include "diagram/SelectionManager.h"
#include "tests/diagram/DiagramScene.h"

namespace lumetra {
namespace {

TEST(SelectionManager, ElementsCompareByIdentifierNotAddress) {
  Class original("c1", "Order");
  Class reloaded("c1", "Order (reloaded)");
  Class other("c2", "Customer");
  SelectionManager selection;

  selection.toggleElement(&original);
  EXPECT_TRUE(selection.isElementSelected(&reloaded));
  EXPECT_FALSE(selection.isElementSelected(&other));

  // Toggling another object with the same identifier deselects.
  selection.toggleElement(&reloaded);
  EXPECT_FALSE(selection.isElementSelected(&original));
  EXPECT_TRUE(selection.selectedElements().empty());
}

TEST(SelectionManager, TogglingTwiceLeavesTheSelectionUnchanged) {
  Class a("a", "A"), b("b", "B");
  SelectionManager selection;
  selection.toggleElement(&a);
  selection.toggleElement(&b);
  selection.toggleElement(&b);
  ASSERT_EQ(selection.selectedElements().size(), 1u);
  EXPECT_EQ(selection.selectedElements()[0], &a);
  EXPECT_TRUE(selection.isElementSelected(&a));
  EXPECT_FALSE(selection.isElementSelected(&b));
}

TEST(SelectionManager, MetricsCompareByName) {
  IntegerMetric loc("LOC", nullptr, nullptr);
  IntegerMetric sameName("LOC", nullptr, nullptr);
  BooleanMetric tested("Tested", nullptr, nullptr);
  SelectionManager selection;

  selection.toggleMetric(&loc);
  EXPECT_TRUE(selection.isMetricSelected(&sameName));
  EXPECT_FALSE(selection.isMetricSelected(&tested));
  selection.toggleMetric(&tested);
  selection.toggleMetric(&sameName);  // another object, same name: deselects LOC
  ASSERT_EQ(selection.selectedMetrics().size(), 1u);
  EXPECT_EQ(selection.selectedMetrics()[0], &tested);
}

TEST(SelectionManager, ClearEmptiesElementsAndMetrics) {
  Class a("a", "A");
  IntegerMetric loc("LOC", nullptr, nullptr);
  SelectionManager selection;
  selection.toggleElement(&a);
  selection.toggleMetric(&loc);
  selection.clear();
  EXPECT_FALSE(selection.isElementSelected(&a));
  EXPECT_FALSE(selection.isMetricSelected(&loc));
}

TEST(SelectionManager, NullIsNeverSelectedAndCannotBeToggled) {
  SelectionManager selection;
  selection.toggleElement(nullptr);
  selection.toggleMetric(nullptr);
  EXPECT_TRUE(selection.selectedElements().empty());
  EXPECT_TRUE(selection.selectedMetrics().empty());
  EXPECT_FALSE(selection.isElementSelected(nullptr));
  EXPECT_FALSE(selection.isMetricSelected(nullptr));
}

// What a change flipped: by identifier and by name, each once, nothing for
// what ended as it began.
TEST(SelectionManager, ChangeSinceNamesWhatFlipped) {
  Class a("a", "A"), b("b", "B"), c("c", "C"), aAgain("a", "A (reloaded)");
  IntegerMetric loc("LOC", nullptr, nullptr), fan("Fan", nullptr, nullptr);
  struct Case {
    const char* what;
    std::function<void(SelectionManager&)> before, change;
    std::vector<std::string> elements, metrics;
  };
  const Case cases[] = {
      {"nothing to one", [](SelectionManager&) {}, [&](SelectionManager& s) { s.toggleElement(&a); }, {"a"}, {}},
      {"cleared", [&](SelectionManager& s) { s.toggleElement(&a); s.toggleElement(&b); s.toggleMetric(&loc); },
       [](SelectionManager& s) { s.clear(); }, {"a", "b"}, {"LOC"}},
      {"another chosen alone",
       [&](SelectionManager& s) { s.toggleElement(&a); s.toggleElement(&b); },
       [&](SelectionManager& s) { s.clear(); s.toggleElement(&c); s.toggleElement(&b); }, {"c", "a"}, {}},
      {"the same one chosen again", [&](SelectionManager& s) { s.toggleElement(&a); },
       [&](SelectionManager& s) { s.clear(); s.toggleElement(&aAgain); }, {}, {}},
      {"toggled twice", [](SelectionManager&) {},
       [&](SelectionManager& s) { s.toggleElement(&b); s.toggleMetric(&fan); s.toggleElement(&b); }, {}, {"Fan"}},
  };
  for (const Case& item : cases) {
    SCOPED_TRACE(item.what);
    SelectionManager selection;
    item.before(selection);
    const SelectionManager::Snapshot before = selection.snapshot();
    item.change(selection);
    const SelectionChange change = selection.changeSince(before);
    std::vector<std::string> elements;
    for (const ModelElement* element : change.elements) elements.push_back(element->getId());
    EXPECT_EQ(elements, item.elements);
    EXPECT_EQ(change.metrics, item.metrics);
    EXPECT_EQ(change.empty(), item.elements.empty() && item.metrics.empty());
  }
}

TEST(PickResult, FiltersKeepTheResultOrder) {
  Class a("a", "A"), b("b", "B");
  IntegerMetric loc("LOC", nullptr, nullptr), fan("Fan", nullptr, nullptr);
  PickResult result;
  result.add(std::make_unique<MetricSelection>(&fan, "b"));
  result.add(std::make_unique<ModelSelectionElement>(&b, "B"));
  result.add(std::make_unique<MetricSelection>(&loc, "a"));
  result.add(std::make_unique<ModelSelectionElement>(&a, "A"));

  const auto metrics = result.metricHits();
  ASSERT_EQ(metrics.size(), 2u);
  EXPECT_EQ(metrics[0]->getMetric(), &fan);
  EXPECT_EQ(metrics[0]->getElementId(), "b");
  EXPECT_EQ(metrics[1]->getMetric(), &loc);

  const auto elements = result.elementHits();
  ASSERT_EQ(elements.size(), 2u);
  EXPECT_EQ(elements[0]->getModelElement(), &b);
  EXPECT_EQ(elements[1]->getLabel(), "A");
}

// The label of each kind of shape, as hover boxes and pick entries show it.
TEST(ElementLabel, NamesOrKindByModelElement) {
  test::DiagramScene scene;
  MetricsVisualizerSimple painter;
  PelkService service("s1", "Billing");
  PelkInterface port("p1", "charge", "s1");
  PelkConnection connection("k1");
  Dependency dependency("dep1");
  Note note("n1", "remember");
  Package package("pk1", "orders");

  struct Case {
    const char* name;
    ModelElement* model;
    std::string expected;
  } cases[] = {
      {"class", scene.addClass("c1", "Order", {0, 0}, {10, 10}), "Order"},
      {"interface", scene.addInterface("i1", "Payable", {0, 0}, {10, 10}), "Payable"},
      {"service", &service, "Billing"},
      {"component interface", &port, "charge"},
      {"connection", &connection, "Connection"},
      {"dependency", &dependency, "Dependency"},
      {"generalization", scene.addInheritance("g1", "c1", "i1"), "Inheritance"},
      {"association", scene.addAssociation("a1", "c1", "i1"), "Association"},
      {"package", &package, "orders"},
      {"note: its text", &note, "Note: remember"},
      {"no model element", nullptr, "<<LALA>>"},
  };
  for (const Case& c : cases) {
    DiagramElement shape("shape");
    shape.setModelElement(c.model);
    EXPECT_EQ(painter.elementLabel(&shape), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace lumetra
