#include "areas/AreaVisualizer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "areas/IdentifiedArea.h"
#include "render/AlphaTexture.h"
#include "model/Diagram.h"

namespace lumetra {

AreaVisualizer::AreaVisualizer() = default;

AreaVisualizer::AreaVisualizer(std::string drawingMode, std::string method, int softness)
    : drawingMode_(std::move(drawingMode)), method_(std::move(method)), softness_(softness) {}

float AreaVisualizer::softnessExponent(int softness) {
  const double s = softness;
  if (softness <= 50) return static_cast<float>(s / 50.0);
  return static_cast<float>((s - 33.333333333333336) / 16.666666666666668);
}

Vec2 diagramSize(Diagram* diagram) {
  if (diagram == nullptr) return Vec2();
  auto usable = [](const Vec2* size) {
    return size != nullptr && std::isfinite(size->x) && std::isfinite(size->y) && size->x > 0.0f && size->y > 0.0f;
  };
  if (const VisualElementLayout* own = diagram->getCurrentLayout(); own != nullptr && usable(own->getSize()))
    return *own->getSize();
  bool any = false;
  Vec2 lo, hi;
  for (const DiagramElement* element : diagram->getElements()) {
    const VisualElementLayout* layout = element != nullptr ? element->getCurrentLayout() : nullptr;
    if (layout == nullptr || layout->getLowerLeft() == nullptr || layout->getUpperRight() == nullptr) continue;
    const Vec2 a = *layout->getLowerLeft(), b = *layout->getUpperRight();
    if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y)) continue;
    const Vec2 elementLo(std::fmin(a.x, b.x), std::fmin(a.y, b.y));
    const Vec2 elementHi(std::fmax(a.x, b.x), std::fmax(a.y, b.y));
    lo = any ? Vec2(std::fmin(lo.x, elementLo.x), std::fmin(lo.y, elementLo.y)) : elementLo;
    hi = any ? Vec2(std::fmax(hi.x, elementHi.x), std::fmax(hi.y, elementHi.y)) : elementHi;
    any = true;
  }
  // Counting both borders, as a layout's size does.
  return any ? hi - lo + Vec2(1.0f, 1.0f) : Vec2();
}

namespace {

// 255 x base^k, held in the byte range (a softness outside 1..100 may leave it).
std::uint8_t curveTexel(double base, double k) {
  double value = 255.0 * std::pow(base, k);
  if (!(value >= 0.0)) value = 0.0;
  if (value > 255.0) value = 255.0;
  return static_cast<std::uint8_t>(value);
}

// A texture whose rows are each one value.
std::vector<std::uint8_t> rowTexels(int softness, double (*base)(int row)) {
  const int size = AlphaTexture::kSize;
  const double k = AreaVisualizer::softnessExponent(softness);
  std::vector<std::uint8_t> texels(static_cast<std::size_t>(size) * size);
  for (int row = 0; row < size; ++row) {
    const std::uint8_t value = curveTexel(base(row), k);
    std::fill_n(texels.begin() + static_cast<std::ptrdiff_t>(row) * size, size, value);
  }
  return texels;
}

}  // namespace

std::vector<std::uint8_t> makeDiscTexels(int softness) {
  const int size = AlphaTexture::kSize;
  const double k = AreaVisualizer::softnessExponent(softness);
  // A texel depends only on how far its row and column are from the centre
  // (128), whichever side: the curve is worked out once per pair of
  // distances 0..128 and a quarter of the power computations remain (a
  // softness slider drag makes the texture anew at every step).
  constexpr int kReach = 129;
  std::vector<std::uint8_t> byOffset(static_cast<std::size_t>(kReach) * kReach);
  for (int a = 0; a < kReach; ++a) {
    for (int b = 0; b < kReach; ++b) {
      const float da = static_cast<float>(a);
      const float db = static_cast<float>(b);
      float d = std::sqrt(da * da + db * db);
      if (d > 128.0f) d = 128.0f;
      byOffset[static_cast<std::size_t>(a) * kReach + b] = curveTexel(static_cast<double>(1.0f - d / 128.0f), k);
    }
  }
  std::vector<std::uint8_t> texels(static_cast<std::size_t>(size) * size);
  for (int i = 0; i < size; ++i) {
    const std::size_t a = static_cast<std::size_t>(std::abs(i - 128));
    for (int j = 0; j < size; ++j)
      texels[static_cast<std::size_t>(i) * size + j] = byOffset[a * kReach + static_cast<std::size_t>(std::abs(j - 128))];
  }
  return texels;
}


std::vector<std::uint8_t> makeRampTexels(int softness) {
  return rowTexels(softness, [](int row) { return row / 255.0; });
}

std::vector<std::uint8_t> makeBandTexels(int softness) {
  return rowTexels(softness, [](int row) { return row <= 128 ? 2.0 * row / 256.0 : 2.0 * (256 - row) / 256.0; });
}

void AreaVisualizer::appendCommonSignature(std::vector<float>& out, float kindTag) const {
  const Color colour = area_ != nullptr && area_->getColor() != nullptr ? *area_->getColor() : Color();
  out.insert(out.end(), {kindTag, colour.r, colour.g, colour.b, colour.a, alpha_, static_cast<float>(softness_)});
}

}  // namespace lumetra
