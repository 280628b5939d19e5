#include "modelfiles/Uml2Xml.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace lumetra::uml2 {

namespace {

bool startsWith(std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; }
bool endsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// A namespace address as its host and the steps of its path: the scheme
// ("http://", "https://") dropped, empty steps skipped.
struct Address {
  std::string_view host;
  std::vector<std::string_view> steps;

  explicit Address(std::string_view uri) {
    for (std::string_view scheme : {"http://", "https://"})
      if (startsWith(uri, scheme)) uri = uri.substr(scheme.size());
    std::size_t slash = uri.find('/');
    host = uri.substr(0, slash);
    while (slash != std::string_view::npos) {
      const std::size_t start = slash + 1;
      slash = uri.find('/', start);
      const std::string_view step = uri.substr(start, slash == std::string_view::npos ? slash : slash - start);
      if (!step.empty()) steps.push_back(step);
    }
  }

  bool has(std::string_view step) const { return std::find(steps.begin(), steps.end(), step) != steps.end(); }
  std::string_view last() const { return steps.empty() ? std::string_view() : steps.back(); }
  // The standards body's own addresses, on either of the hosts it has used.
  bool isOmg() const { return host == "www.omg.org" || host == "schema.omg.org"; }
};

// XMI itself, by any of its versions: the undated address and the dated ones.
bool isXmiNamespace(std::string_view uri) {
  const Address address(uri);
  return address.isOmg() && address.has("XMI");
}

// UML diagram interchange: a UML address whose last step is "UMLDI".
bool isDiagramNamespace(std::string_view uri) {
  const Address address(uri);
  return address.isOmg() && address.has("UML") && address.last() == "UMLDI";
}

// Notes the prefixes an element's xmlns declarations bind.
void readDeclarations(pugi::xml_node node, Prefixes& prefixes, bool& sawUml) {
  for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
    const std::string_view name = a.name();
    if (!startsWith(name, "xmlns:")) continue;
    const std::string_view prefix = name.substr(6);
    if (isUmlNamespace(a.value())) {
      prefixes.uml = prefix;
      sawUml = true;
    } else if (isXmiNamespace(a.value())) {
      prefixes.xmi = prefix;
    } else if (isDiagramNamespace(a.value())) {
      prefixes.umldi = prefix;
    }
  }
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool isUmlNamespace(std::string_view uri) {
  const Address address(uri);
  // Eclipse's metamodel: www.eclipse.org/uml2/VERSION/UML.
  if (address.host == "www.eclipse.org") return !address.steps.empty() && address.steps[0] == "uml2" && address.last() == "UML";
  // The standard's metamodel, by version; its diagram namespaces end in "DI".
  return address.isOmg() && address.has("UML") && !endsWith(address.last(), "DI");
}

bool isUml2Document(pugi::xml_node document, Prefixes& prefixes) {
  pugi::xml_node root = document.first_child();
  while (root && root.type() != pugi::node_element) root = root.next_sibling();
  if (!root) return false;
  Prefixes found;
  bool sawUml = false;
  readDeclarations(root, found, sawUml);
  const std::string_view tag = root.name();
  const std::string_view local = localName(tag);
  if (local == "XMI") {
    if (prefixOf(tag).empty()) return false;  // XMI 1.x
    found.xmi = prefixOf(tag);
    // The UML namespace may be declared on the model element instead.
    for (pugi::xml_node child = root.first_child(); child && !sawUml; child = child.next_sibling())
      if (child.type() == pugi::node_element) readDeclarations(child, found, sawUml);
  } else if (local != "Model" && local != "Package") {
    return false;
  } else if (!sawUml || prefixOf(tag) != found.uml) {
    return false;
  }
  if (!sawUml) return false;
  found.id = found.xmi + ":id";
  found.type = found.xmi + ":type";
  found.idref = found.xmi + ":idref";
  prefixes = std::move(found);
  return true;
}

std::string_view localName(std::string_view qualified) {
  const auto colon = qualified.find(':');
  return colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
}

std::string_view prefixOf(std::string_view qualified) {
  const auto colon = qualified.find(':');
  return colon == std::string_view::npos ? std::string_view() : qualified.substr(0, colon);
}

std::string_view typeOf(pugi::xml_node node, const Prefixes& prefixes) {
  const pugi::xml_attribute type = node.attribute(prefixes.type.c_str());
  return type ? std::string_view(type.value()) : std::string_view(node.name());
}

std::string_view Reference::target() const { return id.empty() ? fragmentOf(href) : id; }

Reference referenceOf(pugi::xml_node node, const char* name, const Prefixes& prefixes) {
  Reference ref;
  if (const pugi::xml_attribute a = node.attribute(name)) {
    ref.id = firstToken(a.value());
    return ref;
  }
  const pugi::xml_node child = node.child(name);
  if (!child) return ref;
  if (const pugi::xml_attribute idref = child.attribute(prefixes.idref.c_str())) ref.id = idref.value();
  else ref.href = child.attribute("href").value();
  return ref;
}

std::string_view firstToken(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  std::size_t start = 0;
  while (start < text.size() && blank(text[start])) ++start;
  std::size_t end = start;
  while (end < text.size() && !blank(text[end])) ++end;
  return text.substr(start, end - start);
}

std::string_view fragmentOf(std::string_view href) {
  const auto hash = href.rfind('#');
  std::string_view fragment = hash == std::string_view::npos ? href : href.substr(hash + 1);
  while (!fragment.empty() && fragment.front() == '/') fragment.remove_prefix(1);
  return fragment;
}

std::string displayName(std::string_view text) {
  if (text.find('%') == std::string_view::npos) return std::string(text);
  std::string name;
  name.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const int high = hexDigit(text[i + 1]), low = hexDigit(text[i + 2]);
      if (high >= 0 && low >= 0) {
        name += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    name += text[i];
  }
  return name;
}

std::string nameOf(pugi::xml_node node) {
  const char* name = node.attribute("name").value();
  return std::strchr(name, '%') ? displayName(name) : std::string(name);
}

std::string boundText(std::string_view text) {
  if (text == "-1" || text == "*") return "*";
  return std::string(text);
}

}  // namespace lumetra::uml2
