#pragma once
// The "Outer" area painter: a closed outline that hugs the area's element
// boxes (OuterAreaGeometry: convex hull of samples along the boxes, shrunk
// towards them like a rubber band, triangulated), drawn by method
//
//   "Polygons"  a soft band outside the outline: the ramp texture fading
//               outwards in "Area" mode, a soft line (the band texture) in
//               "Contour" mode; the band is one step x radius wide;
//   "Splatting" a soft disc on every outline vertex, as wide as its edges;
//   "Line"      a 2-pixel line along the outline with a small disc on every
//               vertex, around boxes grown by a fiftieth of the diagram's
//               diagonal so the line keeps clear of them;
//
// and in "Area" mode filled inside the outline: with the area alpha added
// for "Polygons" and "Line", and with the colour times alpha written over
// what lies beneath for "Splatting". Any other method draws only the fill.
//
// The outline is kept between draws and rebuilt only when the member boxes,
// the diagram size, the distance, the iterations or the method's margin
// change. Diagram units, y up; draws with the area's inverted colour onto
// the black buffer of the area pass, GL state restored afterwards.

#include <memory>

#include "render/AlphaTexture.h"
#include "areas/AreaVisualizer.h"
#include "areas/OuterAreaGeometry.h"

namespace lumetra {

class AreaVisualizerOuter : public AreaVisualizer {
 public:
  // Drawing mode "Area", method "Polygons", softness 50 unless given.
  explicit AreaVisualizerOuter(const std::string& drawingMode = AREA_MODE_AREA,
                               const std::string& method = AREA_METHOD_POLYGONS, int softness = 50);
  ~AreaVisualizerOuter() override;

  void draw(IdentifiedArea* area) override;
  void drawConnections(IdentifiedArea* area) override {}
  void setSoftness(int softness) override;
  std::string getName() const override { return AREA_PAINTER_OUTER; }
  // The band is step x radius wide.
  void setRadius(float radius) override { radiusScale_ = radius; }
  void setDistance(float distance) override { geometry_->setDistance(distance); }
  void setIterations(int iterations) override { geometry_->setIterations(iterations); }
  void setMethod(const std::string& method) override { method_ = method; }
  // Takes the diagram's size (see diagramSize); cells is not used.
  void prepare(int cells, Diagram* diagram) override;
  bool getExtent(Vec2& lower, Vec2& upper) const override;
  // Builds the outline draw would draw and returns its extent.
  bool predictExtent(IdentifiedArea* area, Vec2& lower, Vec2& upper) override;
  // Colour, alpha, softness, mode, method, band width, disc size, outline.
  bool appendSignature(std::vector<float>& out) const override;

  OuterAreaGeometry* getGeometry() const { return geometry_.get(); }
  const std::vector<Vec2>& getOutline() const { return geometry_->getOutline(); }
  const std::vector<MeshTriangle>& getTriangles() const { return geometry_->getTriangles(); }
  float getBandWidth() const { return bandWidth_; }
  float getLineDiscRadius() const { return lineDiscRadius_; }
  // The margin the boxes grow by before sampling: a fiftieth of the
  // diagram's diagonal for "Line", else 0.
  float getMargin() const;

 private:
  // Builds (or keeps) the outline of the area and the band width; false when
  // there is nothing to draw.
  bool buildOutline(IdentifiedArea* area);
  void drawPolygons();
  void drawSplatting();
  void drawLine();
  void fill(bool opaque);

  AlphaTexture discTexture_{true};
  AlphaTexture rampTexture_{false};
  AlphaTexture bandTexture_{false};
  Vec2 diagramSize_;
  float lineDiscRadius_ = 0.0f;
  float radiusScale_ = 1.0f;
  float bandWidth_ = 0.0f;
  std::unique_ptr<OuterAreaGeometry> geometry_;
};

}  // namespace lumetra
