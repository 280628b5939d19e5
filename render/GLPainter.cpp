// Immediate-mode primitives and texture-font text.
//
// Sections: colour and segment counts; lines and rectangles; polygons;
// curves and ellipses; 3D glyph shapes; text. The plain 2D geometry is in
// PainterGeometry.cpp, the font registry in FontRegistry.cpp.

#include "render/GLPainter.h"

#include <FTGL/ftgl.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <deque>

#include "render/GLListState.h"
#include "render/GLState.h"
#include "render/Greeking.h"
#include "render/PackedTextureFont.h"
#include "render/PainterState.h"
#include "render/Utf8Text.h"

namespace lumetra {

using namespace painter_state;
using piece_capture::capturing;

namespace {

constexpr float kTwoPi = 6.2831855f;  // float 2*pi for segment counts
constexpr float kTwoPiCylinder = 2.0f * 3.1415927f;
constexpr float kRadToDeg = 57.29578f;

float gGlobalAlpha = 1.0f;
float gDetailScale = GLPainter::kFullDetail;
bool gRecordingVectors = false;
unsigned long gReductions = 0;
VectorSink* gVectorSink = nullptr;

void setColor(const Color& c) {
  // A held-back primitive carries its colour; it is set when it is drawn.
  if (capturing()) return;
  const GLfloat rgba[4] = {c.r, c.g, c.b, c.a * gGlobalAlpha};
  glColor4fv(rgba);
}

// glBegin, then the colour as the block's first command. A colour set
// between blocks would end the run of vertices a display list merges into
// one draw; inside the block it travels with the vertices, and it stays the
// current colour afterwards just the same.
void begin(GLenum mode, const Color& c) {
  if (capturing()) {
    const GLfloat rgba[4] = {c.r, c.g, c.b, c.a * gGlobalAlpha};
    piece_capture::beginPrimitive(mode, rgba);
    return;
  }
  if (gVectorSink != nullptr && c.a * gGlobalAlpha < 1.0f) gVectorSink->translucentPrimitive();
  glBegin(mode);
  setColor(c);
}

// The glEnd of a block begun with begin.
void end() {
  if (capturing()) piece_capture::endPrimitive();
  else glEnd();
}

// One judgement for every line primitive of a drawing, set by a
// PlainLineScope or inside pieOutline: +1 plain, -1 smoothed, 0: each
// primitive is judged by its own size.
int gLineOverride = 0;

// ---- the box of the drawing, while tracked ----
bool gTracking = false;
bool gTrackedAny = false;
float gLow[3] = {0.0f, 0.0f, 0.0f};
float gHigh[3] = {0.0f, 0.0f, 0.0f};

void track(float x, float y, float z) {
  if (!gTrackedAny) {
    gLow[0] = gHigh[0] = x;
    gLow[1] = gHigh[1] = y;
    gLow[2] = gHigh[2] = z;
    gTrackedAny = true;
    return;
  }
  gLow[0] = std::fmin(gLow[0], x);
  gLow[1] = std::fmin(gLow[1], y);
  gLow[2] = std::fmin(gLow[2], z);
  gHigh[0] = std::fmax(gHigh[0], x);
  gHigh[1] = std::fmax(gHigh[1], y);
  gHigh[2] = std::fmax(gHigh[2], z);
}

// Every vertex the painter emits goes through these.
inline void vertex2(float x, float y) {
  if (gTracking) track(x, y, 0.0f);
  if (capturing()) piece_capture::vertex2(x, y);
  else glVertex2f(x, y);
}

inline void vertex3(float x, float y, float z) {
  if (gTracking) track(x, y, z);
  if (capturing()) piece_capture::vertex3(x, y, z);
  else glVertex3f(x, y, z);
}

Vec2 ellipsePoint(Vec2 centre, float rx, float ry, float angle) {
  return {centre.x + rx * std::sin(angle), centre.y + ry * std::cos(angle)};
}

// Emits the n + 1 arc points from start to start + sweep.
void emitArc(Vec2 centre, float rx, float ry, float start, float sweep, int n) {
  for (int i = 0; i <= n; ++i) {
    Vec2 p = ellipsePoint(centre, rx, ry, start + sweep * static_cast<float>(i) / static_cast<float>(n));
    vertex2(p.x, p.y);
  }
}

// A display list merges consecutive primitives into one draw only when they
// share a mode that can be joined: independent lines, line strips (which it
// turns into lines) and triangle strips, but never a line loop, a triangle
// fan or a polygon. On a software renderer every draw costs about as much as
// a few dozen small triangles, and an overview draws fills and outlines in
// turn, so closed outlines are drawn as strips back to their first point
// and fans as strips, which then merge with their neighbours. A strip
// through the rim with the centre between every two rim points draws the
// fan's triangles in the fan's order (the triangles in between have two
// equal corners and draw nothing), so each pixel is covered as before.
// A vector file keeps the loops, fans and polygons: it records what GL
// hands back for each primitive, where the strip's triangles would come out
// as separate pieces.
bool mergeableForms() { return gVectorSink == nullptr; }

GLenum closedOutlineMode() { return mergeableForms() ? GL_LINE_STRIP : GL_LINE_LOOP; }

// Ends a closed outline begun with closedOutlineMode: back to its first point
// (at depth *z, if given) when drawn as a strip.
void closeOutline(float x, float y, const float* z = nullptr) {
  if (!mergeableForms()) return;
  if (z != nullptr) vertex3(x, y, *z);
  else vertex2(x, y);
}

// A fan around (cx, cy) through rim(0) .. rim(rimCount - 1), as a fan or as
// the strip described above, in 2D (z null) or at depth *z.
template <class Rim>
void emitFan(float cx, float cy, const float* z, int rimCount, Rim rim, const Color& color) {
  auto put = [z](float x, float y) {
    if (z != nullptr) vertex3(x, y, *z);
    else vertex2(x, y);
  };
  if (!mergeableForms()) {
    begin(GL_TRIANGLE_FAN, color);
    put(cx, cy);
    for (int i = 0; i < rimCount; ++i) {
      const Vec2 p = rim(i);
      put(p.x, p.y);
    }
    end();
    return;
  }
  begin(GL_TRIANGLE_STRIP, color);
  for (int i = 0; i < rimCount; ++i) {
    if (i > 0) put(cx, cy);
    const Vec2 p = rim(i);
    put(p.x, p.y);
  }
  end();
}

}  // namespace

// --- colour and segment counts ----------------------------------------------

void GLPainter::setGlobalAlpha(float factor) { gGlobalAlpha = factor; }
void GLPainter::setVectorSink(VectorSink* sink) {
  gVectorSink = sink;
  gRecordingVectors = sink != nullptr;
}
VectorSink* GLPainter::vectorSink() { return gVectorSink; }
float GLPainter::globalAlpha() { return gGlobalAlpha; }

int GLPainter::segmentCount(float n, float rx, float ry) {
  float count = n;
  if (n < 0.0f) count = std::ceil(kTwoPi * std::max(rx, ry) / -n);
  // A zero radius or a count below one would divide the sweep by zero.
  if (!(count >= 1.0f)) return 1;
  if (count > static_cast<float>(kMaxSegments)) return kMaxSegments;
  return static_cast<int>(count);
}

// --- level of detail --------------------------------------------------------

void GLPainter::setDetailScale(float pixelsPerUnit) {
  // A scale that is not a positive number judges nothing: full detail.
  gDetailScale = pixelsPerUnit > 0.0f ? pixelsPerUnit : kFullDetail;
}

float GLPainter::detailScale() { return gDetailScale; }

void GLPainter::setRecordingVectors(bool on) { gRecordingVectors = on; }

bool GLPainter::recordingVectors() { return gRecordingVectors; }

unsigned long GLPainter::detailReductions() { return gReductions; }

namespace {

bool reducing() { return !gRecordingVectors && gDetailScale < GLPainter::kFullDetail; }

// At most `count`, at least kMinDetailSegments (or count, if that is less),
// otherwise as many as a length of `pixels` on screen needs.
int reducedCount(int count, float pixels) {
  if (!reducing()) return count;
  const float wanted = std::ceil(pixels / GLPainter::kDetailSegment);
  if (!(wanted < static_cast<float>(count))) return count;  // also NaN
  if (count > GLPainter::kMinDetailSegments) ++gReductions;
  return std::max(std::min(count, GLPainter::kMinDetailSegments), static_cast<int>(wanted));
}

}  // namespace

int GLPainter::detailSegments(int count, float rx, float ry) {
  return reducedCount(count, kTwoPi * std::max(std::fabs(rx), std::fabs(ry)) * gDetailScale);
}

int GLPainter::curveSamples(int n, float extent) {
  // A convex closed curve is at most pi times its diameter long. Curves take
  // samples four times as dense as ellipses: they bend unevenly, and the
  // self-association loop is drawn with a fixed 256 samples at any size, so
  // a loop of ordinary size at zoom 1 keeps all of them.
  return reducedCount(n, 4.0f * 3.1415927f * std::fabs(extent) * gDetailScale);
}

bool GLPainter::underPixels(float extent, float pixels) {
  const bool under = reducing() && std::fabs(extent) * gDetailScale < pixels;
  if (under) ++gReductions;
  return under;
}

namespace {

// Whether a line primitive whose vertices lie within extent units of each
// other along every axis goes without smoothing.
bool plainLine(float extent) {
  if (!reducing()) return false;
  const bool plain = gLineOverride != 0 ? gLineOverride > 0 : std::fabs(extent) * gDetailScale < GLPainter::kShortLine;
  if (plain) ++gReductions;
  return plain;
}

float span(float a, float b) { return std::fabs(b - a); }

}  // namespace

PlainLineScope::PlainLineScope(bool on) : saved_(gLineOverride) { gLineOverride = on ? 1 : -1; }
PlainLineScope::~PlainLineScope() { gLineOverride = saved_; }

bool GLPainter::greeks(float size) {
  if (!reducing()) return false;
  const FTFont* font = FontRegistry::instance().current();
  if (font == nullptr) return false;
  const float height = kTextScale * std::fabs(size) * static_cast<float>(font->FaceSize()) * gDetailScale;
  return height < kGreekHeight;
}

// --- lines and rectangles ---------------------------------------------------

void GLPainter::line(Vec2 p, Vec2 q, Color color) const {
  const bool plain = plainLine(std::fmax(span(p.x, q.x), span(p.y, q.y)));
  PlainLineState state(plain);
  prepareFor(plain ? Drawing::kPlainLine : Drawing::kLine);
  begin(GL_LINES, color);
  vertex2(p.x, p.y);
  vertex2(q.x, q.y);
  end();
}

void GLPainter::dashedLine(Vec2 p, Vec2 q, Color color, float dash, float gap) const {
  const std::vector<Vec2> ends = dashEnds(p, q, dash, gap);
  float extent = 0.0f;
  for (const Vec2& e : ends) extent = std::fmax(extent, std::fmax(span(p.x, e.x), span(p.y, e.y)));
  const bool plain = plainLine(extent);
  PlainLineState state(plain);
  prepareFor(plain ? Drawing::kPlainLine : Drawing::kLine);
  begin(GL_LINES, color);
  for (const Vec2& e : ends) vertex2(e.x, e.y);
  end();
}

void GLPainter::rectOutline(Vec2 c0, Vec2 c1, Color color) const {
  const bool plain = plainLine(std::fmax(span(c0.x, c1.x), span(c0.y, c1.y)));
  PlainLineState state(plain);
  prepareFor(plain ? Drawing::kPlainLine : Drawing::kLine);
  begin(closedOutlineMode(), color);
  vertex2(c0.x, c0.y);
  vertex2(c0.x, c1.y);
  vertex2(c1.x, c1.y);
  vertex2(c1.x, c0.y);
  closeOutline(c0.x, c0.y);
  end();
}

void GLPainter::filledRect(Vec2 c0, Vec2 c1, Color color) const {
  prepareFor(Drawing::kFill);
  begin(GL_TRIANGLE_STRIP, color);
  vertex2(c0.x, c0.y);
  vertex2(c0.x, c1.y);
  vertex2(c1.x, c0.y);
  vertex2(c1.x, c1.y);
  end();
}

// --- polygons -----------------------------------------------------------------

void GLPainter::polygonOutline(PointList list) const {
  if (list.points.size() <= 1) return;
  float extent = 0.0f;
  for (const Vec2& p : list.points)
    extent = std::fmax(extent, std::fmax(span(p.x, list.points.front().x), span(p.y, list.points.front().y)));
  // Measured from the first point: twice that bounds every other distance.
  const bool plain = plainLine(2.0f * extent);
  PlainLineState state(plain);
  prepareFor(plain ? Drawing::kPlainLine : Drawing::kLine);
  begin(closedOutlineMode(), list.color);
  for (const Vec2& p : list.points) vertex2(p.x, p.y);
  closeOutline(list.points.front().x, list.points.front().y);
  end();
}

void GLPainter::filledConvexPolygon(PointList list) const {
  if (list.points.size() <= 2) return;
  prepareFor(Drawing::kFill);
  if (!mergeableForms()) {
    begin(GL_POLYGON, list.color);
    for (const Vec2& p : list.points) vertex2(p.x, p.y);
    end();
    return;
  }
  // A convex polygon is a fan around its first point.
  const Vec2 first = list.points.front();
  emitFan(first.x, first.y, nullptr, static_cast<int>(list.points.size()) - 1,
          [&list](int i) { return list.points[static_cast<std::size_t>(i) + 1]; }, list.color);
}

namespace {

using TessCallback = void (*)();

void tessBegin(GLenum type) { glBegin(type); }
void tessEdgeFlag(GLboolean flag) { glEdgeFlag(flag); }
void tessVertex(void* data) {
  const auto* xy = static_cast<const GLfloat*>(data);
  vertex2(xy[0], xy[1]);
}
void tessEnd() { glEnd(); }

// Self-crossing outlines need new vertices where edges cross; they live in
// the deque passed as polygon data until the tessellation is finished.
void tessCombine(GLdouble coords[3], void* /*vertexData*/[4], GLfloat /*weight*/[4], void** outData,
                 void* polygonData) {
  auto* extra = static_cast<std::deque<Vec2>*>(polygonData);
  extra->emplace_back(static_cast<float>(coords[0]), static_cast<float>(coords[1]));
  *outData = &extra->back().x;
}

}  // namespace

void GLPainter::filledPolygon(PointList list) const {
  if (list.points.size() <= 2) return;
  // The tessellator crashes on coordinates that are not numbers or are
  // infinite; such an outline has no inside to fill anyway.
  for (const Vec2& p : list.points)
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
  GLUtesselator* tess = gluNewTess();
  if (tess == nullptr) return;
  gluTessCallback(tess, GLU_TESS_BEGIN, reinterpret_cast<TessCallback>(&tessBegin));
  gluTessCallback(tess, GLU_TESS_EDGE_FLAG, reinterpret_cast<TessCallback>(&tessEdgeFlag));
  gluTessCallback(tess, GLU_TESS_VERTEX, reinterpret_cast<TessCallback>(&tessVertex));
  gluTessCallback(tess, GLU_TESS_END, reinterpret_cast<TessCallback>(&tessEnd));
  gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<TessCallback>(&tessCombine));

