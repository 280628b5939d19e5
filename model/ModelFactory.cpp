#include "model/ModelFactory.h"

#include <cstdlib>
#include <utility>

#include "platform/DebugOutput.h"

namespace lumetra {

Diagram* createDiagram(const std::string& id, const std::string& name, const std::string& diagramType,
                       const std::string& layoutName) {
  Diagram* diagram = nullptr;
  if (diagramType == "ClassDiagram")
    diagram = new ClassDiagram(id, name, new VisualElementLayout(layoutName));
  else if (diagramType == "PelkComponentDiagram")
    diagram = new PelkComponentDiagram(id, name, new VisualElementLayout(layoutName));
  return diagram;
}

DiagramElement* createDiagramElement(const std::string& id, const std::string& layoutName,
                                     const std::string& geometry, const std::string& styleText) {
  auto* element = new DiagramElement(id, parseGeometry(layoutName, geometry));
  ElementAppearance* appearance = makeDefaultAppearance();
  parseStyle(appearance, styleText);
  element->setAppearance(appearance);
  return element;
}

VisualSupplElement* createSupplementaryElement(const std::string& id, const std::string& layoutName,
                                               const std::string& geometry, const std::string& styleText,
                                               const std::string& subjectId) {
  auto* element = new VisualSupplElement(id, parseGeometry(layoutName, geometry));
  ElementAppearance* appearance = makeDefaultAppearance();
  parseStyle(appearance, styleText);
  element->setAppearance(appearance);
  element->setSubjectId(subjectId);
  return element;
}

ComposedDiagramElement* createComposedElement(const std::string& id, const std::string& layoutName) {
  auto* element = new ComposedDiagramElement(id, new VisualElementLayout(layoutName));
  element->setAppearance(makeDefaultAppearance());
  return element;
}

DiagramElement* createEmptyElement(const std::string& id, const std::string& layoutName) {
  auto* element = new DiagramElement(id, new VisualElementLayout(layoutName));
  element->setAppearance(makeDefaultAppearance());
  return element;
}

DiagramElement* createZeroElement(const std::string& id, const std::string& layoutName) {
  auto* element = new DiagramElement(id, new VisualElementLayout(layoutName, new Vec2(0, 0), new Vec2(0, 0)));
  element->setAppearance(makeDefaultAppearance());
  return element;
}

Class* createClass(std::string id, std::string name) { return new Class(std::move(id), std::move(name)); }

Feature* createFeature(const std::string& kind, std::string id, std::string name, std::string type,
                       std::string visibility) {
  if (kind == "attribute") return new Attribute(std::move(id), std::move(name), std::move(type), std::move(visibility));
  if (kind == "method") return new Method(std::move(id), std::move(name), std::move(type), std::move(visibility));
  debugOutput("\n ERROR: WRONG CLASS FEATURE CREATION \n");
  return nullptr;
}

Inheritance* createInheritance(const std::string& id, const std::string& parent, const std::string& child) {
  auto* inheritance = new Inheritance(id);
  inheritance->setChild(child);
  inheritance->setParent(parent);
  return inheritance;
}

Dependency* createDependency(const std::string& id, const std::string& client, const std::string& supplier,
                             const std::string& name) {
  auto* dependency = new Dependency(id);
  dependency->setClient(client);
  dependency->setSupplier(supplier);
  dependency->setName(name);
  return dependency;
}

Note* createNote(const std::string& id, const std::string& text) { return new Note(id, text); }
Package* createPackage(const std::string& id, const std::string& name) { return new Package(id, name); }
Interface* createInterface(const std::string& id, const std::string& name) { return new Interface(id, name); }

Dummy* createDummy(const std::string& id, const std::string& subjectId, const std::string& relationKind) {
  return new Dummy(id, subjectId, relationKind);
}

Association* createAssociation(std::string id, std::string name) {
  return new Association(std::move(id), std::move(name));
}

AssociationEnd* createAssociationEnd(std::string id, std::string type, std::string aggregation, std::string multiplicity,
                                     const std::string& navigable) {
  auto* end = new AssociationEnd(std::move(id));
  end->setType(std::move(type));
  end->setAggregation(std::move(aggregation));
  end->setMultiplicity(std::move(multiplicity));
  end->setNavigable(navigable == "true");
  return end;
}

PelkService* createPelkService(const std::string& id, const std::string& name) { return new PelkService(id, name); }

PelkInterface* createPelkInterface(const std::string& id, const std::string& name, const std::string& kind,
                                   const std::string& serviceId) {
  auto* iface = new PelkInterface(id, name, serviceId);
  iface->setKind(kind);
  return iface;
}

PelkConnection* createPelkConnection(const std::string& id) { return new PelkConnection(id); }

ElementAppearance* makeDefaultAppearance() { return new ElementAppearance(); }

void parseStyle(ElementAppearance*, const std::string&) {}

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// What atof gives for the text [from, to) of the geometry. Integers of up to
// nine digits, the usual content, are converted here, exactly as atof
// converts them; any other text goes to atof.
float fieldValue(const std::string& text, std::string::size_type from, std::string::size_type to) {
  std::string::size_type i = from;
  while (i < to && isSpace(text[i])) ++i;
  bool negative = false;
  if (i < to && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::string::size_type first = i;
  long value = 0;
  while (i < to && i - first < 10 && text[i] >= '0' && text[i] <= '9') value = value * 10 + (text[i++] - '0');
  const std::string::size_type digits = i - first;
  // A number that would go on (a fraction, an exponent, a hexadecimal or a
  // longer integer) is left to atof.
  const bool integer = digits >= 1 && digits <= 9 &&
                       (i == to || !(text[i] == '.' || text[i] == 'e' || text[i] == 'E' || text[i] == 'x' ||
                                     text[i] == 'X' || (text[i] >= '0' && text[i] <= '9')));
  if (integer) {
    const double magnitude = static_cast<double>(value);
    return static_cast<float>(negative ? -magnitude : magnitude);
  }
  return static_cast<float>(std::atof(text.substr(from, to - from).c_str()));
}

}  // namespace

VisualElementLayout* parseGeometry(const std::string& layoutName, const std::string& geometry) {
  // Up to four numbers, each ending at a comma; the fourth may end the text.
  std::string::size_type commas[4];
  int found = 0;
  for (std::string::size_type i = 0; i < geometry.size() && found < 4; ++i)
    if (geometry[i] == ',') commas[found++] = i;

  if (found < 3) {
    debugOutput("\n ERROR: INVALID GEOMETRY \"" + geometry.substr(0, 64) + "\" \n");
    return new VisualElementLayout(layoutName, new Vec2(0, 0), new Vec2(0, 0));
  }
  const std::string::size_type end4 = found == 4 ? commas[3] : geometry.size();
  auto number = [&](std::string::size_type from, std::string::size_type to) { return fieldValue(geometry, from, to); };
  const float a = number(0, commas[0]);
  const float b = number(commas[0] + 1, commas[1]);
  const float c = number(commas[1] + 1, commas[2]);
  const float d = number(commas[2] + 1, end4);

  const Vec2 p(a, b);
  const Vec2 s(c, d);
  const float third = 1.0f / 3.0f;
  return new VisualElementLayout(layoutName, new Vec2((p - s * 0.5f) * third), new Vec2((p + s * 0.5f) * third));
}

}  // namespace lumetra
