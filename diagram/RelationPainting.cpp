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

// The shape of a component interface: inside its service's composed shape.
DiagramElement* interfaceShape(const Diagram* diagram, const PelkInterface* end) {
  if (!diagram || !end) return nullptr;
  auto* service = dynamic_cast<ComposedDiagramElement*>(diagram->findElement(end->getServiceId()));
  return service ? service->findChild(end->getId()) : nullptr;
}

}  // namespace

bool UMLModelVisualizer::participantsPresent(ModelElement* element) const {
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
  Box ends[2];
  std::vector<std::string> labels;
  std::string name;
  if (auto* a = dynamic_cast<Association*>(element)) {
    if (!look_.associations) return false;
    AssociationEnd* e[2] = {a->getFirstEnd(), a->getSecondEnd()};
    if (!e[0] || !e[1] || !boxOf(participant(e[0]->getType()), ends[0]) || !boxOf(participant(e[1]->getType()), ends[1]))
      return false;
    labels = {e[0]->getMultiplicity(), e[1]->getMultiplicity()};
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

  Vec2 m = (boxes[0].centre + boxes[1].centre) * 0.5f;
  const Vec2 p1 = onBorder(boxes[0], m, boxes[0].centre);
  const Vec2 p2 = onBorder(boxes[1], m, boxes[1].centre);
  m = (p1 + p2) * 0.5f;
  PlainLineScope lines(plainRelation(extentOf(p1, p2, look_.arrowSize)));

  const float arrow = look_.arrowSize;
  const float angle = look_.arrowAngle;
  const float multiplicityDistance = look_.multiplicityDistance;
  const Vec2 points[2] = {p1, p2};
  for (int i = 0; i < 2; ++i) {
    const Vec2 p = points[i];
    const Vec2 d = (m - p).normalized();
    const Vec2 n(-d.y, d.x);
    drawLabel(painter, ends[i]->getMultiplicity(), p + multiplicityDistance * (d + n), fs, kTextCenterX | kTextCenterY,
                     text);

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

void UMLModelVisualizer::visitInheritance(Inheritance* element) {
  if (!look_.generalizations) return;
  Box child, parent;
  if (!boxOf(participant(element->getChild()), child) || !boxOf(participant(element->getParent()), parent)) return;

  GLPainter painter;
  painter.setLineSmoothing(true);
  const Vec2 y = onBorder(child, parent.centre, child.centre);
  const Vec2 x = onBorder(parent, y, parent.centre);
  PlainLineScope lines(plainRelation(extentOf(y, x, look_.arrowSize)));
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
  if (isSelected(element)) drawBand(y, x);
}

void UMLModelVisualizer::visitDependency(Dependency* element) {
  if (!look_.dependencies) return;
  Box client, supplier;
  if (!boxOf(participant(element->getClient()), client) || !boxOf(participant(element->getSupplier()), supplier))
    return;

  GLPainter painter;
  const Color outline = appearance_->outlineColour;
  painter.setLineSmoothing(true);
  const Vec2 y = onBorder(client, supplier.centre, client.centre);
  const Vec2 x = onBorder(supplier, y, supplier.centre);
  PlainLineScope lines(plainRelation(extentOf(y, x, look_.arrowSize)));
  painter.dashedLine(y, x, outline, 8.0f, 5.0f);
  const float angle = look_.arrowAngle;
  const Vec2 c = look_.arrowSize * (x - y).normalized();
  painter.line(x, x - rotate(c, angle), outline);
  painter.line(x, x - rotate(c, -angle), outline);
  painter.setLineSmoothing(false);
  if (look_.relationNames) {
    const float a = uprightAngle(std::atan2(y.y - x.y, y.x - x.x));
    drawLabel(painter, element->getName(), (y + x) * 0.5f, a, static_cast<float>(appearance_->fontSize), kTextCenterX,
                     appearance_->textColour);
  }
  if (isSelected(element)) drawBand(y, x);
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
