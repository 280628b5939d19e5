#include "modelfiles/Uml2Diagrams.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <utility>

#include "layout/BoxSize.h"
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

// The identifiers at the two ends of a relation; both empty for anything
// else (and for null).
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

// The number a text starts with; `fallback` where it starts with none.
// Plain integers, what tools write nearly always, are read without strtod.
float numberIn(const char* text, float fallback) {
  const char* c = text + (*text == '-');
  long long whole = 0;
  int digits = 0;
  for (; *c >= '0' && *c <= '9' && digits < 9; ++c, ++digits) whole = whole * 10 + (*c - '0');
  if (digits > 0 && *c != '.' && *c != 'e' && *c != 'E' && !(*c >= '0' && *c <= '9'))
    return static_cast<float>(*text == '-' ? -whole : whole);
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  if (end == text || !std::isfinite(value)) return fallback;
  return static_cast<float>(std::clamp(value, -1e7, 1e7));
}

// A number attribute; `fallback` where it is missing or is no number.
float number(pugi::xml_node node, const char* name, float fallback) {
  const pugi::xml_attribute a = node.attribute(name);
  return a ? numberIn(a.value(), fallback) : fallback;
}

// The x, y, width and height of a bounds element, in one pass over its
// attributes; 0 for a missing x or y, -1 (sized to content) for a missing
// width or height.
std::array<float, 4> boundsValues(pugi::xml_node bounds) {
  std::array<float, 4> out{0.0f, 0.0f, -1.0f, -1.0f};
  for (pugi::xml_attribute a = bounds.first_attribute(); a; a = a.next_attribute()) {
    const std::string_view name = a.name();
    const int at = name == "x" ? 0 : name == "y" ? 1 : name == "width" ? 2 : name == "height" ? 3 : -1;
    if (at >= 0) out[at] = numberIn(a.value(), out[at]);
  }
  return out;
}

std::string text(std::string_view view) { return std::string(view); }

}  // namespace

// ---- the builder ------------------------------------------------------------------

DiagramBuilder::DiagramBuilder(ModelLookup& model, std::string id, std::string name)
    : model_(model), id_(std::move(id)), name_(std::move(name)) {}

bool DiagramBuilder::addBox(std::string_view shapeId, std::string_view subject, float x, float y, float width,
                            float height) {
  ModelElement* element = model_.element(subject);
  if (!isBoxElement(element)) {
    model_.leftOut("shape", subject);
    return false;
  }
  if (width < 0.0f || height < 0.0f) {
    // The file's pixels are diagram units, the painter's font size too.
    const Vec2 size = contentBoxSize(*element);
    if (width < 0.0f) width = size.x;
    if (height < 0.0f) height = size.y;
  }
  DiagramElement* shape = makeShape(text(shapeId), Vec2(x, y), Vec2(x + width, y + height));
  shape->setModelElement(element);
  boxes_.push_back(shape);
  return true;
}

void DiagramBuilder::addEdge(std::string_view shapeId, std::string_view subject, EdgePath path) {
  edges_.push_back({text(shapeId), text(subject), std::move(path)});
}

const DiagramElement* DiagramBuilder::box(std::string_view shapeId) {
  for (; indexed_ < boxes_.size(); ++indexed_) byShape_.emplace(boxes_[indexed_]->idRef(), boxes_[indexed_]);
  const auto it = byShape_.find(shapeId);
  return it == byShape_.end() ? nullptr : it->second;
}

