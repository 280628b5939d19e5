#include "modelfiles/XmiDetails.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace lumetra {

namespace {

pugi::xml_node child(pugi::xml_node node, const char* name) { return node.child(name); }

// The first element child of node (a reference element such as
// <UML:DataType xmi.idref="id"/>), or an empty node.
pugi::xml_node firstElement(pugi::xml_node node) {
  for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
    if (c.type() == pugi::node_element) return c;
  return {};
}

// A value given as attribute attr, or as <wrapper xmi.value="..."/>.
std::string valueOf(pugi::xml_node node, const char* attr, const char* wrapper) {
  if (pugi::xml_attribute a = node.attribute(attr)) return a.value();
  return child(node, wrapper).attribute("xmi.value").value();
}

// A reference given as attribute attr (an identifier or a plain name), or
// as <wrapper><AnyElement xmi.idref="id"/></wrapper>, read as a name.
std::string referenceName(pugi::xml_node node, const char* attr, const char* wrapper, const XmiNames& names) {
  if (pugi::xml_attribute a = node.attribute(attr)) return names.nameOf(a.value());
  const pugi::xml_node ref = firstElement(child(node, wrapper));
  if (pugi::xml_attribute idref = ref.attribute("xmi.idref")) return names.nameOf(idref.value());
  return ref.attribute("name").value();
}

// The identifier a reference attribute or wrapper element gives (not a name).
std::string referenceId(pugi::xml_node node, const char* attr, const char* wrapper) {
  if (pugi::xml_attribute a = node.attribute(attr)) return a.value();
  return firstElement(child(node, wrapper)).attribute("xmi.idref").value();
}

std::string multiplicityOf(pugi::xml_node node) {
  if (pugi::xml_attribute a = node.attribute("multiplicity")) return a.value();
  const pugi::xml_node range = child(child(child(child(node, "UML:StructuralFeature.multiplicity"), "UML:Multiplicity"),
                                           "UML:Multiplicity.range"),
                                     "UML:MultiplicityRange");
  return umlMultiplicity(range.attribute("lower").value(), range.attribute("upper").value());
}

}  // namespace

void XmiNames::gather() const {
  std::call_once(gathered_, [this] {
    walkXmlTree(root_, root_, [this](pugi::xml_node node) {
      if (node.type() == pugi::node_element)
        if (const pugi::xml_attribute id = node.attribute("xmi.id"))
          elements_.emplace(std::string_view(id.value()), node);  // the first one wins
      return false;
    });
  });
}

pugi::xml_node XmiNames::element(std::string_view id) const {
  gather();
  const auto it = elements_.find(id);
  return it == elements_.end() ? pugi::xml_node() : it->second;
}

std::string XmiNames::nameOf(std::string_view ref) const {
  const pugi::xml_attribute name = element(ref).attribute("name");
  return name ? std::string(name.value()) : std::string(ref);
}

std::string umlMultiplicity(const std::string& lower, const std::string& upper) {
  const std::string up = upper == "-1" ? "*" : upper;
  if (lower.empty() && up.empty()) return {};
  if (lower == up || up.empty()) return lower;
  if (lower.empty()) return up;
  return lower + ".." + up;
}

void readAttributeDetails(pugi::xml_node node, Attribute& attribute, const XmiNames& names) {
  attribute.setType(referenceName(node, "type", "UML:StructuralFeature.type", names));
  attribute.setVisibility(valueOf(node, "visibility", "UML:ModelElement.visibility"));
  attribute.setStatic(valueOf(node, "ownerScope", "UML:Feature.ownerScope") == "classifier");
  attribute.setMultiplicity(multiplicityOf(node));
}

void readOperationDetails(pugi::xml_node node, Method& method, const XmiNames& names) {
  method.setVisibility(valueOf(node, "visibility", "UML:ModelElement.visibility"));
  method.setStatic(valueOf(node, "ownerScope", "UML:Feature.ownerScope") == "classifier");
  method.setAbstract(valueOf(node, "isAbstract", "UML:GeneralizableElement.isAbstract") == "true");
  const pugi::xml_node list = child(node, "UML:BehavioralFeature.parameter");
  for (pugi::xml_node p = list.child("UML:Parameter"); p; p = p.next_sibling("UML:Parameter")) {
    const std::string type = referenceName(p, "type", "UML:Parameter.type", names);
    if (valueOf(p, "kind", "UML:Parameter.kind") == "return") method.setType(type);
    else method.addParameter(Parameter{p.attribute("name").value(), type});
  }
}

std::string stereotypeText(pugi::xml_node node, const XmiNames& names) {
  std::vector<std::string> found;
  // stereotype="id id ..." (XMI 1.2), or nested references or definitions.
  const std::string refs = node.attribute("stereotype").value();
  for (std::size_t at = 0; at < refs.size();) {
    const std::size_t end = std::min(refs.find(' ', at), refs.size());
    if (end > at) found.push_back(names.nameOf(std::string_view(refs).substr(at, end - at)));
    at = end + 1;
  }
  for (pugi::xml_node s = child(node, "UML:ModelElement.stereotype").child("UML:Stereotype"); s;
       s = s.next_sibling("UML:Stereotype")) {
    if (pugi::xml_attribute name = s.attribute("name")) found.push_back(name.value());
    else if (pugi::xml_attribute idref = s.attribute("xmi.idref")) found.push_back(names.nameOf(idref.value()));
  }
  std::string text;
  for (const std::string& name : found) {
    if (name.empty()) continue;
    text += text.empty() ? "<<" : ", ";
    text += name;
  }
  return text.empty() ? text : text + ">>";
}

Dependency* readShapeRelation(pugi::xml_node subject, const std::string& id, Dependency::Kind kind,
                              const XmiNames& names) {
  const std::string client = referenceId(subject, "client", "UML:Dependency.client");
  const std::string supplier = referenceId(subject, "supplier", "UML:Dependency.supplier");
  if (client.empty() || supplier.empty()) return nullptr;
  auto* relation = new Dependency(id);
  relation->setClient(client);
  relation->setSupplier(supplier);
  relation->setKind(std::strcmp(subject.name(), "UML:Usage") == 0 && kind == Dependency::Kind::Dependency
                        ? Dependency::Kind::Usage
                        : kind);
  const std::string stereotype = stereotypeText(subject, names);
  relation->setName(stereotype.empty() ? subject.attribute("name").value() : stereotype);
  return relation;
}

}  // namespace lumetra
