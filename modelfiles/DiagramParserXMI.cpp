#include "modelfiles/DiagramParserXMI.h"

#include <cstring>
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
  nodeIndex_.clear();
  idIndex_.clear();
  const pugi::xml_node content = document_.child("XMI").child("XMI.content");
  modelRoot_ = content.child("UML:Model");
  buildIndex();
  for (pugi::xml_node diagram = content.child("UML:Diagram"); diagram; diagram = diagram.next_sibling("UML:Diagram")) {
    currentDiagram_ = diagram;
    parseDiagram(diagram);
  }
}

// Pre-order over the model part: the model node, its subtree, then every
// following sibling with its subtree (the diagrams after the model among
// them). Iterative, so neither deep nesting nor long sibling chains can
// exhaust the stack. Without a model part, the whole content is indexed.
void DiagramParserXMI::buildIndex() {
  pugi::xml_node start = modelRoot_;
  if (!start) start = document_.child("XMI").child("XMI.content").first_child();
  if (!start) return;
  const pugi::xml_node top = start.parent();

  pugi::xml_node node = start;
  while (node) {
    nodeIndex_.push_back(node);
    if (node.type() == pugi::node_element) {
      if (const pugi::xml_attribute id = node.attribute("xmi.id"))
        idIndex_.try_emplace(std::string_view(id.value()), node);  // first match wins
    }
    if (pugi::xml_node child = node.first_child()) {
      node = child;
      continue;
    }
    while (node && node != top && !node.next_sibling()) node = node.parent();
    if (!node || node == top) break;
    node = node.next_sibling();
  }
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
  const auto found = idIndex_.find(std::string_view(id));
  if (found == idIndex_.end()) {
    debugOutput("\n ERROR: MODEL ELEMENT IS NOT FOUND \n");
    return nullptr;
  }
  const pugi::xml_node match = found->second;
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
