#pragma once
// The "Inner" area painter: a soft blob growing from the area's elements
// towards their weighted centroid. A large disc sits at the centroid, and a
// trail of overlapping discs runs from every element to it, the radius moving
// linearly from the element's half-diagonal to the centre radius. All discs
// carry the soft disc texture, so their union reads as one smooth shape.

#include <cstddef>
#include <map>
#include <memory>
#include <vector>

#include "render/AlphaTexture.h"
#include "areas/AreaVisualizer.h"
#include "model/Vec2.h"

namespace lumetra {

class FlatDrawState;
class QuadArrays;

class IdentifiedArea;

struct AreaDisc {
  float x = 0.0f;
  float y = 0.0f;
  float radius = 0.0f;
  // How many listings of its member the disc stands for: a member listed k
  // times draws one trail as dark as k trails would be (the centre disc
  // and a member listed once: 1).
  int tag = 0;
};

// Builds the discs of one area; diagram units, y up.
class InnerAreaGeometry {
 public:
  // Distance between trail discs.
  static constexpr float kStep = 15.0f;
  static constexpr float kContourStep = 3.0f;
  // How much smaller the contour discs are.
  static constexpr float kContourInset = 20.0f;
  static constexpr float kThinRadius = 3.0f;
  // At most this many discs in one disc set (about 64 MB): an area whose
  // trails would need more (elements spread over absurd distances) gets a
  // proportionally longer step instead. Ordinary diagrams stay far below.
  static constexpr std::size_t kMaxDiscs = std::size_t{1} << 22;

  void setArea(IdentifiedArea* area) { area_ = area; }
  IdentifiedArea* getArea() const { return area_; }
  void setRadiusScale(float scale) { radiusScale_ = scale; }
  float getRadiusScale() const { return radiusScale_; }
  int getCentreRadius() const { return centreRadius_; }

  // Element geometry of the area, skipping elements without a layout.
  // Centre radius: truncate(truncate(mean half-diagonal) x radiusScale).
  // Centroid: the centres weighted by box area; when every box has zero area
  // the plain mean of the centres. A member listed several times counts as
  // often in both means. False when the area has no element with a layout
  // (nothing to draw).
  bool computeCentre(Vec2& centroid);
  // The disc set of a normal draw: the centre disc, then each element's
  // trail (one per member, however often it is listed; see AreaDisc::tag).
  void buildDiscs(std::vector<AreaDisc>& discs);
  // The denser, smaller discs of "Contour" mode (radii clamped at 0).
  void buildContourDiscs(std::vector<AreaDisc>& discs);
  // Thin trails: radius 3 everywhere.
  void buildThinDiscs(std::vector<AreaDisc>& discs);

  // At most this many discs along one trail.
  static constexpr float kMaxTrailDiscs = 100000.0f;

  // Appends the trail from (x0, y0, r0) to (xc, yc, rc): three discs at the
  // start, then one every `step` units along the line while the fraction is
  // below 1, the radius moving linearly from r0 towards rc; at most
  // maxAlong discs along the line (a longer trail takes longer steps). Ends
  // that are not finite give only the four discs at the start.
  static void appendTrail(std::vector<AreaDisc>& discs, float x0, float y0, float r0, float xc, float yc, float rc,
                          float step, float maxAlong = kMaxTrailDiscs);

 private:
  struct Item {
    Vec2 centre;
    float halfDiagonal;
    int listings;  // how often the area lists the element
  };
  void collect(std::vector<Item>& items, Vec2& centroid) const;
  void build(std::vector<AreaDisc>& discs, float inset, float step, bool thin);

  IdentifiedArea* area_ = nullptr;  // borrowed
  int centreRadius_ = 0;
  float radiusScale_ = 1.0f;
};

class AreaVisualizerInner : public AreaVisualizer {
 public:
  // Drawing mode "Area", method "Polygons", softness 50 unless given.
  explicit AreaVisualizerInner(const std::string& drawingMode = AREA_MODE_AREA,
                               const std::string& method = AREA_METHOD_POLYGONS, int softness = 50);
  ~AreaVisualizerInner() override;

  void draw(IdentifiedArea* area) override;
  // A line from every element's centre to the centroid in the area colour.
  void drawConnections(IdentifiedArea* area) override;
  void setSoftness(int softness) override;
  std::string getName() const override { return AREA_PAINTER_INNER; }
  // The factor on the centre disc's radius.
  void setRadius(float radius) override { geometry_->setRadiusScale(radius); }
  void prepare(int cells, Diagram* diagram) override {}
  // Only the thin trails (radius 3), with the same GL state, no contour.
  virtual void drawThin(IdentifiedArea* area);
  // The union of the quads of the discs last drawn.
  bool getExtent(Vec2& lower, Vec2& upper) const override;
  // Builds the discs draw would build (and keeps them, as draw does).
  bool predictExtent(IdentifiedArea* area, Vec2& lower, Vec2& upper) override;
  // The smallest disc radius divided by the steepest slope of the softness
  // curve; 0 below softness 50, where the discs' edges turn sharp.
  float detailSize() const override;
  // Colour, alpha, softness, mode and every disc.
  bool appendSignature(std::vector<float>& out) const override;

  // Off (the default): a member listed several times draws one trail, as
  // dark as that many would be. On: every listing draws its own trail (for
  // comparison).
  static void setExactTrails(bool on);
  static bool exactTrails();

  const std::vector<AreaDisc>& getDiscs() const { return discs_; }
  const std::vector<AreaDisc>& getContourDiscs() const { return contourDiscs_; }
  InnerAreaGeometry* getGeometry() const { return geometry_.get(); }
  const AlphaTexture& getTexture() const { return texture_; }

 private:
  // Sets the textured, blended disc state, draws discs_ and, when asked, the
  // contour discs over them, and restores the state.
  void drawDiscSets(bool withContour);
  void drawDiscs(QuadArrays& arrays, FlatDrawState& state, const std::vector<AreaDisc>& discs);
  // The disc texture as k layers of the area colour at its alpha add up:
  // 1 - (1 - alpha t)^k for every texel t of the disc texture.
  AlphaTexture& stackedTexture(int listings);
  // The discs of a normal draw (and of contour mode); false when there is
  // nothing to draw.
  bool buildAll(IdentifiedArea* area);

  AlphaTexture texture_{true};
  // Stacked textures by listing count, for the alpha and softness below.
  std::map<int, std::unique_ptr<AlphaTexture>> stacked_;
  float stackedAlpha_ = -1.0f;
  int stackedSoftness_ = -1;
  std::vector<AreaDisc> discs_;
  std::vector<AreaDisc> contourDiscs_;
  std::unique_ptr<InnerAreaGeometry> geometry_;
};

}  // namespace lumetra
