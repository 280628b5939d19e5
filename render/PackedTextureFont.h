#pragma once
// A texture font that packs its glyphs into textures itself and records
// where each one went: the quad a glyph draws (font pixels from the pen,
// before snapping) and the texture coordinates at its corners, known the
// moment the glyph is made. The packing is the texture font's usual one
// (glyphs side by side in rows of the face's cell height, in GL_ALPHA
// textures of a power-of-two size, three texels of padding), so the textures, their sizes and every glyph's place
// in them are the same as a plain FTTextureFont's made in the same order;
// the font draws exactly as that one does. What it adds is that the glyph
// table (render/GlyphTable.h) can be read from these records instead of
// drawing each glyph in GL feedback mode.

#include <FTGL/ftgl.h>

#include <unordered_map>
#include <vector>

namespace lumetra {

// Where a glyph lies: its quad in font pixels relative to the pen (the
// font's drawing floors pen + corner to whole pixels), its texture
// coordinates at the quad's left/right and bottom/top edges, and its texture.
struct GlyphPlacement {
  bool drawn = false;  // false: nothing to draw (no ink, or it failed)
  int left = 0, bottom = 0, right = 0, top = 0;
  float s0 = 0.0f, t0 = 0.0f, s1 = 0.0f, t1 = 0.0f;
  unsigned int texture = 0;
};

class PackedTextureFont : public FTTextureFont {
 public:
  explicit PackedTextureFont(const char* fontFilePath);
  ~PackedTextureFont() override;
  PackedTextureFont(const PackedTextureFont&) = delete;
  PackedTextureFont& operator=(const PackedTextureFont&) = delete;

  bool FaceSize(const unsigned int size, const unsigned int res = 72) override;
  unsigned int FaceSize() const override { return FTTextureFont::FaceSize(); }

  // The placement of the glyph of a character, made by now (by drawing or
  // measuring text with it); null when it was not made or the font has no
  // such glyph.
  const GlyphPlacement* placement(unsigned long character) const;

 protected:
  FTGlyph* MakeGlyph(FT_GlyphSlot slot) override;

 private:
  unsigned int newTexture();
  void dropTextures();

  std::vector<unsigned int> textures_;
  std::unordered_map<unsigned int, GlyphPlacement> placements_;  // by glyph index
  FT_Face face_ = nullptr;
  int maxTextureSide_ = 0;
  int textureWidth_ = 0, textureHeight_ = 0;
  int cellWidth_ = 0, cellHeight_ = 0;
  unsigned int glyphCount_ = 0;
  int x_ = 0, y_ = 0;
};

}  // namespace lumetra
