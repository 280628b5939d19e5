#pragma once
// Immediate-mode drawing and text: every painter draws through this class.
//
// Sections: text flags; GLPainter (primitives, 3D glyph shapes, 2D
// geometry, text, drawing bounds, global alpha). What the painter keeps
// between calls lives in one PainterContext (PainterContext.h); the point
// lists, the vector sink, the line and state scopes and the font registry
// have their own headers, included here for the painters' convenience.
//
// Coordinates are world units of the current model-view and projection
// (diagram units, y up, for the diagram painters). Every primitive first sets
// its colour with the alpha multiplied by the global alpha factor, then emits
// one or more glBegin/glEnd blocks; nothing allocates GPU resources except the
// font textures, so a whole scene can be captured in display lists, and the
// box of what was drawn can be tracked for each of them.
//
// Elliptic operations take a segment count n as a float: a negative n asks
// for segments of about |n| units, n = ceil(2*pi*max(rx, ry) / |n|). Their
// points are (cx + rx*sin(a), cy + ry*cos(a)): angle 0 points up and angles
// grow clockwise, in radians.

#include <concepts>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/Vec2.h"
#include "render/Exceptions.h"
#include "render/FontRegistry.h"
#include "render/GLStateBatch.h"
#include "render/GlyphTable.h"
#include "render/PlainLineScope.h"
#include "render/PointList.h"
#include "render/Vec3.h"
#include "render/VectorSink.h"
#include "settings/Color.h"

namespace lumetra {

// Alignment flags of drawText; they combine. Without flags the position is
// the pen origin on the base line.
enum TextAlign : int {
  kTextCenterX = 1,  // the text's width is centred on the position
  kTextCenterY = 2,  // the text's height is centred on the position
  kTextHang = 4,     // the text hangs below the position by its height
};

// World units per font pixel at text size 1.
inline constexpr float kTextScale = 0.08f;

// Name and size of the default font the canvas registers at start-up.
inline constexpr const char* kDefaultFontFile = "arial.ttf";
inline constexpr const char* kDefaultFontName = "Arial";
inline constexpr float kDefaultFontSize = 18.0f;

class GLPainter {
 public:
  // --- lines and rectangles ------------------------------------------------
  void line(Vec2 p, Vec2 q, Color color) const;
  // Dashes of length dash separated by gap, starting at p. The last dash is
  // not shortened, so it may pass q by up to dash. A step dash + gap that is
  // not positive draws the line solid.
  void dashedLine(Vec2 p, Vec2 q, Color color, float dash, float gap) const;
  void rectOutline(Vec2 corner0, Vec2 corner1, Color color) const;
  void filledRect(Vec2 corner0, Vec2 corner1, Color color) const;

  // --- polygons (fewer points than needed draw nothing) --------------------
  void polygonOutline(PointList list) const;       // more than 1 point
  void filledConvexPolygon(PointList list) const;  // more than 2 points
  void filledPolygon(PointList list) const;        // concave allowed; more than 2 points

  // --- sampled curves ------------------------------------------------------
  // A line strip through evaluate(i / n) for i = 0 .. n - 1; the end at t = 1
  // is not drawn.
  void curve(const std::function<Vec2(float)>& evaluate, Color color, int n) const;
  // Any curve object with evaluate(t) -> Vec2 (the splines).
  template <class Curve>
  requires requires(Curve& c) {
    { c.evaluate(0.0f) } -> std::convertible_to<Vec2>;
  }
  void curve(Curve& c, Color color, int n) const {
    curve(std::function<Vec2(float)>([&c](float t) { return c.evaluate(t); }), color, n);
  }

  // --- ellipses (angles in radians, see the header comment) ----------------
  void arcOutline(Vec2 centre, float rx, float ry, float start, float sweep, Color color, float n) const;
  // The arc plus lines from the centre to both of its ends.
  void pieOutline(Vec2 centre, float rx, float ry, float start, float sweep, Color color, float n) const;
  // A fan from the centre; start 0 and sweep 2*pi fill the whole ellipse.
  void filledSector(Vec2 centre, float rx, float ry, float start, float sweep, Color color, float n) const;