  std::vector<GLdouble> coords;
  coords.reserve(list.points.size() * 3);
  for (const Vec2& p : list.points) {
    coords.push_back(p.x);
    coords.push_back(p.y);
    coords.push_back(0.0);
  }
  std::deque<Vec2> extra;
  // The tessellator's blocks take the colour set before them and edge
  // flags: they go to GL as they come, after what is held back.
  piece_capture::Suspend suspend;
  prepareFor(Drawing::kFill);
  setColor(list.color);
  if (gVectorSink != nullptr && list.color.a * gGlobalAlpha < 1.0f) gVectorSink->translucentPrimitive();
  gluTessBeginPolygon(tess, &extra);
  gluTessBeginContour(tess);
  for (std::size_t i = 0; i < list.points.size(); ++i) {
    gluTessVertex(tess, &coords[i * 3], &list.points[i].x);
  }
  gluTessEndContour(tess);
  gluTessEndPolygon(tess);
  gluDeleteTess(tess);
}

// --- curves and ellipses ------------------------------------------------------

void GLPainter::curve(const std::function<Vec2(float)>& evaluate, Color color, int n) const {
  if (n <= 0 || !evaluate) return;
  // Its extent is known only once it is sampled: only a scope makes it plain.
  const bool plain = reducing() && gLineOverride > 0;
  if (plain) ++gReductions;
  PlainLineState state(plain);
  prepareFor(plain ? Drawing::kPlainLine : Drawing::kLine);
  begin(GL_LINE_STRIP, color);
  for (int i = 0; i < n; ++i) {
    Vec2 p = evaluate(static_cast<float>(i) / static_cast<float>(n));
    vertex2(p.x, p.y);
  }
  end();
}

