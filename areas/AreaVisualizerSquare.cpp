#include "areas/AreaVisualizerSquare.h"

#include <cmath>

#include "areas/IdentifiedArea.h"
#include "areas/OuterAreaGeometry.h"
#include "render/FlatDrawState.h"
#include "render/FlatPrimitives.h"

namespace lumetra {

namespace {
// The frame is this fraction of the diagram's diagonal wide.
constexpr float kBorderShare = 50.0f;
}  // namespace

AreaVisualizerSquare::AreaVisualizerSquare(const std::string& drawingMode, const std::string& method, int softness)
    : AreaVisualizer(drawingMode, method, softness) {
  setSoftness(softness);
}

void AreaVisualizerSquare::setSoftness(int softness) {
  softness_ = softness;
  rampTexture_.setTexels(makeRampTexels(softness));
  bandTexture_.setTexels(makeBandTexels(softness));
}

void AreaVisualizerSquare::prepare(int cells, Diagram* diagram) {
  borderWidth_ = diagramSize(diagram).length() / kBorderShare;
}

bool AreaVisualizerSquare::computeBounds(IdentifiedArea* area) {
  area_ = area;
  hasBounds_ = false;
  for (const OutlineBox& box : memberBoxes(area)) {
    lower_ = hasBounds_ ? Vec2(std::fmin(lower_.x, box.lower.x), std::fmin(lower_.y, box.lower.y)) : box.lower;
    upper_ = hasBounds_ ? Vec2(std::fmax(upper_.x, box.upper.x), std::fmax(upper_.y, box.upper.y)) : box.upper;
    hasBounds_ = true;
  }
  return hasBounds_;
}

bool AreaVisualizerSquare::getBounds(Vec2& lower, Vec2& upper) const {
  lower = lower_;
  upper = upper_;
  return hasBounds_;
}

void AreaVisualizerSquare::draw(IdentifiedArea* area) {
  if (!computeBounds(area)) return;
  const Color colour = area->getColor() != nullptr ? *area->getColor() : Color();
  const float x0 = lower_.x, y0 = lower_.y, x1 = upper_.x, y1 = upper_.y;
  const float b = borderWidth_;

  // Fill and frame blend alike, so the fill meets the frame's inner edge at
  // the same strength.
  FlatDrawState state(Blend::Over);
  setDrawColour(colour.r, colour.g, colour.b, alpha_);
  if (drawingMode_ == AREA_MODE_AREA) {
    state.setTextured(false);
    QuadBatch fill;
    fill.box(x0, y0, x1, y1);
  }

  state.useTexture(drawingMode_ == AREA_MODE_CONTOUR ? bandTexture_ : rampTexture_);
  // Four mitred quads; the second texture coordinate is 1 on the box.
  QuadBatch frame;
  frame.ramp({x0 - b, y1 + b}, {x0, y1}, {x0, y0}, {x0 - b, y0 - b});
  frame.ramp({x1 + b, y1 + b}, {x1, y1}, {x0, y1}, {x0 - b, y1 + b});
  frame.ramp({x1 + b, y0 - b}, {x1, y0}, {x1, y1}, {x1 + b, y1 + b});
  frame.ramp({x0 - b, y0 - b}, {x0, y0}, {x1, y0}, {x1 + b, y0 - b});
}

bool AreaVisualizerSquare::getExtent(Vec2& lower, Vec2& upper) const {
  if (!hasBounds_) {
    // Nothing drawn: an empty box.
    lower = Vec2(1.0f, 1.0f);
    upper = Vec2(-1.0f, -1.0f);
    return true;
  }
  const float reach = std::fabs(borderWidth_) + 1.0f;
  lower = lower_ - Vec2(reach, reach);
  upper = upper_ + Vec2(reach, reach);
  return true;
}

bool AreaVisualizerSquare::predictExtent(IdentifiedArea* area, Vec2& lower, Vec2& upper) {
  computeBounds(area);
  return getExtent(lower, upper);
}

bool AreaVisualizerSquare::appendSignature(std::vector<float>& out) const {
  constexpr float kSquareTag = 3.0f;
  appendCommonSignature(out, kSquareTag);
  const float mode = drawingMode_ == AREA_MODE_AREA ? 0.0f : drawingMode_ == AREA_MODE_CONTOUR ? 1.0f : 2.0f;
  out.insert(out.end(), {mode, hasBounds_ ? 1.0f : 0.0f, lower_.x, lower_.y, upper_.x, upper_.y, borderWidth_});
  return true;
}

}  // namespace lumetra
