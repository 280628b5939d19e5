#pragma once
// Where a texture font puts the printable ASCII glyphs, so that a string can
// be drawn as one batch of textured quads with positions computed here,
// instead of through the font's own per-glyph drawing (which changes state
// and matrices per glyph and so defeats display-list merging).
//
// The table is read from the font itself. A PackedTextureFont records where
// it put each glyph as it makes it (render/PackedTextureFont.h), so its
// table costs no drawing. Any other texture font has each glyph rendered
// once in GL feedback mode, which yields the quad the font would draw (font
// pixels, relative to the pen) with its texture coordinates, and the
// texture bound for it. Pen advances and kerning come from the font's own
// measuring. The batch therefore samples the very same glyph textures at the
// very same places. Strings with other characters keep the font's own
// drawing.

#include <array>
#include <string>
#include <vector>

#include "model/Vec2.h"

class FTFont;

namespace lumetra {
class PackedTextureFont;
}

namespace lumetra {

// One glyph quad in font pixels relative to the pen origin on the base line,
// with the texture coordinates at its left/right and bottom/top edges.
struct GlyphQuad {
  bool drawn = false;  // false: the glyph only advances the pen (space)
  float x0 = 0.0f, y0 = 0.0f, x1 = 0.0f, y1 = 0.0f;
  float s0 = 0.0f, t0 = 0.0f, s1 = 0.0f, t1 = 0.0f;
  unsigned int texture = 0;
};

// A quad of a laid-out string: font pixels from the string's pen origin.
struct PlacedGlyph {
  float x0, y0, x1, y1;
  float s0, t0, s1, t1;
  unsigned int texture;
};

class GlyphTable {
 public:
  static constexpr int kFirst = 32;  // ' '
  static constexpr int kLast = 126;  // '~'

  // Reads every printable ASCII glyph of the font. Needs a current GL
  // context and must not run while a display list is being compiled (the
  // feedback drawing would be recorded); false, leaving the table unusable,
  // when that is not so or the font does not behave as expected.
  bool capture(FTFont& font);
  // The same table read by drawing every glyph in feedback mode, whatever
  // the font's kind (what capture does for fonts that keep no record).
  bool captureDrawn(FTFont& font);
  bool ready() const { return ready_; }

  // Whether every character of text is in the table.
  static bool covers(const std::string& text);
  // The quads of text (covers(text) must hold), pen positions exactly as
  // the font advances them.
  void layout(FTFont& font, const std::string& text, std::vector<PlacedGlyph>& out);

  const GlyphQuad& glyph(char c) const { return glyphs_[static_cast<unsigned char>(c) - kFirst]; }
  // Whether the font snaps each glyph to the whole font pixel below the pen.
  bool snapsToPixels() const { return snaps_; }

 private:
  float kerning(FTFont& font, char a, char b);
  bool captureRecorded(PackedTextureFont& font);

  static constexpr int kCount = kLast - kFirst + 1;
  bool ready_ = false;
  bool snaps_ = true;
  std::array<GlyphQuad, kCount> glyphs_{};
  std::array<float, kCount> advance_{};
  // Kerning between two glyphs, measured on first use; NaN when not yet.
  std::vector<float> kerning_;
};

}  // namespace lumetra
