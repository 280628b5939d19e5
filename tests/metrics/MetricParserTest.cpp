// The metrics file reader, on files kept in data/.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "areas/Area.h"
#include "areas/AreaVisualizer.h"
#include "metrics/Metric.h"
#include "metrics/MetricParser.h"
#include "metrics/MetricSet.h"
#include "platform/DebugOutput.h"

namespace lumetra {
namespace {

std::string dataFile(const std::string& name) { return std::string(LUMETRA_TEST_DATA_DIR) + "/" + name; }


void expectColour(const Color& actual, const Color& expected, const std::string& what) {
  EXPECT_NEAR(actual.r, expected.r, 1e-6f) << what;
  EXPECT_NEAR(actual.g, expected.g, 1e-6f) << what;
  EXPECT_NEAR(actual.b, expected.b, 1e-6f) << what;
  EXPECT_NEAR(actual.a, expected.a, 1e-6f) << what;
}

Color inverted(Color c) { return {1.0f - c.r, 1.0f - c.g, 1.0f - c.b, c.a}; }

class MetricParserTest : public ::testing::Test {
 protected:
  bool load(const std::string& name) { return parser.load(dataFile(name)); }
  // The colour of a metric or (as stored, inverted) of an area.
  Color colourOf(const std::string& name) {
    if (Metric* m = metrics.findMetric(name)) return *m->getColor();
    if (Area* a = areas.findArea(name)) return *a->getColor();
    ADD_FAILURE() << "no metric or area " << name;
    return {};
  }

