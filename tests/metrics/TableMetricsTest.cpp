// Metrics from other tools' files (CSV tables, JaCoCo's CSV and XML reports)
// matched to a small model by name, their bad inputs, reading a file again,
// and packages offered as areas.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "areas/Area.h"
#include "areas/PackageAreas.h"
#include "metrics/Metric.h"
#include "metrics/MetricSet.h"
#include "metrics/MetricsFile.h"
#include "tests/fuzz/ReadMetricsBytes.h"

namespace lumetra {
namespace {

std::string dataFile(const std::string& name) { return std::string(LUMETRA_TEST_DATA_DIR) + "/" + name; }

struct Read {
  MetricSet metrics;
  AreaSet areas;
  MetricsRead result;
  std::string notes() const {
    std::string all;
    for (const std::string& note : result.notes) all += note + "\n";
    return all;
  }
};

std::unique_ptr<Read> readFile(const std::string& path) {
  auto read = std::make_unique<Read>();
  read->result = readMetricsFile(path, shopModel(), read->metrics, read->areas);
  return read;
}

TEST(TableMetrics, ValuesLandOnTheNamedClassesAsWritten) {
  struct Case {
    const char* file;
    const char* metric;
    const char* element;
    const char* text;  // "" = no value
  };
  const Case cases[] = {
      {"class.csv", "cbo", "C_cart", "3"},           // qualified name
      {"class.csv", "wmc", "C_util", "4"},           // simple name, one class of that name
      {"class.csv", "tcc", "C_cart", "0.83"},        // decimals as written
      {"class.csv", "tcc", "C_order", "0.5"},
      {"class.csv", "tcc", "I_pay", ""},             // empty cell
      {"class.csv", "abstract", "I_pay", "true"},    // true/false column
      {"class.csv", "abstract", "C_cart", "false"},
      {"jacoco.csv", "Line coverage %", "C_cart", "80"},  // 8 / (2 + 8)
      {"jacoco.csv", "Line coverage %", "C_util", "66.7"},
      {"jacoco.csv", "Line coverage %", "C_line", "0"},   // Order$Line
      {"jacoco.csv", "Branch coverage %", "C_cart", "75"},
      {"jacoco.csv", "Branch coverage %", "C_line", ""},  // no branches
      {"jacoco.csv", "Instruction coverage %", "C_cart", "75"},
      {"jacoco.csv", "METHOD_MISSED", "C_line", "1"},     // counts, not true/false
      {"jacoco.xml", "Line coverage %", "C_cart", "80"},  // the class's counter, not its method's
      {"jacoco.xml", "Line coverage %", "C_util", "66.7"},
      {"jacoco.xml", "Branch coverage %", "C_cart", "75"},
      {"jacoco.xml", "Complexity", "C_cart", "6"},
      {"jacoco.xml", "Methods", "C_cart", "4"},
      {"locale.csv", "Lines; total", "C_cart", "1200"},   // ';', BOM, CRLF, org::shop::Cart
      {"locale.csv", "Ratio", "C_order", "0,5"},          // decimal comma, org/shop/Order
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + c.metric + " " + c.element);
    auto read = readFile(dataFile(c.file));
    ASSERT_TRUE(read->result.ok) << read->result.error;
    Metric* metric = read->metrics.findMetric(c.metric);
    ASSERT_NE(metric, nullptr);
    EXPECT_EQ(metric->getValueText(c.element), c.text);
    EXPECT_EQ(metric->hasValue(c.element), *c.text != '\0');
  }
  // Text columns are no metrics; the names of the rows are none either.
  auto ck = readFile(dataFile("class.csv"));
  for (const char* none : {"file", "class", "type"}) EXPECT_EQ(ck->metrics.findMetric(none), nullptr) << none;
  EXPECT_NE(dynamic_cast<BooleanMetric*>(ck->metrics.findMetric("abstract")), nullptr);
  // Decimals scale glyphs between their own minimum and maximum.
  auto* tcc = dynamic_cast<IntegerMetric*>(ck->metrics.findMetric("tcc"));
  ASSERT_NE(tcc, nullptr);
  EXPECT_EQ(tcc->getScale(), 2);
  EXPECT_EQ(tcc->getValue("C_cart"), 83);
  EXPECT_EQ(tcc->getMinimumText(), "0.5");  // 0.1 is on rows that name no class
  EXPECT_EQ(tcc->getMaximumText(), "1");
  EXPECT_EQ(tcc->formatValue(tcc->getLowerBound()), "0.5");
  auto locale = readFile(dataFile("locale.csv"));
  EXPECT_EQ(dynamic_cast<IntegerMetric*>(locale->metrics.findMetric("Ratio"))->getValue("C_order"), 50);
}

TEST(TableMetrics, WhatIsPassedOverIsSaidAndBadInputIsNamedWithItsLine) {
  const struct {
    std::string name;
    std::string file;
    std::string content;  // written to file when not empty
    bool ok;
    std::string says;     // part of the error, or of the notes when ok
  } cases[] = {
      {"unmatched rows", dataFile("class.csv"), "", true, "class.csv: 2 rows name no element of the model: 'org.Gone', 'org.Lost'\n"},
      {"unmatched in JaCoCo CSV", dataFile("jacoco.csv"), "", true, "1 row names no element of the model: 'org.other.Missing'\n"},
      {"unmatched in JaCoCo XML", dataFile("jacoco.xml"), "", true, "1 row names no element of the model: 'org/shop/Ghost'\n"},
      {"ragged", dataFile("ragged.csv"), "", true, "1 row has more fields than the header and was passed over (line 3)"},
      {"unterminated quote", dataFile("unterminated.csv"), "", false, "unterminated.csv: line 3: a quoted field is not closed"},
      {"binary", dataFile("binary.csv"), "", false, "binary.csv: line 3: binary data"},
      {"header only", dataFile("header-only.csv"), "", false, "header-only.csv: line 1: a header and no rows"},
      {"out of range", dataFile("numbers.csv"), "", true, "column 'wmc': 2 values are out of range or not finite and passed over (line 2: '1e400')"},
      {"text among numbers", dataFile("numbers.csv"), "", true, "column 'dit' is not a metric: line 3 has 'abc', which is not a number"},
      {"nothing matches", dataFile("strangers.csv"), "", false,
       "no row names an element of the model (the file names 'com.acme.Alpha', 'com.acme.Beta', 'com.acme.Gamma'; "
       "the model has 'org.shop.Cart', 'org.shop.Order', 'org.shop.Order.Line')"},
      {"100,000 columns", testing::TempDir() + "wide.csv", "class" + std::string(100000, ',') + "\n",
       false, "wide.csv: line 1: more than 4096 fields"},
      {"a line of 2 MiB", testing::TempDir() + "long.csv", "class,wmc\norg.Util," + std::string(2 << 20, '7') + "\n",
       false, "long.csv: line 2: a field longer than 1 MiB"},
      {"missing file", testing::TempDir() + "absent.csv", "", false, "absent.csv: cannot be opened"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.content.empty()) std::ofstream(c.file, std::ios::binary) << c.content;
    auto read = readFile(c.file);
    EXPECT_EQ(read->result.ok, c.ok);
    EXPECT_NE((c.ok ? read->notes() : read->result.error).find(c.says), std::string::npos)
        << read->result.error << read->notes();
    if (!c.ok) EXPECT_EQ(read->metrics.getMetricCount(), 0u);
  }
  // What is sound still loads: -0 reads as 0, the others of a row keep theirs.
  auto numbers = readFile(dataFile("numbers.csv"));
  EXPECT_EQ(numbers->metrics.findMetric("cbo")->getValueText("C_cart"), "0");
  EXPECT_EQ(numbers->metrics.findMetric("wmc")->getValueText("C_util"), "7");
  EXPECT_FALSE(numbers->metrics.findMetric("wmc")->hasValue("C_cart"));
}

TEST(TableMetrics, ReadingAgainReplacesValuesAndKeepsTheUsersChoices) {
  MetricSet loaded;
  auto first = readFile(dataFile("class.csv"));
  loaded.mergeLoaded(first->metrics);
  loaded.showMetric("wmc");
  auto* wmc = dynamic_cast<IntegerMetric*>(loaded.findMetric("wmc"));
  wmc->setVisualizer("2D Pie");
  wmc->setTransparency(0.8f);
  wmc->setUpperBound(10);
  const std::size_t count = loaded.getMetricCount();

  // The next build: Cart's wmc went from 12 to 20.
  const std::string next = testing::TempDir() + "class-next.csv";
  std::ofstream(next) << "class,wmc\norg.shop.Cart,20\norg.shop.Order,2\n";
  auto second = readFile(next);
  ASSERT_TRUE(second->result.ok) << second->result.error;
  loaded.mergeLoaded(second->metrics);

  EXPECT_EQ(loaded.getMetricCount(), count);
  auto* fresh = dynamic_cast<IntegerMetric*>(loaded.findMetric("wmc"));
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(fresh->getValueText("C_cart"), "20");
  EXPECT_EQ(fresh->getMinimum(), 2);
  EXPECT_EQ(loaded.findShownMetric("wmc"), fresh);
  EXPECT_EQ(loaded.getShownCount(), 1u);
  EXPECT_EQ(fresh->getVisualizerName(), "2D Pie");
  EXPECT_FLOAT_EQ(fresh->getTransparency(), 0.8f);
  EXPECT_EQ(fresh->getUpperBound(), 10);  // moved by the user: kept
  EXPECT_EQ(fresh->getLowerBound(), 2);   // left at the minimum: follows it
}

TEST(PackageAreas, EveryPackageIsAnAreaOfWhatItHolds) {
  const struct {
    const char* separator;
    const char* outer;
    const char* inner;
  } cases[] = {{".", "org", "org.shop"}, {"::", "org", "org::shop"}};
  for (const auto& [separator, outer, inner] : cases) {
    AreaSet areas;
    EXPECT_EQ(addPackageAreas(areas, shopModel(), separator), 2u);
    ASSERT_NE(areas.findArea(inner), nullptr) << inner;
    EXPECT_EQ(areas.findArea(inner)->getElements(),
              (std::vector<std::string>{"P_shop", "C_cart", "C_order", "C_line", "I_pay"}));
    EXPECT_EQ(areas.findArea(outer)->getElementCount(), 7u);
    EXPECT_NE(*areas.findArea(outer)->getColor(), *areas.findArea(inner)->getColor());
  }
  // An area a file defines keeps its name; a second reading updates it in place.
  AreaSet areas;
  auto* defined = new Area("org.shop");
  defined->addElement("C_cart");
  areas.addArea(defined);
  EXPECT_EQ(addPackageAreas(areas, shopModel()), 1u);
  EXPECT_EQ(areas.findArea("org.shop")->getElementCount(), 1u);
  AreaSet again;
  auto* reread = new Area("org.shop");
  reread->addElement("C_order");
  reread->setValue(4);
  again.addArea(reread);
  areas.mergeLoaded(again);
  EXPECT_EQ(areas.getLoadedCount(), 2u);
  EXPECT_EQ(areas.findArea("org.shop"), defined);
  EXPECT_EQ(defined->getElements(), std::vector<std::string>{"C_order"});
  EXPECT_EQ(defined->getValue(), 4);
}

}  // namespace
}  // namespace lumetra
