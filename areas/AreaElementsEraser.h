#pragma once
// Whitens free elements (node elements in no shown area) with a soft 30-unit
// halo, right after the area pass and before the diagram, so area shapes that
// spill over unrelated boxes do not tint them.

#include <cstdint>
#include <vector>

#include "render/AlphaTexture.h"

namespace lumetra {

class DiagramElement;

class AreaElementsEraser {
 public:
  static constexpr float kHalo = 30.0f;

  // The halo starts as a linear ramp (row i holds i).
  AreaElementsEraser();
  AreaElementsEraser(const AreaElementsEraser&) = delete;
  AreaElementsEraser& operator=(const AreaElementsEraser&) = delete;
  virtual ~AreaElementsEraser() = default;

  // Paints every element's box opaque white and its halo fading out over 30
  // units. Elements without a layout are passed over.
  virtual void erase(const std::vector<DiagramElement*>& elements);

  // Reshapes the halo's fade by the softness curve (1..100).
  void setSoftness(int softness);
  // The softness last set; 0 while the halo is the construction ramp.
  int softness() const { return softness_; }
  // The shortest distance, in diagram units, over which the halo fades
  // (see AreaVisualizer::detailSize); 0 when its fade has a sharp rim.
  float detailSize() const;
  // Counts the changes of the halo texture (a picture of the pass made
  // before a change is stale).
  unsigned int textureGeneration() const { return generation_; }
  const AlphaTexture& getTexture() const { return texture_; }

 private:
  AlphaTexture texture_{false};
  // The exponent of the fade; the construction ramp is linear.
  float exponent_ = 1.0f;
  int softness_ = 0;
  unsigned int generation_ = 0;
};

// Halo texels, row-major 256 x 256, constant along a row.
// The construction ramp: row i holds i.
std::vector<std::uint8_t> makeEraserRampTexels();
// The softness ramp: row i < 230 holds 255 x (i / 230)^k, rows 230..255 hold
// 255, with k = AreaVisualizer::softnessExponent(softness).
std::vector<std::uint8_t> makeEraserSoftTexels(int softness);

}  // namespace lumetra
