#include "areas/AreaPassCache.h"

#include <algorithm>
#include <cmath>

#include "areas/Area.h"
#include "areas/AreaElementsEraser.h"
#include "areas/AreaVisualizer.h"
#include "model/Element.h"
#include "render/GLListState.h"
#include "render/GLState.h"

namespace lumetra {

namespace {

// Diagram units around the painters' box, so that the texture's border
// texels are plain background and the quad's edge never shows.
constexpr float kBorder = 2.0f;

// The union of the boxes the painters will colour for the diagram; false
// when a painter cannot tell beforehand. The parameters are pushed exactly
// as the pass pushes them.
// detail receives the smallest of the painters' detail sizes (0 when one
// may draw sharp edges); signature the painters' signatures in drawing
// order (empty when one cannot tell its own), extents their boxes.
bool paintedExtent(const AreaSet& areas, Diagram* diagram, float areaAlpha, Vec2& lower, Vec2& upper, bool& empty,
                   float& detail, std::vector<float>& signature, std::vector<AreaExtent>& extents) {
  bool signatureKnown = true;
  constexpr float kHuge = 3.0e38f;
  lower = Vec2(kHuge, kHuge);
  upper = Vec2(-kHuge, -kHuge);
  detail = kHuge;
  static const std::vector<IdentifiedArea*> none;
  for (IdentifiedArea* identified : areas.isShownOn(diagram) ? areas.getIdentifiedAreas() : none) {
    const Area* area = areas.findArea(identified->getName());
    if (area == nullptr) continue;
    AreaVisualizer* painter = area->getVisualizer();
    painter->prepare(50, diagram);
    painter->setRadius(areas.getRadius());
    painter->setIterations(areas.getIterations());
    painter->setDistance(areas.getDistance());
    painter->setAlpha(areaAlpha);
    Vec2 lo, hi;
    if (!painter->predictExtent(identified, lo, hi)) return false;
    extents.push_back({lo, hi});
    signatureKnown = signatureKnown && painter->appendSignature(signature);
    if (lo.x > hi.x || lo.y > hi.y) continue;  // draws nothing
    detail = std::fmin(detail, painter->detailSize());
    lower = Vec2(std::fmin(lower.x, lo.x), std::fmin(lower.y, lo.y));
    upper = Vec2(std::fmax(upper.x, hi.x), std::fmax(upper.y, hi.y));
  }
  if (!signatureKnown) signature.clear();
  empty = lower.x > upper.x || lower.y > upper.y;
  return empty || (std::isfinite(lower.x) && std::isfinite(lower.y) && std::isfinite(upper.x) &&
                   std::isfinite(upper.y));
}

}  // namespace

float viewTexelsPerUnit(const float m[16], int width, int height, Vec2 lo, Vec2 hi) {
  const Vec2 mid = (lo + hi) * 0.5f;
  const Vec2 points[5] = {lo, {lo.x, hi.y}, hi, {hi.x, lo.y}, mid};
  const double halfW = width / 2.0;
  const double halfH = height / 2.0;
  double most = 0.0;
  for (const Vec2& p : points) {
    const double cx = m[0] * p.x + m[4] * p.y + m[12];
    const double cy = m[1] * p.x + m[5] * p.y + m[13];
    const double w = m[3] * p.x + m[7] * p.y + m[15];
    if (!(w > 0.0)) return 0.0f;
    // Derivatives of the window position along diagram x (matrix column 0)
    // and y (column 1).
    for (int column : {0, 4}) {
      const double dx = halfW * (m[column] * w - cx * m[column + 3]) / (w * w);
      const double dy = halfH * (m[column + 1] * w - cy * m[column + 3]) / (w * w);
      most = std::max(most, std::sqrt(dx * dx + dy * dy));
    }
  }
  return std::isfinite(most) ? static_cast<float>(most) : 0.0f;
}

AreaPassCache::~AreaPassCache() = default;

bool AreaPassCache::build(const AreaSet& areas, Diagram* diagram, float areaAlpha, BlendEquationProc blendEquation,
                          AreaElementsEraser& eraser) {
  valid_ = false;
  diagram_ = nullptr;
  if (!PictureTexture::available()) return false;
  if (compilingList()) return false;  // framebuffer binds do not belong in a list

  Vec2 lo, hi;
  bool empty = false;
  float detail = 0.0f;
  std::vector<float> signature;
  std::vector<AreaExtent> extents;
  if (!paintedExtent(areas, diagram, areaAlpha, lo, hi, empty, detail, signature, extents)) return false;
  detail = std::fmin(detail, eraser.detailSize());
  if (empty) {
    // No area coloured anything: the pass leaves plain white.
    lower_ = upper_ = Vec2();
    diagram_ = diagram;
    valid_ = true;
    hasPicture_ = false;
    signature_.clear();
    ++builds_;
    return true;
  }
  lo = lo - Vec2(kBorder, kBorder);
  hi = hi + Vec2(kBorder, kBorder);

  float m[16];
  int viewport[4] = {0, 0, 0, 0};
  readClipMatrix(m);
  readViewport(viewport);
  const float viewScale = viewTexelsPerUnit(m, viewport[2], viewport[3], lo, hi);
  if (!(viewScale > 0.0f)) return false;
  const double side = std::min<double>(kMaxSide, maxTextureSide());
  const double spanX = static_cast<double>(hi.x) - lo.x;
  const double spanY = static_cast<double>(hi.y) - lo.y;
  // A view zoomed in on part of the areas would need a texture far larger
  // than the view at the view's resolution, costing more to render than the
  // pass it replaces. Soft pictures are rendered coarser then and magnified
  // with linear filtering, as long as a texel stays well inside the
  // shortest fade.
  const double viewTexels = static_cast<double>(viewport[2]) * viewport[3];
  const double budget = std::min(static_cast<double>(kMaxTexels), kMaxViewShare * viewTexels);
  // The coarser the picture, the less it costs to render: one that does not
  // fit at the view's resolution is rendered kCoarseReduction times coarser,
  // or as much coarser as it takes to have no more texels than the view has
  // pixels, within what its detail allows, and at least as coarse as it
  // takes to fit.
  const double coarsest = std::min<double>(kMaxReduction, detail * viewScale / kTexelsPerDetail);
  const double viewTexelsAtScale = spanX * viewScale * spanY * viewScale;
  const double needed = std::sqrt(viewTexelsAtScale / budget);
  double reduction = 1.0;
  if (needed > 1.0) {
    const double wanted = std::max(std::sqrt(viewTexelsAtScale / viewTexels), kCoarseReduction);
    reduction = std::min(wanted, coarsest);
    if (!(reduction >= needed)) return false;
  }
  const double scaleD = viewScale / reduction;
  const float scale = static_cast<float>(scaleD);
  const double w = std::ceil(spanX * scaleD);
  const double h = std::ceil(spanY * scaleD);
  // Rounding up may pass the budget by a row or column.
  if (!(w <= side && h <= side && w * h <= budget + w + h + 1.0)) return false;
  const int width = std::max(1, static_cast<int>(w));
  const int height = std::max(1, static_cast<int>(h));
  if (!picture_.ensure(width, height)) return false;
  // Whole texels of 1 / scale units each.
  hi = Vec2(lo.x + static_cast<float>(width / static_cast<double>(scale)),
            lo.y + static_cast<float>(height / static_cast<double>(scale)));

  // The rest of what the picture shows: its box and size, the compositing,
  // the halo and the free elements the eraser whitens.
  if (!signature.empty()) {
    signature.insert(signature.end(),
                     {lo.x, lo.y, hi.x, hi.y, static_cast<float>(width), static_cast<float>(height),
                      blendEquation != nullptr ? 1.0f : 0.0f, static_cast<float>(eraser.textureGeneration())});
    for (const DiagramElement* element :
         elementsNearAreas(areas.getFreeElements(), extents, AreaElementsEraser::kHalo)) {
      const VisualElementLayout* layout = element->getCurrentLayout();
      signature.insert(signature.end(), {layout->getLowerLeft()->x, layout->getLowerLeft()->y,
                                         layout->getUpperRight()->x, layout->getUpperRight()->y});
    }
  }
  if (hasPicture_ && !signature.empty() && signature == signature_ && picture_.name() != 0 &&
      width == picture_.width() && height == picture_.height()) {
    lower_ = lo;
    upper_ = hi;
    diagram_ = diagram;
    valid_ = true;
    ++builds_;
    return true;
  }
  signature_.clear();

  // Nothing queued may still read the texture while it is redrawn, and
  // the picture is complete before any list samples it.
  if (!picture_.render(lo, hi, [&] { drawAreaPass(areas, diagram, areaAlpha, blendEquation, eraser); }))
    return false;

  lower_ = lo;
  upper_ = hi;
  diagram_ = diagram;
  hasPicture_ = true;
  valid_ = true;
  signature_ = std::move(signature);
  ++builds_;
  ++renders_;
  return true;
}

void AreaPassCache::draw() const {
  if (valid_) picture_.drawOnWhite(hasPicture_, lower_, upper_);
}

}  // namespace lumetra
