// Holding back a recorded part's primitives and drawing them grouped by
// kind (see render/PieceReorder.h).
//
// Sections: what is held back; footprints; the schedule; drawing;
// the painter's hooks; the window's interface.

#include "render/PieceReorder.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "render/GLPainter.h"
#include "render/PainterState.h"

namespace lumetra {

using painter_state::Drawing;

namespace piece_capture {
bool gOn = false;
}  // namespace piece_capture

namespace {

// ---- what is held back ----

// One glBegin/glEnd block with everything that decides its state.
struct Primitive {
  std::uint32_t first = 0;     // its first vertex in Held::vertices (three floats each)
  std::uint32_t count = 0;     // vertices
  std::uint32_t texFirst = 0;  // text: its first texture coordinate (two floats each)
  std::uint32_t texture = 0;   // text: the glyph texture
  GLenum mode = GL_POINTS;
  float width = 1.0f;  // lines: the line width
  GLfloat rgba[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  Drawing kind = Drawing::kFill;
  bool is3D = false;  // drawn with glVertex3f
};

// Two primitives of one key draw under the same state: a run of them needs
// no state change between them.
bool sameRun(const Primitive& a, const Primitive& b) {
  if (a.kind != b.kind) return false;
  if (painter_state::isLine(a.kind)) return a.width == b.width;
  if (a.kind == Drawing::kText) return a.texture == b.texture;
  return true;
}

// A call that sets state for the primitives after it, noted in the order
// the painter made it.
struct Event {
  enum Type : std::uint8_t { kKind, kSmoothing, kWidth, kColour };
  Type type = kKind;
  Drawing kind = Drawing::kFill;                // kKind
  bool on = false;                              // kSmoothing
  GLfloat value[4] = {0.0f, 0.0f, 0.0f, 0.0f};  // kWidth: the width; kColour: the colour
  std::uint32_t before = 0;                     // the index of the primitive it comes before
};

struct Held {
  bool holding = false;
  float clip[16] = {};
  int width = 0, height = 0;
  Drawing kind = Drawing::kFill;  // what prepareFor was asked for last
  float lineWidth = 1.0f;         // what GLPainter set last
  float groupLineWidth = 1.0f;    // the line width GL has at the start of the group
  bool open = false;              // a block is begun
  bool drawing = false;           // the held-back primitives are being drawn
  float s = 0.0f, t = 0.0f;       // the next text vertex's texture coordinate
  std::vector<Primitive> primitives;
  std::vector<float> vertices;
  std::vector<float> texCoords;
  std::vector<Event> events;
  std::vector<std::uint32_t> pieceEnds;  // primitive index where each piece ends
  std::vector<ReorderedPiece> reordered;
  int group = 0;
  PieceReorder::Counts counts;
};

Held& held() {
  static Held h;
  return h;
}

// ---- footprints ----

// The pixel box (x0, y0, x1, y1) the box lo..hi projects to; false when a
// corner lies at or behind the eye, or is not a number. betweenPlanes, if
// given, receives whether every corner lies between the near and far
// planes.
bool screenBox(const float m[16], int width, int height, const Vec3& lo, const Vec3& hi, float out[4],
               bool* betweenPlanes = nullptr) {
  if (betweenPlanes) *betweenPlanes = true;
  out[0] = out[1] = std::numeric_limits<float>::max();
  out[2] = out[3] = std::numeric_limits<float>::lowest();
  for (int corner = 0; corner < 8; ++corner) {
    const float x = (corner & 1) ? hi.x : lo.x;
    const float y = (corner & 2) ? hi.y : lo.y;
    const float z = (corner & 4) ? hi.z : lo.z;
    const float cx = m[0] * x + m[4] * y + m[8] * z + m[12];
    const float cy = m[1] * x + m[5] * y + m[9] * z + m[13];
    const float cw = m[3] * x + m[7] * y + m[11] * z + m[15];
    if (!(cw > 1e-6f)) return false;
    if (betweenPlanes && !(std::fabs(m[2] * x + m[6] * y + m[10] * z + m[14]) < cw)) *betweenPlanes = false;
    const float px = (cx / cw * 0.5f + 0.5f) * static_cast<float>(width);
    const float py = (cy / cw * 0.5f + 0.5f) * static_cast<float>(height);
    if (!std::isfinite(px) || !std::isfinite(py)) return false;
    out[0] = std::min(out[0], px);
    out[1] = std::min(out[1], py);
    out[2] = std::max(out[2], px);
    out[3] = std::max(out[3], py);
  }
  return true;
}

// Whether every corner of the box lo..hi projects inside the viewport, a
// pixel from its edges, and between the near and far planes. A draw that
// has a vertex outside goes through the renderer's clipping path, where the
// same primitive can come out a level different in a few pixels, so only
// pieces wholly inside may be drawn in another order (or with other
// neighbours in a draw) than the painter's.
bool insideView(const float m[16], int width, int height, const Vec3& lo, const Vec3& hi) {
  float box[4];
  bool betweenPlanes = false;
  return screenBox(m, width, height, lo, hi, box, &betweenPlanes) && betweenPlanes && box[0] >= 1.0f &&
         box[1] >= 1.0f && box[2] <= static_cast<float>(width) - 1.0f && box[3] <= static_cast<float>(height) - 1.0f;
}

// The footprint of a piece: its screen box grown by `grow` pixels, or the
// whole plane when it cannot be projected.
void footprint(const float m[16], int width, int height, const ReorderedPiece& piece, float grow, float out[4]) {
  if (!screenBox(m, width, height, piece.low, piece.high, out)) {
    out[0] = out[1] = -std::numeric_limits<float>::infinity();
    out[2] = out[3] = std::numeric_limits<float>::infinity();
    return;
  }
  out[0] -= grow;
  out[1] -= grow;
  out[2] += grow;
  out[3] += grow;
}

bool touch(const float a[4], const float b[4]) { return a[0] <= b[2] && b[0] <= a[2] && a[1] <= b[3] && b[1] <= a[3]; }

// How far past the box of its vertices (in pixels) the pixels a primitive
// touches may reach. A filled triangle or quad touches the pixels whose
// centres it covers, so their squares lie within half a pixel of it; an
// aliased line of width w those whose centres lie within w/2 of it; a
// smoothed line fades out about a pixel further. Each gets half a pixel
// more for rounding: two pieces whose boxes, grown by their reaches, are
// apart along x or y cannot touch the same pixel.
float reach(const Primitive& p) {
  switch (p.kind) {
    case Drawing::kLine:
    case Drawing::kLine3D:
      return p.width * 0.5f + 2.0f;
    case Drawing::kPlainLine:
    case Drawing::kPlainLine3D:
      return p.width * 0.5f + 1.0f;
    default:
      return 1.0f;
  }
}

// The footprints judged at the recording are grown by this much more than
// those a replay checks, so that small changes of the view (a pan, which
// in perspective moves raised glyphs a little, a small zoom out) keep the
// recording in use.
constexpr float kRecordingSlack = 1.25f;

// ---- drawing ----

struct Emitter {
  float lineWidth;
  const Primitive* last = nullptr;
  unsigned long runs = 0;

