// The packed texture font against FTGL's plain texture font: the glyph table
// it records equals the one read by drawing every glyph in feedback mode
// (and the plain font's, texture sizes included), and both fonts draw the
// very same pixels, also for glyphs far down their textures.

#include <FTGL/ftgl.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/FontLookup.h"
#include "render/DefaultFont.h"
#include "render/GlyphTable.h"
#include "render/PackedTextureFont.h"
#include "tests/render/FontCanvasTest.h"

namespace lumetra {
namespace {

class PackedFontTest : public FontCanvasTest<320, 200> {
 protected:
  static std::string fontFile() { return findFontFile(kDefaultFontFile); }

  static void expectSameQuads(const GlyphTable& a, const GlyphTable& b, bool sameTextures) {
    for (int c = GlyphTable::kFirst; c <= GlyphTable::kLast; ++c) {
      SCOPED_TRACE(std::string("glyph '") + static_cast<char>(c) + "'");
      const GlyphQuad& p = a.glyph(static_cast<char>(c));
      const GlyphQuad& q = b.glyph(static_cast<char>(c));
      ASSERT_EQ(p.drawn, q.drawn);
      if (!p.drawn) continue;
      EXPECT_EQ(p.x0, q.x0);
      EXPECT_EQ(p.y0, q.y0);
      EXPECT_EQ(p.x1, q.x1);
      EXPECT_EQ(p.y1, q.y1);
      EXPECT_EQ(p.s0, q.s0);
      EXPECT_EQ(p.t0, q.t0);
      EXPECT_EQ(p.s1, q.s1);
      EXPECT_EQ(p.t1, q.t1);
      if (sameTextures) EXPECT_EQ(p.texture, q.texture);
      else EXPECT_EQ(textureSize(p.texture), textureSize(q.texture));
    }
    EXPECT_EQ(a.snapsToPixels(), b.snapsToPixels());
  }

  static std::pair<int, int> textureSize(unsigned int texture) {
    GLint w = 0, h = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    glBindTexture(GL_TEXTURE_2D, 0);
    return {w, h};
  }

  // The canvas after the font drew the lines, one below the other.
  std::vector<std::uint8_t> drawn(FTFont& font, const std::vector<std::string>& lines) {
    gl_->clear();
    glColor4f(0.1f, 0.2f, 0.6f, 1.0f);
    float y = 170.0f;
    for (const std::string& line : lines) {
      font.Render(line.c_str(), -1, FTPoint(4.25, y));
      y -= static_cast<float>(font.LineHeight());
    }
    glFinish();
    return gl_->pixels();
  }

  static int inked(const std::vector<std::uint8_t>& pixels) {
    int n = 0;
    for (std::size_t i = 0; i + 3 < pixels.size(); i += 4)
      if (pixels[i] + pixels[i + 1] + pixels[i + 2] < 3 * 255) ++n;
    return n;
  }
};

TEST_F(PackedFontTest, RecordedTableEqualsTheTablesReadByDrawing) {
  const std::string file = fontFile();
  ASSERT_FALSE(file.empty());
  for (unsigned int size : {static_cast<unsigned int>(kDefaultFontSize), 3u, 7u, 9u, 40u}) {
    SCOPED_TRACE("size " + std::to_string(size));
    PackedTextureFont packed(file.c_str());
    FTTextureFont plain(file.c_str());
    ASSERT_TRUE(packed.FaceSize(size, 72));
    ASSERT_TRUE(plain.FaceSize(size, 72));
    GlyphTable recorded, drawnPacked, drawnPlain;
    ASSERT_TRUE(recorded.capture(packed));
    ASSERT_TRUE(drawnPacked.captureDrawn(packed));
    ASSERT_TRUE(drawnPlain.capture(plain));
    expectSameQuads(recorded, drawnPacked, true);
    expectSameQuads(recorded, drawnPlain, false);
    // Laid out with kerning, the strings are the same too.
    const std::string text = "AVAWTo Ty.,fj(){}WAVE r'l|i1Ll: H_q";
    std::vector<PlacedGlyph> a, b;
    recorded.layout(packed, text, a);
    drawnPlain.layout(plain, text, b);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t k = 0; k < a.size(); ++k) {
      EXPECT_EQ(a[k].x0, b[k].x0) << k;
      EXPECT_EQ(a[k].y1, b[k].y1) << k;
    }
  }
}

TEST_F(PackedFontTest, DrawsTheSamePixelsAsThePlainTextureFont) {
  const std::string file = fontFile();
  ASSERT_FALSE(file.empty());
  // At 60 pixels a texture row holds about a hundred glyph cells: the
  // accented and Greek letters, met after all of ASCII, lie rows further down.
  std::string many;
  for (char32_t c = 0x20; c < 0x3D0; ++c) {
    if (c >= 0x7F && c < 0xA0) continue;
    if (c < 0x80) {
      many += static_cast<char>(c);
    } else {
      many += static_cast<char>(0xC0 | (c >> 6));
      many += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  struct Case {
    const char* name;
    unsigned int size;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"labels", static_cast<unsigned int>(kDefaultFontSize), {"Class42 operation0(): void", "AVAWTo Ty.,fj(){}", "~{x} [a|b] 1,000"}},
      {"small", 8, {"ListIterator<T> next()", "WAVE r'l|i1Ll: H_q"}},
      {"late glyphs, far down", 60, {"\xCE\xA9\xCE\xB2\xCE\xB3 \xC3\xA9\xC3\xBC", "\xC5\x81\xC4\x9B \xC3\x9F"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PackedTextureFont packed(file.c_str());
    FTTextureFont plain(file.c_str());
    ASSERT_TRUE(packed.FaceSize(c.size, 72));
    ASSERT_TRUE(plain.FaceSize(c.size, 72));
    // Both fonts meet the glyphs in the same order, so pack them alike.
    packed.Advance(many.c_str());
    plain.Advance(many.c_str());
    if (c.size == 60) {
      const GlyphPlacement* omega = packed.placement(0x3A9);
      const GlyphPlacement* a = packed.placement('A');
      ASSERT_TRUE(omega != nullptr && a != nullptr);
      EXPECT_GT(omega->t1, a->t1) << "Omega should lie in a lower row than A";
    }
    const std::vector<std::uint8_t> a = drawn(packed, c.lines);
    const std::vector<std::uint8_t> b = drawn(plain, c.lines);
    EXPECT_GT(inked(b), 100);
    EXPECT_TRUE(a == b);
  }
}

}  // namespace
}  // namespace lumetra