  // --- 3D glyph shapes -----------------------------------------------------
  // These set the depth function to GL_LEQUAL for their own duration and back
  // to GL_ALWAYS afterwards (only relevant when the caller enables depth test).
  void boxOutline3D(Vec3 corner0, Vec3 corner1, Color color) const;
  void filledBox3D(Vec3 corner0, Vec3 corner1, Color color) const;
  // Ellipses at z = 0 and z = -depth, no side lines.
  void cylinderOutline3D(Vec2 centre, float rx, float ry, float depth, Color color, float n) const;
  // Caps at z = 0 and z = -depth and the side between them.
  void filledCylinder3D(Vec2 centre, float rx, float ry, float depth, Color color, float n) const;

  // --- line state ------------------------------------------------------------
  void setLineWidth(float width) const;
  // on: push the enable bits and enable line smoothing; off: pop them.
  // Calls come in on/off pairs, and pairs do not nest. Inside a GLStateBatch
  // the pop waits for the next primitive drawn without smoothing asked for.
  void setLineSmoothing(bool on) const;
  // On: the caller has switched line smoothing off around the drawing
  // (the canvas's fixed state has it on), and every smoothed line switches
  // it on for itself instead of every plain line switching it off. Each
  // primitive is drawn under the same state either way; what differs is
  // how often the state changes: on a software renderer each change of
  // line smoothing costs about as much as a few hundred small primitives,
  // so a drawing whose lines are mostly plain (an overview) is drawn on a
  // plain base. Off at the start.
  static void setPlainLineBase(bool on);
  static bool plainLineBase();

  // --- 2D geometry (no GL) -------------------------------------------------
  // True, with the crossing point in out, when segments a-b and c-d cross;
  // touching end points count. Parallel segments never cross.
  static bool segmentIntersect(Vec2 a, Vec2 b, Vec2 c, Vec2 d, Vec2& out);
  // Moves to onto the border of the box where from-to first crosses it,
  // testing the left, top, right and bottom edges in that order; leaves to
  // unchanged when no edge is crossed.
  static void clipToBox(Vec2 corner0, Vec2 corner1, Vec2 from, Vec2& to);
  // The number of segments an elliptic operation uses for count n and radii
  // rx, ry: at least 1, at most kMaxSegments (reached at a radius of about
  // 7,800 units with segments of 3 units; beyond it segments grow longer).
  static int segmentCount(float n, float rx, float ry);
  static constexpr int kMaxSegments = 16384;
  // The end points dashedLine draws, two per dash: start, end, start, end...
  // A line that would need more than kMaxDashes dashes gets dashes and gaps
  // longer in proportion; a line with an end that is not finite draws nothing.
  static std::vector<Vec2> dashEnds(Vec2 p, Vec2 q, float dash, float gap);
  static constexpr std::size_t kMaxDashes = 10000;

  // --- text ------------------------------------------------------------------
  // Loads a texture font from path at the given face size (resolution 72),
  // registers it under name (replacing an entry of that name) and makes it
  // current if no font was current. Throws GraphicsException
  // "Could not construct font from <path>" when the file cannot be used.
  // Needs a current GL context.
  static void createFont(const std::string& path, const std::string& name, float size);
  // Makes the registered font of that name current; false if there is none.
  static bool selectFont(const std::string& name);
  // Width and height of the text's bounding box at text size `size`, in world
  // units (kTextScale * size per font pixel). Zero without a current font.
  static void textSize(const std::string& text, float size, float& width, float& height);
  // A bound, cheap to compute (no layout), on where the text can draw: every
  // point drawText draws for it at this size, with any alignment flags and
  // angle, lies within twice this distance of the position it is given.
  // World units; zero without a current font.
  static float textReach(const std::string& text, float size);
  // Makes the current font's printable glyphs while drawing to pixels (a
  // pick that met them first would make them blank) and reads its glyph
  // table if that has not been done, so that text can be drawn in batches
  // (see render/GlyphTable.h). Needs a current
  // context; does nothing while a display list is being compiled, which is
  // why a window calls it before it opens its list. createFont calls it for
  // the font it makes.
  static void prepareText();
  // Whether drawText draws this text of the current font as batched quads
  // (otherwise through the font's own drawing).
  static bool drawsBatched(const std::string& text);
  // Off: every text goes through the font's own drawing (for comparison).
  static void setTextBatching(bool on);
  // How many texts went through the font's own drawing so far. That drawing
  // makes glyph textures as it meets new glyphs, which needs the GL
  // commands carried out: while a display list is compiled without being
  // drawn, such text is left out instead and counted as refused (the list
  // is then to be recorded again, drawn while compiled).
  static unsigned long fontDrawings();
  static unsigned long fontDrawingsRefused();
  // Draws UTF-8 text at position, turned by angle (radians) about it.
  void drawText(const std::string& text, Vec2 position, float angle, float size, int flags, Color color) const;
  void drawText(const std::string& text, Vec2 position, float size, int flags, Color color) const;

