#include "modelfiles/DiagramParserController.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

#include <sys/stat.h>

#include "modelfiles/DiagramParserPelk.h"
#include "modelfiles/DiagramParserUML2.h"
#include "modelfiles/DiagramParserXMI.h"

namespace lumetra {

namespace {

// Declarations, comments, doctypes and processing instructions are nodes of
// the document, as readers expect (the scenario element follows the
// declaration); whitespace-only text is dropped.
constexpr unsigned kParseOptions = pugi::parse_full;

// Moves a 1-based line and column past the bytes.
void advancePosition(const char* bytes, std::size_t count, unsigned& line, unsigned& column) {
  for (std::size_t i = 0; i < count; ++i) {
    if (bytes[i] == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
}

// The 1-based line and column of a byte offset in a file.
void positionOf(const std::string& fileName, std::ptrdiff_t offset, unsigned& line, unsigned& column) {
  line = 1;
  column = 1;
  std::FILE* file = std::fopen(fileName.c_str(), "rb");
  if (!file) return;
  char buffer[65536];
  std::ptrdiff_t left = offset;
  while (left > 0) {
    const std::size_t want = left < static_cast<std::ptrdiff_t>(sizeof buffer) ? static_cast<std::size_t>(left)
                                                                                 : sizeof buffer;
    const std::size_t got = std::fread(buffer, 1, want, file);
    if (got == 0) break;
    advancePosition(buffer, got, line, column);
    left -= static_cast<std::ptrdiff_t>(got);
  }
  std::fclose(file);
}

// The 1-based line and column of a byte offset in a text in memory.
void positionIn(const char* text, std::size_t size, std::ptrdiff_t offset, unsigned& line, unsigned& column) {
  line = 1;
  column = 1;
  advancePosition(text, std::min(size, static_cast<std::size_t>(std::max<std::ptrdiff_t>(offset, 0))), line, column);
}

// Whether the XML declaration at the start of the text names the
// windows-1252 encoding (which the XML parser does not know).
bool declaresWindows1252(const char* text, std::size_t size) {
  std::string head(text, std::min<std::size_t>(size, 200));
  if (head.compare(0, 5, "<?xml") != 0) return false;
  head = head.substr(0, head.find("?>"));
  std::transform(head.begin(), head.end(), head.begin(), [](unsigned char c) { return std::tolower(c); });
  return head.find("windows-1252") != std::string::npos || head.find("cp1252") != std::string::npos;
}

// windows-1252 text as UTF-8: bytes from 0xA0 are Latin-1, 0x80 to 0x9F are
// the code page's own signs (undefined ones become U+FFFD).
std::string utf8FromWindows1252(const char* text, std::size_t size) {
  static constexpr char16_t kHigh[32] = {
      0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
  std::string out;
  out.reserve(size + size / 8);
  for (std::size_t i = 0; i < size; ++i) {
    const unsigned char byte = static_cast<unsigned char>(text[i]);
    const unsigned code = byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte;
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return out;
}

// Reads the whole file; false when it cannot be read.
bool readWhole(const std::string& fileName, std::string& bytes) {
  std::FILE* file = std::fopen(fileName.c_str(), "rb");
  if (!file) return false;
  char buffer[65536];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  const bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

}  // namespace

std::string LoadStatus::message() const {
  std::string text = fileName;
  if (line > 0) text += ":" + std::to_string(line) + ":" + std::to_string(column);
  return text + ": " + reason;
}

std::string fileExtension(const std::string& fileName) {
  const std::string::size_type dot = fileName.rfind('.');
  return dot == std::string::npos ? fileName : fileName.substr(dot + 1);
}

void DiagramParserController::open(std::string fileName) {
  status_ = LoadStatus();
  status_.fileName = fileName;

  // A folder or a device is not a model file; pugixml would report it as an
  // obscure I/O error or try to read it without end.
  struct stat info {};
  if (::stat(fileName.c_str(), &info) != 0) {
    status_.reason = errno == ENOENT ? "File was not found" : std::strerror(errno);
    return;
  }
  if (!S_ISREG(info.st_mode)) {
    status_.reason = "not a regular file";
    return;
  }

  // The declaration is at the very start; a file that names windows-1252
  // there is converted to UTF-8 and read from memory.
  char head[200];
  std::size_t headSize = 0;
  if (std::FILE* file = std::fopen(fileName.c_str(), "rb")) {
    headSize = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
  }
  if (declaresWindows1252(head, headSize)) {
    std::string bytes;
    if (!readWhole(fileName, bytes)) {
      status_.reason = std::strerror(errno);
      return;
    }
    const std::string text = utf8FromWindows1252(bytes.data(), bytes.size());
    pugi::xml_document document;
    const pugi::xml_parse_result result = document.load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_utf8);
    if (!result) {
      status_.reason = result.description();
      positionIn(text.data(), text.size(), result.offset, status_.line, status_.column);
      return;
    }
    read(document, fileName, text.data(), text.size(), true);
    return;
  }

  pugi::xml_document document;
  const pugi::xml_parse_result result = document.load_file(fileName.c_str(), kParseOptions);
  if (!result) {
    status_.reason = result.description();
    if (result.status != pugi::status_file_not_found && result.status != pugi::status_io_error &&
        result.status != pugi::status_out_of_memory)
      positionOf(fileName, result.offset, status_.line, status_.column);
    return;
  }

  read(document, fileName, nullptr, 0, true);
}

void DiagramParserController::openBuffer(const void* data, std::size_t size, const std::string& fileName) {
  status_ = LoadStatus();
  status_.fileName = fileName;
  std::string converted;
  if (declaresWindows1252(static_cast<const char*>(data), size)) {
    converted = utf8FromWindows1252(static_cast<const char*>(data), size);
    data = converted.data();
    size = converted.size();
  }
  pugi::xml_document document;
  const pugi::xml_parse_result result =
      document.load_buffer(data, size, kParseOptions, converted.empty() ? pugi::encoding_auto : pugi::encoding_utf8);
  const char* text = static_cast<const char*>(data);
  if (!result) {
    status_.reason = result.description();
    positionIn(text, size, result.offset, status_.line, status_.column);
    return;
  }
  read(document, fileName, text, size, false);
}

void DiagramParserController::read(pugi::xml_document& document, const std::string& fileName, const char* text,
                                   std::size_t size, bool readBeside) {
  const pugi::xml_node root = document;
  std::unique_ptr<DiagramParser> reader;
  const pugi::xml_node xmi = root.child("XMI");
  uml2::Prefixes prefixes;
  if (xmi && xmi.type() == pugi::node_element) {
    auto xmiReader = std::make_unique<DiagramParserXMI>(diagrams_, pool_, root);
    xmiReader->setReadWholeModel(wholeModel_);
    reader = std::move(xmiReader);
  } else if (uml2::isUml2Document(root, prefixes)) {
    auto uml2Reader = std::make_unique<DiagramParserUML2>(diagrams_, pool_, root, prefixes);
    if (readBeside) uml2Reader->setSourceFile(fileName);
    reader = std::move(uml2Reader);
  } else if (fileExtension(fileName) == "scenario")
    reader = std::make_unique<DiagramParserPelk>(diagrams_, pool_, root);

  if (!reader) {
    status_.outcome = LoadStatus::Outcome::NoReader;
    status_.reason = "neither an XMI document nor a .scenario file";
    return;
  }
  reader->parse();
  if (!reader->failureReason().empty()) {
    status_.outcome = LoadStatus::Outcome::Rejected;
    status_.reason = reader->failureReason();
    const std::ptrdiff_t offset = reader->failureNode() ? reader->failureNode().offset_debug() : -1;
    if (offset >= 0) {
      if (text) positionIn(text, size, offset, status_.line, status_.column);
      else positionOf(fileName, offset, status_.line, status_.column);
    }
    return;
  }
  status_.outcome = LoadStatus::Outcome::Read;
  status_.notes = reader->notes();
  status_.modelName = reader->modelName();
  if (xmi) status_.modelName = xmi.child("XMI.content").child("UML:Model").attribute("name").value();
}

}  // namespace lumetra
