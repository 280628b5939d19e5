#include "metrics/MetricVisualizer.h"

#include <algorithm>

#include "render/GLPainter.h"

namespace lumetra {

namespace {

// Segments of about 3 units for the round glyphs.
constexpr float kSegmentLength = -3.0f;
// The 3D glyphs rise from 1 (minimum) to 128 (maximum) units.
constexpr float kMinDepth = 1.0f;
constexpr float kDepthRange = 127.0f;
// The pie runs from pi/4 (minimum) to 2 pi (maximum).
constexpr float kPieStart = 0.7853982f;
constexpr float kPieRange = 5.497787296772003f;

constexpr std::uint32_t kTickGreen = 0xFF009900;
constexpr std::uint32_t kCrossRed = 0xFF990000;

struct Fraction {
  float x;
  float y;
};
constexpr Fraction kTick[] = {{0.1f, 0.4f}, {0.1f, 0.5f}, {0.4f, 0.3f}, {0.8f, 0.9f}, {0.9f, 0.9f}, {0.4f, 0.1f}};
constexpr Fraction kCross[] = {{0.1f, 0.9f}, {0.2f, 0.9f}, {0.5f, 0.6f}, {0.8f, 0.9f}, {0.9f, 0.9f}, {0.6f, 0.5f},
                               {0.9f, 0.1f}, {0.8f, 0.1f}, {0.5f, 0.4f}, {0.2f, 0.1f}, {0.1f, 0.1f}, {0.4f, 0.5f}};

Vec2 centreOf(const Vec2& c1, const Vec2& c2) { return {(c1.x + c2.x) / 2.0f, (c1.y + c2.y) / 2.0f}; }

float roundRadius(const Vec2& c1, const Vec2& c2) { return std::min((c2.x - c1.x) / 2.0f, (c2.y - c1.y) / 2.0f); }

float glyphDepth(int value, int minimum, int maximum) {
  return glyphFraction(value, minimum, maximum) * kDepthRange + kMinDepth;
}

}  // namespace

float glyphFraction(int value, int minimum, int maximum) {
  if (maximum == minimum) return 1.0f;
  // In double so that extreme ranges do not overflow int.
  return static_cast<float>((static_cast<double>(value) - minimum) / (static_cast<double>(maximum) - minimum));
}

void Default2DIntMetricVisualizer::draw(const Vec2& corner1, const Vec2& corner2, const Color& fillColour,
                                        const Color& outlineColour, int value, int minimum, int maximum) {
  const float t = glyphFraction(value, minimum, maximum);
  const Vec2 top(corner2.x, corner1.y + (corner2.y - corner1.y) * t);
  GLPainter painter;
  painter.filledRect(corner1, top, fillColour);
  painter.rectOutline(corner1, top, outlineColour);
}

void Pie2DIntMetricVisualizer::draw(const Vec2& corner1, const Vec2& corner2, const Color& fillColour,
                                    const Color& outlineColour, int value, int minimum, int maximum) {
  const float sweep = kPieRange * glyphFraction(value, minimum, maximum) + kPieStart;
  const float r = roundRadius(corner1, corner2);
  const Vec2 centre = centreOf(corner1, corner2);
  GLPainter painter;
  painter.filledSector(centre, r, r, 0.0f, sweep, fillColour, kSegmentLength);
  painter.pieOutline(centre, r, r, 0.0f, sweep, outlineColour, kSegmentLength);
}

void Default3DIntMetricVisualizer::draw(const Vec2& corner1, const Vec2& corner2, const Color& fillColour,
                                        const Color& outlineColour, int value, int minimum, int maximum) {
  const float h = glyphDepth(value, minimum, maximum);
  const Vec3 front(corner1.x, corner1.y, 0.0f);
  const Vec3 back(corner2.x, corner2.y, -h);
  GLPainter painter;
  painter.filledBox3D(front, back, fillColour);
  painter.boxOutline3D(front, back, outlineColour);
}

void Cylinder3DIntMetricVisualizer::draw(const Vec2& corner1, const Vec2& corner2, const Color& fillColour,
                                         const Color& outlineColour, int value, int minimum, int maximum) {
  const float h = glyphDepth(value, minimum, maximum);
  const float r = roundRadius(corner1, corner2);
  const Vec2 centre = centreOf(corner1, corner2);
  GLPainter painter;
  painter.filledCylinder3D(centre, r, r, h, fillColour, kSegmentLength);
  painter.cylinderOutline3D(centre, r, r, h, outlineColour, kSegmentLength);
}

void DefaultBoolMetricVisualizer::draw(const Vec2& corner1, const Vec2& corner2, const Color& fillColour,
                                       const Color& outlineColour, bool value) {
  GLPainter painter;
  painter.filledRect(corner1, corner2, fillColour);
  painter.rectOutline(corner1, corner2, outlineColour);

  const float w = corner2.x - corner1.x;
  const float h = corner2.y - corner1.y;
  PointList mark;
  mark.color = Color(value ? kTickGreen : kCrossRed);
  auto add = [&](const Fraction& f) { mark.points.emplace_back(corner1.x + f.x * w, corner1.y + f.y * h); };
  if (value) {
    for (const Fraction& f : kTick) add(f);
  } else {
    for (const Fraction& f : kCross) add(f);
  }
  painter.filledPolygon(std::move(mark));
}

std::unique_ptr<IntMetricVisualizer> createIntMetricVisualizer(const std::string& displayName) {
  if (displayName == "3D Bar") return std::make_unique<Default3DIntMetricVisualizer>();
  if (displayName == "3D Cylinder") return std::make_unique<Cylinder3DIntMetricVisualizer>();
  if (displayName == "2D Bar") return std::make_unique<Default2DIntMetricVisualizer>();
  if (displayName == "2D Pie") return std::make_unique<Pie2DIntMetricVisualizer>();
  return nullptr;
}

std::unique_ptr<BoolMetricVisualizer> createBoolMetricVisualizer(const std::string& displayName) {
  if (displayName == "Default Boolean") return std::make_unique<DefaultBoolMetricVisualizer>();
  return nullptr;
}

}  // namespace lumetra