  // A primitive out of the painter's order: the state its kind needs first.
  void draw(const Held& h, const Primitive& p) {
    painter_state::prepareFor(p.kind);
    if (painter_state::isLine(p.kind) && p.width != lineWidth) {
      glLineWidth(p.width);
      lineWidth = p.width;
    }
    emit(h, p);
  }

  // The state calls the painter made, as it made them.
  void apply(const Event& e) {
    switch (e.type) {
      case Event::kKind:
        painter_state::prepareFor(e.kind);
        break;
      case Event::kSmoothing:
        painter_state::smoothingInBatch(e.on);
        break;
      case Event::kWidth:
        glLineWidth(e.value[0]);
        lineWidth = e.value[0];
        break;
      case Event::kColour:
        glColor4fv(e.value);
        painter_state::forgetTextColour();
        break;
    }
  }

  // The primitive's own GL calls.
  void emit(const Held& h, const Primitive& p) {
    if (last == nullptr || !sameRun(*last, p)) ++runs;
    last = &p;
    const float* v = h.vertices.data() + 3 * static_cast<std::size_t>(p.first);
    if (p.kind == Drawing::kText) {
      painter_state::openText(p.rgba);
      painter_state::bindGlyphTexture(p.texture);
      const float* st = h.texCoords.data() + 2 * static_cast<std::size_t>(p.texFirst);
      glBegin(GL_QUADS);
      for (std::uint32_t i = 0; i < p.count; ++i, v += 3, st += 2) {
        glTexCoord2f(st[0], st[1]);
        glVertex2f(v[0], v[1]);
      }
      glEnd();
      return;
    }
    glBegin(p.mode);
    glColor4fv(p.rgba);
    if (p.is3D) {
      for (std::uint32_t i = 0; i < p.count; ++i, v += 3) glVertex3f(v[0], v[1], v[2]);
    } else {
      for (std::uint32_t i = 0; i < p.count; ++i, v += 3) glVertex2f(v[0], v[1]);
    }
    glEnd();
  }
};

// ---- the schedule ----

void count(Held& h, unsigned long runsDrawn) {
  h.counts.primitives += h.primitives.size();
  h.counts.runsDrawn += runsDrawn;
  for (std::size_t k = 0; k < h.primitives.size(); ++k)
    if (k == 0 || !sameRun(h.primitives[k - 1], h.primitives[k])) ++h.counts.runsInOrder;
}

// Draws the held-back pieces: each round takes the kind that most pieces
// ready to go on have next, and draws that step of each of them (in piece
// order); a piece is ready once every earlier piece whose footprint may
// overlap its own has finished. When any piece was drawn out of the
// painter's order, the group's footprints are kept for later views. A
// group reaching outside the view, or of one piece, is drawn in order.
void drawGroup(Held& h) {
  const std::size_t n = h.pieceEnds.size();
  std::vector<ReorderedPiece> pieces(n);
  std::vector<std::uint32_t> begin(n), cursor(n);
  for (std::size_t j = 0; j < n; ++j) {
    begin[j] = cursor[j] = j == 0 ? 0 : h.pieceEnds[j - 1];
    ReorderedPiece& piece = pieces[j];
    piece.margin = 0.0f;
    bool any = false;
    for (std::uint32_t k = begin[j]; k < h.pieceEnds[j]; ++k) {
      const Primitive& p = h.primitives[k];
      piece.margin = std::max(piece.margin, reach(p));
      const float* v = h.vertices.data() + 3 * static_cast<std::size_t>(p.first);
      for (std::uint32_t i = 0; i < p.count; ++i, v += 3) {
        const Vec3 q(v[0], v[1], v[2]);
        if (!any) {
          piece.low = piece.high = q;
          any = true;
          continue;
        }
        piece.low = Vec3(std::fmin(piece.low.x, q.x), std::fmin(piece.low.y, q.y), std::fmin(piece.low.z, q.z));
        piece.high = Vec3(std::fmax(piece.high.x, q.x), std::fmax(piece.high.y, q.y), std::fmax(piece.high.z, q.z));
      }
    }
    piece.group = h.group;
    footprint(h.clip, h.width, h.height, piece, kRecordingSlack * piece.margin, piece.recorded);
  }

  Emitter emitter{h.groupLineWidth};
  const bool inside = std::all_of(pieces.begin(), pieces.end(), [&h](const ReorderedPiece& piece) {
    return insideView(h.clip, h.width, h.height, piece.low, piece.high);
  });
  if (!inside || n < 2) {
    // The painter's order, call for call.
    std::size_t e = 0;
    for (std::uint32_t k = 0; k < h.primitives.size(); ++k) {
      while (e < h.events.size() && h.events[e].before <= k) emitter.apply(h.events[e++]);
      emitter.emit(h, h.primitives[k]);
    }
    while (e < h.events.size()) emitter.apply(h.events[e++]);
    count(h, emitter.runs);
    return;
  }

  // Earlier pieces each piece waits for.
  std::vector<int> waiting(n, 0);
  std::vector<std::vector<std::uint32_t>> releases(n);
  for (std::size_t j = 1; j < n; ++j)
    for (std::size_t i = 0; i < j; ++i)
      if (touch(pieces[i].recorded, pieces[j].recorded)) {
        ++waiting[j];
        releases[i].push_back(static_cast<std::uint32_t>(j));
      }

  std::vector<std::uint32_t> ready, next, released;
  for (std::size_t j = 0; j < n; ++j)
    if (waiting[j] == 0) ready.push_back(static_cast<std::uint32_t>(j));
  bool reordered = false;
  std::uint32_t lastPiece = 0;
  std::vector<std::pair<const Primitive*, int>> heads;
  while (!ready.empty()) {
    // The kind most ready pieces have next; the earliest piece's on a tie.
    heads.clear();
    for (std::uint32_t j : ready) {
      const Primitive& head = h.primitives[cursor[j]];
      auto found = std::find_if(heads.begin(), heads.end(), [&](const auto& e) { return sameRun(*e.first, head); });
      if (found == heads.end())
        heads.emplace_back(&head, 1);
      else
        ++found->second;
    }
    const Primitive& key = *std::max_element(heads.begin(), heads.end(), [](const auto& a, const auto& b) {
                              return a.second < b.second;
                            })->first;
    next.clear();
    released.clear();
    for (std::uint32_t j : ready) {
      if (sameRun(key, h.primitives[cursor[j]])) {
        if (j < lastPiece) reordered = true;
        lastPiece = j;
        while (cursor[j] < h.pieceEnds[j] && sameRun(key, h.primitives[cursor[j]]))
          emitter.draw(h, h.primitives[cursor[j]++]);
      }
      if (cursor[j] < h.pieceEnds[j]) {
        next.push_back(j);
        continue;
      }
      for (std::uint32_t d : releases[j])
        if (--waiting[d] == 0) released.push_back(d);
    }
    next.insert(next.end(), released.begin(), released.end());
    std::sort(next.begin(), next.end());
    ready.swap(next);
  }

  if (emitter.lineWidth != h.lineWidth) glLineWidth(h.lineWidth);
  count(h, emitter.runs);
  if (reordered) {
    h.reordered.insert(h.reordered.end(), pieces.begin(), pieces.end());
    ++h.group;
  }
}

}  // namespace

// ---- the painter's hooks ----

namespace piece_capture {

namespace {
Event& note(Event::Type type) {
  Held& h = held();
  Event& e = h.events.emplace_back();
  e.type = type;
  e.before = static_cast<std::uint32_t>(h.primitives.size());
  return e;
}
}  // namespace

void kind(Drawing k) {
  held().kind = k;
  note(Event::kKind).kind = k;
}

void smoothing(bool on) { note(Event::kSmoothing).on = on; }

void colourSet(const GLfloat rgba[4]) {
  Event& e = note(Event::kColour);
  std::copy(rgba, rgba + 4, e.value);
}

void beginPrimitive(GLenum mode, const GLfloat rgba[4]) {
  Held& h = held();
  Primitive p;
  p.first = static_cast<std::uint32_t>(h.vertices.size() / 3);
  p.texFirst = static_cast<std::uint32_t>(h.texCoords.size() / 2);
  p.mode = mode;
  p.width = h.lineWidth;
  std::copy(rgba, rgba + 4, p.rgba);
  p.kind = h.kind;
  h.primitives.push_back(p);
  h.open = true;
}

void beginText(unsigned int texture, const GLfloat rgba[4]) {
  held().kind = Drawing::kText;
  beginPrimitive(GL_QUADS, rgba);
  held().primitives.back().texture = texture;
}

void texCoord(float s, float t) {
  held().s = s;
  held().t = t;
}

namespace {
void add(Held& h, float x, float y, float z) {
  Primitive& p = h.primitives.back();
  h.vertices.insert(h.vertices.end(), {x, y, z});
  if (p.kind == Drawing::kText) h.texCoords.insert(h.texCoords.end(), {h.s, h.t});
  ++p.count;
}
}  // namespace

void vertex3(float x, float y, float z) {
  Held& h = held();
  if (!h.open) return;
  add(h, x, y, z);
  h.primitives.back().is3D = true;
}

void vertex2(float x, float y) {
  Held& h = held();
  if (h.open) add(h, x, y, 0.0f);
}

void endPrimitive() {
  Held& h = held();
  if (!h.open) return;
  h.open = false;
  // A block without vertices draws nothing.
  if (h.primitives.back().count == 0) h.primitives.pop_back();
}

void lineWidth(float width) {
  held().lineWidth = width;
  if (capturing()) note(Event::kWidth).value[0] = width;
}

void drawHeldBack() {
  Held& h = held();
  // The batch this opens settles at its end, which comes back here.
  if (h.drawing) return;
  if (h.primitives.empty()) {
    // State calls with nothing drawn after them still count.
    if (!h.events.empty()) {
      const bool was = gOn;
      gOn = false;
      h.drawing = true;
      Emitter emitter{h.groupLineWidth};
      for (const Event& e : h.events) emitter.apply(e);
      h.drawing = false;
      gOn = was;
    }
    h.events.clear();
    h.pieceEnds.clear();
    h.groupLineWidth = h.lineWidth;
    return;
  }
  const auto size = static_cast<std::uint32_t>(h.primitives.size());
  if (h.pieceEnds.empty() || h.pieceEnds.back() != size) h.pieceEnds.push_back(size);
  const bool was = gOn;
  gOn = false;
  h.drawing = true;
  {
    GLStateBatch batch;
    drawGroup(h);
  }
  h.drawing = false;
  gOn = was;
  h.primitives.clear();
  h.events.clear();
  h.vertices.clear();
  h.texCoords.clear();
  h.pieceEnds.clear();
  h.groupLineWidth = h.lineWidth;
}

Suspend::Suspend() : was_(gOn) {
  if (!was_) return;
  if (painter_state::gBatchDepth > 0) drawHeldBack();
  gOn = false;
}

Suspend::~Suspend() { gOn = was_; }

}  // namespace piece_capture

// ---- the window's interface ----

void PieceReorder::beginPart(const float clip[16], int width, int height) {
  if (GLPainter::vectorSink() != nullptr) return;
  Held& h = held();
  h.holding = true;
  std::copy(clip, clip + 16, h.clip);
  h.width = width;
  h.height = height;
  h.kind = Drawing::kFill;
  h.groupLineWidth = h.lineWidth;
  h.reordered.clear();
  h.group = 0;
  piece_capture::gOn = true;
}

bool PieceReorder::holding() { return held().holding; }

void PieceReorder::pieceEnd() {
  Held& h = held();
  if (!h.holding) return;
  const auto size = static_cast<std::uint32_t>(h.primitives.size());
  if (size > 0 && (h.pieceEnds.empty() || h.pieceEnds.back() != size)) h.pieceEnds.push_back(size);
}

std::vector<ReorderedPiece> PieceReorder::endPart() {
  Held& h = held();
  if (!h.holding) return {};
  piece_capture::drawHeldBack();
  h.holding = false;
  piece_capture::gOn = false;
  return std::move(h.reordered);
}

PieceReorder::Counts PieceReorder::counts() { return held().counts; }

bool footprintsApart(const std::vector<ReorderedPiece>& pieces, const float clip[16], int width, int height) {
  std::vector<float> now(4 * pieces.size());
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (!insideView(clip, width, height, pieces[i].low, pieces[i].high)) return false;
    footprint(clip, width, height, pieces[i], pieces[i].margin, &now[4 * i]);
  }
  for (std::size_t i = 0; i < pieces.size(); ++i)
    for (std::size_t j = i + 1; j < pieces.size() && pieces[j].group == pieces[i].group; ++j)
      if (touch(&now[4 * i], &now[4 * j]) && !touch(pieces[i].recorded, pieces[j].recorded)) return false;
  return true;
}

}  // namespace lumetra
