#include "modelfiles/Uml2Diagrams.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "model/IdentifierTable.h"
#include "model/ModelFactory.h"
#include "model/UmlElements.h"

namespace lumetra::uml2 {

namespace {

// A relation's own shape: a small box where its label goes, as the XMI 1.x
// files give it.
constexpr float kRelationWidth = 30.0f;
constexpr float kRelationHeight = 10.0f;

bool isBoxElement(const ModelElement* e) {
  return dynamic_cast<const Class*>(e) || dynamic_cast<const Interface*>(e) || dynamic_cast<const Package*>(e) ||
         dynamic_cast<const Note*>(e);
}

bool isRelation(const ModelElement* e) {
  return dynamic_cast<const Association*>(e) || dynamic_cast<const Inheritance*>(e) ||
         dynamic_cast<const Dependency*>(e);
}

DiagramElement* makeShape(const std::string& id, Vec2 min, Vec2 max) {
  auto* shape = new DiagramElement(id, new VisualElementLayout("Default", new Vec2(min), new Vec2(max)));
  shape->setAppearance(makeDefaultAppearance());
  return shape;
}

// The identifiers at the two ends of a relation.
std::pair<std::string, std::string> endsOf(const ModelElement* e) {
  if (auto* a = dynamic_cast<const Association*>(e)) {
    if (a->getFirstEnd() && a->getSecondEnd()) return {a->getFirstEnd()->getType(), a->getSecondEnd()->getType()};
  } else if (auto* g = dynamic_cast<const Inheritance*>(e)) {
    return {g->getChild(), g->getParent()};
  } else if (auto* d = dynamic_cast<const Dependency*>(e)) {
    return {d->getClient(), d->getSupplier()};
  }
  return {};
}

// A number attribute; `fallback` where it is missing or is no number.
float number(pugi::xml_node node, const char* name, float fallback) {
  const pugi::xml_attribute a = node.attribute(name);
  if (!a) return fallback;
  char* end = nullptr;
  const double value = std::strtod(a.value(), &end);
  if (end == a.value() || !std::isfinite(value)) return fallback;
  return static_cast<float>(std::clamp(value, -1e7, 1e7));
}

std::string text(std::string_view view) { return std::string(view); }

}  // namespace

// ---- the builder ------------------------------------------------------------------

DiagramBuilder::DiagramBuilder(ModelLookup& model, std::string id, std::string name)
    : model_(model), id_(std::move(id)), name_(std::move(name)) {}

bool DiagramBuilder::addBox(std::string_view shapeId, std::string_view subject, float x, float y, float width,
                            float height) {
  ModelElement* element = model_.element(subject);
  if (!isBoxElement(element)) return false;
  if (width < 0.0f || height < 0.0f) {
    const Vec2 size = contentSize(*element);
    if (width < 0.0f) width = size.x;
    if (height < 0.0f) height = size.y;
  }
  DiagramElement* shape = makeShape(text(shapeId), Vec2(x, y), Vec2(x + width, y + height));
  shape->setModelElement(element);
  boxes_.push_back(shape);
  return true;
}

void DiagramBuilder::addEdge(std::string_view shapeId, std::string_view subject, std::optional<Vec2> where) {
  edges_.push_back({text(shapeId), text(subject), where});
}

Diagram* DiagramBuilder::finish() {
  if (boxes_.empty()) return nullptr;
  std::unique_ptr<Diagram> diagram(createDiagram(id_, name_, "ClassDiagram", "Default"));
  // The first box of each element, as Diagram::findElement would find it,
  // without a search of the whole diagram per relation end.
  IdentifierTable<std::string_view, DiagramElement*> boxOf;
  boxOf.reserve(boxes_.size());
  for (DiagramElement* box : boxes_) {
    diagram->addElement(box);
    const auto [entry, added] = boxOf.tryEmplace(box->getModelElement()->idRef());
    if (added) entry->value = box;
  }
  boxes_.clear();
  auto find = [&boxOf](const std::string& id) -> DiagramElement* {
    const auto* entry = boxOf.find(id);
    return entry ? entry->value : nullptr;
  };
  // Relations after every box, so that their ends can be found. Each
  // relation is drawn once however many edges show it.
  std::unordered_set<const ModelElement*> drawn;
  for (const Edge& edge : edges_) {
    ModelElement* relation = model_.element(edge.subject);
    if (!isRelation(relation) || drawn.count(relation)) continue;
    const auto [from, to] = endsOf(relation);
    DiagramElement* a = find(from);
    DiagramElement* b = find(to);
    if (!a || !b) continue;
    const Vec2 centre =
        edge.where ? *edge.where : (*a->getCurrentLayout()->getCentre() + *b->getCurrentLayout()->getCentre()) * 0.5f;
    const Vec2 half(kRelationWidth / 2.0f, kRelationHeight / 2.0f);
    DiagramElement* shape = makeShape(edge.shapeId, centre - half, centre + half);
    shape->setModelElement(relation);
    diagram->addElement(shape);
    drawn.insert(relation);
  }
  edges_.clear();
  return diagram.release();
}

Vec2 contentSize(const ModelElement& element) {
  // The painter writes at size 10: about 6 units a character and 14 a line,
  // with room around the text.
  constexpr float kChar = 6.0f, kLine = 14.0f, kPad = 16.0f;
  std::size_t longest = 0, lines = 1;
  auto widen = [&longest](const std::string& line) { longest = std::max(longest, line.size()); };
  if (auto* c = dynamic_cast<const Class*>(&element)) {
    widen(c->getName());
    if (!c->getExtraText().empty()) {
      widen("<<" + c->getExtraText() + ">>");
      ++lines;
    }
    for (const Attribute* a : c->getAttributes()) widen(a->getName());
    for (const Method* m : c->getMethods()) widen(m->getName());
    lines += c->attributeCount() + c->methodCount();
  } else if (auto* i = dynamic_cast<const Interface*>(&element)) {
    widen("<< " + i->getName() + " >>");
    for (const Method* m : i->getMethods()) widen(m->getName());
    lines += i->getMethods().size();
  } else if (auto* p = dynamic_cast<const Package*>(&element)) {
    widen(p->getName());
    lines = 3;
  } else if (auto* n = dynamic_cast<const Note*>(&element)) {
    // Notes wrap at about forty characters.
    const std::size_t length = n->getText().size();
    longest = std::min<std::size_t>(length, 40);
    lines = length / 40 + 1;
  }
  return Vec2(std::max(80.0f, kChar * static_cast<float>(longest) + kPad),
              std::max(40.0f, kLine * static_cast<float>(lines) + kPad));
}

// ---- Papyrus notation -------------------------------------------------------------

namespace {

bool hasLocalName(pugi::xml_node node, std::string_view name) { return localName(node.name()) == name; }

// The layout constraint of a notation node when it is a Bounds.
pugi::xml_node boundsOf(pugi::xml_node node) {
  const pugi::xml_node constraint = node.child("layoutConstraint");
  return localName(constraint.attribute("xmi:type").value()) == "Bounds" ? constraint : pugi::xml_node();
}

// The identifier a notation node's `element` refers to (the href's
// fragment); empty for none (notes of text only carry xsi:nil).
std::string_view elementOf(pugi::xml_node node) {
  const pugi::xml_node element = node.child("element");
  if (!element) return {};
  return fragmentOf(element.attribute("href").value());
}

void readNotationDiagram(pugi::xml_node diagram, ModelLookup& model, std::vector<Diagram*>& out) {
  DiagramBuilder builder(model, diagram.attribute("xmi:id").value(), displayName(diagram.attribute("name").value()));
  // The shapes, each placed relative to the shape it lies in: a node's
  // children take its origin plus its own offset. Iterative, so that deep
  // nesting cannot exhaust the stack.
  struct Frame {
    pugi::xml_node node;
    Vec2 origin;
  };
  std::vector<Frame> stack;
  for (pugi::xml_node c = diagram.last_child(); c; c = c.previous_sibling())
    if (std::string_view(c.name()) == "children") stack.push_back({c, Vec2(0, 0)});
  while (!stack.empty()) {
    const Frame frame = stack.back();
    stack.pop_back();
    Vec2 origin = frame.origin;
    if (const pugi::xml_node bounds = boundsOf(frame.node)) {
      const Vec2 at = origin + Vec2(number(bounds, "x", 0.0f), number(bounds, "y", 0.0f));
      const std::string_view subject = elementOf(frame.node);
      if (!subject.empty())
        builder.addBox(frame.node.attribute("xmi:id").value(), subject, at.x, at.y, number(bounds, "width", -1.0f),
                       number(bounds, "height", -1.0f));
      origin = at;
    }
    for (pugi::xml_node c = frame.node.last_child(); c; c = c.previous_sibling())
      if (std::string_view(c.name()) == "children") stack.push_back({c, origin});
  }
  for (pugi::xml_node edge = diagram.child("edges"); edge; edge = edge.next_sibling("edges"))
    builder.addEdge(edge.attribute("xmi:id").value(), elementOf(edge));
  if (Diagram* built = builder.finish()) out.push_back(built);
}

}  // namespace

void readNotationDiagrams(pugi::xml_node document, ModelLookup& model, std::vector<Diagram*>& out) {
  pugi::xml_node root = document.first_child();
  while (root && root.type() != pugi::node_element) root = root.next_sibling();
  if (hasLocalName(root, "Diagram")) {
    readNotationDiagram(root, model, out);
    return;
  }
  for (pugi::xml_node child = root.first_child(); child; child = child.next_sibling())
    if (child.type() == pugi::node_element && hasLocalName(child, "Diagram") && prefixOf(child.name()) != "uml")
      readNotationDiagram(child, model, out);
}

// ---- Enterprise Architect -------------------------------------------------------------

namespace {

// The value of `key` in "Left=10;Top=20;..." (nullopt when absent).
std::optional<float> geometryValue(std::string_view geometry, std::string_view key) {
  std::size_t at = 0;
  while (at < geometry.size()) {
    std::size_t end = geometry.find(';', at);
    if (end == std::string_view::npos) end = geometry.size();
    const std::string_view item = geometry.substr(at, end - at);
    const std::size_t equals = item.find('=');
    if (equals != std::string_view::npos && item.substr(0, equals) == key) {
      const std::string value(item.substr(equals + 1));
      char* stop = nullptr;
      const double number = std::strtod(value.c_str(), &stop);
      if (stop == value.c_str() || !std::isfinite(number)) return std::nullopt;
      return static_cast<float>(std::clamp(number, -1e7, 1e7));
    }
    at = end + 1;
  }
  return std::nullopt;
}

}  // namespace

void readExtensionDiagrams(pugi::xml_node extension, ModelLookup& model, std::vector<Diagram*>& out) {
  for (pugi::xml_node diagram = extension.child("diagrams").child("diagram"); diagram;
       diagram = diagram.next_sibling("diagram")) {
    DiagramBuilder builder(model, diagram.attribute("xmi:id").value(),
                           displayName(diagram.child("properties").attribute("name").value()));
    for (pugi::xml_node element = diagram.child("elements").child("element"); element;
         element = element.next_sibling("element")) {
      const std::string_view geometry = element.attribute("geometry").value();
      const std::string_view subject = element.attribute("subject").value();
      const auto left = geometryValue(geometry, "Left"), top = geometryValue(geometry, "Top");
      const auto right = geometryValue(geometry, "Right"), bottom = geometryValue(geometry, "Bottom");
      if (left && top && right && bottom) {
        // Absolute, y downwards; some versions write the edges the other way round.
        builder.addBox(subject, subject, std::min(*left, *right), std::min(*top, *bottom), std::fabs(*right - *left),
                       std::fabs(*bottom - *top));
      } else if (geometryValue(geometry, "SX") || geometryValue(geometry, "EX") || geometry.empty()) {
        // A connector: its path is the tool's; it is drawn between its ends' boxes.
        builder.addEdge(subject, subject);
      }
    }
    if (Diagram* built = builder.finish()) out.push_back(built);
  }
}

// ---- diagram interchange ------------------------------------------------------------

void readInterchangeDiagram(pugi::xml_node diagram, const Prefixes& prefixes, ModelLookup& model,
                            std::vector<Diagram*>& out) {
  DiagramBuilder builder(model, diagram.attribute(prefixes.id.c_str()).value(), nameOf(diagram));
  std::vector<pugi::xml_node> stack;
  for (pugi::xml_node c = diagram.last_child(); c; c = c.previous_sibling())
    if (c.type() == pugi::node_element) stack.push_back(c);
  while (!stack.empty()) {
    const pugi::xml_node node = stack.back();
    stack.pop_back();
    const std::string_view kind = localName(typeOf(node, prefixes));
    const std::string_view subject = referenceOf(node, "modelElement", prefixes).target();
    const std::string_view id = node.attribute(prefixes.id.c_str()).value();
    if (kind == "UMLShape" && !subject.empty()) {
      // Bounds are absolute in the diagram.
      const pugi::xml_node bounds = node.child("bounds");
      builder.addBox(id, subject, number(bounds, "x", 0.0f), number(bounds, "y", 0.0f),
                     number(bounds, "width", -1.0f), number(bounds, "height", -1.0f));
    } else if (kind == "UMLEdge" && !subject.empty()) {
      std::vector<Vec2> points;
      for (pugi::xml_node p = node.child("waypoint"); p; p = p.next_sibling("waypoint"))
        points.emplace_back(number(p, "x", 0.0f), number(p, "y", 0.0f));
      std::optional<Vec2> where;
      if (points.size() >= 2) {
        // The middle of the path: its middle point, or between the middle two.
        const std::size_t half = points.size() / 2;
        where = points.size() % 2 ? points[half] : (points[half - 1] + points[half]) * 0.5f;
      }
      builder.addEdge(id, subject, where);
      continue;
    }
    for (pugi::xml_node c = node.last_child(); c; c = c.previous_sibling())
      if (c.type() == pugi::node_element) stack.push_back(c);
  }
  if (Diagram* built = builder.finish()) out.push_back(built);
}

}  // namespace lumetra::uml2