void GLPainter::arcOutline(Vec2 centre, float rx, float ry, float start, float sweep, Color color, float n) const {
  const int count = detailSegments(segmentCount(n, rx, ry), rx, ry);
  const bool plain = plainLine(2.0f * std::fmax(std::fabs(rx), std::fabs(ry)));
  PlainLineState state(plain);
  prepareFor(plain ? Drawing::kPlainLine : Drawing::kLine);
  begin(GL_LINE_STRIP, color);
  emitArc(centre, rx, ry, start, sweep, count);
  end();
}

void GLPainter::pieOutline(Vec2 centre, float rx, float ry, float start, float sweep, Color color, float n) const {
  // One judgement for the arc and both radii, so that a pie does not switch
  // between smoothed and plain lines.
  PlainLineScope whole(plainLine(2.0f * std::fmax(std::fabs(rx), std::fabs(ry))));
  arcOutline(centre, rx, ry, start, sweep, color, n);
  line(centre, ellipsePoint(centre, rx, ry, start), color);
  line(centre, ellipsePoint(centre, rx, ry, start + sweep), color);
}

void GLPainter::filledSector(Vec2 centre, float rx, float ry, float start, float sweep, Color color, float n) const {
  const int count = detailSegments(segmentCount(n, rx, ry), rx, ry);
  prepareFor(Drawing::kFill);
  emitFan(centre.x, centre.y, nullptr, count + 1, [&](int i) {
    return ellipsePoint(centre, rx, ry, start + sweep * static_cast<float>(i) / static_cast<float>(count));
  }, color);
}

