#include "areas/AreaPassCache.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "areas/Area.h"
#include "areas/AreaElementsEraser.h"
#include "areas/AreaVisualizer.h"
#include "model/Element.h"
#include "render/FramebufferProcs.h"
#include "render/GLState.h"

namespace lumetra {

namespace {

constexpr GLint kClampToEdge = 0x812F;           // GL_CLAMP_TO_EDGE
// Diagram units around the painters' box, so that the texture's border
// texels are plain background and the quad's edge never shows.
constexpr float kBorder = 2.0f;

// The framebuffer-object entry points, looked up once.
const fbo::Procs& framebufferProcs() {
  static const fbo::Procs procs = fbo::lookupProcs();
  return procs;
}

bool contextIsCurrent() { return glGetString(GL_VERSION) != nullptr; }


// The union of the boxes the painters will colour for the diagram; false
// when a painter cannot tell beforehand. The parameters are pushed exactly
// as the pass pushes them.
// detail receives the smallest of the painters' detail sizes (0 when one
// may draw sharp edges); signature the painters' signatures in drawing
// order (empty when one cannot tell its own), extents their boxes.
bool paintedExtent(const AreaSet& areas, Diagram* diagram, float areaAlpha, Vec2& lower, Vec2& upper, bool& empty,
                   float& detail, std::vector<float>& signature, std::vector<AreaExtent>& extents) {
  bool signatureKnown = true;
  constexpr float kHuge = 3.0e38f;
  lower = Vec2(kHuge, kHuge);
  upper = Vec2(-kHuge, -kHuge);
  detail = kHuge;
  static const std::vector<IdentifiedArea*> none;
  for (IdentifiedArea* identified : areas.isShownOn(diagram) ? areas.getIdentifiedAreas() : none) {
    const Area* area = areas.findArea(identified->getName());
    if (area == nullptr) continue;
    AreaVisualizer* painter = area->getVisualizer();
    painter->prepare(50, diagram);
    painter->setRadius(areas.getRadius());
    painter->setIterations(areas.getIterations());
    painter->setDistance(areas.getDistance());
    painter->setAlpha(areaAlpha);
    Vec2 lo, hi;
    if (!painter->predictExtent(identified, lo, hi)) return false;
    extents.push_back({lo, hi});
    signatureKnown = signatureKnown && painter->appendSignature(signature);
    if (lo.x > hi.x || lo.y > hi.y) continue;  // draws nothing
    detail = std::fmin(detail, painter->detailSize());
    lower = Vec2(std::fmin(lower.x, lo.x), std::fmin(lower.y, lo.y));
    upper = Vec2(std::fmax(upper.x, hi.x), std::fmax(upper.y, hi.y));
  }
  if (!signatureKnown) signature.clear();
  empty = lower.x > upper.x || lower.y > upper.y;
  return empty || (std::isfinite(lower.x) && std::isfinite(lower.y) && std::isfinite(upper.x) &&
                   std::isfinite(upper.y));
}

}  // namespace

float viewTexelsPerUnit(const float m[16], int width, int height, Vec2 lo, Vec2 hi) {
  const Vec2 mid = (lo + hi) * 0.5f;
  const Vec2 points[5] = {lo, {lo.x, hi.y}, hi, {hi.x, lo.y}, mid};
  const double halfW = width / 2.0;
  const double halfH = height / 2.0;
  double most = 0.0;
  for (const Vec2& p : points) {
    const double cx = m[0] * p.x + m[4] * p.y + m[12];
    const double cy = m[1] * p.x + m[5] * p.y + m[13];
    const double w = m[3] * p.x + m[7] * p.y + m[15];
    if (!(w > 0.0)) return 0.0f;
    // Derivatives of the window position along diagram x (matrix column 0)
    // and y (column 1).
    for (int column : {0, 4}) {
      const double dx = halfW * (m[column] * w - cx * m[column + 3]) / (w * w);
      const double dy = halfH * (m[column + 1] * w - cy * m[column + 3]) / (w * w);
      most = std::max(most, std::sqrt(dx * dx + dy * dy));
    }
  }
  return std::isfinite(most) ? static_cast<float>(most) : 0.0f;
}

AreaPassCache::~AreaPassCache() {
  if (!contextIsCurrent()) return;
  if (framebuffer_ != 0 && framebufferProcs().texturesOk()) {
    GLuint name = framebuffer_;
    framebufferProcs().deleteFramebuffers(1, &name);
  }
  if (texture_ != 0) {
    GLuint name = texture_;
    glDeleteTextures(1, &name);
  }
}

bool AreaPassCache::ensureTarget(int width, int height) {
  const fbo::Procs& fb = framebufferProcs();
  if (!fb.texturesOk()) return false;
  if (framebuffer_ == 0) {
    GLuint name = 0;
    fb.genFramebuffers(1, &name);
    framebuffer_ = name;
  }
  if (texture_ != 0 && width == width_ && height == height_) return framebuffer_ != 0;
  // A new size gets a new texture: storage respecified under a framebuffer
  // attachment is not reliably seen by every implementation.
  if (texture_ != 0) {
    GLuint old = texture_;
    glDeleteTextures(1, &old);
    texture_ = 0;
  }
  GLint previousTexture = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
  GLuint name = 0;
  glGenTextures(1, &name);
  texture_ = name;
  glBindTexture(GL_TEXTURE_2D, texture_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, kClampToEdge);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, kClampToEdge);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(fbo::kRGBA8), width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));
  width_ = width;
  height_ = height;
  return texture_ != 0 && framebuffer_ != 0;
}

