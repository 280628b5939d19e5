#include "metrics/GlyphPainters.h"

#include <memory>
#include <utility>
#include <vector>

#include "metrics/MetricVisualizer.h"

namespace lumetra {

namespace {

// One painter of each kind, by display name, made once (thread-safe) and
// shared by every metric; the lists are in the order panels offer them.
struct Painters {
  std::vector<std::pair<std::string, std::unique_ptr<IntMetricVisualizer>>> ints;
  std::vector<std::pair<std::string, std::unique_ptr<BoolMetricVisualizer>>> bools;
};

const Painters& painters() {
  static const Painters shared = [] {
    Painters p;
    for (const char* name : {"3D Bar", "3D Cylinder", "2D Bar", "2D Pie"})
      p.ints.emplace_back(name, createIntMetricVisualizer(name));
    p.bools.emplace_back("Default Boolean", createBoolMetricVisualizer("Default Boolean"));
    return p;
  }();
  return shared;
}

template <typename Painter>
Painter* find(const std::vector<std::pair<std::string, std::unique_ptr<Painter>>>& list, const std::string& name) {
  for (const auto& [kind, painter] : list)
    if (kind == name) return painter.get();
  return nullptr;
}

IntMetricVisualizer* intPainter(const std::string& name) { return find(painters().ints, name); }
BoolMetricVisualizer* boolPainter(const std::string& name) { return find(painters().bools, name); }

}  // namespace

bool isIntGlyphName(const std::string& name) { return intPainter(name) != nullptr; }
bool isBoolGlyphName(const std::string& name) { return boolPainter(name) != nullptr; }

MetricVisualizer* glyphPainter(const std::string& name) {
  if (IntMetricVisualizer* painter = intPainter(name)) return painter;
  return boolPainter(name);
}

void drawIntGlyph(const std::string& name, const Vec2& corner1, const Vec2& corner2, const Color& fillColour,
                  const Color& outlineColour, int value, int minimum, int maximum) {
  if (IntMetricVisualizer* painter = intPainter(name))
    painter->draw(corner1, corner2, fillColour, outlineColour, value, minimum, maximum);
}

void drawBoolGlyph(const std::string& name, const Vec2& corner1, const Vec2& corner2, const Color& fillColour,
                   const Color& outlineColour, bool value) {
  if (BoolMetricVisualizer* painter = boolPainter(name)) painter->draw(corner1, corner2, fillColour, outlineColour, value);
}

}  // namespace lumetra
