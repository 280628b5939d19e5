// Text drawn as batched glyph quads against the font's own drawing: the same
// pixels for every alignment, size, angle and colour, inside display lists
// too; which strings are batched; pen positions that follow the font's
// advances and kerning.

#include <FTGL/ftgl.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "render/DefaultFont.h"
#include "render/GLPainter.h"
#include "render/GlyphTable.h"
#include "tests/render/FontCanvasTest.h"
#include "tests/support/GLTestHarness.h"

namespace lumetra {
namespace {

class TextBatchTest : public FontCanvasTest<240, 160> {
 protected:
  void SetUp() override {
    GLPainter::setTextBatching(true);
    FontCanvasTest::SetUp();
  }
  void TearDown() override {
    GLPainter::setTextBatching(true);
    FontCanvasTest::TearDown();
  }

  // The canvas after draw, with text batched or through the font.
  std::vector<std::uint8_t> render(bool batched, const std::function<void()>& draw) {
    GLPainter::setTextBatching(batched);
    gl_->clear();
    draw();
    glFinish();
    GLPainter::setTextBatching(true);
    return gl_->pixels();
  }

  struct Difference {
    int largest = 0;    // largest channel difference
    int differing = 0;  // pixels differing by more than 2 in a channel
    int inked = 0;      // pixels the reference darkened at all
  };
  static Difference compare(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& reference) {
    Difference d;
    for (std::size_t i = 0; i + 3 < a.size(); i += 4) {
      int worst = 0;
      for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(int(a[i + c]) - int(reference[i + c])));
      d.largest = std::max(d.largest, worst);
      if (worst > 2) ++d.differing;
      if (reference[i] + reference[i + 1] + reference[i + 2] < 3 * 255) ++d.inked;
    }
    return d;
  }

  GLPainter painter_;
};

TEST_F(TextBatchTest, PrintableAsciiIsBatchedOtherTextKeepsTheFontsDrawing) {
  struct Case {
    const char* name;
    std::string text;
    bool batched;
  };
  const Case cases[] = {
      {"class name", "Class42", true},
      {"operation with punctuation", "operation0(): void ~{x}", true},
      {"empty", "", true},
      {"accented letters", "Gr\xc3\xb6\xc3\x9f""e", false},
      {"tab", "a\tb", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GLPainter::drawsBatched(c.text), c.batched);
  }
  GLPainter::setTextBatching(false);
  EXPECT_FALSE(GLPainter::drawsBatched("Class42"));
}

TEST_F(TextBatchTest, BatchedTextMatchesTheFontsOwnPixels) {
  struct Case {
    const char* name;
    std::string text;
    Vec2 position;
    float angle, size;
    int flags;
    Color colour;
  };
  const Color black(0, 0, 0, 1);
  const Case cases[] = {
      {"pen origin, one pixel per font pixel", "HEH field0", {20, 60}, 0.0f, 12.5f, 0, black},
      {"kerning pairs", "AVAWAY To Ty LT", {10, 100}, 0.0f, 12.5f, 0, black},
      {"centred and hanging", "operation3()", {120, 120}, 0.0f, 12.5f, kTextCenterX | kTextHang, black},
      {"centred both ways", "Class17", {120, 80}, 0.0f, 12.5f, kTextCenterX | kTextCenterY, black},
      {"fractional position", "fractions", {30.37f, 40.61f}, 0.0f, 12.5f, 0, black},
      {"diagram size 10", "int field1", {15, 30}, 0.0f, 10.0f, kTextHang, Color(0.2f, 0.4f, 0.9f, 1.0f)},
      {"enlarged", "Wq", {40, 40}, 0.0f, 40.0f, 0, black},
      {"quarter turn", "turned", {120, 10}, 1.5707964f, 12.5f, 0, black},
      {"slanted, centred", "slanted", {120, 80}, 0.6f, 12.5f, kTextCenterX | kTextCenterY, black},
      {"translucent red", "alpha", {60, 70}, 0.0f, 20.0f, 0, Color(1, 0, 0, 0.5f)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(GLPainter::drawsBatched(c.text));
    auto draw = [&] { painter_.drawText(c.text, c.position, c.angle, c.size, c.flags, c.colour); };
    const auto reference = render(false, draw);
    const auto batched = render(true, draw);
    const Difference d = compare(batched, reference);
    EXPECT_GT(d.inked, 20) << "the reference drew nothing";
    // Only resampling at the last bit may differ.
    EXPECT_LE(d.largest, 8);
    EXPECT_LE(d.differing, d.inked / 50 + 2);
  }
}

TEST_F(TextBatchTest, BatchedTextInADisplayListReplaysTheSamePixels) {
  auto draw = [&] {
    painter_.drawText("Listed", {20, 100}, 12.5f, 0, Color(0, 0, 0, 1));
    painter_.drawText("second line", {20, 80}, 0.3f, 12.5f, kTextHang, Color(0, 0.5f, 0, 1));
  };
  ASSERT_TRUE(GLPainter::drawsBatched("second line"));
  const auto reference = render(false, draw);

  const GLuint list = glGenLists(1);
  ASSERT_NE(list, 0u);
  glNewList(list, GL_COMPILE);
  draw();
  glEndList();
  gl_->clear();
  glCallList(list);
  glFinish();
  const auto replayed = gl_->pixels();
  glDeleteLists(list, 1);

  const Difference d = compare(replayed, reference);
  EXPECT_GT(d.inked, 40);
  EXPECT_LE(d.largest, 8);
  EXPECT_LE(d.differing, d.inked / 50 + 2);
}

TEST_F(TextBatchTest, LayoutFollowsTheFontsAdvancesAndKerning) {
  FTFont* font = FontRegistry::instance().current();
  GlyphTable* table = FontRegistry::instance().currentGlyphs();
  ASSERT_NE(font, nullptr);
  ASSERT_NE(table, nullptr);
  ASSERT_TRUE(table->ready());

  // A glyph's quad lies one whole pen step after the text before it: the
  // quad of the last letter of each prefix moves by the font's advance of
  // that prefix (snapped to the pixel when the font snaps).
  const std::string text = "AVATAR Wolf(x)";
  std::vector<PlacedGlyph> quads;
  table->layout(*font, text, quads);
  std::size_t index = 0;
  for (std::size_t k = 0; k < text.size(); ++k) {
    const GlyphQuad& g = table->glyph(text[k]);
    if (!g.drawn) continue;
    ASSERT_LT(index, quads.size());
    const float pen = font->Advance(text.c_str(), static_cast<int>(k));
    const float base = table->snapsToPixels() ? std::floor(pen) : pen;
    EXPECT_FLOAT_EQ(quads[index].x0, base + g.x0) << "letter " << k;
    EXPECT_FLOAT_EQ(quads[index].y1, g.y1) << "letter " << k;
    ++index;
  }
  EXPECT_EQ(index, quads.size());
  // The space advances the pen but draws nothing.
  EXPECT_FALSE(table->glyph(' ').drawn);
  EXPECT_TRUE(table->glyph('W').drawn);
}

TEST_F(TextBatchTest, TableCannotBeReadWhileAListIsCompiled) {
  FTFont* font = FontRegistry::instance().current();
  ASSERT_NE(font, nullptr);
  GlyphTable table;
  const GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  EXPECT_FALSE(table.capture(*font));
  glEndList();
  glDeleteLists(list, 1);
  EXPECT_FALSE(table.ready());
  EXPECT_TRUE(table.capture(*font));
  EXPECT_TRUE(table.ready());
}

}  // namespace
}  // namespace lumetra