  // --- level of detail ----------------------------------------------------------
  // The screen scale detail is judged at: pixels per unit of the current
  // model-view, at the largest the units show anywhere in the view. At the
  // start (and at kFullDetail) everything is drawn in full. Below that:
  // - text under kGreekHeight pixels high (its font's em height) is drawn as
  //   a thin bar of its colour over the middle of where its glyphs would be
  //   ("greeking"; a bar thinner than a pixel is drawn one pixel thick with
  //   its alpha scaled by its thickness); in GL selection or feedback mode, and while vectors are
  //   recorded, text is always drawn as text, so picking sees the glyphs;
  // - elliptic primitives and curveSamples take segments of about
  //   kDetailSegment pixels where theirs would be shorter (curves: a quarter
  //   of that), never fewer than kMinDetailSegments nor more than in full.
  // - a line primitive (line, dashes, outline, arc, the edges of a 3D
  //   shape) whose vertices all lie within kShortLine pixels of each other
  //   along x, y and z is drawn without smoothing: a smoothed line costs a
  //   software renderer several times an aliased one, and at that size the
  //   two look alike (a PlainLineScope makes one judgement for all the
  //   lines of a drawing instead);
  // Where everything is larger than these limits the drawing is the same
  // as in full detail, command for command.
  static constexpr float kFullDetail = __builtin_huge_valf();
  static constexpr float kGreekHeight = 4.0f;
  static constexpr float kDetailSegment = 2.0f;
  static constexpr int kMinDetailSegments = 8;
  static constexpr float kShortLine = 3.0f;
  static void setDetailScale(float pixelsPerUnit);
  static float detailScale();
  // While on, nothing is reduced whatever the scale: the drawing goes to a
  // vector format (SVG, PDF) in which text stays text at any magnification.
  static void setRecordingVectors(bool on);
  static bool recordingVectors();
  // The segments an elliptic primitive of `count` segments in full takes at
  // the detail scale.
  static int detailSegments(int count, float rx, float ry);
  // The samples a curve of n samples in full takes at the detail scale,
  // for a curve whose points lie within a box of longest side extent.
  static int curveSamples(int n, float extent);
  // Whether text of this size would be greeked at the detail scale.
  static bool greeks(float size);
  // Whether a length of extent units shows under `pixels` pixels at the
  // detail scale; false in full detail and while vectors are recorded. A
  // true answer counts as a reduction (the caller draws less for it).
  static bool underPixels(float extent, float pixels);
  // How many texts were greeked, elliptic primitives or curves drawn with
  // fewer segments, lines drawn without smoothing and underPixels answers
  // of true there were so far.
  static unsigned long detailReductions();

  // --- drawing bounds ----------------------------------------------------------
  // From beginBounds on, every vertex the painter emits widens a box in the
  // coordinates it is given in (those of the current model-view), and text
  // drawn through the font's own drawing widens it by the text's box.
  // trackedBounds gives the box so far, endBounds gives it and stops; both
  // are false when nothing was drawn. Drawing that does not go through this
  // class is not seen.
  static void beginBounds();
  static bool trackedBounds(Vec3& low, Vec3& high);
  static bool endBounds(Vec3& low, Vec3& high);

  // --- vector recording --------------------------------------------------------
  // Installs the sink that takes text while a vector file is recorded (null:
  // none, the default), and sets recordingVectors with it. Not owned. Painters that draw something other than
  // primitives and text (pictures, level-of-detail simplifications of what
  // a vector file can show in full) ask recordingVectors.
  static void setVectorSink(VectorSink* sink);
  static VectorSink* vectorSink();

  // --- global alpha ----------------------------------------------------------
  // Multiplies the alpha of every colour drawn; 1.0 at start.
  static void setGlobalAlpha(float factor);
  static float globalAlpha();
};

}  // namespace lumetra
