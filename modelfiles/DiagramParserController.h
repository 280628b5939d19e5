#pragma once
// Opening a model file: load it as XML, choose the reader that understands
// it (by content: an XMI 1.x document, or a UML2 model in XMI 2.x or with a
// bare uml:Model root; otherwise a scenario by the extension "scenario") and
// run it over the caller's diagram list and element pool. A document that
// declares the windows-1252 encoding is read as such.
//
// open() reports nothing back: success shows in what was appended. Callers
// that must tell a user why nothing was read (the batch commands) ask
// status() afterwards.

#include <string>
#include <vector>

#include <pugixml.hpp>

#include "model/Diagram.h"

namespace lumetra {

// What the last open() did with a file. message() gives one line naming the
// file and the reason, with the line and column of an XML error.
struct LoadStatus {
  enum class Outcome {
    Read,      // a reader ran (it may still have found no diagram)
    NotLoaded, // missing, unreadable or not well-formed
    NoReader,  // well-formed but neither XMI nor a ".scenario" name
    Rejected,  // a reader found the document unreadable (the reason says why)
  };

  Outcome outcome = Outcome::NotLoaded;
  std::string fileName;
  std::string reason;     // empty when read
  unsigned line = 0;      // 1-based position of an XML error; 0 when none
  unsigned column = 0;

  bool ok() const { return outcome == Outcome::Read; }
  // "file:line:column: reason", or "file: reason" without a position.
  std::string message() const;
};

class DiagramParserController {
 public:
  DiagramParserController(std::vector<Diagram*>& diagrams, ModelElementsPool& pool)
      : diagrams_(diagrams), pool_(pool) {}
  DiagramParserController(const DiagramParserController&) = delete;
  DiagramParserController& operator=(const DiagramParserController&) = delete;

  virtual void open(std::string fileName);
  virtual ~DiagramParserController() = default;

  // As open(), for a file's content already in memory; fileName chooses the
  // reader as in open() and names the file in the status.
  void openBuffer(const void* data, std::size_t size, const std::string& fileName);

  const LoadStatus& status() const { return status_; }

 private:
  // Runs the reader the loaded document calls for. text is the document's
  // text when it was read from memory (for the line of a reader's failure),
  // null when it was read from fileName; readBeside lets a reader open
  // files beside it.
  void read(pugi::xml_document& document, const std::string& fileName, const char* text, std::size_t size,
            bool readBeside);

  std::vector<Diagram*>& diagrams_;
  ModelElementsPool& pool_;
  LoadStatus status_;
};

// The part of a file name after its last "." (the whole name without one).
std::string fileExtension(const std::string& fileName);

}  // namespace lumetra
