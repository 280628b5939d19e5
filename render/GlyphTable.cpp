#include "render/GlyphTable.h"

#include "render/GLListState.h"
#include "render/PackedTextureFont.h"

#include <FTGL/ftgl.h>
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace lumetra {

namespace {

// Feedback viewport side in pixels; the font area [-reach, reach] maps onto it.
constexpr int kFeedbackSide = 1024;
// Floats per vertex of GL_3D_COLOR_TEXTURE in RGBA mode: x y z, r g b a, s t r q.
constexpr int kVertexFloats = 11;

struct FeedbackVertex {
  float x, y, s, t;
};

// Renders text with the font in feedback mode at the pen position and
// returns the vertices drawn (font pixels) and the texture bound last.
// False when the buffer overflowed or something other than polygons came.
bool feedback(FTFont& font, const char* text, FTPoint pen, float reach, std::vector<FeedbackVertex>& vertices,
              GLint& texture) {
  vertices.clear();
  std::vector<GLfloat> buffer(16384);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
  glRenderMode(GL_FEEDBACK);
  font.Render(text, -1, pen);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
  const GLint n = glRenderMode(GL_RENDER);
  if (n < 0) return false;
  const float unit = 2.0f * reach / static_cast<float>(kFeedbackSide);
  auto toFont = [&](float window) {
    // Glyph corners sit on 1/64 font pixel steps: remove the mapping's noise.
    return std::round((window * unit - reach) * 64.0f) / 64.0f;
  };
  GLint pos = 0;
  while (pos < n) {
    const auto token = static_cast<GLint>(buffer[pos++]);
    if (token == GL_PASS_THROUGH_TOKEN) {
      ++pos;
      continue;
    }
    if (token != GL_POLYGON_TOKEN || pos >= n) return false;
    const auto count = static_cast<GLint>(buffer[pos++]);
    if (count < 1 || pos + count * kVertexFloats > n) return false;
    const std::size_t first = vertices.size();
    for (GLint v = 0; v < count; ++v, pos += kVertexFloats)
      vertices.push_back({toFont(buffer[pos]), toFont(buffer[pos + 1]), buffer[pos + 7], buffer[pos + 8]});
    // A glyph without ink (the space) comes as a polygon without area.
    float x0 = vertices[first].x, x1 = x0, y0 = vertices[first].y, y1 = y0;
    for (std::size_t v = first; v < vertices.size(); ++v) {
      x0 = std::min(x0, vertices[v].x);
      x1 = std::max(x1, vertices[v].x);
      y0 = std::min(y0, vertices[v].y);
      y1 = std::max(y1, vertices[v].y);
    }
    if (x0 == x1 || y0 == y1) vertices.resize(first);
  }
  return true;
}

// The axis-aligned quad the vertices span, with the texture coordinates at
// its edges (taken from the vertices at the corners).
bool quadOf(const std::vector<FeedbackVertex>& vertices, GlyphQuad& quad) {
  if (vertices.empty()) {
    quad.drawn = false;
    return true;
  }
  quad.drawn = true;
  quad.x0 = quad.y0 = std::numeric_limits<float>::max();
  quad.x1 = quad.y1 = std::numeric_limits<float>::lowest();
  for (const FeedbackVertex& v : vertices) {
    quad.x0 = std::min(quad.x0, v.x);
    quad.y0 = std::min(quad.y0, v.y);
    quad.x1 = std::max(quad.x1, v.x);
    quad.y1 = std::max(quad.y1, v.y);
  }
  bool found[2] = {false, false};
  for (const FeedbackVertex& v : vertices) {
    if (v.x == quad.x0 && v.y == quad.y0) {
      quad.s0 = v.s;
      quad.t0 = v.t;
      found[0] = true;
    }
    if (v.x == quad.x1 && v.y == quad.y1) {
      quad.s1 = v.s;
      quad.t1 = v.t;
      found[1] = true;
    }
  }
  return found[0] && found[1];
}

}  // namespace

bool GlyphTable::covers(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= kFirst && u <= kLast;
  });
}

bool GlyphTable::capture(FTFont& font) {
  if (auto* packed = dynamic_cast<PackedTextureFont*>(&font)) return captureRecorded(*packed);
  return captureDrawn(font);
}

bool GlyphTable::captureRecorded(PackedTextureFont& font) {
  ready_ = false;
  // Making a glyph uploads its bitmap: in a list being compiled that would
  // be recorded instead of done.
  if (glGetString(GL_VERSION) == nullptr || compilingList()) return false;
  // Making glyphs binds their texture; the binding is put back as it was,
  // so that texture state set after this lands where the caller expects.
  glPushAttrib(GL_TEXTURE_BIT);
  bool ok = true;
  for (int c = kFirst; c <= kLast && ok; ++c) {
    const char text[2] = {static_cast<char>(c), '\0'};
    // Measuring makes the glyph (and its texture) when it is not made yet.
    advance_[c - kFirst] = font.Advance(text);
    const GlyphPlacement* place = font.placement(static_cast<unsigned long>(c));
    ok = place != nullptr;
    if (!ok) break;
    GlyphQuad& quad = glyphs_[c - kFirst];
    quad = GlyphQuad();
    quad.drawn = place->drawn;
    quad.texture = place->texture;
    if (!place->drawn) continue;
    quad.x0 = static_cast<float>(place->left);
    quad.y0 = static_cast<float>(place->bottom);
    quad.x1 = static_cast<float>(place->right);
    quad.y1 = static_cast<float>(place->top);
    quad.s0 = place->s0;
    quad.t0 = place->t0;
    quad.s1 = place->s1;
    quad.t1 = place->t1;
  }
  glPopAttrib();
  if (!ok) return false;
  // The font floors pen plus corner to whole pixels.
  snaps_ = true;
  kerning_.assign(static_cast<std::size_t>(kCount) * kCount, std::numeric_limits<float>::quiet_NaN());
  ready_ = true;
  return true;
}

