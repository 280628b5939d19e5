#pragma once
// What the table and coverage readers share: one measure's values gathered
// row by row and turned into a metric once every row is in, the tally of
// rows that name no element, and the result every metrics reader gives.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lumetra {

class Metric;

// The outcome of reading one metrics file: ok, or the error "FILE: line N:
// reason"; notes say what was read but passed over (rows naming no element,
// columns or cells that are not numbers), each naming the file.
struct MetricsRead {
  bool ok = false;
  std::string error;
  std::vector<std::string> notes;
};

class MetricColumn {
 public:
  explicit MetricColumn(std::string name) : name_(std::move(name)) {}

  const std::string& name() const { return name_; }
  // The values are counts (a coverage report's): never a boolean metric,
  // even when every one is 0 or 1.
  void setCounts() { counts_ = true; }
  // One cell as written, on a line of the file; id is the element its row
  // names (null: none). decimalComma reads "0,83" as 0.83. Returns the
  // number the cell holds, or NaN (empty, text, out of range).
  double addCell(std::string_view text, std::size_t line, const std::string* id, bool decimalComma);
  // A value computed from others, with its text and number of decimals.
  void addNumber(const std::string* id, double value, std::string written, int decimals);

  // The metric these values make (a boolean one for 0/1 or true/false
  // values), coloured by palette entry paletteIndex; null when the column
  // holds text or no value of a named element. note says, when worth saying,
  // what was passed over (file name first).
  Metric* makeMetric(int paletteIndex, const std::string& fileName, std::string& note) const;

 private:
  struct Entry {
    const std::string* id;
    double value;
    std::size_t written;  // 1 + its index in written_; 0: the number reads back as written
  };
  void addEntry(const std::string* id, double value, std::string_view written);

  std::string name_;
  std::vector<Entry> entries_;  // rows that name an element
  std::vector<std::string> written_;
  bool counts_ = false;
  std::size_t numbers_ = 0;
  std::size_t words_ = 0;        // true / false
  bool zeroOne_ = true;          // every number was written "0" or "1"
  int decimals_ = 0;             // most decimals written
  double largest_ = 0.0;         // largest magnitude
  std::size_t texts_ = 0;
  std::size_t textLine_ = 0;     // the first text
  std::string text_;
  std::size_t unusable_ = 0;     // numbers out of range, NaN, infinities
  std::size_t unusableLine_ = 0;
  std::string unusableText_;
};

// Rows whose name matches no element: how many, and the first few names.
class UnmatchedRows {
 public:
  void add(std::string_view name);
  std::size_t count() const { return count_; }
  const std::vector<std::string>& firstNames() const { return names_; }
  // "FILE: 12 rows name no element of the model: 'a', 'b', 'c', ..."; empty
  // when every row matched.
  std::string note(const std::string& fileName) const;

 private:
  std::size_t count_ = 0;
  std::vector<std::string> names_;
};

// The error of a file none of whose rows names an element: three of its
// names beside three of the model's.
std::string nothingMatched(const std::string& fileName, const std::vector<std::string>& fileNames,
                           const std::vector<std::string>& modelNames);

// A name or a value quoted for a message, cut short when long.
std::string quotedForMessage(std::string_view text);

}  // namespace lumetra
