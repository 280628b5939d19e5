#pragma once
// The abstract base of the model file readers. A reader is built on the
// caller's diagram list, the caller's element pool and the loaded document,
// run once with parse() and deleted. Readers append diagrams to the list and
// hand every model element they build to the pool; they never report to the
// user (diagnostics go to the debug-output channel).

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

 protected:
  pugi::xml_node document_;
  std::vector<Diagram*>* diagrams_;  // the caller's; diagrams appended are owned by the caller
  ModelElementsPool* pool_;          // the caller's
};

}  // namespace lumetra
