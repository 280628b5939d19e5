#include "modelfiles/DiagramParserUML2.h"

// Sections: element kinds; the reader (walk, features, associations,
// generalization cycles, diagrams); parse().

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <exception>
#include <memory>
#include <system_error>
#include <thread>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include <sys/stat.h>

#include "model/IdentifierTable.h"
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

std::vector<std::string_view> tokens(std::string_view text) {
  std::vector<std::string_view> out;
  for (std::string_view token = firstToken(text); !token.empty(); token = firstToken(text)) {
    out.push_back(token);
    text.remove_prefix(static_cast<std::size_t>(token.data() + token.size() - text.data()));
  }
  return out;
}

// Whether the blank-separated list holds that word.
bool listHolds(std::string_view list, std::string_view word) {
  for (std::string_view token = firstToken(list); !token.empty(); token = firstToken(list)) {
    if (token == word) return true;
    list.remove_prefix(static_cast<std::size_t>(token.data() + token.size() - list.data()));
  }
  return false;
}

// What the reading of a feature (attribute, operation, parameter, literal)
// needs of its element, found in one pass over its attributes and one over
// its children instead of one search per name.
struct FeatureText {
  const char* id = "";
  const char* name = "";
  const char* visibility = nullptr;  // null where not written
  const char* type = nullptr;        // the type attribute; null where not written
  bool isStatic = false;
  bool isAbstract = false;
  bool isReturn = false;
  bool endsAssociation = false;      // an `association` attribute is written
  bool isNavigable = false;
  const char* aggregation = "";
  pugi::xml_attribute lower, upper;  // bounds written as attributes (older files)
  pugi::xml_node typeChild, lowerValue, upperValue;
};

