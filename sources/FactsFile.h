#pragma once
// A compact binary form of the parser's facts, for the import cache.
// Numbers are little-endian; strings and lists carry their length first.
// Reading checks every length against what is left, so a cut or damaged
// file throws FactsFormatError instead of reading past its end.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "sources/SourceFacts.h"

namespace lumetra {

struct FactsFormatError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class FactsWriter {
 public:
  void number(std::uint64_t value);
  void text(std::string_view value);
  void texts(const std::vector<std::string>& values);
  void classFacts(const ClassFacts& facts);
  void definition(const OutOfLineFacts& facts);
  const std::string& bytes() const { return bytes_; }

 private:
  void body(const BodyFacts& facts);
  std::string bytes_;
};

class FactsReader {
 public:
  explicit FactsReader(std::string_view bytes) : bytes_(bytes) {}
  std::uint64_t number();
  // A count of items that each take at least itemBytes: no more than what
  // is left can hold, so that a damaged count cannot ask for a huge list.
  std::size_t count(std::size_t itemBytes = 8);
  std::string text();
  std::vector<std::string> texts();
  ClassFacts classFacts();
  OutOfLineFacts definition();
  bool atEnd() const { return at_ == bytes_.size(); }

 private:
  BodyFacts body();
  std::string_view bytes_;
  std::size_t at_ = 0;
};

}  // namespace lumetra