// --- 3D glyph shapes ----------------------------------------------------------

void GLPainter::boxOutline3D(Vec3 a, Vec3 b, Color color) const {
  const bool plain = plainLine(std::fmax(std::fmax(span(a.x, b.x), span(a.y, b.y)), span(a.z, b.z)));
  PlainLineState state(plain);
  Depth3DScope depth(plain ? Drawing::kPlainLine3D : Drawing::kLine3D);
  const float xs[2] = {a.x, b.x};
  const float ys[2] = {a.y, b.y};
  const float zs[2] = {a.z, b.z};
  begin(GL_LINES, color);
  // Four edges along each axis.
  for (int i = 0; i < 2; ++i) {
    for (int j = 0; j < 2; ++j) {
      vertex3(a.x, ys[i], zs[j]);
      vertex3(b.x, ys[i], zs[j]);
      vertex3(xs[i], a.y, zs[j]);
      vertex3(xs[i], b.y, zs[j]);
      vertex3(xs[i], ys[j], a.z);
      vertex3(xs[i], ys[j], b.z);
    }
  }
  end();
}

void GLPainter::filledBox3D(Vec3 a, Vec3 b, Color color) const {
  Depth3DScope depth(Drawing::kFill3D);
  begin(GL_TRIANGLE_STRIP, color);  // faces x = x0, y = y1, x = x1
  vertex3(a.x, a.y, a.z);
  vertex3(a.x, a.y, b.z);
  vertex3(a.x, b.y, a.z);
  vertex3(a.x, b.y, b.z);
  vertex3(b.x, b.y, a.z);
  vertex3(b.x, b.y, b.z);
  vertex3(b.x, a.y, a.z);
  vertex3(b.x, a.y, b.z);
  end();
  begin(GL_TRIANGLE_STRIP, color);  // faces z = z0, y = y0, z = z1
  vertex3(a.x, b.y, a.z);
  vertex3(b.x, b.y, a.z);
  vertex3(a.x, a.y, a.z);
  vertex3(b.x, a.y, a.z);
  vertex3(a.x, a.y, b.z);
  vertex3(b.x, a.y, b.z);
  vertex3(a.x, b.y, b.z);
  vertex3(b.x, b.y, b.z);
  end();
}

