#pragma once
// The area painter registry: makes a painter of a kind by its display name.
// The one place that knows every kind; the area model and the panels ask it
// instead of including the painters.

#include <memory>
#include <string>
#include <vector>

#include "areas/AreaVisualizer.h"

namespace lumetra {

// A new painter of that display name with those settings, or null for a name
// no painter answers to.
std::unique_ptr<AreaVisualizer> createAreaVisualizer(const std::string& name, const std::string& drawingMode,
                                                     const std::string& method, int softness);
// The display names createAreaVisualizer knows, in the order panels offer them.
std::vector<std::string> areaVisualizerNames();

}  // namespace lumetra
