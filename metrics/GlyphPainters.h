#pragma once
// The glyph painter registry. Painters hold no data, so one painter of each
// kind serves every metric: a metric keeps only the display name of its
// painter and draws through these functions, without knowing the painters
// (metrics/MetricVisualizer.h).

#include <string>

#include "model/Vec2.h"
#include "settings/Color.h"

namespace lumetra {

class MetricVisualizer;

// Whether an integer (a true/false) painter answers to that display name
// (exact comparison).
bool isIntGlyphName(const std::string& name);
bool isBoolGlyphName(const std::string& name);
// The painter of that display name, or null for a name none answers to.
MetricVisualizer* glyphPainter(const std::string& name);
// Draw one value's glyph with the painter of that name, as
// IntMetricVisualizer::draw and BoolMetricVisualizer::draw do; a name no
// painter of that type answers to draws nothing.
void drawIntGlyph(const std::string& name, const Vec2& corner1, const Vec2& corner2, const Color& fillColour,
                  const Color& outlineColour, int value, int minimum, int maximum);
void drawBoolGlyph(const std::string& name, const Vec2& corner1, const Vec2& corner2, const Color& fillColour,
                   const Color& outlineColour, bool value);

}  // namespace lumetra
