#include "metrics/CsvReader.h"

namespace lumetra {

namespace {

constexpr int kEnd = std::char_traits<char>::eof();

}  // namespace

CsvReader::CsvReader(std::istream& in) : in_(in.rdbuf()) {
  // The first line decides the separator; it is read ahead and then parsed
  // from this copy like the rest.
  if (in_ == nullptr) return;
  while (head_.size() < kMaxField) {
    const int c = in_->sbumpc();
    if (c == kEnd) break;
    head_.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  if (head_.compare(0, 3, "\xEF\xBB\xBF") == 0) headPos_ = 3;
  std::size_t commas = 0, semicolons = 0, tabs = 0;
  bool quoted = false;
  for (std::size_t i = headPos_; i < head_.size(); ++i) {
    const char c = head_[i];
    if (c == '"') quoted = !quoted;
    else if (quoted) continue;
    else if (c == ',') ++commas;
    else if (c == ';') ++semicolons;
    else if (c == '\t') ++tabs;
  }
  if (semicolons > commas && semicolons >= tabs) separator_ = ';';
  else if (tabs > commas && tabs > semicolons) separator_ = '\t';
}

int CsvReader::get() {
  if (headPos_ < head_.size()) return static_cast<unsigned char>(head_[headPos_++]);
  return in_ == nullptr ? kEnd : in_->sbumpc();
}

int CsvReader::peek() {
  if (headPos_ < head_.size()) return static_cast<unsigned char>(head_[headPos_]);
  return in_ == nullptr ? kEnd : in_->sgetc();
}

bool CsvReader::fail(std::size_t line, const std::string& reason) {
  error_ = "line " + std::to_string(line) + ": " + reason;
  return false;
}

bool CsvReader::next(std::vector<std::string>& fields) {
  error_.clear();
  int c = get();
  while (c == '\n' || c == '\r') {  // blank lines
    if (c == '\n' || peek() != '\n') ++line_;
    c = get();
  }
  if (c == kEnd) {
    fields.clear();
    return false;
  }
  recordLine_ = line_;

  // Fields are reused, so that their strings keep their room from record to record.
  std::size_t count = 0;
  auto nextField = [&]() -> std::string* {
    if (count == fields.size()) fields.emplace_back();
    std::string* field = &fields[count++];
    field->clear();
    return field;
  };
  std::string* field = nextField();
  bool started = false;  // the field has text or a quoted part
  while (c != kEnd) {
    if (c == 0) return fail(line_, "binary data (a NUL byte), not a table of values");
    if (c == '"' && !started) {
      const std::size_t opened = line_;
      for (;;) {
        c = get();
        if (c == kEnd) return fail(opened, "a quoted field is not closed");
        if (c == 0) return fail(line_, "binary data (a NUL byte), not a table of values");
        if (c == '"') {
          if (peek() != '"') break;
          get();
        } else if (c == '\n') {
          ++line_;
        }
        field->push_back(static_cast<char>(c));
        if (field->size() > kMaxField) return fail(opened, "a field longer than 1 MiB");
      }
      started = true;
      c = get();
      continue;
    }
    if (c == separator_) {
      if (count == kMaxFields) return fail(recordLine_, "more than " + std::to_string(kMaxFields) + " fields");
      field = nextField();
      started = false;
      c = get();
      continue;
    }
    if (c == '\n') {
      ++line_;
      break;
    }
    if (c == '\r') {
      if (peek() == '\n') get();
      ++line_;
      break;
    }
    field->push_back(static_cast<char>(c));
    started = true;
    if (field->size() > kMaxField) return fail(line_, "a field longer than 1 MiB");
    c = get();
  }
  fields.resize(count);
  return true;
}

}  // namespace lumetra
