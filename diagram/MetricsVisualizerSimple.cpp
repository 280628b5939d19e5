#include "diagram/MetricsVisualizerSimple.h"

#include <GL/gl.h>

#include <cmath>

#include "metrics/Metric.h"
#include "metrics/MetricSet.h"
#include "diagram/SelectionManager.h"
#include "render/GLPainter.h"
#include "settings/SettingsStore.h"

namespace lumetra {

namespace {
// Above the tallest glyph (128 units) with room to spare for outlines.
constexpr float kGlyphHeightBound = 130.0f;
}  // namespace

template <typename Draw>
void MetricsVisualizerSimple::drawAndCollect(Draw&& draw) {
  if (getDrawDiagram()) draw();
  if (currentElement()) deferred().push_back(currentElement());
}

void MetricsVisualizerSimple::visitClass(Class* e) { drawAndCollect([&] { UMLModelVisualizer::visitClass(e); }); }
void MetricsVisualizerSimple::visitInterface(Interface* e) {
  drawAndCollect([&] { UMLModelVisualizer::visitInterface(e); });
}
void MetricsVisualizerSimple::visitPelkInterface(PelkInterface* e) {
  drawAndCollect([&] { UMLModelVisualizer::visitPelkInterface(e); });
}
void MetricsVisualizerSimple::visitPelkService(PelkService* e) {
  drawAndCollect([&] { UMLModelVisualizer::visitPelkService(e); });
}

bool MetricsVisualizerSimple::glyphRectangle(const std::string& metricName, Vec2 lo, Vec2 hi, bool useGlyphArea,
                                             Vec2& corner1, Vec2& corner2) const {
  MetricSet* metrics = metricSet();
  if (!metrics) return false;
  const int count = static_cast<int>(metrics->getShownCount());
  const int index = metrics->indexOfShownMetric(metricName);
  if (count == 0 || index < 0) return false;

  GlyphLayoutParams params;
  params.areaSize = getGlyphAreaSize();
  params.areaCentre = getGlyphAreaCentre();
  params.useGlyphArea = useGlyphArea;
  params.spacing = settings().getFloat("Visualizer.SimpleMetrics.Spacing");
  const GlyphRect cell = glyphCell(index, count, lo, hi, params);
  corner1 = cell.corner1;
  corner2 = cell.corner2;
  return true;
}

bool MetricsVisualizerSimple::pickMayHit(DiagramElement* element) {
  if (UMLModelVisualizer::pickMayHit(element)) return true;
  MetricSet* metrics = metricSet();
  if (element == nullptr || metrics == nullptr || metrics->getShownCount() == 0) return false;
  const VisualElementLayout* layout = element->getCurrentLayout();
  if (!layout || !layout->getLowerLeft() || !layout->getUpperRight()) return false;
  // The glyph area as glyphCell places it: every cell lies inside it.
  const Vec2 lo = *layout->getLowerLeft(), hi = *layout->getUpperRight();
  const Vec2 c = (lo + hi) * 0.5f;
  const float bx = std::fabs(hi.x - lo.x) / 2.0f, by = std::fabs(hi.y - lo.y) / 2.0f;
  const float s = std::fabs(getGlyphAreaSize());
  const Vec2 u = getGlyphAreaCentre();
  // The cells' grid may pass the area's upper corner by a unit.
  const Vec2 margin(2.0f, 2.0f);
  const Vec2 areaLo(c.x + (u.x - s) * bx, c.y + (u.y - s) * by);
  const Vec2 areaHi(c.x + (u.x + s) * bx, c.y + (u.y + s) * by);
  return mayBeInPickVolume(areaLo - margin, areaHi + margin, 1.0f, -kGlyphHeightBound);
}

void MetricsVisualizerSimple::drawGlyphHighlight(Vec2 lo, Vec2 hi) const {
  // A frame inside the glyph's cell, an eighth of its smaller side wide (at
  // least a unit): filled, so that it stays within the cell whatever the zoom.
  Color highlight = look().selectColor;
  highlight.a = 1.0f;
  const float w = std::fmax(1.0f, std::fmin(hi.x - lo.x, hi.y - lo.y) / 8.0f);
  const float saved = GLPainter::globalAlpha();
  GLPainter::setGlobalAlpha(1.0f);
  const GLPainter painter;
  painter.filledRect(lo, {hi.x, lo.y + w}, highlight);
  painter.filledRect({lo.x, hi.y - w}, hi, highlight);
  painter.filledRect({lo.x, lo.y + w}, {lo.x + w, hi.y - w}, highlight);
  painter.filledRect({hi.x - w, lo.y + w}, {hi.x, hi.y - w}, highlight);
  GLPainter::setGlobalAlpha(saved);
}

bool MetricsVisualizerSimple::piecesShowingSelection(Diagram* diagram, const SelectionChange& change,
                                                      std::vector<ScenePiece>& pieces, bool& background) {
  // A metric's selected state frames its glyphs on every shape: the scene
  // is recorded whole then (glyph pieces recorded again alone come out a
  // level different here and there where the software renderer batches
  // them otherwise).
  if (!change.metrics.empty()) return false;
  return UMLModelVisualizer::piecesShowingSelection(diagram, change, pieces, background);
}

void MetricsVisualizerSimple::drawDeferredEntry(DiagramElement* entry) {
  MetricSet* metrics = metricSet();
  ModelElement* model = entry ? entry->getModelElement() : nullptr;
  if (!metrics || !model) return;
  const VisualElementLayout* layout = entry->getCurrentLayout();
  if (!layout || !layout->getLowerLeft() || !layout->getUpperRight()) return;

  const float saved = GLPainter::globalAlpha();
  GLPainter::setGlobalAlpha(getMetricsAlpha());
  const std::string id = model->getId();
  const Vec2 lo = *layout->getLowerLeft();
  const Vec2 hi = *layout->getUpperRight();

  for (Metric* metric : metrics->getShownMetrics()) {
    if (!metric->hasValue(id)) continue;
    if (isPicking()) glPushName(static_cast<GLuint>(registerGlyphPick(metric, entry)));

    // A value outside the display bounds keeps its pick name but is not drawn.
    auto* integer = dynamic_cast<IntegerMetric*>(metric);
    const bool hidden = integer && (integer->getValue(id) < integer->getLowerBound() ||
                                    integer->getValue(id) > integer->getUpperBound());
    Vec2 corner1, corner2;
    // The glyphs rise at most 128 units above the diagram plane (towards
    // negative z); one that cannot reach the pick region is left out of the
    // pick pass, which then costs little more than the boxes.
    if (!hidden && glyphRectangle(metric->getName(), lo, hi, true, corner1, corner2) &&
        (!isPicking() || mayBeInPickVolume(corner1, corner2, 1.0f, -kGlyphHeightBound))) {
      GLPainter::setGlobalAlpha(metric->getTransparency() * getMetricsAlpha() * 2.0f);
      PlainLineScope plain(GLPainter::underPixels(std::fmin(corner2.x - corner1.x, corner2.y - corner1.y), kTinyGlyph));
      metric->drawGlyph(id, corner1, corner2);
      if (!isPicking() && selectionManager() && selectionManager()->isMetricSelected(metric))
        drawGlyphHighlight(corner1, corner2);
    }
    if (isPicking()) glPopName();
  }
  GLPainter::setGlobalAlpha(saved);
}

}  // namespace lumetra