bool AreaPassCache::build(const AreaSet& areas, Diagram* diagram, float areaAlpha, BlendEquationProc blendEquation,
                          AreaElementsEraser& eraser) {
  valid_ = false;
  diagram_ = nullptr;
  if (!contextIsCurrent() || !fbo::currentContextHasFramebuffers() || !framebufferProcs().texturesOk()) return false;
  GLint list = 0;
  glGetIntegerv(GL_LIST_INDEX, &list);
  if (list != 0) return false;  // framebuffer binds do not belong in a list

  Vec2 lo, hi;
  bool empty = false;
  float detail = 0.0f;
  std::vector<float> signature;
  std::vector<AreaExtent> extents;
  if (!paintedExtent(areas, diagram, areaAlpha, lo, hi, empty, detail, signature, extents)) return false;
  detail = std::fmin(detail, eraser.detailSize());
  if (empty) {
    // No area coloured anything: the pass leaves plain white.
    lower_ = upper_ = Vec2();
    diagram_ = diagram;
    valid_ = true;
    hasPicture_ = false;
    signature_.clear();
    ++builds_;
    return true;
  }
  lo = lo - Vec2(kBorder, kBorder);
  hi = hi + Vec2(kBorder, kBorder);

  float projection[16], modelView[16], m[16];
  GLint viewport[4] = {0, 0, 0, 0};
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
  glGetIntegerv(GL_VIEWPORT, viewport);
  for (int col = 0; col < 4; ++col)
    for (int row = 0; row < 4; ++row) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += projection[k * 4 + row] * modelView[col * 4 + k];
      m[col * 4 + row] = sum;
    }
  const float viewScale = viewTexelsPerUnit(m, viewport[2], viewport[3], lo, hi);
  if (!(viewScale > 0.0f)) return false;
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  const double side = std::min<double>(kMaxSide, maxSize);
  const double spanX = static_cast<double>(hi.x) - lo.x;
  const double spanY = static_cast<double>(hi.y) - lo.y;
  // A view zoomed in on part of the areas would need a texture far larger
  // than the view at the view's resolution, costing more to render than the
  // pass it replaces. Soft pictures are rendered coarser then and magnified
  // with linear filtering, as long as a texel stays well inside the
  // shortest fade.
  const double viewTexels = static_cast<double>(viewport[2]) * viewport[3];
  const double budget = std::min(static_cast<double>(kMaxTexels), kMaxViewShare * viewTexels);
  // The coarser the picture, the less it costs to render: one that does not
  // fit at the view's resolution is rendered kCoarseReduction times coarser,
  // or as much coarser as it takes to have no more texels than the view has
  // pixels, within what its detail allows, and at least as coarse as it
  // takes to fit.
  const double coarsest = std::min<double>(kMaxReduction, detail * viewScale / kTexelsPerDetail);
  const double viewTexelsAtScale = spanX * viewScale * spanY * viewScale;
  const double needed = std::sqrt(viewTexelsAtScale / budget);
  double reduction = 1.0;
  if (needed > 1.0) {
    const double wanted = std::max(std::sqrt(viewTexelsAtScale / viewTexels), kCoarseReduction);
    reduction = std::min(wanted, coarsest);
    if (!(reduction >= needed)) return false;
  }
  const double scaleD = viewScale / reduction;
  const float scale = static_cast<float>(scaleD);
  const double w = std::ceil(spanX * scaleD);
  const double h = std::ceil(spanY * scaleD);
  // Rounding up may pass the budget by a row or column.
  if (!(w <= side && h <= side && w * h <= budget + w + h + 1.0)) return false;
  const int width = std::max(1, static_cast<int>(w));
  const int height = std::max(1, static_cast<int>(h));
  if (!ensureTarget(width, height)) return false;
  // Whole texels of 1 / scale units each.
  hi = Vec2(lo.x + static_cast<float>(width / static_cast<double>(scale)),
            lo.y + static_cast<float>(height / static_cast<double>(scale)));

  // The rest of what the picture shows: its box and size, the compositing,
  // the halo and the free elements the eraser whitens.
  if (!signature.empty()) {
    signature.insert(signature.end(),
                     {lo.x, lo.y, hi.x, hi.y, static_cast<float>(width), static_cast<float>(height),
                      blendEquation != nullptr ? 1.0f : 0.0f, static_cast<float>(eraser.textureGeneration())});
    for (const DiagramElement* element :
         elementsNearAreas(areas.getFreeElements(), extents, AreaElementsEraser::kHalo)) {
      const VisualElementLayout* layout = element->getCurrentLayout();
      signature.insert(signature.end(), {layout->getLowerLeft()->x, layout->getLowerLeft()->y,
                                         layout->getUpperRight()->x, layout->getUpperRight()->y});
    }
  }
  if (hasPicture_ && !signature.empty() && signature == signature_ && texture_ != 0 && width == width_ &&
      height == height_) {
    lower_ = lo;
    upper_ = hi;
    diagram_ = diagram;
    valid_ = true;
    ++builds_;
    return true;
  }
  signature_.clear();

  const fbo::Procs& fb = framebufferProcs();
  GLint previousFramebuffer = 0;
  glGetIntegerv(fbo::kFramebufferBinding, &previousFramebuffer);
  // Nothing queued may still read the texture while it is redrawn.
  glFinish();
  // Whatever way the rendering ends (a painter may throw), drawing goes back
  // to the framebuffer it went to before.
  struct FramebufferScope {
    const fbo::Procs& fb;
    GLuint previous;
    ~FramebufferScope() { fb.bindFramebuffer(fbo::kFramebuffer, previous); }
  } restore{fb, static_cast<GLuint>(previousFramebuffer)};
  fb.bindFramebuffer(fbo::kFramebuffer, framebuffer_);
  fb.framebufferTexture2D(fbo::kFramebuffer, fbo::kColourAttachment0, GL_TEXTURE_2D, texture_, 0);
  const bool complete = fb.checkFramebufferStatus(fbo::kFramebuffer) == fbo::kFramebufferComplete;
  if (complete) {
    AttribGuard state(GL_ALL_ATTRIB_BITS);
    glViewport(0, 0, width, height);
    glDisable(GL_SCISSOR_TEST);
    MatrixGuard projectionGuard(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(lo.x, hi.x, lo.y, hi.y, -1.0, 1.0);
    MatrixGuard modelViewGuard(GL_MODELVIEW);
    glLoadIdentity();
    drawAreaPass(areas, diagram, areaAlpha, blendEquation, eraser);
    // And the picture is complete before any list samples it.
    glFinish();
  }
  if (!complete) return false;

  lower_ = lo;
  upper_ = hi;
  diagram_ = diagram;
  hasPicture_ = true;
  valid_ = true;
  signature_ = std::move(signature);
  ++builds_;
  ++renders_;
  return true;
}

void AreaPassCache::draw() const {
  if (!valid_) return;
  AttribGuard state(GL_COLOR_BUFFER_BIT | GL_ENABLE_BIT | GL_TEXTURE_BIT);
  glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  if (!hasPicture_) return;
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_CULL_FACE);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture_);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2f(lower_.x, lower_.y);
  glTexCoord2f(0.0f, 1.0f);
  glVertex2f(lower_.x, upper_.y);
  glTexCoord2f(1.0f, 1.0f);
  glVertex2f(upper_.x, upper_.y);
  glTexCoord2f(1.0f, 0.0f);
  glVertex2f(upper_.x, lower_.y);
  glEnd();
}

}  // namespace lumetra