// Without `children`, only the element's own attributes are read (for a
// classifier, whose children are its features).
FeatureText readFeature(pugi::xml_node node, const Prefixes& p, bool children = true) {
  FeatureText t;
  // Dispatched on the first letter: features have many attributes, and
  // most of the names asked for begin differently.
  for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
    const char* name = a.name();
    const char* value = a.value();
    auto is = [name](const char* wanted) { return std::strcmp(name + 1, wanted + 1) == 0; };
    if (name[0] == p.id[0] && name == std::string_view(p.id)) {
      t.id = value;
      continue;
    }
    switch (name[0]) {
      case 'n':
        if (is("name")) t.name = value;
        break;
      case 'v':
        if (is("visibility")) t.visibility = value;
        break;
      case 't':
        if (is("type")) t.type = value;
        break;
      case 'i':
        if (is("isStatic")) t.isStatic = std::strcmp(value, "true") == 0;
        else if (is("isAbstract")) t.isAbstract = std::strcmp(value, "true") == 0;
        else if (is("isNavigable")) t.isNavigable = std::strcmp(value, "true") == 0;
        break;
      case 'd':
        if (is("direction")) t.isReturn = std::strcmp(value, "return") == 0;
        break;
      case 'l':
        if (is("lower")) t.lower = a;
        break;
      case 'u':
        if (is("upper")) t.upper = a;
        break;
      case 'a':
        if (is("association")) t.endsAssociation = true;
        else if (is("aggregation")) t.aggregation = value;
        break;
      default:
        break;
    }
  }
  for (pugi::xml_node c = children ? node.first_child() : pugi::xml_node(); c; c = c.next_sibling()) {
    const std::string_view name = c.name();
    if (name == "type") t.typeChild = c;
    else if (name == "lowerValue") t.lowerValue = c;
    else if (name == "upperValue") t.upperValue = c;
  }
  return t;
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
  // Reads the relations and the diagrams of every kind the document (and a
  // notation file beside it, when lookBeside) holds, and names the types.
  void finish(bool lookBeside);

  ModelElement* element(std::string_view id) override;
  void leftOut(std::string_view what, std::string_view id) override {
    tell(what == "shape" ? "shapes of elements the model does not show left out"
                         : "edges of relations the model does not hold left out",
         id);
  }

  // One line per kind of thing read past: "file: what (count, the first 'id')".
  std::vector<std::string> notes() const;

  std::vector<std::unique_ptr<ModelElement>> elements;  // in reading order
  std::vector<Diagram*> diagrams;                        // owned until handed over
  std::string failure;
  pugi::xml_node failureAt;
  std::string modelName;  // of the first uml:Model

 private:
  // Models with fewer typed features are finished on one thread.
  static constexpr std::size_t kTypesOnTheSide = 4096;
  void walk();
  void readRelations();
  void readDiagrams(bool lookBeside);
  // Reads a classifier's features and relations; its other child elements
  // (nested classifiers, owned associations, comments) go to `nested`.
  // One of cls and iface is the element; the other is null.
  void readClassifier(ModelElement* element, Class* cls, Interface* iface, pugi::xml_node node,
                      std::vector<pugi::xml_node>& nested);
  // Gives the features their type names, once every classifier is known.
  void resolveTypes();
  void readAssociation(pugi::xml_node node, const std::string& owner);
  void dropGeneralizationCycles();
  // Tells of relations whose ends name an identifier the file does not hold.
  void checkEnds();

  std::string idOf(pugi::xml_node node);
  template <typename T>
  T* add(std::unique_ptr<T> element, const std::string& owner);
  Attribute* makeAttribute(const FeatureText& t);
  Method* makeMethod(pugi::xml_node node);
  std::string idOf(const FeatureText& t) { return *t.id ? std::string(t.id) : "#anonymous-" + std::to_string(++anonymous_); }
  static std::string featureName(const FeatureText& t) {
    return std::strchr(t.name, '%') ? displayName(t.name) : std::string(t.name);
  }
  // The name shown for a type; `missing`, where given, is set when the
  // reference names an identifier the file does not hold.
  std::string typeName(const Reference& ref, bool* missing = nullptr) const;
  Reference typeOf(const FeatureText& t) const;
  bool nameableNow(const Reference& ref) const;
  // Names the feature's type now where it can, else once the document is read.
  void setTypeOrWait(Feature* feature, const Reference& type);
  std::string multiplicity(const FeatureText& t, const char* separator, bool defaultOne) const;
  std::string visibility(pugi::xml_node node) const {
    const pugi::xml_attribute v = node.attribute("visibility");
    return v ? v.value() : "public";  // UML2 leaves the default, public, unwritten
  }
  // Counts one thing read past under `what` (a plural phrase) and writes it
  // to the debug channel.
  void tell(std::string_view what, std::string_view id);
  struct Tally {
    std::string what;
    std::size_t count = 0;
    std::string first;
  };
  std::vector<Tally> tallies_;  // in the order first met
  Tally unresolvedTypes_{"types naming identifiers the file does not hold, shown by the identifier"};

  pugi::xml_node document_;
  const Prefixes& p_;
  std::string source_;
  pugi::xml_node root_;

  // Keys view the elements' own ids; a dropped element's entry holds null.
  IdentifierTable<std::string_view, ModelElement*> byId_;
  IdentifierTable<std::string_view, std::string_view> names_;  // classifier id -> name, for types
  void nameType(std::string_view id, std::string_view name) {
    const auto [entry, added] = names_.tryEmplace(id);
    if (added) entry->value = name;  // the first of an identifier wins
  }
  std::unordered_map<std::string_view, pugi::xml_node> endProperties_;  // properties that end associations
  std::unordered_map<std::string_view, pugi::xml_node> comments_;
  // Types that name a classifier not read yet are named once the whole
  // document is read.
  struct PendingType {
    Feature* feature;
    Reference type;
  };
  struct PendingParameter {
    Method* method;
    std::string name;
    Reference type;
  };
  // Deques: they grow by blocks, without copying what they hold.
  std::deque<PendingType> pendingTypes_;
  std::deque<PendingParameter> pendingParameters_;  // in each method's order
  std::vector<std::pair<pugi::xml_node, std::string>> associations_;  // with their owner
  std::vector<pugi::xml_node> interchange_;
  std::vector<pugi::xml_node> extensions_;
  // A relation with views of its ends' identifiers (in the document, or in
  // an element of the model), for the checks that need no copies of them.
  struct Link {
    ModelElement* relation;
    std::string_view from, to;
  };
  std::vector<Link> generalizations_;  // child -> general, in reading order
  std::vector<Link> otherLinks_;       // dependencies and associations
  std::vector<std::unique_ptr<ModelElement>> discarded_;  // left out of the model
  std::size_t anonymous_ = 0;
};

void Reader::tell(std::string_view what, std::string_view id) {
  debugOutput("\n " + source_ + ": " + std::string(what) + ": '" + std::string(id) + "' \n");
  auto tally = std::find_if(tallies_.begin(), tallies_.end(), [what](const Tally& t) { return t.what == what; });
  if (tally == tallies_.end()) tally = tallies_.insert(tallies_.end(), Tally{std::string(what), 0, std::string(id)});
  ++tally->count;
}