  MetricSet metrics;
  AreaSet areas;
  MetricParser parser{&metrics, &areas};
};

TEST_F(MetricParserTest, PaletteCyclesAfterSixteenEntries) {
  ASSERT_TRUE(load("palette17.met"));
  EXPECT_EQ(metrics.getMetricCount() + areas.getLoadedCount(), 17u);
  for (int i = 0; i < 17; ++i) {
    const std::string name = "m" + std::to_string(i);
    // Entries 2, 5, 8, ... are areas: their colour is stored inverted.
    const Color expected = i % 3 == 2 ? inverted(paletteColor(i)) : paletteColor(i);
    expectColour(colourOf(name), expected, name + " (a colour other than \"defined\" uses the palette)");
  }
  expectColour(colourOf("m16"), colourOf("m0"), "the 17th entry repeats the first");
  EXPECT_NEAR(colourOf("m0").a, 221.0f / 255.0f, 1e-6f) << "entry 0 is translucent black";
}

TEST_F(MetricParserTest, DefinedColoursAndInvertedAreas) {
  ASSERT_TRUE(load("colours.met"));
  expectColour(colourOf("Defined"), {1.0f, 128.0f / 255.0f, 0.0f, 1.0f}, "defined int metric");
  expectColour(colourOf("Named"), paletteColor(1), "color=\"red\" falls back to the palette");
  expectColour(colourOf("Red area"), {0.0f, 1.0f, 1.0f, 1.0f}, "area (255, 0, 0) is stored inverted");
  expectColour(colourOf("Palette area"), inverted(paletteColor(3)), "palette area colour is inverted too");
  expectColour(colourOf("Half blue"), {0.0f, 0.0f, 0.5f, 1.0f}, "missing r, g read 0; b reads its leading number");
  EXPECT_EQ(areas.findArea("Red area")->getValue(), 3);
  EXPECT_EQ(areas.findArea("Palette area")->getValue(), -2);
  EXPECT_EQ(areas.findArea("Red area")->getVisualizer()->getName(), "Inner") << "areas start with the inner painter";
}

TEST_F(MetricParserTest, ReadsValuesAndSkipsUnknownTypes) {
  DebugCapture debug;
  ASSERT_TRUE(load("mixed.met"));
  EXPECT_NE(debug.text().find(dataFile("mixed.met")), std::string::npos);
  EXPECT_NE(debug.text().find(" metric load OK\n"), std::string::npos);

  // "Ratio" (type float) and "Untyped" are skipped; "Depth" is read although
  // its tag is not "metric".
  ASSERT_EQ(metrics.getMetricCount(), 3u);
  EXPECT_EQ(metrics.getMetric(0)->getName(), "Lines");
  EXPECT_EQ(metrics.getMetric(1)->getName(), "Tested");
  EXPECT_EQ(metrics.getMetric(2)->getName(), "Depth");
  EXPECT_EQ(metrics.findMetric("Ratio"), nullptr);

  auto* lines = dynamic_cast<IntegerMetric*>(metrics.findMetric("Lines"));
  ASSERT_NE(lines, nullptr);
  EXPECT_EQ(lines->getValueCount(), 6u) << "only <element> children are read";
  EXPECT_EQ(lines->getValue("c1"), 120) << "the first pair of an element wins";
  EXPECT_EQ(lines->getValue("c2"), 40) << "leading blanks skipped, trailing text ignored";
  EXPECT_FALSE(lines->hasValue("c3")) << "<note> is not an element entry";
  EXPECT_EQ(lines->getValue("c4"), 0) << "no digits read as 0";
  EXPECT_TRUE(lines->hasValue("")) << "a missing id reads as empty text";
  EXPECT_EQ(lines->getValue(""), 5);
  EXPECT_EQ(lines->getMinimum(), -12);
  EXPECT_EQ(lines->getMaximum(), 120);
  EXPECT_EQ(lines->getLowerBound(), -12) << "bounds equal the range right after loading";
  EXPECT_EQ(lines->getUpperBound(), 120);

  auto* tested = dynamic_cast<BooleanMetric*>(metrics.findMetric("Tested"));
  ASSERT_NE(tested, nullptr);
  EXPECT_TRUE(tested->getValue("c1"));
  EXPECT_FALSE(tested->getValue("c2")) << "only the exact text true is true";
  EXPECT_TRUE(tested->hasValue("c3"));
  EXPECT_FALSE(tested->getValue("c3"));
  EXPECT_FALSE(tested->getValue("c4"));
  EXPECT_TRUE(tested->hasValue("c5")) << "a missing value still adds the element";
  EXPECT_FALSE(tested->getValue("c5"));

  // Palette order counts every entry, the comment and the skipped ones too.
  const Color outline(0xDD000000u);
  expectColour(*lines->getColor(), paletteColor(0), "Lines");
  expectColour(*tested->getColor(), paletteColor(2), "Tested, after the comment");
  expectColour(*metrics.findMetric("Depth")->getColor(), paletteColor(5), "Depth, after two skipped");
  expectColour(*tested->getOutlineColor(), outline, "outline");

  ASSERT_EQ(areas.getLoadedCount(), 1u);
  Area* area = areas.getLoadedArea(0);
  EXPECT_EQ(area->getName(), "") << "a missing name reads as empty text";
  EXPECT_EQ(area->getValue(), 0) << "a non-numeric value reads as 0";
  ASSERT_EQ(area->getElementCount(), 3u) << "identifiers keep duplicates";
  EXPECT_EQ(area->getElement(0), "c1");
  EXPECT_EQ(area->getElement(1), "");
  EXPECT_EQ(area->getElement(2), "c1");
  expectColour(*area->getColor(), inverted(paletteColor(6)), "area");
}

TEST_F(MetricParserTest, LoadingTwiceAddsEverythingTwice) {
  ASSERT_TRUE(load("colours.met"));
  ASSERT_TRUE(load("colours.met"));
  EXPECT_EQ(metrics.getMetricCount(), 6u);
  EXPECT_EQ(areas.getLoadedCount(), 4u);
  EXPECT_EQ(metrics.getMetric(0)->getName(), metrics.getMetric(3)->getName());
  EXPECT_NE(metrics.getMetric(0), metrics.getMetric(3));
  EXPECT_EQ(areas.getLoadedArea(2)->getName(), "Red area");
}

TEST_F(MetricParserTest, UnreadableFilesAddNothing) {
  struct Case {
    const char* file;
    bool loads;
    const char* reason;
  };
  const Case cases[] = {
      {"does-not-exist.met", false, "File was not found"},
      {"malformed.met", false, "offset"},
      {"noroot.met", true, ""},
      {"nometric.met", true, ""},
  };
  ASSERT_TRUE(load("colours.met"));
  for (const Case& c : cases) {
    DebugCapture debug;
    EXPECT_EQ(load(c.file), c.loads) << c.file;
    EXPECT_EQ(metrics.getMetricCount(), 3u) << c.file << ": earlier contents stay";
    EXPECT_EQ(areas.getLoadedCount(), 2u) << c.file;
    if (!c.loads) {
      EXPECT_NE(parser.lastError().find(c.file), std::string::npos) << parser.lastError();
      EXPECT_NE(parser.lastError().find(c.reason), std::string::npos) << parser.lastError();
      EXPECT_EQ(debug.text().find("metric load OK"), std::string::npos) << c.file;
    } else {
      EXPECT_EQ(parser.lastError(), "") << c.file;
    }
  }
}

// Bytes in memory read as the same file does; a damaged buffer adds nothing
// and names the given name and the offset.
TEST_F(MetricParserTest, BytesInMemoryReadAsTheFileDoes) {
  std::ifstream in(dataFile("mixed.met"), std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_FALSE(bytes.empty());
  ASSERT_TRUE(load("mixed.met"));

  MetricSet fromBytes;
  AreaSet areasFromBytes;
  MetricParser bytesParser(&fromBytes, &areasFromBytes);
  ASSERT_TRUE(bytesParser.loadBytes(bytes.data(), bytes.size(), "in memory"));
  ASSERT_EQ(fromBytes.getMetricCount(), metrics.getMetricCount());
  for (std::size_t i = 0; i < metrics.getMetricCount(); ++i) {
    Metric* expected = metrics.getMetric(i);
    Metric* actual = fromBytes.getMetric(i);
    EXPECT_EQ(actual->getName(), expected->getName());
    expectColour(*actual->getColor(), *expected->getColor(), expected->getName());
    for (const char* id : {"", "c1", "c2", "c3", "c4", "c5"}) {
      EXPECT_EQ(actual->hasValue(id), expected->hasValue(id)) << expected->getName() << " " << id;
      if (expected->hasValue(id)) EXPECT_EQ(actual->getValueText(id), expected->getValueText(id));
    }
  }
  ASSERT_EQ(areasFromBytes.getLoadedCount(), areas.getLoadedCount());
  EXPECT_EQ(areasFromBytes.getLoadedArea(0)->getElementCount(), areas.getLoadedArea(0)->getElementCount());

  // Cut inside an element: a parse error, nothing added.
  const std::size_t cut = bytes.find("<element");
  ASSERT_NE(cut, std::string::npos);
  MetricSet damaged;
  AreaSet damagedAreas;
  MetricParser damagedParser(&damaged, &damagedAreas);
  EXPECT_FALSE(damagedParser.loadBytes(bytes.data(), cut + 4, "cut.met"));
  EXPECT_EQ(damaged.getMetricCount(), 0u);
  EXPECT_EQ(damagedAreas.getLoadedCount(), 0u);
  EXPECT_EQ(damagedParser.lastError().rfind("cut.met: ", 0), 0u) << damagedParser.lastError();
  EXPECT_NE(damagedParser.lastError().find("at offset"), std::string::npos) << damagedParser.lastError();
  // An empty buffer is no document either.
  EXPECT_FALSE(damagedParser.loadBytes("", 0, "empty.met"));
  EXPECT_EQ(damaged.getMetricCount(), 0u);
}

// Defined colour components outside 0..255 are stored as the screen would
// show them (clamped); text the number rules read as not a number or
// infinite reads as 0, so no such value ever reaches GL.
TEST(MetricParserColourTest, DefinedComponentsAreClampedAndFinite) {
  struct Case {
    const char* component;
    float metric;  // the metric's component
    float area;    // the area's, stored inverted
  };
  const Case cases[] = {
      {"255", 1.0f, 0.0f},  {"0", 0.0f, 1.0f},   {"300", 1.0f, 0.0f},  {"-40", 0.0f, 1.0f},
      {"nan", 0.0f, 1.0f},  {"inf", 0.0f, 1.0f}, {"-inf", 0.0f, 1.0f}, {"1e999", 0.0f, 1.0f},
      {"51", 0.2f, 0.8f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.component);
    const std::string file = std::string("<metrics><metric name=\"M\" type=\"int\" color=\"defined\" r=\"") +
                             c.component + "\" g=\"" + c.component + "\" b=\"0\"/>" +
                             "<metric name=\"A\" type=\"area\" color=\"defined\" r=\"" + c.component +
                             "\" g=\"0\" b=\"0\"/></metrics>";
    MetricSet metrics;
    AreaSet areas;
    MetricParser parser(&metrics, &areas);
    ASSERT_TRUE(parser.loadBytes(file.data(), file.size(), "colours"));
    ASSERT_NE(metrics.findMetric("M"), nullptr);
    ASSERT_NE(areas.findArea("A"), nullptr);
    const Color metric = *metrics.findMetric("M")->getColor();
    const Color area = *areas.findArea("A")->getColor();
    EXPECT_NEAR(metric.r, c.metric, 1e-6f);
    EXPECT_NEAR(metric.g, c.metric, 1e-6f);
    EXPECT_NEAR(area.r, c.area, 1e-6f);
    EXPECT_NEAR(area.g, 1.0f, 1e-6f);
  }
}

TEST(TextToNumberTest, FollowsTheCLibraryRules) {
  struct Case {
    const char* text;
    int integer;
    double real;
  };
  const Case cases[] = {
      {"42", 42, 42.0},        {"  -7", -7, -7.0},        {"3.75", 3, 3.75},   {"12abc", 12, 12.0},
      {"abc", 0, 0.0},         {"", 0, 0.0},              {"+5", 5, 5.0},      {"0x10", 0, 16.0},
      {"99999999999", 2147483647, 99999999999.0},         {"-99999999999", -2147483647 - 1, -99999999999.0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(textToInt(c.text), c.integer) << c.text;
    EXPECT_DOUBLE_EQ(textToDouble(c.text), c.real) << c.text;
  }
  EXPECT_EQ(textToInt(nullptr), 0);
  EXPECT_EQ(textToDouble(nullptr), 0.0);
}

}  // namespace
}  // namespace lumetra
