// Texture-font text of the immediate-mode painter: fonts, measures, and
// drawing through the glyph table's batched quads, the font's own drawing
// or, too small to read, a greeked bar.

#include <FTGL/ftgl.h>
#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "render/GLListState.h"
#include "render/GLPainter.h"
#include "render/GLState.h"
#include "render/Greeking.h"
#include "render/PackedTextureFont.h"
#include "render/PainterEmit.h"
#include "render/PainterState.h"
#include "render/Utf8Text.h"

namespace lumetra {

using namespace painter_state;
using namespace painter_emit;

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

constexpr float kRadToDeg = 57.29578f;

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
                                    painterContext().detailScale, color);
  if (!bar.drawn) return;
  prepareFor(Drawing::kFill);
  begin(GL_TRIANGLE_STRIP, bar.ink);
  for (const Vec2& p : bar.corners) vertex2(p.x, p.y);
  end();
}

}  // namespace

void GLPainter::setTextBatching(bool on) { painterContext().textBatching = on; }

unsigned long GLPainter::fontDrawings() { return painterContext().fontDrawings; }

unsigned long GLPainter::fontDrawingsRefused() { return painterContext().fontRefused; }

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
  return painterContext().textBatching && glyphs != nullptr && glyphs->ready() && GlyphTable::covers(text);
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

  if (painterContext().vectorSink != nullptr) {
    // A vector file gets the text itself, at the pen origin the font would
    // start from, with the em of the font's face size.
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const Vec2 origin(position.x + (c * shift.x - s * shift.y), position.y + (s * shift.x + c * shift.y));
    const float em = kTextScale * size * static_cast<float>(font->FaceSize());
    if (std::isfinite(origin.x) && std::isfinite(origin.y) && std::isfinite(angle) && std::isfinite(em) && em > 0.0f) {
      const PainterContext& context = painterContext();
      context.vectorSink->text(text, origin, angle, em,
                               Color(color.r, color.g, color.b, color.a * context.globalAlpha));
    }
    return;
  }

  // Positions that are not numbers keep the font's own drawing, as before.
  const bool finite = std::isfinite(position.x) && std::isfinite(position.y) && std::isfinite(angle) &&
                      std::isfinite(size) && std::isfinite(shift.x) && std::isfinite(shift.y);
  if (finite && greeks(size) && renderingPixels()) {
    ++painterContext().reductions;
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
        const GLfloat rgba[4] = {color.r, color.g, color.b, color.a * painterContext().globalAlpha};
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
    const GLfloat rgba[4] = {color.r, color.g, color.b, color.a * painterContext().globalAlpha};
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
    ++painterContext().fontRefused;
    return;
  }
  // The font draws through the matrix, which a held-back part cannot
  // keep: what was held back is drawn first, and this text goes straight
  // to the list.
  piece_capture::Suspend suspend;
  prepareFor(Drawing::kFill);
  ++painterContext().fontDrawings;
  if (painterContext().tracking) {
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

}  // namespace lumetra
