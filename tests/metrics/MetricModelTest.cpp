// The metric model: values and look-ups, ranges and display bounds, painter
// choice by display name, the palette and the shown/loaded bookkeeping.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "metrics/Metric.h"
#include "metrics/MetricSet.h"
#include "metrics/MetricVisualizer.h"

namespace lumetra {
namespace {

std::unique_ptr<IntegerMetric> intMetric(const std::string& name, std::vector<std::pair<std::string, int>> values) {
  auto m = std::make_unique<IntegerMetric>(name, new Color(paletteColor(1)), new Color(METRIC_OUTLINE));
  for (auto& [id, v] : values) m->addValue(id, v);
  m->computeRange();
  return m;
}

TEST(IntegerMetricTest, RangeAndBounds) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, int>> values;
    int minimum, maximum;
  };
  const Case cases[] = {
      {"ascending", {{"a", 1}, {"b", 5}, {"c", 9}}, 1, 9},
      {"first value is neither end", {{"a", 4}, {"b", -3}, {"c", 12}}, -3, 12},
      {"all values equal", {{"a", 7}, {"b", 7}}, 7, 7},
      {"a duplicate still takes part", {{"a", 2}, {"a", 40}, {"b", 3}}, 2, 40},
      {"no values gives (0, 0)", {}, 0, 0},
      {"a single negative value", {{"a", -5}}, -5, -5},
  };
  for (const Case& c : cases) {
    auto m = intMetric("m", c.values);
    EXPECT_EQ(m->getMinimum(), c.minimum) << c.name;
    EXPECT_EQ(m->getMaximum(), c.maximum) << c.name;
    EXPECT_EQ(m->getLowerBound(), c.minimum) << c.name;
    EXPECT_EQ(m->getUpperBound(), c.maximum) << c.name;
  }
}

TEST(IntegerMetricTest, FirstPairOfAnElementWins) {
  auto m = intMetric("LOC", {{"c1", 10}, {"c2", 0}, {"c1", 99}});
  EXPECT_TRUE(m->hasValue("c1"));
  EXPECT_EQ(m->getValue("c1"), 10);
  EXPECT_EQ(m->getValueText("c1"), "10");
  EXPECT_EQ(m->getValue("c2"), 0);
  EXPECT_EQ(m->getValueText("c2"), "0");
  EXPECT_EQ(m->getValueCount(), 3u);
  EXPECT_EQ(m->getPair(2).elementId, "c1");
  EXPECT_EQ(m->getPair(2).value, 99);
  EXPECT_THROW(m->getPair(3), std::out_of_range);
}

TEST(IntegerMetricTest, MissingElementGivesEmptyResults) {
  auto m = intMetric("LOC", {{"c1", -7}});
  EXPECT_FALSE(m->hasValue("C1")) << "identifiers compare case-sensitively";
  EXPECT_FALSE(m->hasValue(""));
  EXPECT_EQ(m->getValue("nope"), -1);
  EXPECT_EQ(m->getValueText("nope"), "");
  EXPECT_EQ(m->getValueText("c1"), "-7");
}

TEST(IntegerMetricTest, BoundsFilterValuesButNotTheRange) {
  auto m = intMetric("LOC", {{"a", 1}, {"b", 5}, {"c", 9}});
  m->setLowerBound(2);
  m->setUpperBound(8);
  EXPECT_FALSE(m->isWithinBounds("a"));
  EXPECT_TRUE(m->isWithinBounds("b"));
  EXPECT_FALSE(m->isWithinBounds("c"));
  EXPECT_FALSE(m->isWithinBounds("missing"));
  EXPECT_EQ(m->getMinimum(), 1);
  EXPECT_EQ(m->getMaximum(), 9);
  m->setLowerBound(5);
  m->setUpperBound(5);
  EXPECT_TRUE(m->isWithinBounds("b")) << "bounds are inclusive";
}

