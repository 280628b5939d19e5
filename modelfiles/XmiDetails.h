#pragma once
// The details of features and relations in an XMI 1.x model part, which the
// shapes' readers hand over to here: a feature's type, visibility, scope and
// multiplicity, an operation's parameters and result, and the relation a
// "RealizeRelation" or "DependencyRelation" shape stands for.
//
// XMI 1.x writes most of these two ways, and both are read: as an attribute
// (visibility="private", type="id") or as a child element
// (<UML:ModelElement.visibility xmi.value="private"/>,
// <UML:StructuralFeature.type><UML:DataType xmi.idref="id"/>...). A type
// or stereotype reference is the identifier of an element of the document
// and reads as that element's name; a text that names no element is taken
// as the type's name itself, as simple writers give it.
//
// Nothing here fails: what a file leaves out stays empty.

#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include <pugixml.hpp>

#include "model/UmlElements.h"

namespace lumetra {

// Visits start and every node after it in document order up to the end of
// top's subtree (top: start itself, or an ancestor), until visit returns
// true. Iterative, so that deep files cannot exhaust the stack.
template <typename Visit>
void walkXmlTree(pugi::xml_node start, pugi::xml_node top, Visit&& visit) {
  pugi::xml_node node = start;
  while (node) {
    if (visit(node)) return;
    if (pugi::xml_node child = node.first_child()) {
      node = child;
      continue;
    }
    while (node && node != top && !node.next_sibling()) node = node.parent();
    if (!node || node == top) break;
    node = node.next_sibling();
  }
}

// xmi.id -> element under one node (the first of an identifier), gathered
// at the first question (one walk of the subtree). Safe to ask from several
// threads.
class XmiNames {
 public:
  explicit XmiNames(pugi::xml_node root) : root_(root) {}
  // The name of the element whose xmi.id is ref; ref itself when there is none.
  std::string nameOf(std::string_view ref) const;
  // The element whose xmi.id is id, or an empty node.
  pugi::xml_node element(std::string_view id) const;

 private:
  pugi::xml_node root_;
  mutable std::once_flag gathered_;
  void gather() const;
  mutable std::unordered_map<std::string_view, pugi::xml_node> elements_;  // keys view the document
};

void readAttributeDetails(pugi::xml_node node, Attribute& attribute, const XmiNames& names);
void readOperationDetails(pugi::xml_node node, Method& method, const XmiNames& names);

// The stereotypes of an element as "<<a>>" ("<<a, b>>" for several), or
// empty text when it has none.
std::string stereotypeText(pugi::xml_node node, const XmiNames& names);

// The relation a relation shape stands for: client and supplier from its
// subject element (a UML:Abstraction, UML:Dependency, UML:Usage...), the
// stereotype as its name where the file gives one, else the subject's name.
// Null when the subject lacks a client or a supplier. The caller owns it.
Dependency* readShapeRelation(pugi::xml_node subject, const std::string& id, Dependency::Kind kind,
                              const XmiNames& names);

// "lower..upper" with an upper bound of "-1" read as "*"; "lower" when both
// are equal; empty when both are empty.
std::string umlMultiplicity(const std::string& lower, const std::string& upper);

}  // namespace lumetra
