#include "metrics/MetricColumns.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <limits>

#include "metrics/Metric.h"

namespace lumetra {

namespace {

constexpr int kMostDecimals = 6;

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool sameWord(std::string_view text, std::string_view word) {
  return text.size() == word.size() && std::equal(text.begin(), text.end(), word.begin(), [](char a, char b) {
           return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b;
         });
}

// Digits written after the decimal mark, less the exponent: "0.83" 2, "1.5e1" 0.
int decimalsOf(std::string_view number) {
  const std::size_t mark = number.find_first_of(".,");
  if (mark == std::string_view::npos) return 0;
  const std::size_t exponent = number.find_first_of("eE", mark);
  const auto digits = static_cast<long>((exponent == std::string_view::npos ? number.size() : exponent) - mark - 1);
  long shift = 0;
  if (exponent != std::string_view::npos) {
    std::from_chars(number.data() + exponent + 1 + (number[exponent + 1] == '+' ? 1 : 0),
                    number.data() + number.size(), shift);
  }
  return static_cast<int>(std::clamp(digits - shift, 0L, static_cast<long>(kMostDecimals)));
}

}  // namespace

std::string quotedForMessage(std::string_view text) {
  constexpr std::size_t kLongest = 40;
  if (text.size() <= kLongest) return "'" + std::string(text) + "'";
  return "'" + std::string(text.substr(0, kLongest)) + "...'";
}

double MetricColumn::addCell(std::string_view text, std::size_t line, const std::string* id, bool decimalComma) {
  constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
  text = trimmed(text);
  if (text.empty()) return kNone;
  if (sameWord(text, "true") || sameWord(text, "false")) {
    ++words_;
    addEntry(id, sameWord(text, "true") ? 1.0 : 0.0, {});
    return kNone;
  }
  std::string_view number = text.front() == '+' && text.size() > 1 && text[1] != '-' ? text.substr(1) : text;
  std::string swapped;
  if (decimalComma && number.find(',') != std::string_view::npos && number.find('.') == std::string_view::npos) {
    swapped.assign(number);
    std::replace(swapped.begin(), swapped.end(), ',', '.');
    number = swapped;
  }
  double value = 0.0;
  const auto [end, status] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (end != number.data() + number.size() || status == std::errc::invalid_argument) {
    if (texts_++ == 0) textLine_ = line, text_ = text;
    return kNone;
  }
  if (status == std::errc::result_out_of_range || !std::isfinite(value)) {
    if (unusable_++ == 0) unusableLine_ = line, unusableText_ = text;
    return kNone;
  }
  ++numbers_;
  if (text != "0" && text != "1") zeroOne_ = false;
  decimals_ = std::max(decimals_, decimalsOf(number));
  largest_ = std::max(largest_, std::fabs(value));
  // Whole numbers written plainly read back as they were written; only
  // the others keep their text.
  const bool plain = text.find_first_of(".,eE+") == std::string_view::npos && !(text.size() > 1 && text[0] == '0');
  addEntry(id, value, plain ? std::string_view() : text);
  return value;
}

void MetricColumn::addEntry(const std::string* id, double value, std::string_view written) {
  if (id == nullptr) return;
  std::size_t text = 0;
  if (!written.empty()) {
    written_.emplace_back(written);
    text = written_.size();
  }
  entries_.push_back({id, value, text});
}

void MetricColumn::addNumber(const std::string* id, double value, std::string written, int decimals) {
  ++numbers_;
  zeroOne_ = false;
  decimals_ = std::max(decimals_, decimals);
  largest_ = std::max(largest_, std::fabs(value));
  addEntry(id, value, written);
}

Metric* MetricColumn::makeMetric(int paletteIndex, const std::string& fileName, std::string& note) const {
  note.clear();
  const std::string column = fileName + ": column " + quotedForMessage(name_);
  if (texts_ > 0 || (words_ > 0 && numbers_ > 0)) {
    // A column of names or descriptions says nothing; one of numbers with a
    // stray text is worth a word.
    if (numbers_ > 0 && texts_ > 0)
      note = column + " is not a metric: line " + std::to_string(textLine_) + " has " + quotedForMessage(text_) +
             ", which is not a number";
    else if (texts_ == 0)
      note = column + " is not a metric: it mixes numbers and true/false";
    return nullptr;
  }
  if (unusable_ > 0)
    note = column + ": " + std::to_string(unusable_) + (unusable_ == 1 ? " value is" : " values are") +
           " out of range or not finite and passed over (line " + std::to_string(unusableLine_) + ": " +
           quotedForMessage(unusableText_) + ")";
  if (entries_.empty()) return nullptr;

  Color* colour = new Color(paletteColor(paletteIndex));
  if (words_ > 0 || (zeroOne_ && !counts_)) {
    auto* metric = new BooleanMetric(name_, colour, new Color(METRIC_OUTLINE));
    for (const Entry& entry : entries_) metric->addValue(*entry.id, entry.value != 0.0);
    return metric;
  }
  // The most decimals any value was written with, fewer when the values
  // would not fit an int so scaled.
  int scale = decimals_;
  while (scale > -18 && largest_ * std::pow(10.0, scale) > static_cast<double>(INT_MAX)) --scale;
  const double factor = std::pow(10.0, scale);
  auto* metric = new IntegerMetric(name_, colour, new Color(METRIC_OUTLINE));
  metric->setScale(scale);
  metric->reserve(entries_.size());
  for (const Entry& entry : entries_) {
    const double stored = std::clamp(std::round(entry.value * factor), static_cast<double>(INT_MIN),
                                     static_cast<double>(INT_MAX));
    if (entry.written == 0)
      metric->addValue(*entry.id, static_cast<int>(stored));
    else
      metric->addValue(*entry.id, static_cast<int>(stored), written_[entry.written - 1]);
  }
  metric->computeRange();
  return metric;
}

void UnmatchedRows::add(std::string_view name) {
  ++count_;
  if (names_.size() < 3) names_.emplace_back(name.empty() ? "(no name)" : std::string(name));
}

std::string UnmatchedRows::note(const std::string& fileName) const {
  if (count_ == 0) return {};
  std::string text = fileName + ": " + std::to_string(count_) + (count_ == 1 ? " row names" : " rows name") +
                     " no element of the model: ";
  for (std::size_t i = 0; i < names_.size(); ++i) text += (i ? ", " : "") + quotedForMessage(names_[i]);
  return text + (count_ > names_.size() ? ", ..." : "");
}

std::string nothingMatched(const std::string& fileName, const std::vector<std::string>& fileNames,
                           const std::vector<std::string>& modelNames) {
  auto list = [](const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < 3; ++i) text += (i ? ", " : "") + quotedForMessage(names[i]);
    return text.empty() ? std::string("nothing") : text;
  };
  return fileName + ": no row names an element of the model (the file names " + list(fileNames) +
         "; the model has " + list(modelNames) + ")";
}

}  // namespace lumetra
