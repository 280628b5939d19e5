#include "modelfiles/DiagramParserUML2.h"

// Sections: element kinds; the reader (walk, features, associations,
// generalization cycles, diagrams); parse().

#include <algorithm>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include <sys/stat.h>

#include "model/ModelFactory.h"
#include "model/UmlElements.h"
#include "modelfiles/Uml2Diagrams.h"
#include "platform/DebugOutput.h"

namespace lumetra {

using namespace uml2;

namespace {

// ---- element kinds -----------------------------------------------------------------

enum class Kind {
  Other,     // read past, its children walked
  Skip,      // neither it nor its children hold model content
  Package,
  Class,
  Enumeration,
  DataType,
  Interface,
  PrimitiveType,  // named so that types can refer to it; not drawn
  Association,
  Dependency,
  Usage,
  Realization,
  Comment,
  InterchangeDiagram,
};

Kind kindOf(pugi::xml_node node, const Prefixes& p) {
  const std::string_view type = typeOf(node, p);
  const std::string_view prefix = prefixOf(type), local = localName(type);
  if (prefix == p.uml) {
    static const std::unordered_map<std::string_view, Kind> kinds = {
        {"Model", Kind::Package},
        {"Package", Kind::Package},
        {"Profile", Kind::Skip},
        {"Stereotype", Kind::Skip},
        {"Class", Kind::Class},
        {"AssociationClass", Kind::Class},
        {"Enumeration", Kind::Enumeration},
        {"DataType", Kind::DataType},
        {"Interface", Kind::Interface},
        {"PrimitiveType", Kind::PrimitiveType},
        {"Association", Kind::Association},
        {"Dependency", Kind::Dependency},
        {"Abstraction", Kind::Dependency},
        {"Usage", Kind::Usage},
        {"Realization", Kind::Realization},
        {"InterfaceRealization", Kind::Realization},
        {"Comment", Kind::Comment},
    };
    const auto it = kinds.find(local);
    return it == kinds.end() ? Kind::Other : it->second;
  }
  if (prefix == p.umldi && local.size() > 7 && local.substr(local.size() - 7) == "Diagram") return Kind::InterchangeDiagram;
  if (prefix == p.xmi && local == "Extension") return Kind::Skip;
  const std::string_view tag = node.name();
  if (tag == "eAnnotations") return Kind::Skip;  // tool annotations; their properties are no attributes
  if (tag == "ownedComment") return Kind::Comment;
  return Kind::Other;
}

// Children of a classifier that its own reading covers.
bool isFeatureTag(std::string_view tag) {
  return tag == "ownedAttribute" || tag == "ownedOperation" || tag == "ownedLiteral" || tag == "generalization" ||
         tag == "interfaceRealization" || tag == "ownedEnd";
}

std::string aggregationText(std::string_view uml2Kind) {
  if (uml2Kind == "shared") return "aggregate";
  if (uml2Kind == "composite") return "composite";
  return "none";
}

bool isTrue(pugi::xml_node node, const char* name) { return std::string_view(node.attribute(name).value()) == "true"; }

std::vector<std::string_view> tokens(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t at = 0;
  while ((at = text.find_first_not_of(" \t\r\n", at)) != std::string_view::npos) {
    const std::size_t end = std::min(text.find_first_of(" \t\r\n", at), text.size());
    out.push_back(text.substr(at, end - at));
    at = end;
  }
  return out;
}

// ---- the reader ----------------------------------------------------------------------

class Reader : public ModelLookup {
 public:
  Reader(pugi::xml_node document, const Prefixes& prefixes, std::string source)
      : document_(document), p_(prefixes), source_(std::move(source)) {}
  ~Reader() override {
    for (Diagram* diagram : diagrams) delete diagram;
  }

  // Reads the model; false (with failure() set) when the document cannot be read.
  bool readModel();
  // Reads the diagrams of every kind the document (and a notation file
  // beside it, when lookBeside) holds.
  void readDiagrams(bool lookBeside);

  ModelElement* element(std::string_view id) override;

  std::vector<std::unique_ptr<ModelElement>> elements;  // in reading order
  std::vector<Diagram*> diagrams;                        // owned until handed over
  std::string failure;
  pugi::xml_node failureAt;

 private:
  void walk();
  void readClassifier(ModelElement* element, pugi::xml_node node);
  void readAssociation(pugi::xml_node node, const std::string& owner);
  void dropGeneralizationCycles();