Diagram* DiagramBuilder::finish() {
  if (boxes_.empty()) return nullptr;
  std::unique_ptr<Diagram> diagram(createDiagram(id_, name_, "ClassDiagram", "Default"));
  // The first box of each element, as Diagram::findElement would find it,
  // without a search of the whole diagram per relation end.
  IdentifierTable<std::string_view, DiagramElement*> boxOf;
  boxOf.reserve(boxes_.size());
  for (DiagramElement* box : boxes_) {
    diagram->addElement(box);  // the diagram owns it from here
    const auto [entry, added] = boxOf.tryEmplace(box->getModelElement()->idRef());
    if (added) entry->value = box;
  }
  auto find = [&boxOf](const std::string& id) -> DiagramElement* {
    const auto* entry = boxOf.find(id);
    return entry ? entry->value : nullptr;
  };
  // Relations after every box, so that their ends can be found. Each
  // relation is drawn once however many edges show it.
  IdentifierTable<std::string_view, bool> drawn;
  drawn.reserve(edges_.size());
  for (Edge& edge : edges_) {
    ModelElement* relation = model_.element(edge.subject);
    const auto [from, to] = endsOf(relation);
    if (from.empty() && to.empty()) {
      if (!edge.subject.empty() && !isRelation(relation)) model_.leftOut("edge", edge.subject);
      continue;
    }
    if (!drawn.tryEmplace(relation->idRef()).second) continue;
    DiagramElement* a = find(from);
    DiagramElement* b = find(to);
    if (!a || !b) continue;
    std::vector<Vec2>& points = edge.path.points;
    if (!edge.path.sourceShape.empty() && from != to) {
      // Routes run from the relation's first end to its second.
      const DiagramElement* source = box(edge.path.sourceShape);
      if (source && source->getModelElement()->getId() == to) std::reverse(points.begin(), points.end());
    }
    Vec2 centre = (*a->getCurrentLayout()->getCentre() + *b->getCurrentLayout()->getCentre()) * 0.5f;
    if (points.size() >= 2) {
      // The middle of the path: its middle point, or between the middle two.
      const std::size_t half = points.size() / 2;
      centre = points.size() % 2 ? points[half] : (points[half - 1] + points[half]) * 0.5f;
    }
    const Vec2 half(kRelationWidth / 2.0f, kRelationHeight / 2.0f);
    DiagramElement* shape = makeShape(edge.shapeId, centre - half, centre + half);
    shape->setModelElement(relation);
    // The ends lie on the boxes' borders, where the painter puts them anyway.
    if (points.size() > 2) shape->setWaypoints(std::vector<Vec2>(points.begin() + 1, points.end() - 1));
    diagram->addElement(shape);
  }
  boxes_.clear();
  edges_.clear();
  byShape_.clear();
  indexed_ = 0;
  return diagram.release();
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

// The numbers of one bend point's text, "[sx, sy, tx, ty]" (commas or
// semicolons, brackets or parentheses optional); empty when any of them is
// no number.
std::vector<float> numbers(std::string_view text) {
  std::vector<float> out;
  std::string item;
  auto flush = [&out, &item]() -> bool {
    if (item.empty()) return true;
    char* end = nullptr;
    const double value = std::strtod(item.c_str(), &end);
    if (end != item.c_str() + item.size() || !std::isfinite(value)) return false;
    out.push_back(static_cast<float>(std::clamp(value, -1e7, 1e7)));
    item.clear();
    return true;
  };
  for (const char c : text) {
    if (c == ',' || c == ';') {
      if (!flush()) return {};
    } else if (!std::strchr("[]() \t", c)) {
      item += c;
    }
  }
  if (!flush()) return {};
  return out;
}

// Where a connector is fixed to its shape: the anchor's "(fx,fy)" fraction
// of the box, or its centre.
std::optional<Vec2> anchorOf(const DiagramElement* box, pugi::xml_node anchor) {
  if (!box) return std::nullopt;
  const Vec2 lo = *box->getCurrentLayout()->getLowerLeft(), hi = *box->getCurrentLayout()->getUpperRight();
  Vec2 fraction(0.5f, 0.5f);
  const std::vector<float> given = numbers(std::string_view(anchor.attribute("id").value()).substr(0, 64));
  if (given.size() == 2 && given[0] >= 0.0f && given[0] <= 1.0f && given[1] >= 0.0f && given[1] <= 1.0f)
    fraction = Vec2(given[0], given[1]);
  return Vec2(lo.x + fraction.x * (hi.x - lo.x), lo.y + fraction.y * (hi.y - lo.y));
}

// A connector's path from its bend points. Relative bend points
// ("[sx, sy, tx, ty]$...", from the first point at the source to the last
// at the target) are offsets from the source's and the target's anchor;
// each point is weighed between the two by its place along the list, as
// the drawing tool places them. Points of two numbers are absolute.
EdgePath notationPath(pugi::xml_node edge, DiagramBuilder& builder) {
  EdgePath path;
  const pugi::xml_node bendpoints = edge.child("bendpoints");
  const std::string_view text = bendpoints.attribute("points").value();
  if (text.empty()) return path;
  const std::string_view source = edge.attribute("source").value();
  const std::string_view target = edge.attribute("target").value();
  const std::optional<Vec2> from = anchorOf(builder.box(source), edge.child("sourceAnchor"));
  const std::optional<Vec2> to = anchorOf(builder.box(target), edge.child("targetAnchor"));
  std::vector<std::vector<float>> items;
  std::size_t at = 0;
  while (at <= text.size()) {
    const std::size_t end = std::min(text.find('$', at), text.size());
    const std::string_view item = text.substr(at, end - at);
    if (item.find_first_not_of(" \t\r\n") != std::string_view::npos) items.push_back(numbers(item));
    at = end + 1;
  }
  for (std::size_t i = 0; i < items.size(); ++i) {
    const std::vector<float>& n = items[i];
    if (n.size() == 2) {
      path.points.emplace_back(n[0], n[1]);
      continue;
    }
    if (n.size() != 4 || (!from && !to)) return {};  // a path of unknown shape is drawn straight
    const float weight = items.size() > 1 ? static_cast<float>(i) / static_cast<float>(items.size() - 1) : 0.0f;
    const Vec2 bySource = from ? *from + Vec2(n[0], n[1]) : Vec2();
    const Vec2 byTarget = to ? *to + Vec2(n[2], n[3]) : Vec2();
    path.points.push_back(!to ? bySource : !from ? byTarget : bySource * (1.0f - weight) + byTarget * weight);
  }
  path.sourceShape = std::string(source);
  return path;
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
  for (pugi::xml_node edge = diagram.child("edges"); edge; edge = edge.next_sibling("edges")) {
    const std::string_view subject = elementOf(edge);
    if (subject.empty()) continue;  // a link of a text note
    builder.addEdge(edge.attribute("xmi:id").value(), subject, notationPath(edge, builder));
  }
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

// The bend points a connector's style (or geometry) lists as
// "Path=x:y$x:y$", in the tool's own coordinates: those of its boxes, with y
// written negative downwards. They are given the straight ends' places
// around them, so the points become the path's inner points.
EdgePath extensionPath(pugi::xml_node element) {
  EdgePath path;
  for (const char* attribute : {"style", "geometry"}) {
    const std::string_view text = element.attribute(attribute).value();
    std::size_t at = text.find("Path=");
    if (at == std::string_view::npos || (at > 0 && text[at - 1] != ';' && text[at - 1] != '$')) continue;
    at += 5;
    const std::string_view list = text.substr(at, text.find(';', at) - at);
    std::size_t from = 0;
    while (from < list.size()) {
      const std::size_t end = std::min(list.find('$', from), list.size());
      std::string item(list.substr(from, end - from));
      std::replace(item.begin(), item.end(), ':', ',');
      const std::vector<float> n = numbers(item);
      if (n.size() != 2) return {};
      path.points.emplace_back(n[0], std::fabs(n[1]));
      from = end + 1;
    }
    break;
  }
  if (path.points.empty()) return path;
  // The ends are the boxes' own; they stand in as copies of the end points.
  path.points.insert(path.points.begin(), path.points.front());
  path.points.push_back(path.points.back());
  return path;
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
        // A connector, drawn between its ends' boxes through the bend points
        // of its "Path=x:y$x:y$" where it has one.
        builder.addEdge(subject, subject, extensionPath(element));
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
    // The attributes in one pass; references written as child elements
    // instead are looked up after.
    std::string_view type = node.name(), id, subject, source;
    bool subjectGiven = false, sourceGiven = false;
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
      const std::string_view name = a.name();
      if (name == prefixes.type) type = a.value();
      else if (name == prefixes.id) id = a.value();
      else if (name == "modelElement") subject = firstToken(a.value()), subjectGiven = true;
      else if (name == "source") source = firstToken(a.value()), sourceGiven = true;
    }
    if (!subjectGiven) subject = referenceOf(node, "modelElement", prefixes).target();
    const std::string_view kind = localName(type);
    if (kind == "UMLShape" && !subject.empty()) {
      // Bounds are absolute in the diagram.
      const auto [x, y, width, height] = boundsValues(node.child("bounds"));
      builder.addBox(id, subject, x, y, width, height);
    } else if (kind == "UMLEdge" && !subject.empty()) {
      // Waypoints are absolute, from the source shape's border to the target's.
      EdgePath path;
      for (pugi::xml_node p = node.child("waypoint"); p; p = p.next_sibling("waypoint"))
        path.points.emplace_back(number(p, "x", 0.0f), number(p, "y", 0.0f));
      path.sourceShape = std::string(sourceGiven ? source : referenceOf(node, "source", prefixes).target());
      builder.addEdge(id, subject, std::move(path));
      continue;
    }
    for (pugi::xml_node c = node.last_child(); c; c = c.previous_sibling())
      if (c.type() == pugi::node_element) stack.push_back(c);
  }
  if (Diagram* built = builder.finish()) out.push_back(built);
}

}  // namespace lumetra::uml2
