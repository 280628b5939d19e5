#include "modelfiles/DiagramParserXMI.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>

#include "model/ModelFactory.h"
#include "platform/DebugOutput.h"

namespace lumetra {

namespace {

// An attribute's text; a missing attribute reads as empty text.
std::string attr(pugi::xml_node node, const char* name) { return node.attribute(name).value(); }

}  // namespace

std::string multiplicityText(const std::string& lower, const std::string& upper) {
  const std::string up = upper == "-1" ? "*" : upper;
  return lower == up ? lower : lower + " " + up;
}

void DiagramParserXMI::parse() {
  idIndex_.clear();
  const pugi::xml_node content = document_.child("XMI").child("XMI.content");
  modelRoot_ = content.child("UML:Model");
  buildIndex();
  for (pugi::xml_node diagram = content.child("UML:Diagram"); diagram; diagram = diagram.next_sibling("UML:Diagram")) {
    currentDiagram_ = diagram;
    parseDiagram(diagram);
  }
}

// Iterative, so neither deep nesting nor long sibling chains can exhaust
// the stack.
template <typename Visit>
void DiagramParserXMI::walkIndex(Visit&& visit) const {
  pugi::xml_node start = modelRoot_;
  if (!start) start = document_.child("XMI").child("XMI.content").first_child();
  if (!start) return;
  const pugi::xml_node top = start.parent();

  pugi::xml_node node = start;
  while (node) {
    visit(node);
    if (pugi::xml_node child = node.first_child()) {
      node = child;
      continue;
    }
    while (node && node != top && !node.next_sibling()) node = node.parent();
    if (!node || node == top) break;
    node = node.next_sibling();
  }
}

std::vector<pugi::xml_node> DiagramParserXMI::indexedNodes() const {
  std::vector<pugi::xml_node> nodes;
  walkIndex([&nodes](pugi::xml_node node) { nodes.push_back(node); });
  return nodes;
}

void DiagramParserXMI::buildIndex() {
  // The subjects that may need a look-up: those of every shape that is
  // neither a role label nor a relation drawn with a Dummy.
  const pugi::xml_node content = document_.child("XMI").child("XMI.content");
  for (pugi::xml_node diagram = content.child("UML:Diagram"); diagram; diagram = diagram.next_sibling("UML:Diagram")) {
    const pugi::xml_node shapes = diagram.child("UML:Diagram.element");
    for (pugi::xml_node shape = shapes.child("UML:DiagramElement"); shape;
         shape = shape.next_sibling("UML:DiagramElement")) {
      const char* style = shape.attribute("style").value();
      if (std::strcmp(style, "Role") == 0 || std::strcmp(style, "RealizeRelation") == 0 ||
          std::strcmp(style, "DependencyRelation") == 0)
        continue;
      idIndex_.try_emplace(std::string_view(shape.attribute("subject").value()), pugi::xml_node());
    }
  }
  if (idIndex_.empty()) return;

  // Most identifiers in the model part (features, association ends) are no
  // subject; a small bit filter of the subjects' hashes, which stays in the
  // cache, turns most of them away before the table is probed.
  const std::size_t bitCount = std::size_t{1} << 21;
  std::vector<std::uint64_t> filter(bitCount / 64);
  const std::hash<std::string_view> hasher;
  auto bitsOf = [&](std::size_t hash, std::size_t& a, std::size_t& b) {
    a = hash & (bitCount - 1);
    b = (hash >> 32) & (bitCount - 1);
  };
  for (const auto& entry : idIndex_) {
    std::size_t a = 0, b = 0;
    bitsOf(hasher(entry.first), a, b);
    filter[a / 64] |= std::uint64_t{1} << (a % 64);
    filter[b / 64] |= std::uint64_t{1} << (b % 64);
  }

  std::size_t unresolved = idIndex_.size();
  walkIndex([&](pugi::xml_node node) {
    if (unresolved == 0 || node.type() != pugi::node_element) return;
    const pugi::xml_attribute id = node.attribute("xmi.id");
    if (!id) return;
    const std::string_view key(id.value());
    const std::size_t hash = hasher(key);
    std::size_t a = 0, b = 0;
    bitsOf(hash, a, b);
    if (!(filter[a / 64] >> (a % 64) & 1) || !(filter[b / 64] >> (b % 64) & 1)) return;
    const auto entry = idIndex_.find(key);
    if (entry != idIndex_.end() && !entry->second) {  // first match wins
      entry->second = node;
      --unresolved;
    }
  });
}

void DiagramParserXMI::parseDiagram(pugi::xml_node diagramNode) {
  const std::string id = attr(diagramNode, "xmi.id");
  const std::string name = attr(diagramNode, "name");
  const std::string type = attr(diagramNode, "diagramType");
  const std::string style = attr(diagramNode, "style");  // read but not used
  (void)style;

  Diagram* diagram = createDiagram(id, name, type, "Default");
  if (!diagram) return;
  // Shape readers add to the last diagram of the list.
  diagrams_->push_back(diagram);

  const pugi::xml_node shapes = diagramNode.child("UML:Diagram.element");
  for (pugi::xml_node shape = shapes.child("UML:DiagramElement"); shape;
       shape = shape.next_sibling("UML:DiagramElement"))
    parseDiagramElement(shape);

  if (diagram->getElementCount() == 0) {
    diagrams_->pop_back();
    delete diagram;
  }
}

void DiagramParserXMI::parseDiagramElement(pugi::xml_node shapeNode) {
  const std::string id = attr(shapeNode, "xmi.id");
  const std::string geometry = attr(shapeNode, "geometry");
  const std::string style = attr(shapeNode, "style");
  const std::string subject = attr(shapeNode, "subject");
  Diagram* diagram = diagrams_->back();

  if (style == "Role") {
    diagram->addSupplementaryElement(createSupplementaryElement(id, "Default", geometry, style, subject));
    return;
  }

  std::unique_ptr<DiagramElement> shape(createDiagramElement(id, "Default", geometry, style));
  ModelElement* model = nullptr;
  bool isNew = false;
  if (style == "RealizeRelation" || style == "DependencyRelation") {
    // Every relation shape gets its own Dummy, even when the subject exists.
    model = createDummy(id, subject, style);
    isNew = true;
  } else if ((model = pool_->find(subject)) == nullptr) {
    model = findModelElement(subject);
    isNew = model != nullptr;
  }
  if (!model) return;  // the shape is dropped

  shape->setModelElement(model);
  if (isNew) pool_->add(model);
  diagram->addElement(shape.release());
}

ModelElement* DiagramParserXMI::findModelElement(const std::string& id) {
  pugi::xml_node match;
  const auto found = idIndex_.find(std::string_view(id));
  if (found != idIndex_.end()) {
    match = found->second;
  } else {
    // An identifier no shape names (a direct call): search the index order.
    walkIndex([&match, &id](pugi::xml_node node) {
      if (!match && node.type() == pugi::node_element && id == node.attribute("xmi.id").value() &&
          node.attribute("xmi.id"))
        match = node;
    });
  }
  if (!match) {
    debugOutput("\n ERROR: MODEL ELEMENT IS NOT FOUND \n");
    return nullptr;
  }
  const char* tag = match.name();
  auto is = [tag](const char* name) { return std::strcmp(tag, name) == 0; };

  if (is("UML:Class")) return parseClass(match);
  if (is("UML:Generalization")) return parseGeneralization(match);
  if (is("UML:Comment")) return parseComment(match);
  if (is("UML:Package")) return parsePackage(match);
  if (is("UML:Association")) return parseAssociation(match);
  if (is("UML:Interface")) return parseInterface(match);
  if (is("UML:AssociationEnd")) {
    debugOutput("\n SKIP \n");
    return nullptr;
  }
  if (is("UML:Dependency")) return parseDependency(match);
  debugOutput("\n ERROR: UNEXPECTED ELEMENT FOR XMI PARSING \n");
  return nullptr;
}

ModelElement* DiagramParserXMI::parseClass(pugi::xml_node element) {
  Class* cls = createClass(attr(element, "xmi.id"), attr(element, "name"));
  const pugi::xml_node features = element.child("UML:Classifier.feature");
  // Attributes first, then operations, whatever their order in the file.
  for (pugi::xml_node a = features.child("UML:Attribute"); a; a = a.next_sibling("UML:Attribute"))
    cls->addAttribute(parseAttribute(a));
  for (pugi::xml_node o = features.child("UML:Operation"); o; o = o.next_sibling("UML:Operation"))
    cls->addMethod(parseOperation(o));
  return cls;
}

ModelElement* DiagramParserXMI::parseGeneralization(pugi::xml_node element) {
  return createInheritance(attr(element, "xmi.id"), attr(element, "parent"), attr(element, "child"));
}

ModelElement* DiagramParserXMI::parseComment(pugi::xml_node element) {
  return createNote(attr(element, "xmi.id"), attr(element, "name"));
}

ModelElement* DiagramParserXMI::parsePackage(pugi::xml_node element) {
  return createPackage(attr(element, "xmi.id"), attr(element, "name"));
}

ModelElement* DiagramParserXMI::parseAssociation(pugi::xml_node element) {
  const pugi::xml_node connection = element.child("UML:Association.connection");
  const pugi::xml_node first = connection.child("UML:AssociationEnd");
  const pugi::xml_node second = first.next_sibling("UML:AssociationEnd");
  // An association is drawn between its two ends; without both there is
  // nothing to draw, so it is not built.
  if (!connection || !first || !second) {
    debugOutput("\n ERROR: ASSOCIATION WITHOUT TWO ENDS \n");
    return nullptr;
  }
  Association* association = createAssociation(attr(element, "xmi.id"), attr(element, "name"));
  association->setFirstEnd(parseAssociationEnd(first));
  association->setSecondEnd(parseAssociationEnd(second));
  return association;
}

ModelElement* DiagramParserXMI::parseInterface(pugi::xml_node element) {
  Interface* iface = createInterface(attr(element, "xmi.id"), attr(element, "name"));
  const pugi::xml_node features = element.child("UML:Classifier.feature");
  for (pugi::xml_node o = features.child("UML:Operation"); o; o = o.next_sibling("UML:Operation"))
    iface->addMethod(parseOperation(o));
  return iface;
}

ModelElement* DiagramParserXMI::parseDependency(pugi::xml_node element) {
  return createDependency(attr(element, "xmi.id"), attr(element, "client"), attr(element, "supplier"),
                          attr(element, "name"));
}

ModelElement* DiagramParserXMI::parseAttribute(pugi::xml_node element) {
  return createFeature("attribute", attr(element, "xmi.id"), attr(element, "name"), attr(element, "type"),
                       attr(element, "visibility"));
}

ModelElement* DiagramParserXMI::parseOperation(pugi::xml_node element) {
  return createFeature("method", attr(element, "xmi.id"), attr(element, "name"), std::string(),
                       attr(element, "visibility"));
}

ModelElement* DiagramParserXMI::parseAssociationEnd(pugi::xml_node element) {
  // A missing multiplicity path reads as empty bounds, giving an empty text.
  const pugi::xml_node range = element.child("UML:AssociationEnd.multiplicity")
                                   .child("UML:Multiplicity")
                                   .child("UML:Multiplicity.range")
                                   .child("UML:MultiplicityRange");
  return createAssociationEnd(attr(element, "xmi.id"), attr(element, "type"), attr(element, "aggregation"),
                              multiplicityText(attr(range, "lower"), attr(range, "upper")),
                              attr(element, "isNavigable"));
}

}  // namespace lumetra
