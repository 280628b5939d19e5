#include "app/document/ImportedMeasures.h"

#include "metrics/Metric.h"

namespace lumetra {

void addImportedMeasures(const ProjectMeasures& measures, MetricSet& metrics, AreaSet& areas) {
  // Palette entry 0 is a translucent black that hides box text: start at 1.
  int index = 1;
  for (const ImportedMetric& imported : measures.metrics) {
    auto* metric = new IntegerMetric(imported.name, new Color(paletteColor(index++)), new Color(METRIC_OUTLINE));
    for (const auto& [id, value] : imported.values) metric->addValue(id, value);
    metric->computeRange();
    metrics.add(metric);
  }
  for (const ImportedArea& imported : measures.areas) {
    Color colour = paletteColor(index++);
    // Area painters draw in the inverted space, as the metrics reader stores them.
    colour.r = 1.0f - colour.r;
    colour.g = 1.0f - colour.g;
    colour.b = 1.0f - colour.b;
    auto* area = new Area(imported.name);
    area->setColor(new Color(colour));
    for (const std::string& id : imported.elementIds) area->addElement(id);
    areas.addArea(area);
  }
}

}  // namespace lumetra
