#pragma once
// Reads a metrics file (*.met): integer and boolean metrics into a MetricSet,
// areas into an AreaSet. Nothing is cleared first, so a second file adds to
// what is loaded.
//
//   <metrics>
//     <metric name="LOC" type="int" [color="defined" r=".." g=".." b=".."]>
//       <element id="..." value="42"/>
//     </metric>
//     <metric name="Core" type="area" value="2"> <element id="..."/> </metric>
//   </metrics>
//
// Unreadable files and unknown types are passed over silently (a trace line
// on the debug channel); load's result and lastError() let a caller that
// wants to tell the user (the batch export) do so.

#include <string>

namespace pugi {
class xml_node;
}

namespace lumetra {

class Area;
class AreaSet;
class BooleanMetric;
class IntegerMetric;
class MetricSet;

class MetricParser {
 public:
  // Both containers are borrowed and must outlive the parser.
  MetricParser(MetricSet* metricSet, AreaSet* areaSet);
  MetricParser(const MetricParser&) = delete;
  MetricParser& operator=(const MetricParser&) = delete;

  // Reads one entry of the root; index picks the palette colour.
  virtual void parseMetric(const pugi::xml_node& node, int index);
  virtual void readIntValue(IntegerMetric* metric, const pugi::xml_node& node);
  virtual void readBoolValue(BooleanMetric* metric, const pugi::xml_node& node);
  virtual void readAreaElement(Area* area, const pugi::xml_node& node);
  // Reads a whole file. False when it could not be read or parsed (nothing
  // is added then); lastError() says why.
  virtual bool load(const std::string& fileName);
  virtual ~MetricParser() = default;

  // "FILE: reason" of the last failed load; empty after a successful one.
  const std::string& lastError() const { return lastError_; }

 private:
  MetricSet* metricSet_;
  AreaSet* areaSet_;
  std::string lastError_;
};

// The C library's text-to-number rules (leading blanks skipped, conversion
// stops at the first unfitting character, no digits gives 0); integers are
// clamped to the int range instead of overflowing.
int textToInt(const char* text);
double textToDouble(const char* text);

}  // namespace lumetra
