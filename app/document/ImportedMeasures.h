#pragma once
// The metrics and areas an import from source code computed, turned into
// the metric and area objects a metrics file gives: integer metrics and
// areas coloured from the palette in the order they come, areas with the
// "Inner" painter.

#include "areas/Area.h"
#include "metrics/MetricSet.h"
#include "sources/ProjectModel.h"

namespace lumetra {

void addImportedMeasures(const ProjectMeasures& measures, MetricSet& metrics, AreaSet& areas);

}  // namespace lumetra
