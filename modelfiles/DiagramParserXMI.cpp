#include "modelfiles/DiagramParserXMI.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <exception>
#include <system_error>
#include <functional>
#include <memory>
#include <utility>
#include <thread>

#include "model/ModelFactory.h"
#include "platform/DebugOutput.h"

namespace lumetra {

namespace {

// Whether two names are the same text. Tag and attribute names are short;
// comparing them here, inlined, costs less than a library call per name.
inline bool sameName(const char* a, const char* b) {
  while (*a != '\0' && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b;
}

// The first child element, or the next sibling element, of that name.
pugi::xml_node childNamed(pugi::xml_node node, const char* name) {
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
    if (sameName(child.name(), name)) return child;
  return {};
}
pugi::xml_node nextNamed(pugi::xml_node node, const char* name) {
  for (pugi::xml_node next = node.next_sibling(); next; next = next.next_sibling())
    if (sameName(next.name(), name)) return next;
  return {};
}

// An attribute's text; a missing attribute reads as empty text.
std::string attr(pugi::xml_node node, const char* name) { return node.attribute(name).value(); }

// The texts of several attributes of one element, read in one pass over its
// attribute list instead of one search per name. As with attribute(), the
// first attribute of a name counts and a missing one reads as empty text.
template <std::size_t N>
std::array<const char*, N> attrs(pugi::xml_node node, const std::array<const char*, N>& names) {
  std::array<const char*, N> values;
  values.fill("");
  std::array<bool, N> found{};
  std::size_t left = N;
  for (pugi::xml_attribute a = node.first_attribute(); a && left > 0; a = a.next_attribute()) {
    const char* name = a.name();
    for (std::size_t i = 0; i < N; ++i) {
      if (!found[i] && sameName(name, names[i])) {
        values[i] = a.value();
        found[i] = true;
        --left;
        break;
      }
    }
  }
  return values;
}

bool equal(const char* a, const char* b) { return sameName(a, b); }

// Runs aside() on a second thread and here() on this one, side by side,
// and rethrows what either threw once both are done. Where no thread can be
// started, aside() runs first, then here(), on this thread.
template <typename Aside, typename Here>
void sideBySide(Aside&& aside, Here&& here) {
  std::exception_ptr failure;
  std::thread helper;
  try {
    helper = std::thread([&] {
      try {
        aside();
      } catch (...) {
        failure = std::current_exception();
      }
    });
  } catch (const std::system_error&) {
    aside();
    here();
    return;
  }
  try {
    here();
  } catch (...) {
    helper.join();
    throw;
  }
  helper.join();
  if (failure) std::rethrow_exception(failure);
}

// The model element tags a subject may name.
enum class SubjectKind { Class, Generalization, Comment, Package, Association, Interface, AssociationEnd, Dependency, Other };

SubjectKind subjectKindOf(const char* tag) {
  static constexpr std::pair<const char*, SubjectKind> kinds[] = {
      {"UML:Class", SubjectKind::Class},         {"UML:Generalization", SubjectKind::Generalization},
      {"UML:Comment", SubjectKind::Comment},     {"UML:Package", SubjectKind::Package},
      {"UML:Association", SubjectKind::Association}, {"UML:Interface", SubjectKind::Interface},
      {"UML:AssociationEnd", SubjectKind::AssociationEnd}, {"UML:Dependency", SubjectKind::Dependency}};
  for (const auto& [name, kind] : kinds)
    if (equal(tag, name)) return kind;
  return SubjectKind::Other;
}

bool hasTwoEnds(pugi::xml_node association) {
  const pugi::xml_node first = childNamed(childNamed(association, "UML:Association.connection"), "UML:AssociationEnd");
  return first && nextNamed(first, "UML:AssociationEnd");
}

}  // namespace

std::string multiplicityText(const std::string& lower, const std::string& upper) {
  const std::string up = upper == "-1" ? "*" : upper;
  return lower == up ? lower : lower + " " + up;
}

DiagramParserXMI::~DiagramParserXMI() { dropUnusedBuilt(); }

const XmiNames& DiagramParserXMI::names() {
  if (!names_) names_ = std::make_unique<XmiNames>(document_.child("XMI").child("XMI.content"));
  return *names_;
}

void DiagramParserXMI::parse() {
  dropUnusedBuilt();
  idIndex_.clear();
  shapes_.clear();
  shapeCursor_ = 0;
  poolStartedEmpty_ = pool_->size() == 0;
  names_.reset();
  names();  // made before the reading may use two threads
  const pugi::xml_node content = document_.child("XMI").child("XMI.content");
  modelRoot_ = content.child("UML:Model");
  buildIndex();
  for (pugi::xml_node diagram = content.child("UML:Diagram"); diagram; diagram = diagram.next_sibling("UML:Diagram")) {
    currentDiagram_ = diagram;
    parseDiagram(diagram);
  }
  if (readWholeModel_) readModelTree();
  dropUnusedBuilt();
  shapes_ = {};
}

void DiagramParserXMI::dropUnusedBuilt() {
  idIndex_.forEach([](SubjectEntry& entry) {
    delete entry.value.built;
    entry.value.built = nullptr;
  });
  for (ShapeSlot& slot : shapes_) {
    delete slot.shape;
    delete slot.label;
    slot.shape = nullptr;
    slot.label = nullptr;
  }
}

// Iterative, so neither deep nesting nor long sibling chains can exhaust
// the stack. The walk ends early when visit returns true.
template <typename Visit>
void DiagramParserXMI::walkIndex(Visit&& visit) const {
  pugi::xml_node start = modelRoot_;
  if (!start) start = document_.child("XMI").child("XMI.content").first_child();
  if (!start) return;
  walkXmlTree(start, start.parent(), visit);
}

std::vector<pugi::xml_node> DiagramParserXMI::indexedNodes() const {
  std::vector<pugi::xml_node> nodes;
  walkIndex([&nodes](pugi::xml_node node) {
    nodes.push_back(node);
    return false;
  });
  return nodes;
}

void DiagramParserXMI::buildIndex() {
  // The subjects that may need a look-up: those of every shape that is
  // neither a role label nor a relation drawn with a Dummy.
  const pugi::xml_node content = document_.child("XMI").child("XMI.content");
  auto forEachShape = [&content](auto&& visit) {
    for (pugi::xml_node diagram = content.child("UML:Diagram"); diagram;
         diagram = diagram.next_sibling("UML:Diagram")) {
      const pugi::xml_node shapes = diagram.child("UML:Diagram.element");
      for (pugi::xml_node shape = shapes.child("UML:DiagramElement"); shape;
           shape = shape.next_sibling("UML:DiagramElement"))
        visit(shape);
    }
  };
  // Sized once for every shape, so that neither the table nor the pool
  // (which gets at most one element per shape) grows step by step.
  std::size_t shapeCount = 0;
  forEachShape([&shapeCount](pugi::xml_node) { ++shapeCount; });
  idIndex_.reserve(shapeCount);
  shapes_.reserve(shapeCount);
  pool_->reserve(pool_->size() + shapeCount);
  forEachShape([this](pugi::xml_node shape) { shapes_.emplace_back().node = shape; });
  const bool threaded = shapes_.size() >= threadedFrom_ && std::thread::hardware_concurrency() >= 2;
  auto readTexts = [this](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i)
      shapes_[i].texts = attrs<4>(shapes_[i].node, {"xmi.id", "geometry", "style", "subject"});
  };
  if (threaded) {  // reading attributes only reads the document
    const std::size_t half = shapes_.size() / 2;
    sideBySide([&] { readTexts(half, shapes_.size()); }, [&] { readTexts(0, half); });
  } else {
    readTexts(0, shapes_.size());
  }
  // The subjects in the order shapes first name them.
  for (ShapeSlot& slot : shapes_) {
    const char* style = slot.texts[2];
    if (!equal(style, "Role") && !equal(style, "RealizeRelation") && !equal(style, "DependencyRelation"))
      slot.entry = idIndex_.tryEmplace(std::string_view(slot.texts[3])).first;
  }