bool GlyphTable::captureDrawn(FTFont& font) {
  ready_ = false;
  if (glGetString(GL_VERSION) == nullptr || compilingList()) return false;
  const float reach = 4.0f * static_cast<float>(font.FaceSize()) + 64.0f;

  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(-reach, reach, -reach, reach, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glViewport(0, 0, kFeedbackSide, kFeedbackSide);
  glEnable(GL_TEXTURE_2D);

  bool ok = true;
  std::vector<FeedbackVertex> vertices;
  GLint texture = 0;
  for (int c = kFirst; c <= kLast && ok; ++c) {
    const char text[2] = {static_cast<char>(c), '\0'};
    GlyphQuad quad;
    ok = feedback(font, text, FTPoint(), reach, vertices, texture) && quadOf(vertices, quad);
    quad.texture = static_cast<unsigned int>(texture);
    glyphs_[c - kFirst] = quad;
    advance_[c - kFirst] = font.Advance(text);
  }
  // Whether the font snaps glyphs to whole pixels: draw one a quarter pixel on.
  if (ok) {
    const char probe[2] = {'H', '\0'};
    GlyphQuad shifted;
    ok = feedback(font, probe, FTPoint(0.25, 0.0), reach, vertices, texture) && quadOf(vertices, shifted) &&
         shifted.drawn;
    const float x0 = glyph('H').x0;
    if (ok && shifted.x0 == x0) snaps_ = true;
    else if (ok && shifted.x0 == x0 + 0.25f) snaps_ = false;
    else ok = false;
  }

  if (ok) {
    // The font's own drawing of a string with kerning pairs and fractional
    // advances must put its glyph corners exactly where layout puts them.
    kerning_.assign(static_cast<std::size_t>(kCount) * kCount, std::numeric_limits<float>::quiet_NaN());
    const std::string probe = "AVAWTo Ty.,fj(){}WAVE r'l|i1Ll: H_q";
    std::vector<std::pair<float, float>> drawn, placed;
    // Wide enough for the whole string: nothing may be clipped.
    const float probeReach = reach + font.Advance(probe.c_str());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-probeReach, probeReach, -probeReach, probeReach, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    ok = feedback(font, probe.c_str(), FTPoint(), probeReach, vertices, texture);
    for (const FeedbackVertex& v : vertices) drawn.emplace_back(v.x, v.y);
    std::vector<PlacedGlyph> quads;
    layout(font, probe, quads);
    for (const PlacedGlyph& q : quads)
      for (auto corner : {std::pair{q.x0, q.y0}, std::pair{q.x0, q.y1}, std::pair{q.x1, q.y1}, std::pair{q.x1, q.y0}})
        placed.push_back(corner);
    for (auto* list : {&drawn, &placed}) {
      std::sort(list->begin(), list->end());
      list->erase(std::unique(list->begin(), list->end()), list->end());
    }
    ok = ok && drawn == placed;
  }

  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopAttrib();
  ready_ = ok;
  return ok;
}

float GlyphTable::kerning(FTFont& font, char a, char b) {
  const int i = static_cast<unsigned char>(a) - kFirst;
  const int j = static_cast<unsigned char>(b) - kFirst;
  float& slot = kerning_[static_cast<std::size_t>(i) * kCount + j];
  if (std::isnan(slot)) {
    // The pen step from a to b as the font takes it, less a's own advance
    // (which the font measures with nothing following).
    const char pair[3] = {a, b, '\0'};
    slot = font.Advance(pair) - advance_[j] - advance_[i];
  }
  return slot;
}

void GlyphTable::layout(FTFont& font, const std::string& text, std::vector<PlacedGlyph>& out) {
  out.clear();
  double pen = 0.0;
  for (std::size_t k = 0; k < text.size(); ++k) {
    const char c = text[k];
    const GlyphQuad& g = glyph(c);
    if (g.drawn) {
      const float base = static_cast<float>(snaps_ ? std::floor(pen) : pen);
      out.push_back({base + g.x0, g.y0, base + g.x1, g.y1, g.s0, g.t0, g.s1, g.t1, g.texture});
    }
    pen += advance_[static_cast<unsigned char>(c) - kFirst];
    if (k + 1 < text.size()) pen += kerning(font, c, text[k + 1]);
  }
}

}  // namespace lumetra
