#pragma once
// Reads a table of comma-separated values record by record, as metrics tools
// and spreadsheets write them (RFC 4180): fields in double quotes may hold the
// separator, line breaks and doubled quotes; lines end in LF or CRLF; a UTF-8
// byte order mark is dropped. The separator is the comma unless the first
// line holds more semicolons than commas (spreadsheets in locales whose
// decimal mark is the comma write those).
//
// The reader streams: it never holds more than one record, and refuses a
// field longer than kMaxField bytes, a record of more than kMaxFields fields,
// a NUL byte (binary data) and a quoted field still open at the end, each
// with the line where it happened. Lenient where nothing is lost: a quote
// inside an unquoted field, or text after a closing quote, is kept as text.

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

namespace lumetra {

class CsvReader {
 public:
  static constexpr std::size_t kMaxField = std::size_t{1} << 20;
  static constexpr std::size_t kMaxFields = 4096;

  // The stream is borrowed; it should be opened in binary mode.
  explicit CsvReader(std::istream& in);

  // Reads the next record into fields (replacing them). False at the end of
  // the input and on an error (error() is then set). Blank lines are passed
  // over.
  bool next(std::vector<std::string>& fields);
  // The line (from 1) on which the last record began.
  std::size_t line() const { return recordLine_; }
  // "line N: reason" after a failed next(); empty otherwise.
  const std::string& error() const { return error_; }
  char separator() const { return separator_; }

 private:
  int get();
  int peek();
  bool fail(std::size_t line, const std::string& reason);

  std::streambuf* in_;
  std::string head_;  // the first line, read ahead to choose the separator
  std::size_t headPos_ = 0;
  char separator_ = ',';
  std::size_t line_ = 1;
  std::size_t recordLine_ = 0;
  std::string error_;
};

}  // namespace lumetra