  // Most identifiers in the model part (features, association ends) are no
  // subject; a small bit filter of the subjects' hashes, which stays in the
  // cache, turns most of them away before the table is probed.
  const std::size_t bitCount = std::size_t{1} << 21;
  std::vector<std::uint64_t> filter(bitCount / 64);
  auto bitsOf = [&](std::size_t hash, std::size_t& a, std::size_t& b) {
    a = hash & (bitCount - 1);
    b = (hash >> 32) & (bitCount - 1);
  };
  idIndex_.forEach([&](const SubjectEntry& entry) {
    std::size_t a = 0, b = 0;
    bitsOf(SubjectIndex::hashOf(entry.key), a, b);
    filter[a / 64] |= std::uint64_t{1} << (a % 64);
    filter[b / 64] |= std::uint64_t{1} << (b % 64);
  });

  // The walk publishes each subject it resolves; builders take the
  // published subjects in batches and build them while the walk goes on.
  std::vector<SubjectEntry*> found(idIndex_.size());
  std::atomic<std::size_t> foundCount{0};
  std::atomic<bool> walked{false};
  std::atomic<std::size_t> nextToBuild{0};

  auto resolveSubjects = [&] {
    std::size_t unresolved = idIndex_.size();
    if (unresolved == 0) {  // only labels and relation shapes: nothing to look up
      walked.store(true, std::memory_order_release);
      return;
    }
    // Once every subject is resolved, the rest of the document is not walked.
    walkIndex([&](pugi::xml_node node) {
      if (node.type() != pugi::node_element) return false;
      pugi::xml_attribute id = node.first_attribute();
      while (id && !sameName(id.name(), "xmi.id")) id = id.next_attribute();
      if (!id) return false;
      const std::string_view key(id.value());
      const std::size_t hash = SubjectIndex::hashOf(key);
      std::size_t a = 0, b = 0;
      bitsOf(hash, a, b);
      if (!(filter[a / 64] >> (a % 64) & 1) || !(filter[b / 64] >> (b % 64) & 1)) return false;
      SubjectEntry* entry = idIndex_.find(key, hash);
      if (entry && !entry->value.node) {  // first match wins
        entry->value.node = node;
        const std::size_t count = foundCount.load(std::memory_order_relaxed);
        found[count] = entry;
        foundCount.store(count + 1, std::memory_order_release);
        --unresolved;
      }
      return unresolved == 0;
    });
    walked.store(true, std::memory_order_release);
  };
  // Builds published subjects until the walk is over and none is left.
  auto buildFound = [&] {
    constexpr std::size_t kBatch = 16;
    for (;;) {
      const std::size_t first = nextToBuild.fetch_add(kBatch, std::memory_order_relaxed);
      for (std::size_t i = first; i < first + kBatch; ++i) {
        while (i >= foundCount.load(std::memory_order_acquire)) {
          if (walked.load(std::memory_order_acquire) && i >= foundCount.load(std::memory_order_acquire)) return;
          std::this_thread::yield();
        }
        found[i]->value.built = buildAhead(found[i]->value.node);
      }
    }
  };

