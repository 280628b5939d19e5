#include "app/document/CommandLineOptions.h"

#include "areas/AreaPainterRegistry.h"

namespace lumetra {

AreaOption parseAreaOption(const std::string& value) {
  if (const std::size_t colon = value.rfind(':'); colon != std::string::npos) {
    const std::string suffix = value.substr(colon + 1);
    for (const std::string& painter : areaVisualizerNames())
      if (suffix == painter) return {value.substr(0, colon), painter};
  }
  return {value, AREA_PAINTER_INNER};
}

}  // namespace lumetra