void GLPainter::cylinderOutline3D(Vec2 centre, float rx, float ry, float depth, Color color, float n) const {
  const int count = detailSegments(segmentCount(n, rx, ry), rx, ry);
  const bool plain = plainLine(std::fmax(2.0f * std::fmax(std::fabs(rx), std::fabs(ry)), std::fabs(depth)));
  PlainLineState state(plain);
  Depth3DScope depthScope(plain ? Drawing::kPlainLine3D : Drawing::kLine3D);
  for (float z : {0.0f, -depth}) {
    begin(closedOutlineMode(), color);
    for (int i = 0; i < count; ++i) {
      Vec2 p = ellipsePoint(centre, rx, ry, kTwoPiCylinder * static_cast<float>(i) / static_cast<float>(count));
      vertex3(p.x, p.y, z);
    }
    const Vec2 first = ellipsePoint(centre, rx, ry, 0.0f);
    closeOutline(first.x, first.y, &z);
    end();
  }
}

void GLPainter::filledCylinder3D(Vec2 centre, float rx, float ry, float depth, Color color, float n) const {
  const int count = detailSegments(segmentCount(n, rx, ry), rx, ry);
  auto angle = [count](int i) { return kTwoPiCylinder * static_cast<float>(i) / static_cast<float>(count); };
  Depth3DScope depthScope(Drawing::kFill3D);
  for (float z : {0.0f, -depth}) {
    emitFan(centre.x, centre.y, &z, count + 1, [&](int i) { return ellipsePoint(centre, rx, ry, angle(i)); }, color);
  }
  begin(GL_TRIANGLE_STRIP, color);
  for (int i = 0; i < count; ++i) {
    Vec2 p = ellipsePoint(centre, rx, ry, angle(i));
    Vec2 q = ellipsePoint(centre, rx, ry, angle(i + 1));
    vertex3(p.x, p.y, -depth);
    vertex3(p.x, p.y, 0.0f);
    vertex3(q.x, q.y, -depth);
    vertex3(q.x, q.y, 0.0f);
  }
  end();
}

