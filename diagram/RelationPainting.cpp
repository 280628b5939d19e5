// The relation shapes of the diagram painter: associations (with the
// self-association loop), generalizations, dependencies and component
// connections. Each finds its participants on the diagram by identifier and
// ends its line on their borders.

#include <algorithm>
#include <cmath>

#include "model/ScenarioElements.h"
#include "model/UmlElements.h"
#include "render/GLPainter.h"
#include "diagram/RelationGeometry.h"
#include "diagram/TextLabel.h"
#include "diagram/UMLModelVisualizer.h"
#include "geometry/Spline.h"
#include "settings/SettingsStore.h"

namespace lumetra {

namespace {

struct Box {
  Vec2 min, max, centre;
};

bool boxOf(const DiagramElement* element, Box& box) {
  if (!element) return false;
  const VisualElementLayout* layout = element->getCurrentLayout();
  if (!layout || !layout->getLowerLeft() || !layout->getUpperRight()) return false;
  box.min = *layout->getLowerLeft();
  box.max = *layout->getUpperRight();
  box.centre = (box.min + box.max) * 0.5f;
  return true;
}

// Moves `to` onto the border of box along the segment from `from`.
Vec2 onBorder(const Box& box, Vec2 from, Vec2 to) {
  GLPainter::clipToBox(box.min, box.max, from, to);
  return to;
}

// The lines of a relation reaching extent units along x or y (its ends and
// their heads) are judged together for level of detail: plain under
// kShortRelation pixels, otherwise smoothed, arrowheads included.
bool plainRelation(float extent) { return GLPainter::underPixels(extent, UMLModelVisualizer::kShortRelation); }

float extentOf(Vec2 a, Vec2 b, float reach) {
  return std::fmax(std::fabs(b.x - a.x), std::fabs(b.y - a.y)) + 2.0f * reach;
}

bool inside(const Box& box, Vec2 p) {
  return p.x >= box.min.x && p.x <= box.max.x && p.y >= box.min.y && p.y <= box.max.y;
}

// The line of a routed relation from box a to box b: its ends on the boxes'
// borders, through the bend points between them. Bend points inside either
// box (one moved onto its route) are passed over.
std::vector<Vec2> routeBetween(const Box& a, const Box& b, const std::vector<Vec2>& bends) {
  std::vector<Vec2> route(1);
  for (Vec2 p : bends)
    if (!inside(a, p) && !inside(b, p)) route.push_back(p);
  route[0] = onBorder(a, route.size() > 1 ? route[1] : b.centre, a.centre);
  route.push_back(onBorder(b, route.back(), b.centre));
  return route;
}

// The point half way along a polyline.
Vec2 halfWay(const std::vector<Vec2>& route) {
  float total = 0.0f;
  for (std::size_t i = 1; i < route.size(); ++i) total += (route[i] - route[i - 1]).length();
  float left = total / 2.0f;
  for (std::size_t i = 1; i < route.size(); ++i) {
    const float piece = (route[i] - route[i - 1]).length();
    if (piece >= left && piece > 0.0f) return route[i - 1] + (left / piece) * (route[i] - route[i - 1]);
    left -= piece;
  }
  return route.front();
}

// The extent of a route with its heads, for the level of detail.
float routeExtent(const std::vector<Vec2>& route, float reach) {
  Vec2 lo = route.front(), hi = route.front();
  for (Vec2 p : route) {
    lo = Vec2(std::fmin(lo.x, p.x), std::fmin(lo.y, p.y));
    hi = Vec2(std::fmax(hi.x, p.x), std::fmax(hi.y, p.y));
  }
  return extentOf(lo, hi, reach);
}

// The shape of a component interface: inside its service's composed shape.
DiagramElement* interfaceShape(const Diagram* diagram, const PelkInterface* end) {
  if (!diagram || !end) return nullptr;
  auto* service = dynamic_cast<ComposedDiagramElement*>(diagram->findElement(end->getServiceId()));
  return service ? service->findChild(end->getId()) : nullptr;
}

}  // namespace

ModelElement* shownRelation(ModelElement* element) {
  if (auto* dummy = dynamic_cast<Dummy*>(element); dummy && dummy->getRelation()) return dummy->getRelation();
  return element;
}

bool UMLModelVisualizer::participantsPresent(ModelElement* element) const {
  element = shownRelation(element);
  if (auto* a = dynamic_cast<Association*>(element)) {
    return a->getFirstEnd() && a->getSecondEnd() && participant(a->getFirstEnd()->getType()) &&
           participant(a->getSecondEnd()->getType());
  }
  if (auto* g = dynamic_cast<Inheritance*>(element)) return participant(g->getParent()) && participant(g->getChild());
  if (auto* d = dynamic_cast<Dependency*>(element)) return participant(d->getClient()) && participant(d->getSupplier());
  if (auto* c = dynamic_cast<PelkConnection*>(element))
    return interfaceShape(indexed_, c->getFirstEnd()) && interfaceShape(indexed_, c->getSecondEnd());
  return true;
}

bool UMLModelVisualizer::relationEndsOn(ModelElement* element, const std::vector<DiagramElement*>& shapes) const {
  element = shownRelation(element);
  auto among = [&shapes](const DiagramElement* shape) {
    return shape != nullptr && std::find(shapes.begin(), shapes.end(), shape) != shapes.end();
  };
  if (auto* a = dynamic_cast<Association*>(element)) {
    return (a->getFirstEnd() && among(participant(a->getFirstEnd()->getType()))) ||
           (a->getSecondEnd() && among(participant(a->getSecondEnd()->getType())));
  }
  if (auto* g = dynamic_cast<Inheritance*>(element)) return among(participant(g->getParent())) || among(participant(g->getChild()));
  if (auto* d = dynamic_cast<Dependency*>(element))
    return among(participant(d->getClient())) || among(participant(d->getSupplier()));
  if (auto* c = dynamic_cast<PelkConnection*>(element))
    return among(interfaceShape(indexed_, c->getFirstEnd())) || among(interfaceShape(indexed_, c->getSecondEnd()));
  return false;
}

bool UMLModelVisualizer::relationMayHit(DiagramElement* shape, ModelElement* element) {
  // A relation is drawn between points on its participants' borders (its
  // middle between them), heads and diamonds reach at most twice the arrow
  // size from its ends, multiplicities lie their distance diagonally off an
  // end, names sit on the middle, the self-association's loop passes 16
  // units beside its own box's centre, and the selection band is the
  // relation width wide. Text reaches at most twice its textReach.
  element = shownRelation(element);
  Box ends[2];
  std::vector<std::string> labels;
  std::string name;
  if (auto* a = dynamic_cast<Association*>(element)) {
    if (!look_.associations) return false;
    AssociationEnd* e[2] = {a->getFirstEnd(), a->getSecondEnd()};
    if (!e[0] || !e[1] || !boxOf(participant(e[0]->getType()), ends[0]) || !boxOf(participant(e[1]->getType()), ends[1]))
      return false;
    labels = {e[0]->getMultiplicity(), e[1]->getMultiplicity(), e[0]->getName(), e[1]->getName()};
    name = a->getName();
  } else if (auto* g = dynamic_cast<Inheritance*>(element)) {
    if (!look_.generalizations) return false;
    if (!boxOf(participant(g->getChild()), ends[0]) || !boxOf(participant(g->getParent()), ends[1])) return false;
  } else if (auto* d = dynamic_cast<Dependency*>(element)) {
    if (!look_.dependencies) return false;
    if (!boxOf(participant(d->getClient()), ends[0]) || !boxOf(participant(d->getSupplier()), ends[1])) return false;
    name = d->getName();
  } else {
    return true;
  }
  if (look_.relationNames) labels.push_back(name);
  Vec2 lo(std::fmin(ends[0].min.x, ends[1].min.x), std::fmin(ends[0].min.y, ends[1].min.y));
  Vec2 hi(std::fmax(ends[0].max.x, ends[1].max.x), std::fmax(ends[0].max.y, ends[1].max.y));
  for (Vec2 p : shape->waypoints()) {
    lo = Vec2(std::fmin(lo.x, p.x), std::fmin(lo.y, p.y));
    hi = Vec2(std::fmax(hi.x, p.x), std::fmax(hi.y, p.y));
  }
  Box own;
  if (boxOf(shape, own)) {
    lo = Vec2(std::fmin(lo.x, own.min.x), std::fmin(lo.y, own.min.y));
    hi = Vec2(std::fmax(hi.x, own.max.x), std::fmax(hi.y, own.max.y));
  }
  const float fs = static_cast<float>((shape->getAppearance() ? *shape->getAppearance() : ElementAppearance()).fontSize);
  float text = 0.0f;
  for (const std::string& label : labels)
    if (!label.empty()) text = std::fmax(text, 2.0f * GLPainter::textReach(label, fs));
  const float margin = std::fabs(look_.relationWidth) + 2.0f * std::fabs(look_.arrowSize) + 16.0f +
                       1.5f * std::fabs(look_.multiplicityDistance) + text;
  return mayBeInPickVolume(lo - Vec2(margin, margin), hi + Vec2(margin, margin), 1.0f, -1.0f);
}

void UMLModelVisualizer::drawBand(Vec2 from, Vec2 to) const {
  const float w = look_.relationWidth;
  const auto corners = bandAround(from, to, w);
  GLPainter().filledConvexPolygon(PointList({corners.begin(), corners.end()}, look_.selectColor));
}

void UMLModelVisualizer::visitAssociation(Association* element) {
  if (!look_.associations) return;
  AssociationEnd* ends[2] = {element->getFirstEnd(), element->getSecondEnd()};
  Box boxes[2];
  if (!ends[0] || !ends[1] || !boxOf(participant(ends[0]->getType()), boxes[0]) ||
      !boxOf(participant(ends[1]->getType()), boxes[1]))
    return;

  GLPainter painter;
  const Color outline = appearance_->outlineColour;
  const Color text = appearance_->textColour;
  const float fs = static_cast<float>(appearance_->fontSize);
  const bool selected = isSelected(element);
  const bool names = look_.relationNames;
  painter.setLineSmoothing(true);

  if (ends[0]->getType() == ends[1]->getType()) {
    // A loop from the class through the association's own label box.
    const Vec2 c = hasBox_ ? box_.centre : boxes[0].centre + Vec2(0.0f, boxes[0].max.y - boxes[0].min.y);
    const Vec2 p = onBorder(boxes[0], c, boxes[0].centre);
    const Vec2 d = (c - p).normalized();
    const Vec2 n(-d.y, d.x);
    TCBSpline loop;
    loop.setParameters(-0.5f, 0.0f, 0.0f);
    Vec2 low = p, high = p;
    for (Vec2 q : {p, p, c - 16.0f * n, c + 16.0f * n, p, p}) {
      loop.addPoint(q);
      low = Vec2(std::fmin(low.x, q.x), std::fmin(low.y, q.y));
      high = Vec2(std::fmax(high.x, q.x), std::fmax(high.y, q.y));
    }
    // Fewer samples where the loop is small on screen.
    const int samples = GLPainter::curveSamples(256, std::fmax(high.x - low.x, high.y - low.y));
    PlainLineScope lines(plainRelation(extentOf(low, high, look_.relationWidth)));
    painter.curve(loop, outline, samples);
    if (names) drawLabel(painter, element->getName(), p, fs, kTextCenterX | kTextCenterY, text);
    if (selected) {
      painter.setLineWidth(look_.relationWidth);
      painter.curve(loop, look_.selectColor, samples);
      painter.setLineWidth(1.0f);
    }
    painter.setLineSmoothing(false);
    return;
  }

  const std::vector<Vec2>* bends = currentElement_ ? &currentElement_->waypoints() : nullptr;
  if (bends && !bends->empty()) {
    drawRoutedAssociation(element, routeBetween(boxes[0], boxes[1], *bends));
    return;
  }
  Vec2 m = (boxes[0].centre + boxes[1].centre) * 0.5f;
  const Vec2 p1 = onBorder(boxes[0], m, boxes[0].centre);
  const Vec2 p2 = onBorder(boxes[1], m, boxes[1].centre);
  m = (p1 + p2) * 0.5f;
  PlainLineScope lines(plainRelation(extentOf(p1, p2, look_.arrowSize)));

  const float arrow = look_.arrowSize;
  const float angle = look_.arrowAngle;
  const Vec2 points[2] = {p1, p2};
  for (int i = 0; i < 2; ++i) {
    const Vec2 p = points[i];
    const Vec2 d = (m - p).normalized();
    drawEndLabels(painter, *ends[i], p, d);

    const std::string aggregation = ends[i]->getAggregation();
    Vec2 start = p;
    if (aggregation == "aggregate" || aggregation == "composite") {
      const auto corners = diamondAt(p, d, arrow, angle);
      PointList diamond({corners.begin(), corners.end()},
                        Color(aggregation == "composite" ? 0xff000000u : 0xffffffffu));
      painter.filledConvexPolygon(diamond);
      diamond.color = outline;
      painter.polygonOutline(diamond);
      start = corners[2];  // the inner tip
    } else if (ends[i]->isNavigable()) {
      for (Vec2 barb : arrowBarbs(p, d, arrow, angle)) painter.line(p, barb, outline);
    }
    painter.line(m, start, outline);
    if (selected) drawBand(p, m);
  }
  painter.setLineSmoothing(false);

  if (names) {
    const float a = uprightAngle(std::atan2(p1.y - p2.y, p1.x - p2.x));
    drawLabel(painter, element->getName(), m, a, fs, kTextCenterX, text);
  }
}

void UMLModelVisualizer::drawEndLabels(const GLPainter& painter, const AssociationEnd& end, Vec2 p, Vec2 d) const {
  const float fs = static_cast<float>(appearance_->fontSize);
  const Vec2 n(-d.y, d.x);
  const float distance = look_.multiplicityDistance;
  drawLabel(painter, end.getMultiplicity(), p + distance * (d + n), fs, kTextCenterX | kTextCenterY,
            appearance_->textColour);
  if (end.getName().empty()) return;
  // Centred as far along the line as half the name is long, so that a long
  // name clears the line's far side as the multiplicity clears its near one.
  float width = 0.0f, height = 0.0f;
  GLPainter::textSize(end.getName(), fs, width, height);
  const float along = distance + 0.5f * std::fabs(d.x) * width + 0.5f * std::fabs(d.y) * height;
  const float across = distance + 0.5f * std::fabs(d.y) * width + 0.5f * std::fabs(d.x) * height;
  drawLabel(painter, end.getName(), p + along * d - across * n, fs, kTextCenterX | kTextCenterY,
            appearance_->textColour);
}

void UMLModelVisualizer::drawRoutedAssociation(Association* element, const std::vector<Vec2>& route) {
  GLPainter painter;
  const Color outline = appearance_->outlineColour;
  const Color text = appearance_->textColour;
  const float fs = static_cast<float>(appearance_->fontSize);
  PlainLineScope lines(plainRelation(routeExtent(route, look_.arrowSize)));
  AssociationEnd* ends[2] = {element->getFirstEnd(), element->getSecondEnd()};
  std::vector<Vec2> line = route;
  for (int i = 0; i < 2; ++i) {
    const Vec2 p = i == 0 ? route.front() : route.back();
    const Vec2 next = i == 0 ? route[1] : route[route.size() - 2];
    const Vec2 d = (next - p).normalized();
    drawEndLabels(painter, *ends[i], p, d);
    const std::string aggregation = ends[i]->getAggregation();
    if (aggregation == "aggregate" || aggregation == "composite") {
      const auto corners = diamondAt(p, d, look_.arrowSize, look_.arrowAngle);
      PointList diamond({corners.begin(), corners.end()},
                        Color(aggregation == "composite" ? 0xff000000u : 0xffffffffu));
      painter.filledConvexPolygon(diamond);
      diamond.color = outline;
      painter.polygonOutline(diamond);
      (i == 0 ? line.front() : line.back()) = corners[2];  // the line starts at the inner tip
    } else if (ends[i]->isNavigable()) {
      for (Vec2 barb : arrowBarbs(p, d, look_.arrowSize, look_.arrowAngle)) painter.line(p, barb, outline);
    }
  }
  for (std::size_t i = 1; i < line.size(); ++i) painter.line(line[i - 1], line[i], outline);
  painter.setLineSmoothing(false);
  if (isSelected(element))
    for (std::size_t i = 1; i < route.size(); ++i) drawBand(route[i - 1], route[i]);
  if (look_.relationNames) {
    const Vec2 m = halfWay(route);
    const float a = uprightAngle(std::atan2(route.front().y - route.back().y, route.front().x - route.back().x));
    drawLabel(painter, element->getName(), m, a, fs, kTextCenterX, text);
  }
}

void UMLModelVisualizer::visitInheritance(Inheritance* element) {
  if (!look_.generalizations) return;
  Box child, parent;
  if (!boxOf(participant(element->getChild()), child) || !boxOf(participant(element->getParent()), parent)) return;

  GLPainter painter;
  painter.setLineSmoothing(true);
  // Routed: the line runs through its bend points and the head sits on the
  // last piece.
  std::vector<Vec2> route = routeBetween(child, parent, currentElement_ ? currentElement_->waypoints() : std::vector<Vec2>());
  const Vec2 y = route[route.size() - 2];
  const Vec2 x = route.back();
  PlainLineScope lines(plainRelation(routeExtent(route, look_.arrowSize)));
  for (std::size_t i = 1; i + 1 < route.size(); ++i) painter.line(route[i - 1], route[i], appearance_->outlineColour);
  const float angle = look_.arrowAngle;
  const Vec2 c = look_.arrowSize * (x - y).normalized();
  const Vec2 l = rotate(c, angle), r = rotate(c, -angle);
  PointList triangle({x, x - l, x - r, x}, appearance_->fillColour);
  painter.filledConvexPolygon(triangle);
  triangle.color = appearance_->outlineColour;
  painter.polygonOutline(triangle);
  // The line stops at the triangle's base so a hollow head stays hollow.
  Vec2 u = x;
  if (!GLPainter::segmentIntersect(x - l, x - r, y, x, u)) u = y;
  painter.line(y, u, appearance_->outlineColour);
  painter.setLineSmoothing(false);
  if (isSelected(element))
    for (std::size_t i = 1; i < route.size(); ++i) drawBand(route[i - 1], route[i]);
}

void UMLModelVisualizer::visitDependency(Dependency* element) {
  if (!look_.dependencies) return;
  Box client, supplier;
  if (!boxOf(participant(element->getClient()), client) || !boxOf(participant(element->getSupplier()), supplier))
    return;

  GLPainter painter;
  const Color outline = appearance_->outlineColour;
  painter.setLineSmoothing(true);
  std::vector<Vec2> route =
      routeBetween(client, supplier, currentElement_ ? currentElement_->waypoints() : std::vector<Vec2>());
  const Vec2 y = route[route.size() - 2];
  const Vec2 x = route.back();
  PlainLineScope lines(plainRelation(routeExtent(route, look_.arrowSize)));
  // Every bend but the last; the last segment ends at the arrowhead below.
  for (std::size_t i = 1; i + 1 < route.size(); ++i)
    painter.dashedLine(route[i - 1], route[i], outline, 8.0f, 5.0f);
  const float angle = look_.arrowAngle;
  const Vec2 c = look_.arrowSize * (x - y).normalized();
  if (element->kind() == Dependency::Kind::Realization) {
    // A hollow triangle at the supplier (the interface), the dashed line
    // stopping at its base, as a generalization's solid one does.
    const Vec2 l = rotate(c, angle), r = rotate(c, -angle);
    PointList triangle({x, x - l, x - r, x}, appearance_->fillColour);
    painter.filledConvexPolygon(triangle);
    triangle.color = outline;
    painter.polygonOutline(triangle);
    Vec2 u = x;
    if (!GLPainter::segmentIntersect(x - l, x - r, y, x, u)) u = y;
    painter.dashedLine(y, u, outline, 8.0f, 5.0f);
  } else {
    painter.dashedLine(y, x, outline, 8.0f, 5.0f);
    painter.line(x, x - rotate(c, angle), outline);
    painter.line(x, x - rotate(c, -angle), outline);
  }
  painter.setLineSmoothing(false);
  if (look_.relationNames) {
    const float a = uprightAngle(std::atan2(y.y - x.y, y.x - x.x));
    drawLabel(painter, element->getName(), halfWay(route), a, static_cast<float>(appearance_->fontSize), kTextCenterX,
                     appearance_->textColour);
  }
  if (isSelected(element))
    for (std::size_t i = 1; i < route.size(); ++i) drawBand(route[i - 1], route[i]);
}

void UMLModelVisualizer::visitPelkConnection(PelkConnection* element) {
  Box first, second;
  if (!boxOf(interfaceShape(indexed_, element->getFirstEnd()), first) ||
      !boxOf(interfaceShape(indexed_, element->getSecondEnd()), second))
    return;
  GLPainter painter;
  painter.setLineSmoothing(true);
  const Vec2 p1 = onBorder(first, second.centre, first.centre);
  const Vec2 p2 = onBorder(second, first.centre, second.centre);
  PlainLineScope lines(plainRelation(extentOf(p1, p2, 0.0f)));
  painter.line(p1, p2, appearance_->outlineColour);
  if (isSelected(element)) drawBand(p1, p2);
  painter.setLineSmoothing(false);
}

}  // namespace lumetra