  if (!threaded) {
    resolveSubjects();
    prepareShapes(0, shapes_.size());
    buildFound();
    return;
  }
  // On a large model a second thread walks while this one makes the shapes;
  // then both build the subjects the walk has found. Each subject is built
  // by one thread, alone, so the result does not depend on the split. A
  // subject claimed by a thread that failed is read when a shape asks.
  sideBySide(
      [&] {
        resolveSubjects();  // reads the document and allocates nothing
        buildFound();
      },
      [&] {
        prepareShapes(0, shapes_.size());
        buildFound();
      });
}

void DiagramParserXMI::prepareShapes(std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i) {
    ShapeSlot& slot = shapes_[i];
    const auto& texts = slot.texts;
    // A geometry that does not read cleanly is reported while its shape is
    // read, in the order of the other messages.
    if (std::count(texts[1], texts[1] + std::strlen(texts[1]), ',') < 3) continue;
    if (equal(texts[2], "Role"))
      slot.label = createSupplementaryElement(texts[0], "Default", texts[1], texts[2], texts[3]);
    else
      slot.shape = createDiagramElement(texts[0], "Default", texts[1], texts[2]);
  }
}

DiagramParserXMI::ShapeSlot* DiagramParserXMI::takeShapeSlot(pugi::xml_node shapeNode) {
  for (std::size_t i = shapeCursor_; i < shapes_.size(); ++i) {
    if (shapes_[i].node == shapeNode) {
      shapeCursor_ = i + 1;
      return &shapes_[i];
    }
  }
  return nullptr;
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
  // What the index pass prepared for this shape (nothing for a shape it did
  // not see, which is then read from scratch).
  ShapeSlot* slot = takeShapeSlot(shapeNode);
  const auto texts = slot ? slot->texts : attrs<4>(shapeNode, {"xmi.id", "geometry", "style", "subject"});
  const std::string id = texts[0];
  const std::string geometry = slot && (slot->shape || slot->label) ? std::string() : std::string(texts[1]);
  const std::string style = texts[2];
  const std::string subject = texts[3];
  Diagram* diagram = diagrams_->back();

  if (style == "Role") {
    VisualSupplElement* label = slot && slot->label ? std::exchange(slot->label, nullptr)
                                                    : createSupplementaryElement(id, "Default", geometry, style, subject);
    diagram->addSupplementaryElement(label);
    return;
  }

  std::unique_ptr<DiagramElement> shape(slot && slot->shape ? std::exchange(slot->shape, nullptr)
                                                            : createDiagramElement(id, "Default", geometry, style));
  ModelElement* model = nullptr;
  bool isNew = false;
  SubjectEntry* entry = slot ? slot->entry : nullptr;
  if (style == "RealizeRelation" || style == "DependencyRelation") {
    // Every relation shape gets its own Dummy, even when the subject exists.
    Dummy* dummy = createDummy(id, subject, style);
    // It is drawn as the relation its subject describes, where there is one.
    const auto kind = style == "RealizeRelation" ? Dependency::Kind::Realization : Dependency::Kind::Dependency;
    if (const pugi::xml_node node = names().element(subject))
      dummy->setRelation(readShapeRelation(node, id, kind, names()));
    model = dummy;
    isNew = true;
  } else if ((model = pooledElement(subject, entry)) == nullptr) {
    currentEntry_ = entry;
    model = findModelElement(subject);
    currentEntry_ = nullptr;
    isNew = model != nullptr;
  }
  if (!model) return;  // the shape is dropped

  shape->setModelElement(model);
  if (isNew) {
    pool_->add(model);
    notePooled(model, entry);
  }
  diagram->addElement(shape.release());
}

