#include "areas/AreaVisualizerInner.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

#include "areas/IdentifiedArea.h"
#include "model/Element.h"
#include "render/GLPainter.h"
#include "render/FlatDrawState.h"
#include "render/FlatPrimitives.h"

namespace lumetra {

namespace {
// Truncates towards zero, held within int's range.
int saturatedInt(double value) {
  if (!(value == value)) return 0;
  if (value >= 2147483647.0) return 2147483647;
  if (value <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(value);
}

bool finite(const Vec2& v) { return std::isfinite(v.x) && std::isfinite(v.y); }

bool gExactTrails = false;
}  // namespace

void AreaVisualizerInner::setExactTrails(bool on) { gExactTrails = on; }
bool AreaVisualizerInner::exactTrails() { return gExactTrails; }

// ---- InnerAreaGeometry ----

void InnerAreaGeometry::collect(std::vector<Item>& items, Vec2& centroid) const {
  items.clear();
  centroid = Vec2();
  if (area_ == nullptr) return;
  // Where each element's item is, so that a member listed again adds to its
  // listings instead of another trail.
  std::unordered_map<const DiagramElement*, std::size_t> itemOf;
  const bool merge = !gExactTrails;
  // Sums in double: box areas of far-flung or huge boxes overflow a float.
  double weightSum = 0.0;
  double weightedX = 0.0, weightedY = 0.0;
  double plainX = 0.0, plainY = 0.0;
  double listings = 0.0;
  for (const DiagramElement* element : area_->getElements()) {
    const VisualElementLayout* layout = element != nullptr ? element->getCurrentLayout() : nullptr;
    if (layout == nullptr || layout->getCentre() == nullptr || layout->getSize() == nullptr) continue;
    const Vec2 centre = *layout->getCentre();
    const Vec2 size = *layout->getSize();
    // A box that cannot be placed would make every trail of the area
    // meaningless (and each of them as long as the cap allows).
    if (!finite(centre) || !finite(size)) continue;
    const auto [slot, first] = merge ? itemOf.emplace(element, items.size())
                                     : std::pair{itemOf.end(), true};
    if (first) {
      const double halfW = size.x / 2.0;
      const double halfH = size.y / 2.0;
      const double halfDiagonal = std::sqrt(halfW * halfW + halfH * halfH);
      items.push_back({centre, static_cast<float>(std::fmin(halfDiagonal, 3.0e38)), 1});
    } else {
      ++items[slot->second].listings;
    }
    // Every listing weighs. An inverted box (upper corner below or left of
    // the lower one) weighs by its area too; a negative weight would push
    // the centroid away.
    const double weight = std::fabs(static_cast<double>(size.x) * size.y);
    weightSum += weight;
    weightedX += centre.x * weight;
    weightedY += centre.y * weight;
    plainX += centre.x;
    plainY += centre.y;
    listings += 1.0;
  }
  if (items.empty()) return;
  // Boxes without area carry no weight: fall back to the plain mean.
  if (weightSum > 0.0 && std::isfinite(weightSum)) {
    centroid = Vec2(static_cast<float>(weightedX / weightSum), static_cast<float>(weightedY / weightSum));
  } else {
    centroid = Vec2(static_cast<float>(plainX / listings), static_cast<float>(plainY / listings));
  }
}

bool InnerAreaGeometry::computeCentre(Vec2& centroid) {
  std::vector<Item> items;
  collect(items, centroid);
  if (items.empty()) {
    centreRadius_ = 0;
    return false;
  }
  double sum = 0.0, listings = 0.0;
  for (const Item& item : items) {
    sum += static_cast<double>(item.halfDiagonal) * item.listings;
    listings += item.listings;
  }
  const int meanRadius = saturatedInt(sum / listings);
  centreRadius_ = saturatedInt(static_cast<double>(static_cast<float>(meanRadius) * radiusScale_));
  return true;
}

void InnerAreaGeometry::appendTrail(std::vector<AreaDisc>& discs, float x0, float y0, float r0, float xc, float yc,
                                    float rc, float step, float maxAlong) {
  const float dx = xc - x0;
  const float dy = yc - y0;
  const float dist = std::sqrt(dx * dx + dy * dy);
  if (!std::isfinite(dist)) {
    // No line to follow: the discs at the element only.
    for (int i = 0; i < 4; ++i) discs.push_back({x0, y0, r0, 0});
    return;
  }
  float t = (1.0f / dist) * step;
  // An absurdly long trail would never let the fraction reach 1 in single
  // precision: cap the disc count instead of hanging.
  const float minFraction = maxAlong >= 1.0f ? 1.0f / maxAlong : 1.0f;
  if (!(t >= minFraction)) t = minFraction;
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
  // The discs the trails will hold at this step (each trail is capped on its
  // own); beyond kMaxDiscs the step grows so that the set stays drawable.
  double along = 0.0;
  for (const Item& item : items) {
    const double dist = std::hypot(static_cast<double>(c.x) - item.centre.x, static_cast<double>(c.y) - item.centre.y);
    along += std::fmin(std::ceil(dist / step), static_cast<double>(kMaxTrailDiscs));
  }
  const double fixed = 1.0 + 3.0 * static_cast<double>(items.size());
  const double room = static_cast<double>(kMaxDiscs) - fixed;
  float maxAlong = kMaxTrailDiscs;
  if (fixed + along > static_cast<double>(kMaxDiscs) && room > 0.0) {
    // One more disc per trail for rounding up, and a margin for the
    // fraction summed in single precision.
    const double coarser = 1.01 * along / std::fmax(room - static_cast<double>(items.size()), 1.0);
    step = static_cast<float>(step * coarser);
    maxAlong = static_cast<float>(kMaxTrailDiscs / coarser);
  }
  discs.reserve(static_cast<std::size_t>(std::fmin(fixed + items.size() + along, static_cast<double>(kMaxDiscs))));
  discs.push_back({c.x, c.y, centre, 1});
  for (const Item& item : items) {
    const float start = thin ? kThinRadius : clamp(item.halfDiagonal - inset);
    const std::size_t from = discs.size();
    appendTrail(discs, item.centre.x, item.centre.y, start, c.x, c.y, centre, step, maxAlong);
    for (std::size_t i = from; i < discs.size(); ++i) discs[i].tag = item.listings;
  }
}

void InnerAreaGeometry::buildDiscs(std::vector<AreaDisc>& discs) { build(discs, 0.0f, kStep, false); }

void InnerAreaGeometry::buildContourDiscs(std::vector<AreaDisc>& discs) {
  build(discs, kContourInset, kContourStep, false);
}

void InnerAreaGeometry::buildThinDiscs(std::vector<AreaDisc>& discs) { build(discs, 0.0f, kStep, true); }

// ---- AreaVisualizerInner ----

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
  FlatDrawState state(Blend::Over);
  state.setTextured(true);
  QuadArrays arrays;
  drawDiscs(arrays, state, discs_);
  if (withContour) drawDiscs(arrays, state, contourDiscs_);
}

AlphaTexture& AreaVisualizerInner::stackedTexture(int listings) {
  if (stackedAlpha_ != alpha_ || stackedSoftness_ != softness_) {
    stacked_.clear();
    stackedAlpha_ = alpha_;
    stackedSoftness_ = softness_;
  }
  std::unique_ptr<AlphaTexture>& slot = stacked_[listings];
  if (!slot) {
    slot = std::make_unique<AlphaTexture>(true);
    const double alpha = std::clamp(static_cast<double>(alpha_), 0.0, 1.0);
    std::vector<std::uint8_t> texels = texture_.texels();
    for (std::uint8_t& t : texels) {
      const double layered = 1.0 - std::pow(1.0 - alpha * t / 255.0, listings);
      t = static_cast<std::uint8_t>(std::lround(std::clamp(layered, 0.0, 1.0) * 255.0));
    }
    slot->setTexels(std::move(texels));
  }
  return *slot;
}

void AreaVisualizerInner::drawDiscs(QuadArrays& arrays, FlatDrawState& state, const std::vector<AreaDisc>& discs) {
  const Color colour = area_ != nullptr && area_->getColor() != nullptr ? *area_->getColor() : Color();
  // Discs go out in runs of one listing count, as arrays of quads of at
  // most kChunk discs. The discs of members listed once carry the area
  // alpha in their colour; those of a member listed k times carry it in a
  // stacked texture, which blends as the k layers would (one colour blends
  // alike in any order). Coordinates go out as integers: the discs snap to
  // whole diagram units.
  constexpr std::size_t kChunk = 16384;
  std::vector<int> corners;
  std::vector<float> texels;
  corners.reserve(8 * std::min(kChunk, discs.size()));
  texels.reserve(corners.capacity());
  int bound = 0;  // the listing count whose texture and colour are in force
  auto flush = [&](int listings) {
    if (corners.empty()) return;
    if (listings != bound) {
      if (listings == 1) {
        state.bindTexture(texture_);
        setDrawColour(colour.r, colour.g, colour.b, alpha_);
      } else {
        state.bindTexture(stackedTexture(listings));
        setDrawColour(colour.r, colour.g, colour.b, 1.0f);
      }
      bound = listings;
    }
    arrays.draw(corners, texels);
    corners.clear();
    texels.clear();
  };
  int listings = 1;
  for (const AreaDisc& disc : discs) {
    const int count = std::max(disc.tag, 1);
    if (count != listings || corners.size() >= 8 * kChunk) {
      flush(listings);
      listings = count;
    }
    const float r = disc.radius;
    if (!(r > 0.0f)) continue;
    const int left = wholeUnits(disc.x - r);
    const int right = wholeUnits(disc.x + r);
    const int bottom = wholeUnits(disc.y - r);
    const int top = wholeUnits(disc.y + r);
    corners.insert(corners.end(), {left, bottom, left, top, right, top, right, bottom});
    texels.insert(texels.end(), {0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f});
  }
  flush(listings);
  // The area colour stays in force, as the contour discs and callers expect.
  if (bound != 1) setDrawColour(colour.r, colour.g, colour.b, alpha_);
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
  constexpr float kInnerTag = 1.0f;
  appendCommonSignature(out, kInnerTag);
  out.push_back(drawingMode_ == AREA_MODE_CONTOUR ? 1.0f : 0.0f);
  for (const auto* list : {&discs_, &contourDiscs_}) {
    out.push_back(static_cast<float>(list->size()));
    for (const AreaDisc& d : *list) out.insert(out.end(), {d.x, d.y, d.radius, static_cast<float>(d.tag)});
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
