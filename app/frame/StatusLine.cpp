#include "app/frame/StatusLine.h"

#include <cmath>
#include <unordered_set>

#include "model/Diagram.h"
#include "model/UmlElements.h"

namespace lumetra {

std::array<std::string, kStatusFieldCount> statusFields(const Diagram* diagram, float zoom,
                                                         const std::string& underPointer) {
  std::array<std::string, kStatusFieldCount> fields;
  fields[3] = underPointer;
  if (diagram == nullptr) return fields;
  // Classes, each once however often it is shown.
  std::unordered_set<const ModelElement*> classes;
  for (DiagramElement* shape : const_cast<Diagram*>(diagram)->getElements())
    if (auto* c = dynamic_cast<const Class*>(shape->getModelElement())) classes.insert(c);
  fields[0] = diagram->getName();
  fields[1] = std::to_string(classes.size()) + (classes.size() == 1 ? " class" : " classes");
  if (std::isfinite(zoom)) fields[2] = "Zoom " + std::to_string(std::lround(zoom * 100.0f)) + "%";
  return fields;
}

}  // namespace lumetra