ModelElement* DiagramParserXMI::pooledElement(const std::string& id, SubjectEntry*& entry) {
  if (!entry) entry = idIndex_.find(std::string_view(id));
  if (entry && poolStartedEmpty_) return entry->value.pooled;
  return pool_->find(id);
}

void DiagramParserXMI::notePooled(ModelElement* element, SubjectEntry* entry) {
  if (!poolStartedEmpty_) return;
  // The entry of the element's own identifier: a Dummy carries its shape's
  // identifier, which a later shape may name as its subject.
  if (!entry || element->idRef() != entry->key) entry = idIndex_.find(std::string_view(element->idRef()));
  // The pool answers a search with the first element of an identifier.
  if (entry && !entry->value.pooled) entry->value.pooled = element;
}

void DiagramParserXMI::readModelTree() {
  if (!modelRoot_) return;
  // Depth first in document order over the namespaces' owned elements only
  // (features and association ends are never entered), each with the
  // identifier of the package or classifier that owns it.
  struct Visit {
    pugi::xml_node node;
    const char* owner;
  };
  std::vector<Visit> stack;
  auto pushOwned = [&stack](pugi::xml_node element, const char* owner) {
    const std::size_t first = stack.size();
    for (pugi::xml_node owned = childNamed(element, "UML:Namespace.ownedElement"); owned;
         owned = nextNamed(owned, "UML:Namespace.ownedElement"))
      for (pugi::xml_node child = owned.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element) stack.push_back({child, owner});
    std::reverse(stack.begin() + static_cast<std::ptrdiff_t>(first), stack.end());
  };
  pushOwned(modelRoot_, "");
  while (!stack.empty()) {
    const Visit visit = stack.back();
    stack.pop_back();
    const SubjectKind kind = subjectKindOf(visit.node.name());
    const char* id = visit.node.attribute("xmi.id").value();
    const bool owns = kind == SubjectKind::Package || kind == SubjectKind::Class || kind == SubjectKind::Interface;
    if (*id != '\0' && kind != SubjectKind::Other && kind != SubjectKind::AssociationEnd &&
        kind != SubjectKind::Comment) {
      SubjectEntry* entry = idIndex_.find(std::string_view(id));
      ModelElement* element = entry ? entry->value.pooled : nullptr;
      if (!element && !poolStartedEmpty_) element = pool_->find(id);
      if (!element) {
        // Not shown on any diagram: built now (or taken from what was built
        // ahead for a shape that was then dropped).
        element = entry && entry->value.built ? std::exchange(entry->value.built, nullptr) : buildAhead(visit.node);
        if (element) {
          pool_->add(element);
          notePooled(element, entry);
        }
      }
      if (element && element->ownerId().empty() && *visit.owner != '\0') element->setOwnerId(visit.owner);
    }
    pushOwned(visit.node, owns && *id != '\0' ? id : visit.owner);
  }
}

