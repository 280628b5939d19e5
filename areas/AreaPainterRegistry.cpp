#include "areas/AreaPainterRegistry.h"

#include <functional>

#include "areas/AreaVisualizerInner.h"
#include "areas/AreaVisualizerOuter.h"
#include "areas/AreaVisualizerSquare.h"

namespace lumetra {

namespace {

using Factory = std::function<std::unique_ptr<AreaVisualizer>(const std::string&, const std::string&, int)>;

struct PainterKind {
  const char* name;
  Factory make;
};

// Every area painter kind, by display name, in the order panels offer them.
// A new kind adds its line here.
const std::vector<PainterKind>& painterKinds() {
  static const std::vector<PainterKind> kinds = {
      {AREA_PAINTER_INNER,
       [](const std::string& mode, const std::string& method, int softness) -> std::unique_ptr<AreaVisualizer> {
         return std::make_unique<AreaVisualizerInner>(mode, method, softness);
       }},
      {AREA_PAINTER_OUTER,
       [](const std::string& mode, const std::string& method, int softness) -> std::unique_ptr<AreaVisualizer> {
         return std::make_unique<AreaVisualizerOuter>(mode, method, softness);
       }},
      {AREA_PAINTER_SQUARE,
       [](const std::string& mode, const std::string& method, int softness) -> std::unique_ptr<AreaVisualizer> {
         return std::make_unique<AreaVisualizerSquare>(mode, method, softness);
       }},
  };
  return kinds;
}

}  // namespace

std::unique_ptr<AreaVisualizer> createAreaVisualizer(const std::string& name, const std::string& drawingMode,
                                                     const std::string& method, int softness) {
  for (const PainterKind& kind : painterKinds())
    if (name == kind.name) return kind.make(drawingMode, method, softness);
  return nullptr;
}

std::vector<std::string> areaVisualizerNames() {
  std::vector<std::string> names;
  for (const PainterKind& kind : painterKinds()) names.emplace_back(kind.name);
  return names;
}

}  // namespace lumetra
