#pragma once
// The "Square" area painter: the axis-parallel box around the area's
// elements with a soft frame a fiftieth of the diagram's diagonal wide. In
// "Area" mode the box is filled with the area alpha and the frame fades
// outwards (ramp texture); in "Contour" mode only the frame is drawn, as a
// soft line across its middle (band texture). Radius, distance, iterations
// and method play no part. Diagram units, y up; GL state restored.

#include "render/AlphaTexture.h"
#include "areas/AreaVisualizer.h"

namespace lumetra {

class AreaVisualizerSquare : public AreaVisualizer {
 public:
  // Drawing mode "Area", method "Polygons", softness 50 unless given.
  explicit AreaVisualizerSquare(const std::string& drawingMode = AREA_MODE_AREA,
                                const std::string& method = AREA_METHOD_POLYGONS, int softness = 50);

  void draw(IdentifiedArea* area) override;
  void drawConnections(IdentifiedArea* area) override {}
  void setSoftness(int softness) override;
  std::string getName() const override { return AREA_PAINTER_SQUARE; }
  // The frame width from the diagram's size (see diagramSize); cells is not used.
  void prepare(int cells, Diagram* diagram) override;
  bool getExtent(Vec2& lower, Vec2& upper) const override;
  bool predictExtent(IdentifiedArea* area, Vec2& lower, Vec2& upper) override;
  // Colour, alpha, softness, mode, box and frame width.
  bool appendSignature(std::vector<float>& out) const override;

  float getBorderWidth() const { return borderWidth_; }
  // The box of the last draw; false when the area had no element with a box.
  bool getBounds(Vec2& lower, Vec2& upper) const;

 private:
  bool computeBounds(IdentifiedArea* area);

  AlphaTexture rampTexture_{false};
  AlphaTexture bandTexture_{false};
  float borderWidth_ = 0.0f;
  bool hasBounds_ = false;
  Vec2 lower_;
  Vec2 upper_;
};

}  // namespace lumetra