ModelElement* DiagramParserXMI::buildAhead(pugi::xml_node node) {
  switch (subjectKindOf(node.name())) {
    case SubjectKind::Class: return parseClass(node);
    case SubjectKind::Generalization: return parseGeneralization(node);
    case SubjectKind::Comment: return parseComment(node);
    case SubjectKind::Package: return parsePackage(node);
    case SubjectKind::Association: return hasTwoEnds(node) ? parseAssociation(node) : nullptr;
    case SubjectKind::Interface: return parseInterface(node);
    case SubjectKind::Dependency: return parseDependency(node);
    default: return nullptr;  // read (and reported) when a shape asks
  }
}

ModelElement* DiagramParserXMI::findModelElement(const std::string& id) {
  pugi::xml_node match;
  SubjectEntry* found = currentEntry_ && currentEntry_->key == id ? currentEntry_ : idIndex_.find(std::string_view(id));
  if (found && found->value.built) {
    ModelElement* built = found->value.built;
    found->value.built = nullptr;  // the caller owns it now
    return built;
  }
  if (found) {
    match = found->value.node;
  } else {
    // An identifier no shape names (a direct call): search the index order.
    walkIndex([&match, &id](pugi::xml_node node) {
      if (node.type() == pugi::node_element && id == node.attribute("xmi.id").value() && node.attribute("xmi.id"))
        match = node;
      return bool(match);
    });
  }
  if (!match) {
    debugOutput("\n ERROR: MODEL ELEMENT IS NOT FOUND \n");
    return nullptr;
  }
  switch (subjectKindOf(match.name())) {
    case SubjectKind::Class: return parseClass(match);
    case SubjectKind::Generalization: return parseGeneralization(match);
    case SubjectKind::Comment: return parseComment(match);
    case SubjectKind::Package: return parsePackage(match);
    case SubjectKind::Association: return parseAssociation(match);
    case SubjectKind::Interface: return parseInterface(match);
    case SubjectKind::AssociationEnd: debugOutput("\n SKIP \n"); return nullptr;
    case SubjectKind::Dependency: return parseDependency(match);
    case SubjectKind::Other: break;
  }
  debugOutput("\n ERROR: UNEXPECTED ELEMENT FOR XMI PARSING \n");
  return nullptr;
}

ModelElement* DiagramParserXMI::parseClass(pugi::xml_node element) {
  const auto [id, name] = attrs<2>(element, {"xmi.id", "name"});
  Class* cls = createClass(id, name);
  const pugi::xml_node features = childNamed(element, "UML:Classifier.feature");
  // Attributes first, then operations, whatever their order in the file.
  for (pugi::xml_node a = childNamed(features, "UML:Attribute"); a; a = nextNamed(a, "UML:Attribute"))
    cls->addAttribute(parseAttribute(a));
  for (pugi::xml_node o = childNamed(features, "UML:Operation"); o; o = nextNamed(o, "UML:Operation"))
    cls->addMethod(parseOperation(o));
  return cls;
}

