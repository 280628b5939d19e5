#include "diagram/Legend.h"

#include <algorithm>
#include <cmath>

#include "areas/Area.h"
#include "areas/AreaVisualizer.h"
#include "metrics/Metric.h"
#include "metrics/MetricSet.h"
#include "render/GLPainter.h"
#include "settings/SettingsStore.h"

namespace lumetra {

namespace {

constexpr const char* kDash = "\xE2\x80\x93";  // en dash between the ends of a range

// Font size, spacing, swatch side, row height, margin and line width at the
// current settings, magnified by scale.
struct LegendMetrics {
  float fontSize;
  float spacing;
  float textHeight;
  float swatch;
  float row;
  float margin;
  float line;
};

LegendMetrics currentMetrics(float scale) {
  // A scale that is not a positive number draws at window size.
  if (!(scale > 0.0f) || !std::isfinite(scale)) scale = 1.0f;
  LegendMetrics m{};
  m.fontSize = scale * std::max(1.0f, settings().getFloat("Visualizer.General.Legend.FontSize"));
  m.spacing = scale * std::max(0.0f, settings().getFloat("Visualizer.General.Legend.Spacing"));
  // Clear of the window's frame line (3 pixels) with room to spare.
  m.margin = std::max(2.0f * m.spacing, 8.0f * scale);
  m.line = scale;
  float w = 0.0f;
  GLPainter::textSize("Ag", m.fontSize, w, m.textHeight);
  m.swatch = std::max(m.textHeight, m.fontSize);
  m.row = m.swatch + m.spacing;
  return m;
}

Color withAlphaFactor(Color c, float factor) {
  c.a *= factor;
  return c;
}

}  // namespace

std::string legendText(const Metric& metric) {
  std::string text = metric.getName() + ": " + metric.getVisualizerName() + ", ";
  if (const auto* integer = dynamic_cast<const IntegerMetric*>(&metric)) {
    text += integer->getMinimumText() + kDash + integer->getMaximumText();
    if (integer->getLowerBound() != integer->getMinimum() || integer->getUpperBound() != integer->getMaximum())
      text += ", shown " + integer->formatValue(integer->getLowerBound()) + kDash +
              integer->formatValue(integer->getUpperBound());
  } else {
    text += "true/false";
  }
  return text;
}

Color areaColourOnCanvas(const Color& colour, float areaAlpha) {
  // Areas keep their colours inverted; their painters draw them at the area
  // alpha onto black, and the area pass turns the buffer into white minus
  // that (areas/AreaPass.h).
  const float a = std::clamp(areaAlpha, 0.0f, 1.0f);
  auto over = [a](float c) { return 1.0f - a * c; };
  return Color(over(colour.r), over(colour.g), over(colour.b), 1.0f);
}

std::vector<LegendRow> legendRows(const MetricSet* metrics, const AreaSet* areas, const Diagram* diagram,
                                  float areaAlpha) {
  std::vector<LegendRow> rows;
  if (metrics != nullptr) {
    for (Metric* metric : metrics->getShownMetrics()) {
      const Color* c = metric->getColor();
      rows.push_back({legendText(*metric), c != nullptr ? *c : Color()});
    }
  }
  if (areas != nullptr && diagram != nullptr && areas->isShownOn(diagram)) {
    for (IdentifiedArea* area : areas->getIdentifiedAreas()) {
      const Color* c = area->getColor();
      // The square painter fills its boxes once at the area alpha; the
      // others stack soft layers that reach the full colour inside the area.
      const Area* loaded = areas->findArea(area->getName());
      const bool flat = loaded != nullptr && loaded->getVisualizer() != nullptr &&
                        loaded->getVisualizer()->getName() == AREA_PAINTER_SQUARE;
      rows.push_back({"Area " + area->getName(),
                      areaColourOnCanvas(c != nullptr ? *c : Color(), flat ? areaAlpha : 1.0f)});
    }
  }
  return rows;
}

LegendBox legendBox(const std::vector<LegendRow>& rows, float scale) {
  LegendBox box;
  if (rows.empty()) return box;
  const LegendMetrics m = currentMetrics(scale);
  float widest = 0.0f;
  for (const LegendRow& row : rows) {
    float w = 0.0f, h = 0.0f;
    GLPainter::textSize(row.text, m.fontSize, w, h);
    widest = std::max(widest, w);
  }
  box.lowerLeft = Vec2(m.margin, m.margin);
  // textSize gives the ink's extent, which starts a little right of the pen
  // origin (the first glyph's bearing): a quarter em more keeps the longest
  // row off the right border.
  box.size = Vec2(2.0f * m.spacing + m.swatch + m.spacing + widest + 0.25f * m.fontSize,
                  m.spacing + static_cast<float>(rows.size()) * m.row);
  box.rowHeight = m.row;
  return box;
}

void drawLegend(const std::vector<LegendRow>& rows, float scale) {
  if (rows.empty()) return;
  const LegendMetrics m = currentMetrics(scale);
  const LegendBox box = legendBox(rows, scale);
  const float transparency = std::clamp(settings().getFloat("Visualizer.General.Legend.Transparency"), 0.0f, 1.0f);
  const Vec2 lo = box.lowerLeft;
  const Vec2 hi(lo.x + box.size.x, lo.y + box.size.y);

  const float savedAlpha = GLPainter::globalAlpha();
  GLPainter::setGlobalAlpha(1.0f);
  GLPainter painter;
  // Lines as thick as the magnification (a window's legend keeps the width
  // the scene left, one pixel).
  if (m.line != 1.0f) painter.setLineWidth(m.line);
  const Color fill = withAlphaFactor(settings().getColor("Visualizer.General.Legend.FillColor"), transparency);
  painter.filledRect(lo, hi, fill);
  painter.rectOutline(lo, hi, settings().getColor("Visualizer.General.Legend.OutlineColor"));
  const Color font = settings().getColor("Visualizer.General.Legend.FontColor");
  const Color swatchOutline = settings().getColor("Visualizer.General.Legend.OutlineColor");
  // Rows from the top down, in the order given.
  float top = hi.y - m.spacing;
  for (const LegendRow& row : rows) {
    const Vec2 s0(lo.x + m.spacing, top - m.swatch);
    const Vec2 s1(s0.x + m.swatch, top);
    painter.filledRect(s0, s1, row.swatch);
    painter.rectOutline(s0, s1, swatchOutline);
    const float textBase = top - m.swatch + 0.5f * (m.swatch - m.textHeight);
    painter.drawText(row.text, {s1.x + m.spacing, textBase}, m.fontSize, 0, font);
    top -= m.row;
  }
  if (m.line != 1.0f) painter.setLineWidth(1.0f);
  GLPainter::setGlobalAlpha(savedAlpha);
}

}  // namespace lumetra