TEST(BooleanMetricTest, ValuesAndText) {
  BooleanMetric m("Tested", new Color(), new Color(METRIC_OUTLINE));
  m.addValue("x", true);
  m.addValue("y", false);
  m.addValue("x", false);
  EXPECT_TRUE(m.getValue("x"));
  EXPECT_EQ(m.getValueText("x"), "true");
  EXPECT_FALSE(m.getValue("y"));
  EXPECT_EQ(m.getValueText("y"), "false");
  EXPECT_TRUE(m.hasValue("y"));
  EXPECT_FALSE(m.getValue("z"));
  EXPECT_FALSE(m.hasValue("z"));
  EXPECT_EQ(m.getValueText("z"), "");
  EXPECT_EQ(m.getValueCount(), 3u);
  EXPECT_THROW(m.getPair(3), std::out_of_range);
}

TEST(MetricTest, DefaultsAndColours) {
  IntegerMetric m("LOC", new Color(0.1f, 0.2f, 0.3f, 1.0f), new Color(METRIC_OUTLINE));
  EXPECT_EQ(m.getName(), "LOC");
  EXPECT_FALSE(m.isSelected());
  m.setSelected(true);
  EXPECT_TRUE(m.isSelected());
  EXPECT_FLOAT_EQ(m.getTransparency(), 0.5f);
  m.setTransparency(3.5f);
  EXPECT_FLOAT_EQ(m.getTransparency(), 3.5f) << "stored without clamping";
  // getColor hands out the metric's own colour, so edits stick.
  m.getColor()->r = 0.9f;
  EXPECT_FLOAT_EQ(m.getColor()->r, 0.9f);
  EXPECT_EQ(*m.getOutlineColor(), Color(0xDD000000u));
}

TEST(MetricTest, PainterChoiceByDisplayName) {
  IntegerMetric i("i", new Color(), new Color());
  BooleanMetric b("b", new Color(), new Color());
  EXPECT_EQ(i.getVisualizerName(), "3D Bar");
  EXPECT_EQ(b.getVisualizerName(), "Default Boolean");

  struct Case {
    const char* request;
    const char* expected;
  };
  const Case intCases[] = {
      {"2D Bar", "2D Bar"},          {"2D Pie", "2D Pie"},
      {"3D Cylinder", "3D Cylinder"}, {"unknown name keeps the painter", "3D Cylinder"},
      {"Default Boolean", "3D Cylinder"}, {"2d bar", "3D Cylinder"},
      {"3D Bar", "3D Bar"},
  };
  for (const Case& c : intCases) {
    i.setVisualizer(c.request);
    EXPECT_EQ(i.getVisualizerName(), c.expected) << c.request;
    ASSERT_NE(i.getVisualizer(), nullptr);
    EXPECT_NE(dynamic_cast<IntMetricVisualizer*>(i.getVisualizer()), nullptr) << c.request;
  }
  b.setVisualizer("2D Bar");
  EXPECT_EQ(b.getVisualizerName(), "Default Boolean");
  EXPECT_NE(dynamic_cast<BoolMetricVisualizer*>(b.getVisualizer()), nullptr);
  b.setVisualizer("");
  EXPECT_EQ(b.getVisualizerName(), "Default Boolean");
}

TEST(GlyphFractionTest, ScalesBetweenMinimumAndMaximum) {
  struct Case {
    const char* name;
    int value, minimum, maximum;
    float t;
  };
  const Case cases[] = {
      {"minimum", 3, 3, 13, 0.0f},
      {"maximum", 13, 3, 13, 1.0f},
      {"middle", 8, 3, 13, 0.5f},
      {"minimum equals maximum draws as the maximum", 5, 5, 5, 1.0f},
      {"empty range (0, 0)", 0, 0, 0, 1.0f},
      {"the whole int range does not overflow", 0, -2147483647 - 1, 2147483647, 0.5f},
  };
  for (const Case& c : cases) EXPECT_NEAR(glyphFraction(c.value, c.minimum, c.maximum), c.t, 1e-6f) << c.name;
}

TEST(PaletteTest, CyclesEvery16Entries) {
  EXPECT_EQ(paletteColor(0), Color(0xDD000000u));
  EXPECT_EQ(paletteColor(1), Color(0xFF7590AEu));
  EXPECT_EQ(paletteColor(15), Color(0xFF807D74u));
  EXPECT_EQ(paletteColor(16), paletteColor(0));
  EXPECT_EQ(paletteColor(17), paletteColor(1));
  EXPECT_EQ(paletteColor(-1), paletteColor(15));
  EXPECT_NEAR(paletteColor(0).a, 221.0f / 255.0f, 1e-6f);
  EXPECT_NEAR(paletteColor(4).r, 153.0f / 255.0f, 1e-6f);
}

