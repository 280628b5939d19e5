#include "areas/AreaVisualizerInner.h"

#include <GL/gl.h>

#include <cmath>

#include "areas/Area.h"
#include "model/Element.h"
#include "render/GLPainter.h"
#include "render/GLState.h"

namespace lumetra {

namespace {
// At most 100,000 discs per trail.
constexpr float kMinTrailFraction = 1.0e-5f;
}  // namespace

// ---- InnerAreaGeometry ----

void InnerAreaGeometry::collect(std::vector<Item>& items, Vec2& centroid) const {
  items.clear();
  centroid = Vec2();
  if (area_ == nullptr) return;
  float weightSum = 0.0f;
  Vec2 weighted;
  Vec2 plain;
  for (const DiagramElement* element : area_->getElements()) {
    const VisualElementLayout* layout = element != nullptr ? element->getCurrentLayout() : nullptr;
    if (layout == nullptr || layout->getCentre() == nullptr || layout->getSize() == nullptr) continue;
    const Vec2 centre = *layout->getCentre();
    const Vec2 size = *layout->getSize();
    const float halfW = size.x / 2.0f;
    const float halfH = size.y / 2.0f;
    items.push_back({centre, std::sqrt(halfW * halfW + halfH * halfH)});
    const float weight = size.x * size.y;
    weightSum += weight;
    weighted += centre * weight;
    plain += centre;
  }
  if (items.empty()) return;
  // Boxes without area carry no weight: fall back to the plain mean.
  if (weightSum != 0.0f) {
    centroid = Vec2(weighted.x / weightSum, weighted.y / weightSum);
  } else {
    centroid = plain / static_cast<float>(items.size());
  }
}

bool InnerAreaGeometry::computeCentre(Vec2& centroid) {
  std::vector<Item> items;
  collect(items, centroid);
  if (items.empty()) {
    centreRadius_ = 0;
    return false;
  }
  float sum = 0.0f;
  for (const Item& item : items) sum += item.halfDiagonal;
  const int meanRadius = static_cast<int>(sum / static_cast<float>(items.size()));
  centreRadius_ = static_cast<int>(static_cast<float>(meanRadius) * radiusScale_);
  return true;
}

void InnerAreaGeometry::appendTrail(std::vector<AreaDisc>& discs, float x0, float y0, float r0, float xc, float yc,
                                    float rc, float step) {
  const float dx = xc - x0;
  const float dy = yc - y0;
  const float dist = std::sqrt(dx * dx + dy * dy);
  float t = (1.0f / dist) * step;
  // An absurdly long trail would never let the fraction reach 1 in single
  // precision: cap the disc count instead of hanging.
  if (!(t >= kMinTrailFraction)) t = kMinTrailFraction;
  const int n = static_cast<int>(1.0f / t);
  float dr = n > 0 ? std::fabs(r0 - rc) / static_cast<float>(n) : 0.0f;
  if (r0 < rc) dr = -dr;
  for (int i = 0; i < 3; ++i) discs.push_back({x0, y0, r0, 0});
  float a = 0.0f;
  float r = r0;
  while (a < 1.0f) {
    discs.push_back({x0 * (1.0f - a) + xc * a, y0 * (1.0f - a) + yc * a, r, 0});
    a += t;
    r -= dr;
  }
}

void InnerAreaGeometry::build(std::vector<AreaDisc>& discs, float inset, float step, bool thin) {
  discs.clear();
  std::vector<Item> items;
  Vec2 c;
  if (!computeCentre(c)) return;
  collect(items, c);
  auto clamp = [](float r) { return r > 0.0f ? r : 0.0f; };
  const float centre = thin ? kThinRadius : clamp(static_cast<float>(centreRadius_) - inset);
  discs.push_back({c.x, c.y, centre, 0});
  for (const Item& item : items) {
    const float start = thin ? kThinRadius : clamp(item.halfDiagonal - inset);
    appendTrail(discs, item.centre.x, item.centre.y, start, c.x, c.y, centre, step);
  }
}

void InnerAreaGeometry::buildDiscs(std::vector<AreaDisc>& discs) { build(discs, 0.0f, kStep, false); }

void InnerAreaGeometry::buildContourDiscs(std::vector<AreaDisc>& discs) {
  build(discs, kContourInset, kContourStep, false);
}

void InnerAreaGeometry::buildThinDiscs(std::vector<AreaDisc>& discs) { build(discs, 0.0f, kStep, true); }

// ---- AreaVisualizerInner ----

AreaVisualizerInner::AreaVisualizerInner() : AreaVisualizerInner(AREA_MODE_AREA, AREA_METHOD_POLYGONS, 50) {}

AreaVisualizerInner::AreaVisualizerInner(const std::string& drawingMode, const std::string& method, int softness)
    : AreaVisualizer(drawingMode, method, softness), geometry_(std::make_unique<InnerAreaGeometry>()) {
  grid_ = geometry_.get();
  setSoftness(softness);
}

AreaVisualizerInner::~AreaVisualizerInner() = default;

void AreaVisualizerInner::setSoftness(int softness) {
  softness_ = softness;
  texture_.setTexels(makeDiscTexels(softness));
}

bool AreaVisualizerInner::buildAll(IdentifiedArea* area) {
  area_ = area;
  geometry_->setArea(area);
  discs_.clear();
  contourDiscs_.clear();
  if (area == nullptr || area->getElementCount() == 0) return false;
  geometry_->buildDiscs(discs_);
  if (drawingMode_ == AREA_MODE_CONTOUR) geometry_->buildContourDiscs(contourDiscs_);
  return !discs_.empty();
}

bool AreaVisualizerInner::predictExtent(IdentifiedArea* area, Vec2& lower, Vec2& upper) {
  buildAll(area);
  return getExtent(lower, upper);
}

void AreaVisualizerInner::draw(IdentifiedArea* area) {
  if (!buildAll(area)) return;
  const bool contour = drawingMode_ == AREA_MODE_CONTOUR;

  drawDiscSets(contour);
}

void AreaVisualizerInner::drawThin(IdentifiedArea* area) {
  area_ = area;
  geometry_->setArea(area);
  discs_.clear();
  contourDiscs_.clear();
  if (area == nullptr || area->getElementCount() == 0) return;
  geometry_->buildThinDiscs(discs_);
  if (discs_.empty()) return;

  drawDiscSets(false);
}

void AreaVisualizerInner::drawDiscSets(bool withContour) {
  AttribGuard state(GL_ALL_ATTRIB_BITS);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  texture_.bind();
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  drawDiscs(discs_, true);
  // The contour discs keep the colour in force.
  if (withContour) drawDiscs(contourDiscs_, false);
}

void AreaVisualizerInner::drawDiscs(const std::vector<AreaDisc>& discs, bool setColour) {
  if (setColour) {
    const Color colour = area_ != nullptr && area_->getColor() != nullptr ? *area_->getColor() : Color();
    glColor4f(colour.r, colour.g, colour.b, alpha_);
  }
  // Coordinates go out as integers: the discs snap to whole diagram units.
  glBegin(GL_QUADS);
  for (const AreaDisc& disc : discs) {
    const float r = disc.radius;
    if (!(r > 0.0f)) continue;
    const int left = static_cast<int>(disc.x - r);
    const int right = static_cast<int>(disc.x + r);
    const int bottom = static_cast<int>(disc.y - r);
    const int top = static_cast<int>(disc.y + r);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2i(left, bottom);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2i(left, top);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2i(right, top);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2i(right, bottom);
  }
  glEnd();
}

bool AreaVisualizerInner::getExtent(Vec2& lower, Vec2& upper) const {
  constexpr float kHuge = 3.0e38f;
  lower = Vec2(kHuge, kHuge);
  upper = Vec2(-kHuge, -kHuge);
  for (const auto* list : {&discs_, &contourDiscs_}) {
    for (const AreaDisc& d : *list) {
      if (!(d.radius > 0.0f)) continue;
      // One unit of slack for the quads' whole-unit coordinates.
      lower = Vec2(std::fmin(lower.x, d.x - d.radius - 1.0f), std::fmin(lower.y, d.y - d.radius - 1.0f));
      upper = Vec2(std::fmax(upper.x, d.x + d.radius + 1.0f), std::fmax(upper.y, d.y + d.radius + 1.0f));
    }
  }
  return true;
}

float AreaVisualizerInner::detailSize() const {
  // A disc's alpha is (1 - d / r)^k: for k >= 1 it changes by at most k / r
  // per unit; for k < 1 it jumps at the rim.
  const float k = softnessExponent(softness_);
  if (!(k >= 1.0f)) return 0.0f;
  float smallest = 0.0f;
  bool any = false;
  for (const auto* list : {&discs_, &contourDiscs_}) {
    for (const AreaDisc& d : *list) {
      if (!(d.radius > 0.0f)) continue;
      smallest = any ? std::fmin(smallest, d.radius) : d.radius;
      any = true;
    }
  }
  return any ? smallest / k : 0.0f;
}

bool AreaVisualizerInner::appendSignature(std::vector<float>& out) const {
  // The kind: no other painter starts its numbers with this tag.
  constexpr float kInnerTag = 1.0f;
  const Color colour = area_ != nullptr && area_->getColor() != nullptr ? *area_->getColor() : Color();
  out.insert(out.end(), {kInnerTag, colour.r, colour.g, colour.b, colour.a, alpha_, static_cast<float>(softness_),
                         drawingMode_ == AREA_MODE_CONTOUR ? 1.0f : 0.0f});
  for (const auto* list : {&discs_, &contourDiscs_}) {
    out.push_back(static_cast<float>(list->size()));
    for (const AreaDisc& d : *list) out.insert(out.end(), {d.x, d.y, d.radius});
  }
  return true;
}

void AreaVisualizerInner::drawConnections(IdentifiedArea* area) {
  area_ = area;
  geometry_->setArea(area);
  if (area == nullptr) return;
  Vec2 centroid;
  if (!geometry_->computeCentre(centroid)) return;
  const Color colour = area->getColor() != nullptr ? *area->getColor() : Color();
  GLPainter painter;
  for (const DiagramElement* element : area->getElements()) {
    const VisualElementLayout* layout = element != nullptr ? element->getCurrentLayout() : nullptr;
    if (layout == nullptr || layout->getCentre() == nullptr) continue;
    painter.line(*layout->getCentre(), centroid, colour);
  }
}

}  // namespace lumetra