// --- line state ---------------------------------------------------------------

void GLPainter::setLineWidth(float width) const {
  // The line width is not part of any state a batch keeps; a held-back
  // line carries the width it was drawn with.
  piece_capture::lineWidth(width);
  if (!capturing()) glLineWidth(width);
  if (gVectorSink != nullptr) gVectorSink->lineWidth(width);
}

// --- text -----------------------------------------------------------------------

void GLPainter::createFont(const std::string& path, const std::string& name, float size) {
  auto font = std::make_unique<PackedTextureFont>(path.c_str());
  if (font->Error() != 0) throw GraphicsException("Could not construct font from " + path);
  font->FaceSize(static_cast<unsigned int>(size), 72);
  FontRegistry& registry = FontRegistry::instance();
  registry.add(name, std::move(font));
  // Read the new font's glyphs now, while no list is being compiled.
  FontRegistry::Entry& entry = registry.fonts_[name];
  entry.captureTried = true;
  entry.glyphs->capture(*entry.font);
}

bool GLPainter::selectFont(const std::string& name) { return FontRegistry::instance().select(name); }

void GLPainter::textSize(const std::string& rawText, float size, float& width, float& height) {
  std::string repaired;
  const std::string& text = fontSafe(rawText, repaired);
  FTFont* font = FontRegistry::instance().current();
  if (font == nullptr) {
    width = 0.0f;
    height = 0.0f;
    return;
  }
  FTBBox box = font->BBox(text.c_str());
  width = kTextScale * size * (box.Upper().Xf() - box.Lower().Xf());
  height = kTextScale * size * (box.Upper().Yf() - box.Lower().Yf());
}

float GLPainter::textReach(const std::string& text, float size) {
  FontRegistry::Entry* entry = FontRegistry::instance().currentEntry();
  if (entry == nullptr) return 0.0f;
  FTFont& font = *entry->font;
  const float em = static_cast<float>(font.FaceSize());
  if (entry->reachPerByte < 0.0f) {
    // The widest a printable ASCII glyph reaches or advances, and at least
    // an em: a character of several bytes is never wider than that per byte.
    float widest = em;
    for (char c = 32; c < 127; ++c) {
      const char one[2] = {c, '\0'};
      const FTBBox box = font.BBox(one);
      widest = std::max({widest, font.Advance(one), std::fabs(box.Upper().Xf()), std::fabs(box.Lower().Xf())});
    }
    entry->reachPerByte = widest;
  }
  // The box spans at most that per byte across, and two ems up or down
  // from the base line; alignment moves it by at most its width and height.
  return kTextScale * std::fabs(size) * (static_cast<float>(text.size()) * entry->reachPerByte + 2.0f * em);
}

namespace {
bool gTextBatching = true;
unsigned long gFontDrawings = 0;
unsigned long gFontRefused = 0;

// Text too small to read, as a bar (see render/Greeking.h) over its glyphs'
// box, as a fill: no line smoothing.
void drawGreeked(FTFont& font, const std::string& text, Vec2 position, float angle, float size, Vec2 shift,
                 Color color) {
  float lowX = 0.0f, lowY = 0.0f, highX = 0.0f, highY = 0.0f;
  GlyphTable* glyphs = FontRegistry::instance().currentGlyphs();
  if (glyphs != nullptr && glyphs->ready() && GlyphTable::covers(text)) {
    static std::vector<PlacedGlyph> quads;
    glyphs->layout(font, text, quads);
    if (quads.empty()) return;  // nothing but spaces
    lowX = quads.front().x0, lowY = quads.front().y0, highX = quads.front().x1, highY = quads.front().y1;
    for (const PlacedGlyph& q : quads) {
      lowX = std::min({lowX, q.x0, q.x1});
      highX = std::max({highX, q.x0, q.x1});
      lowY = std::min({lowY, q.y0, q.y1});
      highY = std::max({highY, q.y0, q.y1});
    }
  } else {
    const FTBBox box = font.BBox(text.c_str());
    lowX = box.Lower().Xf(), lowY = box.Lower().Yf(), highX = box.Upper().Xf(), highY = box.Upper().Yf();
  }
  const GreekedBar bar = greekedBar({lowX, lowY}, {highX, highY}, position, angle, kTextScale * size, shift,
                                    gDetailScale, color);
  if (!bar.drawn) return;
  prepareFor(Drawing::kFill);
  begin(GL_TRIANGLE_STRIP, bar.ink);
  for (const Vec2& p : bar.corners) vertex2(p.x, p.y);
  end();
}

}  // namespace

