#pragma once
// The abstract base of the model file readers. A reader is built on the
// caller's diagram list, the caller's element pool and the loaded document,
// run once with parse() and deleted. Readers append diagrams to the list and
// hand every model element they build to the pool. What they can read past
// goes to the debug-output channel; a document a reader cannot read at all
// it reports through failureReason(), with the node where it stopped, and
// then leaves the diagram list and the pool as they were. What a reader
// read past and the user should hear of (shapes of elements the file does
// not hold, references to nothing) it also lists in notes(), a line each.

#include <string>
#include <utility>
#include <vector>

#include <pugixml.hpp>

#include "model/Diagram.h"

namespace lumetra {

class DiagramParser {
 public:
  // document: the loaded document's root node (a null-safe handle, not owned).
  DiagramParser(std::vector<Diagram*>& diagrams, ModelElementsPool& pool, pugi::xml_node document)
      : document_(document), diagrams_(&diagrams), pool_(&pool) {}
  DiagramParser(const DiagramParser&) = delete;
  DiagramParser& operator=(const DiagramParser&) = delete;

  virtual void parse() {}
  virtual ~DiagramParser() = default;

  // Why the last parse() gave up on the document; empty when it did not.
  const std::string& failureReason() const { return failureReason_; }
  // The node it stopped at (for the line of the message); may be null.
  pugi::xml_node failureNode() const { return failureNode_; }
  // What the last parse() left out although it read the document.
  const std::vector<std::string>& notes() const { return notes_; }
  // The model's own name where the document gives one; empty otherwise.
  const std::string& modelName() const { return modelName_; }

 protected:
  pugi::xml_node document_;
  std::vector<Diagram*>* diagrams_;  // the caller's; diagrams appended are owned by the caller
  ModelElementsPool* pool_;          // the caller's

  void fail(std::string reason, pugi::xml_node at) {
    failureReason_ = std::move(reason);
    failureNode_ = at;
  }
  void addNote(std::string note) { notes_.push_back(std::move(note)); }
  void setModelName(std::string name) { modelName_ = std::move(name); }

 private:
  std::string failureReason_;
  pugi::xml_node failureNode_;
  std::vector<std::string> notes_;
  std::string modelName_;
};

}  // namespace lumetra
