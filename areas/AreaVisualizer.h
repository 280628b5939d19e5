#pragma once
// The area painter base: what the "Inner", "Outer" and "Square" painters
// share. Painters draw an identified area with its inverted colour onto a
// black colour buffer; the area pass (AreaPass.h) then turns the buffer into
// white minus what the painters left, so areas mix like inks on white paper.
//
// Painters are made by display name through the registry
// (AreaPainterRegistry.h); this base knows none of its kinds.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/Vec2.h"

namespace lumetra {

class Diagram;
class IdentifiedArea;

// The program-wide names the option panels offer.
inline constexpr const char* AREA_MODE_AREA = "Area";
inline constexpr const char* AREA_MODE_CONTOUR = "Contour";
inline constexpr const char* AREA_METHOD_POLYGONS = "Polygons";
inline constexpr const char* AREA_METHOD_SPLATTING = "Splatting";
inline constexpr const char* AREA_METHOD_LINE = "Line";
inline constexpr const char* AREA_PAINTER_INNER = "Inner";
inline constexpr const char* AREA_PAINTER_OUTER = "Outer";
inline constexpr const char* AREA_PAINTER_SQUARE = "Square";
inline constexpr const char* AREA_NONE = "None";

class AreaVisualizer {
 public:
  // Empty drawing mode, "Polygons", softness 50.
  AreaVisualizer();
  AreaVisualizer(std::string drawingMode, std::string method, int softness);
  AreaVisualizer(const AreaVisualizer&) = delete;
  AreaVisualizer& operator=(const AreaVisualizer&) = delete;

  virtual ~AreaVisualizer() = default;
  // Stores the area and draws it in its inverted colour with the current alpha.
  virtual void draw(IdentifiedArea* area) = 0;
  // A diagnostic drawing of how the area is built (may draw nothing).
  virtual void drawConnections(IdentifiedArea* area) = 0;
  // Stores the softness (1..100) and rebuilds the painter's textures.
  virtual void setSoftness(int softness) = 0;
  // The display name: "Inner", "Outer" or "Square".
  virtual std::string getName() const = 0;
  virtual void setRadius(float radius) {}
  virtual void setDistance(float distance) {}
  virtual void setIterations(int iterations) {}
  virtual void setMethod(const std::string& method) {}
  // Per-frame preparation from the diagram's extent; the area pass passes 50.
  virtual void prepare(int cells, Diagram* diagram) = 0;
  // The painter's geometry object (owned by the painter), or null.
  virtual void* getGrid() const { return grid_; }
  // The diagram-space box the last draw may have coloured, for skipping work
  // (the eraser) where no area reaches. False when the painter cannot tell;
  // an empty box (lower above upper) means it drew nothing.
  virtual bool getExtent(Vec2& lower, Vec2& upper) const { return false; }
  // The box draw(area) would colour with the current parameters, computed
  // without drawing (same meaning as getExtent). False when the painter
  // cannot tell beforehand.
  virtual bool predictExtent(IdentifiedArea* area, Vec2& lower, Vec2& upper) { return false; }
  // The shortest distance, in diagram units, over which the picture of the
  // last draw (or predictExtent) goes from clear to full strength: a picture
  // of the pass sampled on a grid much finer than this looks the same
  // magnified. 0 when the painter may draw sharp edges or cannot tell.
  virtual float detailSize() const { return 0.0f; }
  // Appends numbers that determine everything the last draw (or
  // predictExtent) puts on screen, the painter's kind included: equal
  // numbers, equal picture. False when the painter cannot tell; a picture
  // of the pass is then rendered anew every time.
  virtual bool appendSignature(std::vector<float>& out) const { return false; }

  std::string getDrawingMode() const { return drawingMode_; }
  void setDrawingMode(const std::string& mode) { drawingMode_ = mode; }
  std::string getMethod() const { return method_; }
  int getSoftness() const { return softness_; }
  void setAlpha(float alpha) { alpha_ = alpha; }
  float getAlpha() const { return alpha_; }
  IdentifiedArea* getArea() const { return area_; }

  // The exponent of the softness curve: s / 50 up to 50, then rising to 4
  // at 100 (1 -> 0.02, 50 -> 1, 100 -> 4).
  static float softnessExponent(int softness);

 protected:
  // What every kind's signature starts with: the kind's tag (no two kinds
  // share one), the area's colour, the alpha and the softness.
  void appendCommonSignature(std::vector<float>& out, float kindTag) const;

  std::string drawingMode_;
  std::string method_ = AREA_METHOD_POLYGONS;
  int softness_ = 50;
  float alpha_ = 0.2f;
  IdentifiedArea* area_ = nullptr;  // borrowed, set by draw
  void* grid_ = nullptr;            // the subclass's geometry object, owned by it
};

// The width and height of the diagram for the painters' proportions: the
// size of the diagram's own layout, or, where it has none (or an empty or
// damaged one), of the box around its top-level shapes. (0, 0) for a
// diagram without either.
Vec2 diagramSize(Diagram* diagram);

// The 256 x 256 alpha texels of the soft disc, row-major: 255 x (1 - d/128)^k
// with d the distance from texel (128, 128), clamped at 128, and
// k = softnessExponent(softness).
std::vector<std::uint8_t> makeDiscTexels(int softness);
// The ramp: every texel of row q is 255 x (q/255)^k, so a quad whose second
// texture coordinate runs from 0 to 1 fades in along it.
std::vector<std::uint8_t> makeRampTexels(int softness);
// The band: rows rise as 255 x (2r/256)^k up to row 128, then fall
// symmetrically: a soft line across the middle of a quad.
std::vector<std::uint8_t> makeBandTexels(int softness);

}  // namespace lumetra