ModelElement* DiagramParserXMI::parseGeneralization(pugi::xml_node element) {
  const auto [id, parent, child] = attrs<3>(element, {"xmi.id", "parent", "child"});
  return createInheritance(id, parent, child);
}

ModelElement* DiagramParserXMI::parseComment(pugi::xml_node element) {
  return createNote(attr(element, "xmi.id"), attr(element, "name"));
}

ModelElement* DiagramParserXMI::parsePackage(pugi::xml_node element) {
  return createPackage(attr(element, "xmi.id"), attr(element, "name"));
}

ModelElement* DiagramParserXMI::parseAssociation(pugi::xml_node element) {
  const pugi::xml_node connection = childNamed(element, "UML:Association.connection");
  const pugi::xml_node first = childNamed(connection, "UML:AssociationEnd");
  const pugi::xml_node second = nextNamed(first, "UML:AssociationEnd");
  // An association is drawn between its two ends; without both there is
  // nothing to draw, so it is not built.
  if (!connection || !first || !second) {
    debugOutput("\n ERROR: ASSOCIATION WITHOUT TWO ENDS \n");
    return nullptr;
  }
  const auto [id, name] = attrs<2>(element, {"xmi.id", "name"});
  Association* association = createAssociation(id, name);
  association->setFirstEnd(parseAssociationEnd(first));
  association->setSecondEnd(parseAssociationEnd(second));
  return association;
}

ModelElement* DiagramParserXMI::parseInterface(pugi::xml_node element) {
  Interface* iface = createInterface(attr(element, "xmi.id"), attr(element, "name"));
  const pugi::xml_node features = childNamed(element, "UML:Classifier.feature");
  for (pugi::xml_node o = childNamed(features, "UML:Operation"); o; o = nextNamed(o, "UML:Operation"))
    iface->addMethod(parseOperation(o));
  return iface;
}

ModelElement* DiagramParserXMI::parseDependency(pugi::xml_node element) {
  // The stereotype names a dependency the file leaves unnamed.
  std::string name = attr(element, "name");
  if (name.empty()) name = stereotypeText(element, names());
  return createDependency(attr(element, "xmi.id"), attr(element, "client"), attr(element, "supplier"), name);
}

ModelElement* DiagramParserXMI::parseAttribute(pugi::xml_node element) {
  static const std::string kind = "attribute";
  const auto [id, name, type, visibility] = attrs<4>(element, {"xmi.id", "name", "type", "visibility"});
  Feature* feature = createFeature(kind, id, name, type, visibility);
  if (auto* attribute = dynamic_cast<Attribute*>(feature)) readAttributeDetails(element, *attribute, names());
  return feature;
}

ModelElement* DiagramParserXMI::parseOperation(pugi::xml_node element) {
  static const std::string kind = "method";
  const auto [id, name, visibility] = attrs<3>(element, {"xmi.id", "name", "visibility"});
  Feature* feature = createFeature(kind, id, name, std::string(), visibility);
  if (auto* method = dynamic_cast<Method*>(feature)) readOperationDetails(element, *method, names());
  return feature;
}

ModelElement* DiagramParserXMI::parseAssociationEnd(pugi::xml_node element) {
  // A missing multiplicity path reads as empty bounds, giving an empty text.
  pugi::xml_node range = childNamed(element, "UML:AssociationEnd.multiplicity");
  for (const char* step : {"UML:Multiplicity", "UML:Multiplicity.range", "UML:MultiplicityRange"})
    range = childNamed(range, step);
  const auto [id, type, aggregation, navigable] =
      attrs<4>(element, {"xmi.id", "type", "aggregation", "isNavigable"});
  const auto [lower, upper] = attrs<2>(range, {"lower", "upper"});
  AssociationEnd* end = createAssociationEnd(id, type, aggregation, multiplicityText(lower, upper), navigable);
  if (end) end->setName(element.attribute("name").value());
  return end;
}

}  // namespace lumetra
