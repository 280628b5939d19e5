#include "modelfiles/DiagramParserController.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

#include <sys/stat.h>

#include "modelfiles/DiagramParserPelk.h"
#include "modelfiles/DiagramParserXMI.h"

namespace lumetra {

namespace {

// Declarations, comments, doctypes and processing instructions are nodes of
// the document, as readers expect (the scenario element follows the
// declaration); whitespace-only text is dropped.
constexpr unsigned kParseOptions = pugi::parse_full;

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
    for (std::size_t i = 0; i < got; ++i) {
      if (buffer[i] == '\n') {
        ++line;
        column = 1;
      } else {
        ++column;
      }
    }
    left -= static_cast<std::ptrdiff_t>(got);
  }
  std::fclose(file);
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

  pugi::xml_document document;
  const pugi::xml_parse_result result = document.load_file(fileName.c_str(), kParseOptions);
  if (!result) {
    status_.reason = result.description();
    if (result.status != pugi::status_file_not_found && result.status != pugi::status_io_error &&
        result.status != pugi::status_out_of_memory)
      positionOf(fileName, result.offset, status_.line, status_.column);
    return;
  }

  read(document, fileName);
}

void DiagramParserController::openBuffer(const void* data, std::size_t size, const std::string& fileName) {
  status_ = LoadStatus();
  status_.fileName = fileName;
  pugi::xml_document document;
  const pugi::xml_parse_result result = document.load_buffer(data, size, kParseOptions);
  if (!result) {
    status_.reason = result.description();
    status_.line = 1;
    status_.column = 1;
    const char* text = static_cast<const char*>(data);
    const std::size_t end = std::min(size, static_cast<std::size_t>(std::max<std::ptrdiff_t>(result.offset, 0)));
    for (std::size_t i = 0; i < end; ++i) {
      if (text[i] == '\n') {
        ++status_.line;
        status_.column = 1;
      } else {
        ++status_.column;
      }
    }
    return;
  }
  read(document, fileName);
}

void DiagramParserController::read(pugi::xml_document& document, const std::string& fileName) {
  const pugi::xml_node root = document;
  std::unique_ptr<DiagramParser> reader;
  const pugi::xml_node xmi = root.child("XMI");
  if (xmi && xmi.type() == pugi::node_element) {
    auto xmiReader = std::make_unique<DiagramParserXMI>(diagrams_, pool_, root);
    xmiReader->setReadWholeModel(wholeModel_);
    reader = std::move(xmiReader);
  }
  else if (fileExtension(fileName) == "scenario")
    reader = std::make_unique<DiagramParserPelk>(diagrams_, pool_, root);

  if (!reader) {
    status_.outcome = LoadStatus::Outcome::NoReader;
    status_.reason = "neither an XMI document nor a .scenario file";
    return;
  }
  reader->parse();
  status_.outcome = LoadStatus::Outcome::Read;
  if (xmi) status_.modelName = xmi.child("XMI.content").child("UML:Model").attribute("name").value();
}

}  // namespace lumetra
