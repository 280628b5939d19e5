#pragma once
// The legend a window draws in its lower-left corner, in window pixels after
// the scene (as the hover box is drawn), while
// "Visualizer.General.Legend.Enable" is on. One row per shown metric (its
// colour, glyph kind, range and thresholds) and one per area shown on the
// window's diagram (its colour as it looks on the canvas). Colours, font
// size, spacing and transparency come from the "Visualizer.General.Legend.*"
// settings, read at every draw.
//
// scale magnifies all of it (font, spacing, swatches, margins and lines):
// a picture exported at scale times a window's size carries the legend at
// scale times its window size, so it looks like the window's magnified.

#include <string>
#include <vector>

#include "model/Vec2.h"
#include "settings/Color.h"

namespace lumetra {

class AreaSet;
class Diagram;
class Metric;
class MetricSet;

struct LegendRow {
  std::string text;
  Color swatch;
};

// "NAME: GLYPH, MIN–MAX" for an integer metric, with ", shown LOWER–UPPER"
// when its display bounds narrow the range; "NAME: GLYPH, true/false" for a
// boolean one.
std::string legendText(const Metric& metric);

// An area's colour (as stored, inverted) at the area alpha, as the area
// pass leaves it on the white canvas: the opaque colour the user sees where
// the area lies alone at full strength.
Color areaColourOnCanvas(const Color& colour, float areaAlpha);

// The rows for what is shown: every shown metric in shown order, then every
// area identified over diagram (none when the areas belong to another
// diagram), in the colour of its strongest part: at the area alpha for the
// square painter, which fills once, and at full strength for the painters
// whose soft layers stack up inside the area. Null sets give no rows.
std::vector<LegendRow> legendRows(const MetricSet* metrics, const AreaSet* areas, const Diagram* diagram,
                                  float areaAlpha);

// The legend's box in window pixels (lower-left corner and size) for these
// rows at the current settings; empty rows give a zero size.
struct LegendBox {
  Vec2 lowerLeft;
  Vec2 size;
  float rowHeight = 0.0f;
};
LegendBox legendBox(const std::vector<LegendRow>& rows, float scale = 1.0f);

// Draws the rows with a pixel projection of the window loaded (y up).
// Nothing when the rows are empty.
void drawLegend(const std::vector<LegendRow>& rows, float scale = 1.0f);

}  // namespace lumetra
