// Text that is not valid UTF-8 (a model file may carry any bytes in a name):
// the font library decodes UTF-8 without checking where a sequence ends, so
// a lead byte at the end of a string made it read past the terminator. Such
// bytes are shown as '?' and measuring and drawing stop at the string's end.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "render/GLPainter.h"
#include "tests/render/FontCanvasTest.h"

namespace lumetra {
namespace {

using MalformedTextTest = FontCanvasTest<200, 60>;

float widthOf(const std::string& text) {
  float w = 0.0f, h = 0.0f;
  GLPainter::textSize(text, 10.0f, w, h);
  return w;
}

TEST_F(MalformedTextTest, MeasuringStopsAtTheEndOfTheText) {
  // What follows the terminator is made visible with an embedded NUL: text
  // the library reads past the end would measure those W's too.
  struct Case {
    const char* name;
    std::string text;
    const char* shown;
  };
  const std::string tail("\0WWWWWWWWWWWWWWWWWWWWWWWW", 25);
  const Case cases[] = {
      {"six-byte lead at the end", std::string("A\xFC") + tail, "A?"},
      {"four-byte lead at the end", std::string("A\xF0") + tail, "A?"},
      {"two-byte lead at the end", std::string("A\xC3") + tail, "A?"},
      {"truncated three-byte sequence", std::string("A\xE2\x82") + tail, "A??"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_GT(widthOf(c.shown), 0.0f);
    EXPECT_NEAR(widthOf(c.text), widthOf(c.shown), 0.01f);
  }
}

TEST_F(MalformedTextTest, InvalidBytesShowAsQuestionMarksValidTextIsKept) {
  struct Case {
    const char* name;
    std::string text;
    std::string shown;
  };
  const Case cases[] = {
      {"lead byte before ASCII", "a\xC3z", "a?z"},
      {"stray continuation byte", "a\x80z", "a?z"},
      {"overlong slash", "a\xC0\xAFz", "a??z"},
      {"surrogate half", "a\xED\xA0\x80z", "a???z"},
      {"beyond U+10FFFF", "a\xF4\x90\x80\x80z", "a????z"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NEAR(widthOf(c.text), widthOf(c.shown), 0.01f);
  }
  // Valid multi-byte text measures as itself, not as question marks.
  const std::string umlaut = "\xC3\x9C" "ber";  // "Über"
  EXPECT_NE(widthOf(umlaut), widthOf("??ber"));
  EXPECT_NE(widthOf("\xE2\x82\xAC"), widthOf("???")) << "the euro sign";
}

TEST_F(MalformedTextTest, DrawingMalformedTextMatchesItsReplacement) {
  // Both through the font's own drawing, centred on a point.
  const Color black(0.0f, 0.0f, 0.0f, 1.0f);
  GLPainter painter;
  GLPainter::setTextBatching(false);
  struct Restore {
    ~Restore() { GLPainter::setTextBatching(true); }
  } restore;
  painter.drawText(std::string("Ab\xFC") + std::string("\0WWWWWWWWWWWW", 13), {100.0f, 30.0f}, 30.0f,
                   kTextCenterX | kTextCenterY, black);
  const auto drawn = gl_->pixels();
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  ASSERT_TRUE(gl_->darkBox(300, x0, y0, x1, y1)) << "the text was drawn";
  gl_->clear();
  painter.drawText("Ab?", {100.0f, 30.0f}, 30.0f, kTextCenterX | kTextCenterY, black);
  EXPECT_TRUE(gl_->pixels() == drawn);
}

}  // namespace
}  // namespace lumetra
