#include "areas/AreaVisualizer.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "areas/AlphaTexture.h"
#include "areas/AreaVisualizerInner.h"

namespace lumetra {

AreaVisualizer::AreaVisualizer() = default;

AreaVisualizer::AreaVisualizer(std::string drawingMode, std::string method, int softness)
    : drawingMode_(std::move(drawingMode)), method_(std::move(method)), softness_(softness) {}

float AreaVisualizer::softnessExponent(int softness) {
  const double s = softness;
  if (softness <= 50) return static_cast<float>(s / 50.0);
  return static_cast<float>((s - 33.333333333333336) / 16.666666666666668);
}

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

std::vector<std::uint8_t> makeDiscTexels(int softness) {
  const int size = AlphaTexture::kSize;
  const double k = AreaVisualizer::softnessExponent(softness);
  std::vector<std::uint8_t> texels(static_cast<std::size_t>(size) * size);
  for (int i = 0; i < size; ++i) {
    for (int j = 0; j < size; ++j) {
      const float di = static_cast<float>(i - 128);
      const float dj = static_cast<float>(j - 128);
      float d = std::sqrt(di * di + dj * dj);
      if (d > 128.0f) d = 128.0f;
      double value = 255.0 * std::pow(static_cast<double>(1.0f - d / 128.0f), k);
      // A softness outside 1..100 may push the curve out of the byte range.
      if (!(value >= 0.0)) value = 0.0;
      if (value > 255.0) value = 255.0;
      texels[static_cast<std::size_t>(i) * size + j] = static_cast<std::uint8_t>(value);
    }
  }
  return texels;
}

}  // namespace lumetra
