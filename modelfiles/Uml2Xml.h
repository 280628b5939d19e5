#pragma once
// Small helpers shared by the UML2 reader and its diagram readers: which
// prefixes a document binds to the UML, XMI and diagram-interchange
// namespaces, references by identifier or href, and the text of names.
//
// Nothing here allocates a model element; all functions are safe on null
// nodes (they read as empty).

#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace lumetra::uml2 {

// The prefixes a document uses, resolved from its namespace declarations
// ("uml", "xmi" and "umldi" where it declares none of its own).
struct Prefixes {
  std::string uml = "uml";
  std::string xmi = "xmi";
  std::string umldi = "umldi";
  // "xmi:id", "xmi:type", "xmi:idref" with the document's XMI prefix.
  std::string id = "xmi:id";
  std::string type = "xmi:type";
  std::string idref = "xmi:idref";
};

// The Eclipse UML2 namespace or one of the OMG's UML namespaces (any
// version, on either of the OMG's hosts), not the diagram-interchange one
// beside it.
bool isUmlNamespace(std::string_view uri);

// Whether the document's root element is a UML2 model: an XMI 2 root
// (`xmi:XMI`) or a bare `uml:Model`/`uml:Package` whose prefix is bound to a
// UML namespace. Fills the prefixes when it is.
bool isUml2Document(pugi::xml_node document, Prefixes& prefixes);

// The part of a qualified name after its prefix ("Class" of "uml:Class").
std::string_view localName(std::string_view qualified);
// The prefix of a qualified name ("uml" of "uml:Class"); empty without one.
std::string_view prefixOf(std::string_view qualified);

// The element's UML type: its xmi:type, or its own tag name where it has
// none (a `uml:Model` root, `uml:Class` elements). Null-safe.
std::string_view typeOf(pugi::xml_node node, const Prefixes& prefixes);

// A reference to another element: an identifier within the document, or an
// href into another (or the same) file.
struct Reference {
  std::string_view id;    // the xmi:id referred to; empty for an href
  std::string_view href;  // "file#fragment"; empty for an identifier
  bool empty() const { return id.empty() && href.empty(); }
  // The identifier, or the href's fragment.
  std::string_view target() const;
};

// The reference named `name`: the first token of the attribute of that name,
// or the child element of that name with its xmi:idref or href.
Reference referenceOf(pugi::xml_node node, const char* name, const Prefixes& prefixes);

// The first blank-separated word of a text (an identifier list's first
// identifier); empty for none.
std::string_view firstToken(std::string_view text);

// The fragment of an href (after "#"), without leading "/" (EMF paths).
std::string_view fragmentOf(std::string_view href);

// A name as shown: %HH escapes (written by some tools for blanks and
// punctuation) decoded; anything else kept as written.
std::string displayName(std::string_view text);

// The text of the `name` attribute, decoded.
std::string nameOf(pugi::xml_node node);

// "*" for an unlimited bound written as "-1" or "*"; the text otherwise.
std::string boundText(std::string_view text);

}  // namespace lumetra::uml2