std::vector<std::string> Reader::notes() const {
  std::vector<std::string> out;
  std::vector<Tally> all = tallies_;
  if (unresolvedTypes_.count) all.push_back(unresolvedTypes_);
  for (const Tally& t : all)
    out.push_back(source_ + ": " + t.what + " (" + (t.count > 1 ? std::to_string(t.count) + ", the first " : "") + "'" +
                  t.first + "')");
  return out;
}

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
  const auto [entry, added] = byId_.tryEmplace(std::string_view(raw->idRef()));
  if (added) entry->value = raw;  // the first of an identifier wins
  elements.push_back(std::move(element));
  return raw;
}

ModelElement* Reader::element(std::string_view id) {
  if (const auto* entry = byId_.find(id)) return entry->value;
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
  std::vector<pugi::xml_node> nested;
  stack.push_back({root_, -1});
  while (!stack.empty()) {
    const Frame frame = stack.back();
    stack.pop_back();
    const pugi::xml_node node = frame.node;
    const int outer = frame.package;
    auto owner = [&packages, outer] { return outer < 0 ? std::string() : packages[outer].first; };
    int inner = frame.package;
    bool descend = true;
    const Kind kind = kindOf(node, p_);
    switch (kind) {
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
        if (modelName.empty() && localName(uml2::typeOf(node, p_)) == "Model") modelName = package->getName();
        packages.emplace_back(package->getId(), depth);
        inner = static_cast<int>(packages.size()) - 1;
        break;
      }
      case Kind::Class:
      case Kind::Enumeration:
      case Kind::DataType: {
        const FeatureText t = readFeature(node, p_, false);  // the same attributes as a feature's
        Class* cls = add(std::make_unique<Class>(idOf(t), featureName(t)), owner());
        cls->setAbstract(t.isAbstract);
        if (kind == Kind::Enumeration) cls->setExtraText("enumeration");
        if (kind == Kind::DataType) cls->setExtraText("dataType");
        nameType(cls->idRef(), t.name);
        readClassifier(cls, cls, nullptr, node, nested);
        descend = false;
        break;
      }
      case Kind::Interface: {
        const FeatureText t = readFeature(node, p_, false);
        Interface* iface = add(std::make_unique<Interface>(idOf(t), featureName(t)), owner());
        nameType(iface->idRef(), t.name);
        readClassifier(iface, nullptr, iface, node, nested);
        descend = false;
        break;
      }
      case Kind::PrimitiveType:
        nameType(node.attribute(p_.id.c_str()).value(), node.attribute("name").value());
        descend = false;
        break;
      case Kind::Association:
        associations_.emplace_back(node, owner());
        descend = false;
        break;
      case Kind::Dependency:
      case Kind::Usage:
      case Kind::Realization: {
        auto dependency = std::make_unique<Dependency>(idOf(node));
        const std::string_view client = referenceOf(node, "client", p_).target();
        dependency->setClient(std::string(client));
        Reference supplier = referenceOf(node, "supplier", p_);
        if (supplier.empty()) supplier = referenceOf(node, "contract", p_);
        dependency->setSupplier(std::string(supplier.target()));
        otherLinks_.push_back({dependency.get(), client, supplier.target()});
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
    if (!descend) {
      // A classifier's nested elements, in document order.
      for (auto it = nested.rbegin(); it != nested.rend(); ++it) stack.push_back({*it, inner});
      nested.clear();
      continue;
    }
    for (pugi::xml_node child = node.last_child(); child; child = child.previous_sibling())
      if (child.type() == pugi::node_element) stack.push_back({child, inner});
  }
}

std::string Reader::typeName(const Reference& ref, bool* missing) const {
  if (ref.empty()) return {};
  const std::string_view key = ref.target();
  if (const auto* entry = names_.find(key))
    return entry->value.find('%') == std::string_view::npos ? std::string(entry->value) : displayName(entry->value);
  if (ref.href.empty() && key.substr(0, 2) == "EA" && key.substr(0, 5) != "EAID_" && key.substr(0, 5) != "EAPK_") {
    // A tool's built-in type written as a pseudo-identifier: "EAJava_String".
    const std::size_t underscore = key.find('_');
    if (underscore != std::string_view::npos && underscore + 1 < key.size()) return std::string(key.substr(underscore + 1));
  }
  if (missing && ref.href.empty()) *missing = true;
  // A type in a library that is not here: its fragment (or identifier).
  return displayName(key);
}

std::string Reader::multiplicity(const FeatureText& t, const char* separator, bool defaultOne) const {
  if (!t.lowerValue && !t.upperValue && !t.lower && !t.upper) return defaultOne ? "1" : "";
  // A bound that is not written is 1; a value element without a value holds 0.
  auto bound = [](pugi::xml_node value, pugi::xml_attribute direct) -> std::string {
    if (value) return boundText(value.attribute("value") ? value.attribute("value").value() : "0");
    if (direct) return boundText(direct.value());
    return "1";
  };
  const std::string lower = bound(t.lowerValue, t.lower), upper = bound(t.upperValue, t.upper);
  return lower == upper ? lower : lower + separator + upper;
}

Reference Reader::typeOf(const FeatureText& t) const {
  Reference ref;
  if (t.type) {
    ref.id = firstToken(t.type);
  } else if (t.typeChild) {
    // An xmi:idref wins over an href, wherever each is written.
    for (pugi::xml_attribute a = t.typeChild.first_attribute(); a; a = a.next_attribute()) {
      const std::string_view name = a.name();
      if (name == p_.idref) {
        ref.id = a.value();
        ref.href = {};
        break;
      }
      if (name == "href") ref.href = a.value();
    }
  }
  return ref;
}

Attribute* Reader::makeAttribute(const FeatureText& t) {
  auto* attribute = new Attribute(idOf(t), featureName(t), "", t.visibility ? t.visibility : "public");
  setTypeOrWait(attribute, typeOf(t));
  attribute->setStatic(t.isStatic);
  attribute->setMultiplicity(multiplicity(t, "..", false));
  return attribute;
}

Method* Reader::makeMethod(pugi::xml_node node) {
  const FeatureText t = readFeature(node, p_);
  auto* method = new Method(idOf(t), featureName(t), "", t.visibility ? t.visibility : "public");
  Reference returned = typeOf(t);
  method->setStatic(t.isStatic);
  method->setAbstract(t.isAbstract);
  const std::size_t firstPending = pendingParameters_.size();
  bool known = true;  // whether every parameter's type can be named now
  for (pugi::xml_node parameter = node.child("ownedParameter"); parameter;
       parameter = parameter.next_sibling("ownedParameter")) {
    const FeatureText pt = readFeature(parameter, p_);
    if (pt.isReturn) {
      returned = typeOf(pt);
    } else {
      pendingParameters_.push_back({method, featureName(pt), typeOf(pt)});
      known = known && nameableNow(pendingParameters_.back().type);
    }
  }
  if (known) {
    for (std::size_t i = firstPending; i < pendingParameters_.size(); ++i)
      method->addParameter(Parameter{std::move(pendingParameters_[i].name), typeName(pendingParameters_[i].type)});
    pendingParameters_.resize(firstPending, PendingParameter{nullptr, {}, {}});
  }
  setTypeOrWait(method, returned);
  return method;
}

bool Reader::nameableNow(const Reference& ref) const {
  // A library's type is named by its fragment, a known classifier by its
  // name; an identifier not met yet may still come.
  return ref.empty() || !ref.href.empty() || names_.find(ref.target()) != nullptr;
}

void Reader::setTypeOrWait(Feature* feature, const Reference& type) {
  if (type.empty()) return;
  if (type.href.empty()) {
    if (const auto* entry = names_.find(type.id)) {
      feature->setType(entry->value.find('%') == std::string_view::npos ? std::string(entry->value)
                                                                         : displayName(entry->value));
      return;
    }
    pendingTypes_.push_back({feature, type});
    return;
  }
  feature->setType(typeName(type));
}

void Reader::resolveTypes() {
  // May run on a thread of its own: it counts into unresolvedTypes_ only.
  auto named = [this](const Reference& type) {
    bool missing = false;
    std::string name = typeName(type, &missing);
    if (missing && unresolvedTypes_.count++ == 0) unresolvedTypes_.first = std::string(type.target());
    return name;
  };
  for (const PendingType& pending : pendingTypes_)
    if (!pending.type.empty()) pending.feature->setType(named(pending.type));
  for (PendingParameter& pending : pendingParameters_)
    pending.method->addParameter(Parameter{std::move(pending.name), named(pending.type)});
  pendingTypes_ = {};
  pendingParameters_ = {};
}

void Reader::readClassifier(ModelElement* element, Class* cls, Interface* iface, pugi::xml_node node,
                            std::vector<pugi::xml_node>& nested) {
  const std::string& self = element->idRef();
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
    const std::string_view tag = child.name();
    if (tag == "ownedAttribute") {
      // A property that ends an association is drawn as that association's
      // end, not listed as an attribute.
      const FeatureText t = readFeature(child, p_);
      if (t.endsAssociation) endProperties_.emplace(t.id, child);
      else if (cls) cls->addAttribute(makeAttribute(t));
    } else if (tag == "ownedLiteral") {
      if (cls) cls->addAttribute(new Attribute(idOf(child), nameOf(child), "", "public"));
    } else if (tag == "ownedOperation") {
      Method* method = makeMethod(child);
      if (cls) cls->addMethod(method);
      else if (iface) iface->addMethod(method);
      else delete method;
    } else if (tag == "generalization") {
      const std::string_view parentView = referenceOf(child, "general", p_).target();
      const std::string parent(parentView);
      if (parent.empty()) continue;
      if (parent == self) {
        tell("generalizations naming their own class left out", self);
        continue;
      }
      auto generalization = std::make_unique<Inheritance>(idOf(child));
      generalization->setChild(self);
      generalization->setParent(parent);
      generalizations_.push_back({add(std::move(generalization), element->ownerId()), self, parentView});
    } else if (tag == "interfaceRealization") {
      Reference contract = referenceOf(child, "contract", p_);
      if (contract.empty()) contract = referenceOf(child, "supplier", p_);
      if (contract.empty()) continue;
      auto realization = std::make_unique<Dependency>(idOf(child));
      realization->setClient(self);
      realization->setSupplier(std::string(contract.target()));
      otherLinks_.push_back({realization.get(), self, contract.target()});
      realization->setName(nameOf(child));
      realization->setKind(Dependency::Kind::Realization);
      add(std::move(realization), element->ownerId());
    } else if (child.type() == pugi::node_element && !isFeatureTag(tag)) {
      nested.push_back(child);
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
    tell("associations without two ends that can be found left out", id);
    return;
  }
  const std::string_view navigableOwned = node.attribute("navigableOwnedEnd").value();
  auto association = std::make_unique<Association>(id, nameOf(node));
  const FeatureText text[2] = {readFeature(ends[0].first, p_), readFeature(ends[1].first, p_)};
  const std::string_view type[2] = {typeOf(text[0]).target(), typeOf(text[1]).target()};
  otherLinks_.push_back({association.get(), type[0], type[1]});
  for (int i = 0; i < 2; ++i) {
    const FeatureText& end = text[i];
    const std::string_view endId = end.id;
    // An end owned by a class is navigable from the other; an end the
    // association owns only where the file says so.
    const bool navigable = !ends[i].second || end.isNavigable || listHolds(navigableOwned, endId);
    // The whole-part mark sits on the part's end in UML2; the painter draws
    // it at the end whose element is the whole, as XMI 1.x writes it.
    const std::string aggregation = aggregationText(text[1 - i].aggregation);
    auto* associationEnd = createAssociationEnd(std::string(endId), std::string(type[i]), aggregation,
                                                multiplicity(end, " ", true), navigable ? "true" : "false");
    associationEnd->setName(featureName(end));
    if (i == 0) association->setFirstEnd(associationEnd);
    else association->setSecondEnd(associationEnd);
  }
  add(std::move(association), owner);
}

void Reader::dropGeneralizationCycles() {
  // Iterative depth-first search over child -> general links; a link that
  // leads back to an element on the current path closes a cycle. Elements
  // are numbered, and each one's links listed in reading order, so that the
  // search runs over small integers.
  IdentifierTable<std::string_view, std::uint32_t> number;
  number.reserve(generalizations_.size() * 2);
  auto numberOf = [&number](std::string_view id) {
    const auto [entry, added] = number.tryEmplace(id);
    if (added) entry->value = static_cast<std::uint32_t>(number.size() - 1);
    return entry->value;
  };
  std::vector<std::uint32_t> child(generalizations_.size()), general(generalizations_.size());
  for (std::size_t i = 0; i < generalizations_.size(); ++i) {
    child[i] = numberOf(generalizations_[i].from);
    general[i] = numberOf(generalizations_[i].to);
  }
  const std::size_t count = number.size();
  std::vector<std::uint32_t> firstLink(count + 1, 0), links(generalizations_.size());
  for (const std::uint32_t c : child) ++firstLink[c + 1];
  for (std::size_t n = 0; n < count; ++n) firstLink[n + 1] += firstLink[n];
  std::vector<std::uint32_t> filled(firstLink.begin(), firstLink.end() - 1);
  for (std::size_t i = 0; i < child.size(); ++i) links[filled[child[i]]++] = static_cast<std::uint32_t>(i);

  std::vector<std::uint8_t> state(count, 0);  // 1 on the path, 2 done
  std::unordered_set<const ModelElement*> dropped;
  // Started from the generalizations in reading order, so that the same
  // file always loses the same links.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> path;  // element, next of its links
  for (const std::uint32_t start : child) {
    if (state[start] != 0) continue;
    path.assign(1, {start, firstLink[start]});
    state[start] = 1;
    while (!path.empty()) {
      auto& [at, next] = path.back();
      if (next == firstLink[at + 1]) {
        state[at] = 2;
        path.pop_back();
        continue;
      }
      const std::uint32_t link = links[next++];
      const std::uint32_t parent = general[link];
      if (state[parent] == 1) {
        dropped.insert(generalizations_[link].relation);
        tell("generalizations closing a cycle left out", generalizations_[link].relation->idRef());
      } else if (state[parent] == 0) {
        state[parent] = 1;
        path.emplace_back(parent, firstLink[parent]);
      }
    }
  }
  if (dropped.empty()) return;
  for (const ModelElement* g : dropped) {
    auto* entry = byId_.find(g->idRef());
    if (entry && entry->value == g) entry->value = nullptr;
  }
  std::erase_if(generalizations_, [&dropped](const Link& l) { return dropped.count(l.relation) > 0; });
  // Kept until the reader ends: the identifier table still views their ids.
  for (auto& e : elements)
    if (dropped.count(e.get())) discarded_.push_back(std::move(e));
  std::erase_if(elements, [](const std::unique_ptr<ModelElement>& e) { return !e; });
}

bool Reader::readModel() {
  root_ = document_.first_child();
  while (root_ && root_.type() != pugi::node_element) root_ = root_.next_sibling();
  walk();
  if (!failure.empty()) return false;
  // Placeholders of one tool for elements outside the exported package.
  for (pugi::xml_node extension : extensions_)
    for (pugi::xml_node stub = extension.child("EAStub"); stub; stub = stub.next_sibling("EAStub"))
      nameType(stub.attribute(p_.id.c_str()).value(), stub.attribute("name").value());
  for (pugi::xml_node stub = root_.child("EAStub"); stub; stub = stub.next_sibling("EAStub"))
    nameType(stub.attribute(p_.id.c_str()).value(), stub.attribute("name").value());
  return true;
}

void Reader::readRelations() {
  for (const auto& [node, owner] : associations_) readAssociation(node, owner);
  dropGeneralizationCycles();
  checkEnds();
}

void Reader::checkEnds() {
  auto known = [this](std::string_view id) {
    if (const auto* entry = byId_.find(id)) return entry->value != nullptr;
    return names_.find(id) != nullptr;  // a placeholder of a tool, or a library type
  };
  for (const std::vector<Link>* list : {&generalizations_, &otherLinks_})
    for (const Link& link : *list)
      if (!known(link.from) || !known(link.to))
        tell("relations to identifiers the file does not hold not drawn", known(link.from) ? link.to : link.from);
}

void Reader::finish(bool lookBeside) {
  // Naming the features' types touches only their types and parameters,
  // which neither the relations nor the diagrams read: on a large model it
  // runs on a second thread beside them.
  if (pendingTypes_.size() < kTypesOnTheSide) {
    resolveTypes();
    readRelations();
    readDiagrams(lookBeside);
    return;
  }
  std::exception_ptr failed;
  std::thread typer;
  try {
    typer = std::thread([this, &failed] {
      try {
        resolveTypes();
      } catch (...) {
        failed = std::current_exception();
      }
    });
  } catch (const std::system_error&) {
    resolveTypes();  // no thread to be had: one after the other
  }
  try {
    readRelations();
    readDiagrams(lookBeside);
  } catch (...) {
    if (typer.joinable()) typer.join();
    throw;
  }
  if (typer.joinable()) typer.join();
  if (failed) std::rethrow_exception(failed);
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
      else tell(std::string("diagrams left out, the notation file beside it unreadable: ") + result.description(), notation);
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
  reader.finish(!sourceFile_.empty());
  // Handed over only now, complete.
  pool_->reserve(pool_->size() + reader.elements.size());
  for (auto& element : reader.elements) pool_->add(element.release());
  for (Diagram* diagram : reader.diagrams) diagrams_->push_back(diagram);
  reader.diagrams.clear();
  setModelName(reader.modelName);
  for (std::string& note : reader.notes()) addNote(std::move(note));
}

}  // namespace lumetra
