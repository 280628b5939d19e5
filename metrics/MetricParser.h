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

#include <cstddef>
#include <string>

namespace pugi {
class xml_document;
class xml_node;
struct xml_parse_result;
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
  // The same for a file's bytes already in memory; name stands for the file
  // in lastError() and on the debug channel.
  bool loadBytes(const void* data, std::size_t size, const std::string& name);
  virtual ~MetricParser() = default;

  // "FILE: reason" of the last failed load; empty after a successful one.
  const std::string& lastError() const { return lastError_; }

 private:
  MetricSet* metricSet_;
  AreaSet* areaSet_;
  // Reads the entries of a parsed (or failed) document.
  bool readDocument(const pugi::xml_document& document, const pugi::xml_parse_result& result,
                    const std::string& name);

  std::string lastError_;
};

// The C library's text-to-number rules (leading blanks skipped, conversion
// stops at the first unfitting character, no digits gives 0); integers are
// clamped to the int range instead of overflowing.
int textToInt(const char* text);
double textToDouble(const char* text);

}  // namespace lumetra
