#pragma once
// Reads a UML2 model in XMI 2.x (Eclipse UML2 and Papyrus, Enterprise
// Architect, and the plain UML2 XMI of other tools) into the model, and its
// diagrams where the file has them.
//
// Unlike the XMI 1.x reader, which builds only what its diagrams show, this
// reader builds the whole model: packages (each element's ownerId names the
// package that holds it), classes, interfaces, enumerations and data types
// (classes whose extra text says "enumeration" or "dataType", the literals
// as attributes), their features, and the relations between them.
// Comments become notes only where a diagram shows them. What the model
// cannot hold (stereotypes, profiles, behaviour, use cases) is passed over.
//
// Diagrams come from a Papyrus notation file beside the model (same base
// name, ".notation"), from an Enterprise Architect extension, or from
// diagram-interchange elements (see Uml2Diagrams.h). A model without any
// gets its diagrams from the automatic layout afterwards.
//
// The reader walks the document iteratively. Packages nested deeper than
// kMaxPackageDepth make it give up with a message naming the line; the
// pool and diagram list are then left as they were, as they are for every
// failure. Generalizations that would close a cycle are left out with a
// debug line.

#include <string>

#include "modelfiles/DiagramParser.h"
#include "modelfiles/Uml2Xml.h"

namespace lumetra {

class DiagramParserUML2 : public DiagramParser {
 public:
  static constexpr int kMaxPackageDepth = 256;

  DiagramParserUML2(std::vector<Diagram*>& diagrams, ModelElementsPool& pool, pugi::xml_node document,
                    uml2::Prefixes prefixes)
      : DiagramParser(diagrams, pool, document), prefixes_(std::move(prefixes)) {}

  // The model file's path: a notation file beside it is read, and debug
  // lines name it. Without one (a model read from memory) no other file is
  // looked at.
  void setSourceFile(std::string path) { sourceFile_ = std::move(path); }

  void parse() override;

 private:
  uml2::Prefixes prefixes_;
  std::string sourceFile_;
};

}  // namespace lumetra
