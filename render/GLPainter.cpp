// Immediate-mode primitives and texture-font text.
//
// Sections: colour and segment counts; level of detail; lines and
// rectangles; polygons; curves and ellipses; 3D glyph shapes; line state;
// drawing bounds. Text is in PainterText.cpp, the plain 2D geometry in
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
#include "render/PainterEmit.h"
#include "render/PainterState.h"
#include "render/Utf8Text.h"

namespace lumetra {

using namespace painter_state;
using namespace painter_emit;

namespace {

constexpr float kTwoPi = 6.2831855f;  // float 2*pi for segment counts
constexpr float kTwoPiCylinder = 2.0f * 3.1415927f;


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
bool mergeableForms() { return painterContext().vectorSink == nullptr; }

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

void GLPainter::setGlobalAlpha(float factor) { painterContext().globalAlpha = factor; }
void GLPainter::setVectorSink(VectorSink* sink) {
  painterContext().vectorSink = sink;
  painterContext().recordingVectors = sink != nullptr;
}
VectorSink* GLPainter::vectorSink() { return painterContext().vectorSink; }
float GLPainter::globalAlpha() { return painterContext().globalAlpha; }

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
  painterContext().detailScale = pixelsPerUnit > 0.0f ? pixelsPerUnit : kFullDetail;
}

float GLPainter::detailScale() { return painterContext().detailScale; }

void GLPainter::setRecordingVectors(bool on) { painterContext().recordingVectors = on; }

bool GLPainter::recordingVectors() { return painterContext().recordingVectors; }

unsigned long GLPainter::detailReductions() { return painterContext().reductions; }

namespace {

bool reducing() { return !painterContext().recordingVectors && painterContext().detailScale < GLPainter::kFullDetail; }

// At most `count`, at least kMinDetailSegments (or count, if that is less),
// otherwise as many as a length of `pixels` on screen needs.
int reducedCount(int count, float pixels) {
  if (!reducing()) return count;
  const float wanted = std::ceil(pixels / GLPainter::kDetailSegment);
  if (!(wanted < static_cast<float>(count))) return count;  // also NaN
  if (count > GLPainter::kMinDetailSegments) ++painterContext().reductions;
  return std::max(std::min(count, GLPainter::kMinDetailSegments), static_cast<int>(wanted));
}

}  // namespace

int GLPainter::detailSegments(int count, float rx, float ry) {
  return reducedCount(count, kTwoPi * std::max(std::fabs(rx), std::fabs(ry)) * painterContext().detailScale);
}

int GLPainter::curveSamples(int n, float extent) {
  // A convex closed curve is at most pi times its diameter long. Curves take
  // samples four times as dense as ellipses: they bend unevenly, and the
  // self-association loop is drawn with a fixed 256 samples at any size, so
  // a loop of ordinary size at zoom 1 keeps all of them.
  return reducedCount(n, 4.0f * 3.1415927f * std::fabs(extent) * painterContext().detailScale);
}

bool GLPainter::underPixels(float extent, float pixels) {
  const bool under = reducing() && std::fabs(extent) * painterContext().detailScale < pixels;
  if (under) ++painterContext().reductions;
  return under;
}

namespace {

// Whether a line primitive whose vertices lie within extent units of each
// other along every axis goes without smoothing.
bool plainLine(float extent) {
  if (!reducing()) return false;
  const PainterContext& context = painterContext();
  const bool plain = context.lineOverride != 0 ? context.lineOverride > 0
                                                : std::fabs(extent) * context.detailScale < GLPainter::kShortLine;
  if (plain) ++painterContext().reductions;
  return plain;
}

float span(float a, float b) { return std::fabs(b - a); }

}  // namespace

PlainLineScope::PlainLineScope(bool on) : saved_(painterContext().lineOverride) {
  painterContext().lineOverride = on ? 1 : -1;
}
PlainLineScope::~PlainLineScope() { painterContext().lineOverride = saved_; }

bool GLPainter::greeks(float size) {
  if (!reducing()) return false;
  const FTFont* font = FontRegistry::instance().current();
  if (font == nullptr) return false;
  const float height =
      kTextScale * std::fabs(size) * static_cast<float>(font->FaceSize()) * painterContext().detailScale;
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
  const PainterContext& context = painterContext();
  if (context.vectorSink != nullptr && list.color.a * context.globalAlpha < 1.0f)
    context.vectorSink->translucentPrimitive();
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
  const bool plain = reducing() && painterContext().lineOverride > 0;
  if (plain) ++painterContext().reductions;
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
  // Two strips of three faces each: x = x0, y = y1, x = x1; then z = z0,
  // y = y0, z = z1.
  const Vec3 strips[2][8] = {
      {{a.x, a.y, a.z}, {a.x, a.y, b.z}, {a.x, b.y, a.z}, {a.x, b.y, b.z}, {b.x, b.y, a.z}, {b.x, b.y, b.z},
       {b.x, a.y, a.z}, {b.x, a.y, b.z}},
      {{a.x, b.y, a.z}, {b.x, b.y, a.z}, {a.x, a.y, a.z}, {b.x, a.y, a.z}, {a.x, a.y, b.z}, {b.x, a.y, b.z},
       {a.x, b.y, b.z}, {b.x, b.y, b.z}},
  };
  for (const auto& strip : strips) {
    begin(GL_TRIANGLE_STRIP, color);
    for (const Vec3& v : strip) vertex3(v.x, v.y, v.z);
    end();
  }
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
  if (painterContext().vectorSink != nullptr) painterContext().vectorSink->lineWidth(width);
}

// --- drawing bounds -----------------------------------------------------------------

void GLPainter::beginBounds() {
  painterContext().tracking = true;
  painterContext().trackedAny = false;
}

bool GLPainter::trackedBounds(Vec3& low, Vec3& high) {
  if (!painterContext().trackedAny) return false;
  low = Vec3(painterContext().low[0], painterContext().low[1], painterContext().low[2]);
  high = Vec3(painterContext().high[0], painterContext().high[1], painterContext().high[2]);
  return true;
}

bool GLPainter::endBounds(Vec3& low, Vec3& high) {
  painterContext().tracking = false;
  return trackedBounds(low, high);
}

}  // namespace lumetra