  std::string idOf(pugi::xml_node node);
  template <typename T>
  T* add(std::unique_ptr<T> element, const std::string& owner);
  Attribute* makeAttribute(pugi::xml_node node);
  Method* makeMethod(pugi::xml_node node);
  std::string typeName(const Reference& ref) const;
  std::string multiplicity(pugi::xml_node node, const char* separator, bool defaultOne) const;
  std::string visibility(pugi::xml_node node) const {
    const pugi::xml_attribute v = node.attribute("visibility");
    return v ? v.value() : "public";  // UML2 leaves the default, public, unwritten
  }
  void note(const std::string& what) const { debugOutput("\n " + source_ + ": " + what + " \n"); }

  pugi::xml_node document_;
  const Prefixes& p_;
  std::string source_;
  pugi::xml_node root_;

  std::unordered_map<std::string_view, ModelElement*> byId_;       // keys view the elements' ids
  std::unordered_map<std::string_view, std::string_view> names_;   // classifier id -> name, for types
  std::unordered_map<std::string_view, pugi::xml_node> endProperties_;  // properties that end associations
  std::unordered_map<std::string_view, pugi::xml_node> comments_;
  std::vector<std::pair<ModelElement*, pugi::xml_node>> classifiers_;
  std::vector<std::pair<pugi::xml_node, std::string>> associations_;  // with their owner
  std::vector<pugi::xml_node> interchange_;
  std::vector<pugi::xml_node> extensions_;
  std::vector<Inheritance*> generalizations_;
  std::size_t anonymous_ = 0;
};

std::string Reader::idOf(pugi::xml_node node) {
  const char* id = node.attribute(p_.id.c_str()).value();
  if (*id) return id;
  // Elements without an identifier get one that no file uses, so that the
  // model can still hold them.
  return "#anonymous-" + std::to_string(++anonymous_);
}

template <typename T>
T* Reader::add(std::unique_ptr<T> element, const std::string& owner) {
  T* raw = element.get();
  raw->setOwnerId(owner);
  byId_.emplace(std::string_view(raw->idRef()), raw);  // the first of an identifier wins
  elements.push_back(std::move(element));
  return raw;
}

ModelElement* Reader::element(std::string_view id) {
  if (const auto it = byId_.find(id); it != byId_.end()) return it->second;
  const auto comment = comments_.find(id);
  if (comment == comments_.end()) return nullptr;
  const pugi::xml_node node = comment->second;
  const pugi::xml_attribute body = node.attribute("body");
  std::string text = body ? body.value() : node.child("body").text().get();
  return add(std::make_unique<Note>(std::string(id), std::move(text)), "");
}

void Reader::walk() {
  struct Frame {
    pugi::xml_node node;
    int package;  // index into packages; -1 outside every package
  };
  std::vector<std::pair<std::string, int>> packages;  // id, depth
  std::vector<Frame> stack;
  stack.push_back({root_, -1});
  while (!stack.empty()) {
    const Frame frame = stack.back();
    stack.pop_back();
    const pugi::xml_node node = frame.node;
    const int outer = frame.package;
    auto owner = [&packages, outer] { return outer < 0 ? std::string() : packages[outer].first; };
    int inner = frame.package;
    bool descend = true;
    bool classifier = false;
    switch (kindOf(node, p_)) {
      case Kind::Skip:
        if (node.parent() == root_ && localName(node.name()) == "Extension") extensions_.push_back(node);
        continue;
      case Kind::InterchangeDiagram:
        interchange_.push_back(node);
        continue;
      case Kind::Package: {
        const int depth = frame.package < 0 ? 1 : packages[frame.package].second + 1;
        if (depth > DiagramParserUML2::kMaxPackageDepth) {
          failure = "packages nested more than " + std::to_string(DiagramParserUML2::kMaxPackageDepth) + " deep";
          failureAt = node;
          return;
        }
        Package* package = add(std::make_unique<Package>(idOf(node), nameOf(node)), owner());
        packages.emplace_back(package->getId(), depth);
        inner = static_cast<int>(packages.size()) - 1;
        break;
      }
      case Kind::Class:
      case Kind::Enumeration:
      case Kind::DataType: {
        const Kind kind = kindOf(node, p_);
        Class* cls = add(std::make_unique<Class>(idOf(node), nameOf(node)), owner());
        cls->setAbstract(isTrue(node, "isAbstract"));
        if (kind == Kind::Enumeration) cls->setExtraText("enumeration");
        if (kind == Kind::DataType) cls->setExtraText("dataType");
        names_.emplace(cls->idRef(), node.attribute("name").value());
        classifiers_.emplace_back(cls, node);
        classifier = true;
        break;
      }
      case Kind::Interface: {
        Interface* iface = add(std::make_unique<Interface>(idOf(node), nameOf(node)), owner());
        names_.emplace(iface->idRef(), node.attribute("name").value());
        classifiers_.emplace_back(iface, node);
        classifier = true;
        break;
      }
      case Kind::PrimitiveType:
        names_.emplace(node.attribute(p_.id.c_str()).value(), node.attribute("name").value());
        descend = false;
        break;
      case Kind::Association:
        associations_.emplace_back(node, owner());
        descend = false;
        break;
      case Kind::Dependency:
      case Kind::Usage:
      case Kind::Realization: {
        const Kind kind = kindOf(node, p_);
        auto dependency = std::make_unique<Dependency>(idOf(node));
        dependency->setClient(std::string(referenceOf(node, "client", p_).target()));
        Reference supplier = referenceOf(node, "supplier", p_);
        if (supplier.empty()) supplier = referenceOf(node, "contract", p_);
        dependency->setSupplier(std::string(supplier.target()));
        dependency->setName(nameOf(node));
        dependency->setKind(kind == Kind::Usage         ? Dependency::Kind::Usage
                            : kind == Kind::Realization ? Dependency::Kind::Realization
                                                        : Dependency::Kind::Dependency);
        add(std::move(dependency), owner());
        descend = false;
        break;
      }
      case Kind::Comment:
        comments_.emplace(node.attribute(p_.id.c_str()).value(), node);
        descend = false;
        break;
      case Kind::Other:
        break;
    }
    if (!descend) continue;
    for (pugi::xml_node child = node.last_child(); child; child = child.previous_sibling()) {
      if (child.type() != pugi::node_element) continue;
      if (classifier && isFeatureTag(child.name())) continue;
      stack.push_back({child, inner});
    }
  }
}

std::string Reader::typeName(const Reference& ref) const {
  if (ref.empty()) return {};
  const std::string_view key = ref.target();
  if (const auto it = names_.find(key); it != names_.end()) return displayName(it->second);
  if (ref.href.empty() && key.substr(0, 2) == "EA" && key.substr(0, 5) != "EAID_" && key.substr(0, 5) != "EAPK_") {
    // A tool's built-in type written as a pseudo-identifier: "EAJava_String".
    const std::size_t underscore = key.find('_');
    if (underscore != std::string_view::npos && underscore + 1 < key.size()) return std::string(key.substr(underscore + 1));
  }
  // A type in a library that is not here: its fragment (or identifier).
  return displayName(key);
}

std::string Reader::multiplicity(pugi::xml_node node, const char* separator, bool defaultOne) const {
  const pugi::xml_node lowerValue = node.child("lowerValue"), upperValue = node.child("upperValue");
  const pugi::xml_attribute lowerAttr = node.attribute("lower"), upperAttr = node.attribute("upper");
  if (!lowerValue && !upperValue && !lowerAttr && !upperAttr) return defaultOne ? "1" : "";
  // A bound that is not written is 1; a value element without a value holds 0.
  auto bound = [](pugi::xml_node value, pugi::xml_attribute direct) -> std::string {
    if (value) return boundText(value.attribute("value") ? value.attribute("value").value() : "0");
    if (direct) return boundText(direct.value());
    return "1";
  };
  const std::string lower = bound(lowerValue, lowerAttr), upper = bound(upperValue, upperAttr);
  return lower == upper ? lower : lower + separator + upper;
}

Attribute* Reader::makeAttribute(pugi::xml_node node) {
  auto* attribute = new Attribute(idOf(node), nameOf(node), typeName(referenceOf(node, "type", p_)), visibility(node));
  attribute->setStatic(isTrue(node, "isStatic"));
  attribute->setMultiplicity(multiplicity(node, "..", false));
  return attribute;
}

Method* Reader::makeMethod(pugi::xml_node node) {
  auto* method = new Method(idOf(node), nameOf(node), typeName(referenceOf(node, "type", p_)), visibility(node));
  method->setStatic(isTrue(node, "isStatic"));
  method->setAbstract(isTrue(node, "isAbstract"));
  for (pugi::xml_node parameter = node.child("ownedParameter"); parameter;
       parameter = parameter.next_sibling("ownedParameter")) {
    const std::string type = typeName(referenceOf(parameter, "type", p_));
    if (std::string_view(parameter.attribute("direction").value()) == "return")
      method->setType(type);
    else
      method->addParameter(Parameter{nameOf(parameter), type});
  }
  return method;
}

void Reader::readClassifier(ModelElement* element, pugi::xml_node node) {
  auto* cls = dynamic_cast<Class*>(element);
  auto* iface = dynamic_cast<Interface*>(element);
  const std::string& self = element->getId();
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
    const std::string_view tag = child.name();
    if (tag == "ownedAttribute") {
      // A property that ends an association is drawn as that association's
      // end, not listed as an attribute.
      if (child.attribute("association")) endProperties_.emplace(child.attribute(p_.id.c_str()).value(), child);
      else if (cls) cls->addAttribute(makeAttribute(child));
    } else if (tag == "ownedLiteral") {
      if (cls) cls->addAttribute(new Attribute(idOf(child), nameOf(child), "", "public"));
    } else if (tag == "ownedOperation") {
      Method* method = makeMethod(child);
      if (cls) cls->addMethod(method);
      else if (iface) iface->addMethod(method);
      else delete method;
    } else if (tag == "generalization") {
      const std::string parent(referenceOf(child, "general", p_).target());
      if (parent.empty()) continue;
      if (parent == self) {
        note("'" + self + "' names itself as its general; left out");
        continue;
      }
      auto generalization = std::make_unique<Inheritance>(idOf(child));
      generalization->setChild(self);
      generalization->setParent(parent);
      generalizations_.push_back(add(std::move(generalization), element->ownerId()));
    } else if (tag == "interfaceRealization") {
      Reference contract = referenceOf(child, "contract", p_);
      if (contract.empty()) contract = referenceOf(child, "supplier", p_);
      if (contract.empty()) continue;
      auto realization = std::make_unique<Dependency>(idOf(child));
      realization->setClient(self);
      realization->setSupplier(std::string(contract.target()));
      realization->setName(nameOf(child));
      realization->setKind(Dependency::Kind::Realization);
      add(std::move(realization), element->ownerId());
    }
  }
}

void Reader::readAssociation(pugi::xml_node node, const std::string& owner) {
  std::vector<pugi::xml_node> ownedEnds;
  for (pugi::xml_node end = node.child("ownedEnd"); end; end = end.next_sibling("ownedEnd")) ownedEnds.push_back(end);
  std::vector<std::string_view> members = tokens(node.attribute("memberEnd").value());
  for (pugi::xml_node m = node.child("memberEnd"); m; m = m.next_sibling("memberEnd")) {
    const pugi::xml_attribute idref = m.attribute(p_.idref.c_str());
    members.push_back(idref ? std::string_view(idref.value()) : fragmentOf(m.attribute("href").value()));
  }
  std::vector<std::pair<pugi::xml_node, bool>> ends;  // the end's property, whether the association owns it
  if (members.empty()) {
    for (pugi::xml_node end : ownedEnds) ends.emplace_back(end, true);
  } else {
    for (std::string_view member : members) {
      const auto owned = std::find_if(ownedEnds.begin(), ownedEnds.end(), [&](pugi::xml_node end) {
        return member == end.attribute(p_.id.c_str()).value();
      });
      if (owned != ownedEnds.end()) ends.emplace_back(*owned, true);
      else if (const auto it = endProperties_.find(member); it != endProperties_.end()) ends.emplace_back(it->second, false);
    }
  }
  const std::string id = idOf(node);
  if (ends.size() != 2) {
    note("association '" + id + "' has " + std::to_string(ends.size()) + " ends that can be found, not two; left out");
    return;
  }
  const std::vector<std::string_view> navigableOwned = tokens(node.attribute("navigableOwnedEnd").value());
  auto association = std::make_unique<Association>(id, nameOf(node));
  for (int i = 0; i < 2; ++i) {
    const pugi::xml_node end = ends[i].first;
    const std::string_view endId = end.attribute(p_.id.c_str()).value();
    // An end owned by a class is navigable from the other; an end the
    // association owns only where the file says so.
    const bool navigable = !ends[i].second || isTrue(end, "isNavigable") ||
                           std::find(navigableOwned.begin(), navigableOwned.end(), endId) != navigableOwned.end();
    // The whole-part mark sits on the part's end in UML2; the painter draws
    // it at the end whose element is the whole, as XMI 1.x writes it.
    const std::string aggregation = aggregationText(ends[1 - i].first.attribute("aggregation").value());
    auto* associationEnd = createAssociationEnd(std::string(endId), std::string(referenceOf(end, "type", p_).target()),
                                                aggregation, multiplicity(end, " ", true), navigable ? "true" : "false");
    if (i == 0) association->setFirstEnd(associationEnd);
    else association->setSecondEnd(associationEnd);
  }
  add(std::move(association), owner);
}

void Reader::dropGeneralizationCycles() {
  // Iterative depth-first search over child -> general links; a link that
  // leads back to an element on the current path closes a cycle.
  std::unordered_map<std::string, std::vector<Inheritance*>> up;
  for (Inheritance* g : generalizations_) up[g->getChild()].push_back(g);
  std::unordered_map<std::string, int> state;  // 1 on the path, 2 done
  std::unordered_set<const ModelElement*> dropped;
  // Started from the generalizations in reading order, so that the same
  // file always loses the same links.
  for (const Inheritance* first : generalizations_) {
    const std::string start = first->getChild();
    if (state[start] != 0) continue;
    std::vector<std::pair<std::string, std::size_t>> path{{start, 0}};
    state[start] = 1;
    while (!path.empty()) {
      const auto links = up.find(path.back().first);
      if (links == up.end() || path.back().second >= links->second.size()) {
        state[path.back().first] = 2;
        path.pop_back();
        continue;
      }
      Inheritance* g = links->second[path.back().second++];
      const std::string parent = g->getParent();
      int& seen = state[parent];
      if (seen == 1) {
        dropped.insert(g);
        note("generalization '" + g->getId() + "' closes a cycle; left out");
      } else if (seen == 0) {
        seen = 1;
        path.emplace_back(parent, 0);
      }
    }
  }
  if (dropped.empty()) return;
  for (const ModelElement* g : dropped) {
    const auto it = byId_.find(g->idRef());
    if (it != byId_.end() && it->second == g) byId_.erase(it);
  }
  std::erase_if(elements, [&](const std::unique_ptr<ModelElement>& e) { return dropped.count(e.get()) > 0; });
}

bool Reader::readModel() {
  root_ = document_.first_child();
  while (root_ && root_.type() != pugi::node_element) root_ = root_.next_sibling();
  walk();
  if (!failure.empty()) return false;
  // Placeholders of one tool for elements outside the exported package.
  for (pugi::xml_node extension : extensions_)
    for (pugi::xml_node stub = extension.child("EAStub"); stub; stub = stub.next_sibling("EAStub"))
      names_.emplace(stub.attribute(p_.id.c_str()).value(), stub.attribute("name").value());
  for (pugi::xml_node stub = root_.child("EAStub"); stub; stub = stub.next_sibling("EAStub"))
    names_.emplace(stub.attribute(p_.id.c_str()).value(), stub.attribute("name").value());
  for (const auto& [element, node] : classifiers_) readClassifier(element, node);
  for (const auto& [node, owner] : associations_) readAssociation(node, owner);
  dropGeneralizationCycles();
  return true;
}

void Reader::readDiagrams(bool lookBeside) {
  if (lookBeside && !source_.empty()) {
    const std::size_t slash = source_.rfind('/');
    const std::size_t dot = source_.rfind('.');
    const std::string base = dot == std::string::npos || (slash != std::string::npos && dot < slash)
                                 ? source_
                                 : source_.substr(0, dot);
    const std::string notation = base + ".notation";
    struct stat info {};
    if (notation != source_ && ::stat(notation.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
      pugi::xml_document document;
      const pugi::xml_parse_result result = document.load_file(notation.c_str());
      if (result) readNotationDiagrams(document, *this, diagrams);
      else debugOutput("\n " + notation + ": " + result.description() + "; its diagrams are left out \n");
    }
  }
  for (pugi::xml_node diagram : interchange_) readInterchangeDiagram(diagram, p_, *this, diagrams);
  for (pugi::xml_node extension : extensions_) readExtensionDiagrams(extension, *this, diagrams);
}

}  // namespace

// ---- parse -------------------------------------------------------------------------------

void DiagramParserUML2::parse() {
  Reader reader(document_, prefixes_, sourceFile_.empty() ? std::string("model") : sourceFile_);
  if (!reader.readModel()) {
    fail(reader.failure, reader.failureAt);
    return;
  }
  reader.readDiagrams(!sourceFile_.empty());
  // Handed over only now, complete.
  pool_->reserve(pool_->size() + reader.elements.size());
  for (auto& element : reader.elements) pool_->add(element.release());
  for (Diagram* diagram : reader.diagrams) diagrams_->push_back(diagram);
  reader.diagrams.clear();
}

}  // namespace lumetra
