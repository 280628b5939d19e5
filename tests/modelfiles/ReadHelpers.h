#pragma once
// Shared helpers of the model file tests: reading text as a model file,
// wrapping model parts into an XMI document, capturing debug output.

#include <memory>
#include <string>
#include <vector>

#include "model/Diagram.h"
#include "modelfiles/DiagramParserController.h"
#include "platform/DebugOutput.h"

namespace lumetra::testing {

// What one read produced; owns the diagrams.
struct ReadModel {
  std::vector<Diagram*> diagrams;
  ModelElementsPool pool;
  LoadStatus status;
  ~ReadModel() {
    for (Diagram* d : diagrams) delete d;
  }
  Diagram* diagram(std::size_t i) const { return diagrams.at(i); }
};

// Reads the text as the content of a file of that name (no post-load passes).
inline std::unique_ptr<ReadModel> readText(const std::string& text, const std::string& fileName) {
  auto model = std::make_unique<ReadModel>();
  DiagramParserController controller(model->diagrams, model->pool);
  controller.openBuffer(text.data(), text.size(), fileName);
  model->status = controller.status();
  return model;
}

// An XMI document: `model` inside UML:Model, then `diagrams` after it.
inline std::string xmiDocument(const std::string& model, const std::string& diagrams) {
  return "<?xml version=\"1.0\"?>\n<XMI xmi.version=\"1.1\"><XMI.content>"
         "<UML:Model xmi.id=\"model\" name=\"M\"><UML:Namespace.ownedElement>" +
         model + "</UML:Namespace.ownedElement></UML:Model>" + diagrams + "</XMI.content></XMI>";
}

// One class diagram holding the given shapes.
inline std::string classDiagram(const std::string& shapes, const std::string& id = "D1") {
  return "<UML:Diagram xmi.id=\"" + id + "\" name=\"Main\" diagramType=\"ClassDiagram\" style=\"\">"
         "<UML:Diagram.element>" + shapes + "</UML:Diagram.element></UML:Diagram>";
}

inline std::string shape(const std::string& id, const std::string& subject, const std::string& style = "",
                         const std::string& geometry = "300, 150, 90, 30,") {
  return "<UML:DiagramElement xmi.id=\"" + id + "\" geometry=\"" + geometry + "\" style=\"" + style +
         "\" subject=\"" + subject + "\"/>";
}

using lumetra::DebugCapture;

}  // namespace lumetra::testing
