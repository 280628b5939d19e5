#include "areas/AreaVisualizerOuter.h"

#include <cmath>

#include "areas/IdentifiedArea.h"
#include "render/FlatDrawState.h"
#include "render/FlatPrimitives.h"

namespace lumetra {

namespace {

// Diagonal fractions: the "Line" method's box margin and its vertex discs.
constexpr float kLineMarginShare = 50.0f;
constexpr float kLineDiscShare = 200.0f;
constexpr float kLineWidth = 2.0f;

Color colourOf(const IdentifiedArea* area) {
  return area != nullptr && area->getColor() != nullptr ? *area->getColor() : Color();
}

Vec2 rightNormal(Vec2 v) { return Vec2(v.y, -v.x); }

float cross(Vec2 a, Vec2 b) { return a.x * b.y - a.y * b.x; }

// Whether the segments p1-p2 and q1-q2 cross at a point inside both.
bool crossStrictly(Vec2 p1, Vec2 p2, Vec2 q1, Vec2 q2) {
  const Vec2 r = p2 - p1, s = q2 - q1;
  const float denominator = cross(r, s);
  if (denominator == 0.0f) return false;
  const float t = cross(q1 - p1, s) / denominator;
  const float u = cross(q1 - p1, r) / denominator;
  return t > 0.0f && t < 1.0f && u > 0.0f && u < 1.0f;
}

// Numbers for the signature: which of the known names a string is.
float nameCode(const std::string& name, std::initializer_list<const char*> names) {
  float code = 0.0f;
  for (const char* known : names) {
    if (name == known) return code;
    code += 1.0f;
  }
  return code;
}

}  // namespace

AreaVisualizerOuter::AreaVisualizerOuter(const std::string& drawingMode, const std::string& method, int softness)
    : AreaVisualizer(drawingMode, method, softness), geometry_(std::make_unique<OuterAreaGeometry>()) {
  grid_ = geometry_.get();
  setSoftness(softness);
}

AreaVisualizerOuter::~AreaVisualizerOuter() = default;

void AreaVisualizerOuter::setSoftness(int softness) {
  softness_ = softness;
  discTexture_.setTexels(makeDiscTexels(softness));
  rampTexture_.setTexels(makeRampTexels(softness));
  bandTexture_.setTexels(makeBandTexels(softness));
}

void AreaVisualizerOuter::prepare(int cells, Diagram* diagram) {
  diagramSize_ = diagramSize(diagram);
  lineDiscRadius_ = diagramSize_.length() / kLineDiscShare;
}

float AreaVisualizerOuter::getMargin() const {
  return method_ == AREA_METHOD_LINE ? diagramSize_.length() / kLineMarginShare : 0.0f;
}

bool AreaVisualizerOuter::buildOutline(IdentifiedArea* area) {
  area_ = area;
  geometry_->build(memberBoxes(area), diagramSize_.x, diagramSize_.y, getMargin());
  bandWidth_ = geometry_->getStep() * radiusScale_;
  return geometry_->getOutline().size() >= 3;
}

void AreaVisualizerOuter::draw(IdentifiedArea* area) {
  if (!buildOutline(area)) return;
  if (method_ == AREA_METHOD_SPLATTING) drawSplatting();
  else if (method_ == AREA_METHOD_POLYGONS) drawPolygons();
  else if (method_ == AREA_METHOD_LINE) drawLine();
  if (drawingMode_ == AREA_MODE_AREA) fill(method_ == AREA_METHOD_SPLATTING);
}

void AreaVisualizerOuter::drawPolygons() {
  const std::vector<Vec2>& p = geometry_->getOutline();
  const std::size_t n = p.size();
  const Color colour = colourOf(area_);
  FlatDrawState state(Blend::Add);
  state.useTexture(drawingMode_ == AREA_MODE_CONTOUR ? bandTexture_ : rampTexture_);
  setDrawColour(colour.r, colour.g, colour.b, alpha_);

  // The offset point of vertex i: bandWidth outwards along the mean of its
  // edges' normals (the outline runs clockwise, so right-hand normals point
  // inside and the offset goes the other way).
  auto offset = [&](std::size_t i) {
    const Vec2 u = p[(i + n - 1) % n], v = p[i], w = p[(i + 1) % n];
    Vec2 normal = (rightNormal(v - u).normalized() + rightNormal(w - v).normalized()) * 0.5f;
    normal = normal.normalized();
    return v - normal * bandWidth_;
  };

  QuadBatch quads;
  // At an inward bend the offset edges cross: the corner then stays where
  // it was, so that the band does not fold over itself.
  Vec2 last = offset(0);
  Vec2 kept = last;
  for (std::size_t i = 1; i + 1 < n; ++i) {
    const Vec2 o = offset(i);
    const bool folds = crossStrictly(p[i - 1], kept, p[i], o);
    const Vec2 corner = folds ? last : o;
    quads.ramp(last, p[i - 1], p[i], corner);
    if (!folds) kept = o;
    last = corner;
  }
  const Vec2 closing = offset(n - 1);
  quads.ramp(closing, p[n - 1], p[n - 2], kept);
  quads.ramp(offset(0), p[0], p[n - 1], closing);
}

void AreaVisualizerOuter::drawSplatting() {
  const std::vector<Vec2>& p = geometry_->getOutline();
  const std::size_t n = p.size();
  const Color colour = colourOf(area_);
  FlatDrawState state(Blend::Add);
  state.useTexture(discTexture_);
  setDrawColour(colour.r, colour.g, colour.b, alpha_);
  QuadBatch quads;
  for (std::size_t i = 0; i < n; ++i) {
    const float a = (p[i] - p[(i + n - 1) % n]).length();
    const float b = (p[(i + 1) % n] - p[i]).length();
    quads.disc(p[i], (a + b) / 2.0f);
  }
}

void AreaVisualizerOuter::drawLine() {
  const std::vector<Vec2>& p = geometry_->getOutline();
  const Color colour = colourOf(area_);
  FlatDrawState state(Blend::Over);
  state.bindTexture(discTexture_);
  setDrawColour(colour.r, colour.g, colour.b, 1.0f);
  state.setTextured(false);
  // Smoothed whatever the drawing around it left (a canvas recording an
  // overview switches smoothing off around it).
  state.setSmoothLines(kLineWidth);
  drawLineLoop(p);
  state.setTextured(true);
  QuadBatch quads;
  for (const Vec2& v : p) quads.disc(v, lineDiscRadius_);
}

void AreaVisualizerOuter::fill(bool opaque) {
  const Color colour = colourOf(area_);
  // Opaque, it covers the splats' inner halves and whatever lies beneath;
  // otherwise it adds the area alpha, as strong as the band's inner edge,
  // whatever the caller left blending at.
  FlatDrawState state(opaque ? Blend::Off : Blend::Add);
  state.setTextured(false);
  if (opaque) setDrawColour(colour.r * alpha_, colour.g * alpha_, colour.b * alpha_, 1.0f);
  else setDrawColour(colour.r, colour.g, colour.b, alpha_);
  TriangleBatch triangles;
  for (const MeshTriangle& t : geometry_->getTriangles()) triangles.triangle(t.a, t.b, t.c);
}

bool AreaVisualizerOuter::getExtent(Vec2& lower, Vec2& upper) const {
  constexpr float kHuge = 3.0e38f;
  lower = Vec2(kHuge, kHuge);
  upper = Vec2(-kHuge, -kHuge);
  const std::vector<Vec2>& p = geometry_->getOutline();
  const std::size_t n = p.size();
  if (n < 3) return true;
  // How far the method draws beyond the outline; one more unit for whole-unit
  // disc corners and the line's width.
  float reach = 0.0f;
  if (method_ == AREA_METHOD_POLYGONS) {
    reach = std::fabs(bandWidth_);
  } else if (method_ == AREA_METHOD_SPLATTING) {
    for (std::size_t i = 0; i < n; ++i)
      reach = std::fmax(reach, ((p[i] - p[(i + n - 1) % n]).length() + (p[(i + 1) % n] - p[i]).length()) / 2.0f);
  } else if (method_ == AREA_METHOD_LINE) {
    reach = std::fmax(lineDiscRadius_, kLineWidth);
  }
  reach += 1.0f;
  for (const Vec2& v : p) {
    lower = Vec2(std::fmin(lower.x, v.x - reach), std::fmin(lower.y, v.y - reach));
    upper = Vec2(std::fmax(upper.x, v.x + reach), std::fmax(upper.y, v.y + reach));
  }
  return true;
}

bool AreaVisualizerOuter::predictExtent(IdentifiedArea* area, Vec2& lower, Vec2& upper) {
  buildOutline(area);
  return getExtent(lower, upper);
}

bool AreaVisualizerOuter::appendSignature(std::vector<float>& out) const {
  constexpr float kOuterTag = 2.0f;
  appendCommonSignature(out, kOuterTag);
  out.insert(out.end(), {nameCode(drawingMode_, {AREA_MODE_AREA, AREA_MODE_CONTOUR}),
                         nameCode(method_, {AREA_METHOD_POLYGONS, AREA_METHOD_SPLATTING, AREA_METHOD_LINE}),
                         bandWidth_, lineDiscRadius_});
  const std::vector<Vec2>& p = geometry_->getOutline();
  out.push_back(static_cast<float>(p.size()));
  for (const Vec2& v : p) out.insert(out.end(), {v.x, v.y});
  return true;
}

}  // namespace lumetra
