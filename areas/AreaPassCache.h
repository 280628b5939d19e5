#pragma once
// The area pass (AreaPass.h, eraser included) rendered once into a texture.
//
// What the pass leaves on screen depends only on the diagram and the areas,
// not on the camera: outside the painters' reach it is plain white. build
// renders the pass off screen (a framebuffer object over the diagram-space
// box the painters coloured, grown by the eraser's halo) at a resolution of
// at least the view's pixels per diagram unit, and draw then replaces the
// whole pass with a white clear and one textured quad in the diagram plane.
// A display list may call draw; build must run outside any list. A build
// whose picture would equal the one held (same painters' signatures, free
// elements, halo, box and size) keeps it without rendering.
//
// Where that resolution would exceed the size limits (which include a
// multiple of the view's own pixels, as when the view shows only part of
// the areas), the picture is rendered coarser, within the limits, provided
// its soft shapes still span several texels (see kMaxReduction and
// kTexelsPerDetail): magnified with linear filtering, uniform regions keep
// their exact colour and the fades differ by a few levels at most.
//
// build refuses (returns false, leaves the cache empty) where the picture
// cannot be had faithfully: no framebuffer objects, a painter that cannot
// tell its extent, a view that looks at the plane from behind, or a picture
// too large for the limits even when rendered as coarse as its sharpest
// detail allows. The caller then draws the pass directly. Needs a current GL context; the texture and framebuffer die
// with the object if a context is current then.

#include <vector>

#include "areas/AreaPass.h"
#include "model/Vec2.h"
#include "platform/GLExtensions.h"
#include "render/PictureTexture.h"

namespace lumetra {

class AreaElementsEraser;
class AreaSet;
class Diagram;

// Texels per diagram unit the view needs: the largest screen-space length of
// a diagram unit in x or y at the corners and centre of the box lo..hi,
// under clip = matrix * point (column-major) and a viewport of width x
// height pixels. 0 when some of these points lie behind the eye.
float viewTexelsPerUnit(const float matrix[16], int width, int height, Vec2 lo, Vec2 hi);

class AreaPassCache {
 public:
  // Limits of the texture: each side, and texels in all.
  static constexpr int kMaxSide = 8192;
  static constexpr long kMaxTexels = 16L * 1024 * 1024;
  // ... and at most this many times the view's pixels.
  static constexpr double kMaxViewShare = 2.0;
  // A picture that would need more texels than that is rendered coarser
  // than the view: this many times in each direction, or as many more as it
  // takes to have no more texels than the view has pixels, up to
  // kMaxReduction ...
  static constexpr double kCoarseReduction = 4.0;
  static constexpr double kMaxReduction = 16.0;
  // ... with at least this many texels across the painters' shortest fade
  // (their detail size, see AreaVisualizer::detailSize).
  static constexpr double kTexelsPerDetail = 6.0;

  AreaPassCache() = default;
  ~AreaPassCache();
  AreaPassCache(const AreaPassCache&) = delete;
  AreaPassCache& operator=(const AreaPassCache&) = delete;

  // Renders the pass for the diagram, the same arguments as drawAreaPass,
  // with the current projection, model-view and viewport telling the view's
  // resolution. True when the cache now holds the picture.
  bool build(const AreaSet& areas, Diagram* diagram, float areaAlpha, BlendEquationProc blendEquation,
             AreaElementsEraser& eraser);
  // The picture: the colour buffer cleared to white, then the textured quad.
  // Draws nothing when the cache is empty.
  void draw() const;
  // Empties the cache (keeps the GL objects for the next build).
  void clear() { valid_ = false; }

  bool valid() const { return valid_; }
  // False when the areas coloured nothing: draw then only clears to white.
  bool hasPicture() const { return valid_ && hasPicture_; }
  Diagram* diagram() const { return valid_ ? diagram_ : nullptr; }
  // The diagram-space box the texture covers, and its size in texels.
  Vec2 lower() const { return lower_; }
  Vec2 upper() const { return upper_; }
  int textureWidth() const { return picture_.width(); }
  int textureHeight() const { return picture_.height(); }
  unsigned int textureName() const { return picture_.name(); }
  // How often build succeeded, and how often it rendered the picture (a
  // build whose picture would equal the one held keeps it).
  int buildCount() const { return builds_; }
  int renderCount() const { return renders_; }

 private:
  bool valid_ = false;
  bool hasPicture_ = false;
  Diagram* diagram_ = nullptr;
  Vec2 lower_;
  Vec2 upper_;
  PictureTexture picture_;
  int builds_ = 0;
  int renders_ = 0;
  // What the held picture shows (see AreaVisualizer::appendSignature),
  // empty when unknown.
  std::vector<float> signature_;
};

}  // namespace lumetra