class MetricSetTest : public ::testing::Test {
 protected:
  // Loaded: A, B, A (a second metric of the same name), C.
  void SetUp() override {
    set.add(a1 = intMetric("A", {{"x", 1}}).release());
    set.add(b = intMetric("B", {{"x", 2}}).release());
    set.add(a2 = intMetric("A", {{"x", 3}}).release());
    set.add(c = new BooleanMetric("C", new Color(), new Color()));
  }
  std::vector<Metric*> shown() const { return set.getShownMetrics(); }

  MetricSet set;
  Metric *a1 = nullptr, *b = nullptr, *a2 = nullptr, *c = nullptr;
};

TEST_F(MetricSetTest, FindsTheFirstLoadedOfAName) {
  EXPECT_EQ(set.getMetricCount(), 4u);
  EXPECT_EQ(set.findMetric("A"), a1);
  EXPECT_EQ(set.findMetric("C"), c);
  EXPECT_EQ(set.findMetric("a"), nullptr);
  EXPECT_EQ(set.getMetric(2), a2);
  EXPECT_THROW(set.getMetric(4), std::out_of_range);
  set.add(nullptr);
  EXPECT_EQ(set.getMetricCount(), 4u);
}

TEST_F(MetricSetTest, ShowAndHideKeepTheChosenOrder) {
  set.showMetric("C");
  set.showMetric("A");
  EXPECT_EQ(shown(), (std::vector<Metric*>{c, a1, a2})) << "every loaded metric of the name is shown";
  EXPECT_EQ(set.indexOfShownMetric("A"), 1);
  EXPECT_EQ(set.indexOfShownMetric("B"), -1) << "loaded but not shown";
  EXPECT_EQ(set.indexOfShownMetric("Z"), -1);
  EXPECT_EQ(set.findShownMetric("A"), a1);
  EXPECT_EQ(set.findShownMetric("B"), nullptr);

  set.hideMetric("A");
  EXPECT_EQ(shown(), (std::vector<Metric*>{c, a2})) << "hiding removes one entry";
  set.hideMetric("B");
  EXPECT_EQ(shown(), (std::vector<Metric*>{c, a2}));
  EXPECT_EQ(set.getShownMetric(1), a2);
  EXPECT_THROW(set.getShownMetric(2), std::out_of_range);
}

TEST_F(MetricSetTest, RemoveDeletesTheFirstLoaded) {
  set.showMetric("B");
  set.removeMetric("B");
  EXPECT_EQ(set.getMetricCount(), 3u);
  EXPECT_EQ(set.findMetric("B"), nullptr);
  EXPECT_EQ(set.getShownCount(), 0u);
  set.removeMetric("A");
  EXPECT_EQ(set.findMetric("A"), a2);
  set.removeMetric("nothing");
  EXPECT_EQ(set.getMetricCount(), 2u);
}

// Regression: removing a metric that was shown twice left the second shown
// entry pointing at the deleted metric.
TEST_F(MetricSetTest, RemoveLeavesNoDanglingShownEntry) {
  set.showMetric("B");
  set.showMetric("B");
  set.showMetric("C");
  set.removeMetric("B");
  EXPECT_EQ(shown(), (std::vector<Metric*>{c}));
  for (Metric* m : shown()) {
    bool loaded = false;
    for (std::size_t i = 0; i < set.getMetricCount(); ++i) loaded = loaded || set.getMetric(i) == m;
    EXPECT_TRUE(loaded) << "every shown metric is a loaded one";
  }
}

TEST_F(MetricSetTest, ClearEmptiesBothLists) {
  set.showMetric("A");
  set.clear();
  EXPECT_EQ(set.getMetricCount(), 0u);
  EXPECT_EQ(set.getShownCount(), 0u);
  EXPECT_EQ(set.findMetric("A"), nullptr);
}

}  // namespace
}  // namespace lumetra
