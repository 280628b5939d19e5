#include "metrics/MetricParser.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <pugixml.hpp>

#include "areas/Area.h"
#include "metrics/Metric.h"
#include "metrics/MetricSet.h"
#include "platform/DebugOutput.h"

namespace lumetra {

int textToInt(const char* text) {
  if (text == nullptr) return 0;
  long value = std::strtol(text, nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

double textToDouble(const char* text) {
  if (text == nullptr) return 0.0;
  return std::strtod(text, nullptr);
}

namespace {

// A "defined" colour component: 0..255 as decimal text, as a fraction of 1.
// The screen shows values beyond the range as its ends, so they are stored
// so; "nan" and "inf", which the text-to-double rules accept, read as 0.
float colourComponent(const char* text) {
  const double value = textToDouble(text);
  if (!std::isfinite(value)) return 0.0f;
  return static_cast<float>(std::clamp(value, 0.0, 255.0) / 255.0);
}

}  // namespace

MetricParser::MetricParser(MetricSet* metricSet, AreaSet* areaSet) : metricSet_(metricSet), areaSet_(areaSet) {}

bool MetricParser::load(const std::string& fileName) {
  debugOutput(fileName);
  lastError_.clear();
  pugi::xml_document document;
  // Comments are kept so that they take their place in the palette count.
  pugi::xml_parse_result result = document.load_file(fileName.c_str(), pugi::parse_default | pugi::parse_comments);
  return readDocument(document, result, fileName);
}

bool MetricParser::loadBytes(const void* data, std::size_t size, const std::string& name) {
  debugOutput(name);
  lastError_.clear();
  pugi::xml_document document;
  pugi::xml_parse_result result =
      document.load_buffer(data, size, pugi::parse_default | pugi::parse_comments);
  return readDocument(document, result, name);
}

bool MetricParser::readDocument(const pugi::xml_document& document, const pugi::xml_parse_result& result,
                                const std::string& name) {
  if (!result) {
    lastError_ = name + ": " + result.description();
    if (result.status != pugi::status_file_not_found && result.status != pugi::status_io_error)
      lastError_ += " at offset " + std::to_string(result.offset);
    debugOutput("\n ERROR: METRIC FILE NOT LOADED: " + lastError_ + " \n");
    return false;
  }
  debugOutput(" metric load OK\n");

  pugi::xml_node first = document.child("metrics").child("metric");
  int index = 0;
  for (pugi::xml_node node = first; node; node = node.next_sibling()) {
    parseMetric(node, index);
    index = (index + 1) % 16;
  }
  return true;
}

void MetricParser::parseMetric(const pugi::xml_node& node, int index) {
  // Text and comments between entries count for the palette but carry nothing.
  if (node.type() != pugi::node_element) return;
  std::string name = node.attribute("name").value();
  std::string type = node.attribute("type").value();
  bool isInt = type == "int";
  bool isBool = type == "bool";
  bool isArea = type == "area";
  if (!isInt && !isBool && !isArea) return;

  Color colour;
  if (std::strcmp(node.attribute("color").value(), "defined") == 0) {
    colour = Color(colourComponent(node.attribute("r").value()), colourComponent(node.attribute("g").value()),
                   colourComponent(node.attribute("b").value()), 1.0f);
  } else {
    colour = paletteColor(index);
  }

  if (isArea) {
    if (areaSet_ == nullptr) return;
    // Area painters draw in the inverted space (see the area pass).
    colour.r = 1.0f - colour.r;
    colour.g = 1.0f - colour.g;
    colour.b = 1.0f - colour.b;
    auto* area = new Area(name);
    area->setColor(new Color(colour));
    area->setValue(textToInt(node.attribute("value").value()));
    for (pugi::xml_node element = node.child("element"); element; element = element.next_sibling("element"))
      readAreaElement(area, element);
    areaSet_->addArea(area);
    return;
  }

  if (metricSet_ == nullptr) return;
  if (isInt) {
    auto* metric = new IntegerMetric(name, new Color(colour), new Color(METRIC_OUTLINE));
    for (pugi::xml_node element = node.child("element"); element; element = element.next_sibling("element"))
      readIntValue(metric, element);
    metric->computeRange();
    metricSet_->add(metric);
  } else {
    auto* metric = new BooleanMetric(name, new Color(colour), new Color(METRIC_OUTLINE));
    for (pugi::xml_node element = node.child("element"); element; element = element.next_sibling("element"))
      readBoolValue(metric, element);
    metricSet_->add(metric);
  }
}

void MetricParser::readIntValue(IntegerMetric* metric, const pugi::xml_node& node) {
  metric->addValue(node.attribute("id").value(), textToInt(node.attribute("value").value()));
}

void MetricParser::readBoolValue(BooleanMetric* metric, const pugi::xml_node& node) {
  // Anything but "true" reads as false.
  metric->addValue(node.attribute("id").value(), std::strcmp(node.attribute("value").value(), "true") == 0);
}

void MetricParser::readAreaElement(Area* area, const pugi::xml_node& node) {
  area->addElement(node.attribute("id").value());
}

}  // namespace lumetra