void GLPainter::setTextBatching(bool on) { gTextBatching = on; }

unsigned long GLPainter::fontDrawings() { return gFontDrawings; }

unsigned long GLPainter::fontDrawingsRefused() { return gFontRefused; }

void GLPainter::prepareText() {
  FontRegistry::Entry* entry = FontRegistry::instance().currentEntry();
  if (entry == nullptr || glGetString(GL_VERSION) == nullptr || compilingList()) return;
  // The font makes a glyph's texture where the glyph is first measured or
  // drawn; made inside a pick (select mode) the texture comes out blank, and
  // a pick measures every printable glyph (textReach). Measured here first,
  // while drawing to pixels, they are made as they should be.
  if (entry->reachPerByte < 0.0f && renderingPixels()) textReach("", 1.0f);
  if (entry->captureTried) return;
  // One attempt per font: a font that cannot be read keeps its own drawing.
  entry->captureTried = true;
  entry->glyphs->capture(*entry->font);
}

bool GLPainter::drawsBatched(const std::string& text) {
  const GlyphTable* glyphs = FontRegistry::instance().currentGlyphs();
  return gTextBatching && glyphs != nullptr && glyphs->ready() && GlyphTable::covers(text);
}

void GLPainter::drawText(const std::string& rawText, Vec2 position, float angle, float size, int flags,
                         Color color) const {
  std::string repaired;
  const std::string& text = fontSafe(rawText, repaired);
  FTFont* font = FontRegistry::instance().current();
  if (font == nullptr) return;
  float w = 0.0f;
  float h = 0.0f;
  if (flags != 0) {
    FTBBox box = font->BBox(text.c_str());
    w = kTextScale * size * (box.Upper().Xf() - box.Lower().Xf());
    h = kTextScale * size * (box.Upper().Yf() - box.Lower().Yf());
  }
  // The offset of the alignment flags, in the text's turned frame.
  Vec2 shift;
  if (flags & kTextCenterX) shift.x -= w / 2.0f;
  if (flags & kTextCenterY) shift.y -= h / 2.0f;
  if (flags & kTextHang) shift.y -= h;

  if (gVectorSink != nullptr) {
    // A vector file gets the text itself, at the pen origin the font would
    // start from, with the em of the font's face size.
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const Vec2 origin(position.x + (c * shift.x - s * shift.y), position.y + (s * shift.x + c * shift.y));
    const float em = kTextScale * size * static_cast<float>(font->FaceSize());
    if (std::isfinite(origin.x) && std::isfinite(origin.y) && std::isfinite(angle) && std::isfinite(em) && em > 0.0f)
      gVectorSink->text(text, origin, angle, em, Color(color.r, color.g, color.b, color.a * gGlobalAlpha));
    return;
  }

  // Positions that are not numbers keep the font's own drawing, as before.
  const bool finite = std::isfinite(position.x) && std::isfinite(position.y) && std::isfinite(angle) &&
                      std::isfinite(size) && std::isfinite(shift.x) && std::isfinite(shift.y);
  if (finite && greeks(size) && renderingPixels()) {
    ++gReductions;
    drawGreeked(*font, text, position, angle, size, shift, color);
    return;
  }
  if (finite && drawsBatched(text)) {
    // The glyph quads in world units, computed here: no matrix changes and
    // one glBegin per glyph texture, so consecutive text merges in a list.
    static std::vector<PlacedGlyph> quads;
    FontRegistry::instance().currentGlyphs()->layout(*font, text, quads);
    if (quads.empty()) {
      // The colour stays current, as after any text.
      if (capturing()) {
        const GLfloat rgba[4] = {color.r, color.g, color.b, color.a * gGlobalAlpha};
        piece_capture::colourSet(rgba);
      } else {
        setColor(color);
        forgetTextColour();
      }
      return;
    }
    const float k = kTextScale * size;
    float c = 1.0f;
    float s = 0.0f;
    if (angle != 0.0f) {
      const double radians = static_cast<double>(angle * kRadToDeg) * (3.14159265358979323846 / 180.0);
      c = static_cast<float>(std::cos(radians));
      s = static_cast<float>(std::sin(radians));
    }
    auto vertex = [&](float fx, float fy) {
      const float x = shift.x + k * fx;
      const float y = shift.y + k * fy;
      vertex2(position.x + (c * x - s * y), position.y + (s * x + c * y));
    };
    const GLfloat rgba[4] = {color.r, color.g, color.b, color.a * gGlobalAlpha};
    if (capturing()) {
      // Held back: one block per run of glyphs of one texture, each with
      // its texture and colour.
      unsigned int bound = 0;
      bool open = false;
      for (const PlacedGlyph& q : quads) {
        if (!open || q.texture != bound) {
          if (open) piece_capture::endPrimitive();
          bound = q.texture;
          piece_capture::beginText(bound, rgba);
          open = true;
        }
        auto corner = [&](float texS, float texT, float fx, float fy) {
          piece_capture::texCoord(texS, texT);
          vertex(fx, fy);
        };
        corner(q.s0, q.t1, q.x0, q.y1);
        corner(q.s0, q.t0, q.x0, q.y0);
        corner(q.s1, q.t0, q.x1, q.y0);
        corner(q.s1, q.t1, q.x1, q.y1);
      }
      if (open) piece_capture::endPrimitive();
      return;
    }
    openText(rgba);
    bool open = false;
    unsigned int bound = 0;
    for (const PlacedGlyph& q : quads) {
      if (!open || q.texture != bound) {
        if (open) glEnd();
        bindGlyphTexture(q.texture);
        bound = q.texture;
        glBegin(GL_QUADS);
        open = true;
      }
      glTexCoord2f(q.s0, q.t1);
      vertex(q.x0, q.y1);
      glTexCoord2f(q.s0, q.t0);
      vertex(q.x0, q.y0);
      glTexCoord2f(q.s1, q.t0);
      vertex(q.x1, q.y0);
      glTexCoord2f(q.s1, q.t1);
      vertex(q.x1, q.y1);
    }
    if (open) glEnd();
    if (gBatchDepth == 0) closeUnbatchedText();
    return;
  }

  if (compilingOnly()) {
    ++gFontRefused;
    return;
  }
  // The font draws through the matrix, which a held-back part cannot
  // keep: what was held back is drawn first, and this text goes straight
  // to the list.
  piece_capture::Suspend suspend;
  prepareFor(Drawing::kFill);
  ++gFontDrawings;
  if (gTracking) {
    // The font draws through the matrix: its box, turned and placed as the
    // matrix places it, with two font pixels around it for the glyph
    // bitmaps' edges.
    const FTBBox box = font->BBox(text.c_str());
    const float k = kTextScale * size;
    const double radians = static_cast<double>(angle);
    const float c = static_cast<float>(std::cos(radians));
    const float s = static_cast<float>(std::sin(radians));
    for (float fx : {box.Lower().Xf() - 2.0f, box.Upper().Xf() + 2.0f})
      for (float fy : {box.Lower().Yf() - 2.0f, box.Upper().Yf() + 2.0f}) {
        const float x = shift.x + k * fx;
        const float y = shift.y + k * fy;
        track(position.x + (c * x - s * y), position.y + (s * x + c * y), 0.0f);
      }
  }
  setColor(color);
  MatrixGuard matrix(GL_MODELVIEW);
  glTranslatef(position.x, position.y, 0.0f);
  glRotatef(angle * kRadToDeg, 0.0f, 0.0f, 1.0f);
  if (flags != 0) glTranslatef(shift.x, shift.y, 0.0f);
  glScalef(kTextScale * size, kTextScale * size, 0.0f);
  AttribGuard attribs(GL_ENABLE_BIT);
  glEnable(GL_TEXTURE_2D);
  font->Render(text.c_str());
}

void GLPainter::drawText(const std::string& text, Vec2 position, float size, int flags, Color color) const {
  drawText(text, position, 0.0f, size, flags, color);
}

// --- drawing bounds -----------------------------------------------------------------

void GLPainter::beginBounds() {
  gTracking = true;
  gTrackedAny = false;
}

bool GLPainter::trackedBounds(Vec3& low, Vec3& high) {
  if (!gTrackedAny) return false;
  low = Vec3(gLow[0], gLow[1], gLow[2]);
  high = Vec3(gHigh[0], gHigh[1], gHigh[2]);
  return true;
}

bool GLPainter::endBounds(Vec3& low, Vec3& high) {
  gTracking = false;
  return trackedBounds(low, high);
}

}  // namespace lumetra
