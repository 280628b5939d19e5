// Where a note puts its fold and its wrapped text, without GL: a fake text
// measure gives every character 6 units of width and any visible text a
// height of 10.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "diagram/NoteLayout.h"

namespace lumetra {
namespace {

using Lines = std::vector<std::string>;

std::size_t characters(const std::string& text) {
  std::size_t n = 0;
  for (char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

struct FakeMeasure {
  int calls = 0;
  TextMeasure function() {
    return [this](const std::string& text, float& w, float& h) {
      ++calls;
      w = 6.0f * static_cast<float>(characters(text));
      h = text.find_first_not_of(" \t\r\n") == std::string::npos ? 0.0f : 10.0f;
    };
  }
};

std::string repeat(const std::string& piece, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += piece;
  return out;
}

// Spacing 3: lines of 10 take 13 units; a 120 x 60 box holds 4 lines of 19
// characters (114 units between the margins).
TEST(NoteText, WrapsCutsAndNeverLeavesTheBox) {
  struct Case {
    const char* name;
    std::string text;
    Vec2 max;
    float fold;
    Lines expected;
  };
  const Case cases[] = {
      {"fits on one line", "Money is money", {120, 60}, 0, {"Money is money"}},
      {"wraps between words", "aaaa bbbb cccc dddd eeee", {120, 60}, 0, {"aaaa bbbb cccc dddd", "eeee"}},
      {"runs of blanks are one break", "aaaa \t  bbbb", {120, 60}, 0, {"aaaa bbbb"}},
      {"a line break starts a line, a blank one stays", "one\n\ntwo\n", {120, 60}, 0, {"one", "", "two"}},
      {"a long word breaks between characters", repeat("x", 25), {120, 60}, 0, {repeat("x", 19), repeat("x", 6)}},
      {"multi-byte characters stay whole", repeat("\xC3\xA9", 20), {120, 60}, 0,
       {repeat("\xC3\xA9", 19), "\xC3\xA9"}},
      {"too many lines: the last kept one ends in dots", "l1\nl2\nl3\nl4\nl5\nl6", {120, 60}, 0,
       {"l1", "l2", "l3", "l4..."}},
      {"dots after whole words where the line has room", "aaaa bbbb cccc dddd\n2\n3\n4\n5", {120, 60}, 0,
       {"aaaa bbbb cccc dddd", "2", "3", "4..."}},
      {"the cut line drops a word to make room for the dots", "1\n2\n3\naaaa bbbb cccc dddd\n5", {120, 60}, 0,
       {"1", "2", "3", "aaaa bbbb cccc..."}},
      {"one line of room shows the text's start", "Money is an amount with its currency", {120, 16}, 0,
       {"Money is an..."}},
      {"exactly as many lines as fit", "l1\nl2\nl3\nl4", {120, 60}, 0, {"l1", "l2", "l3", "l4"}},
      {"lines beside the fold are shorter", "aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii jjjj", {120, 60}, 20,
       {"aaaa bbbb cccc", "dddd eeee ffff", "gggg hhhh iiii jjjj"}},
      {"empty text", "", {120, 60}, 0, {}},
      {"only blanks", "  \n\t \n", {120, 60}, 0, {}},
      {"box lower than one line", "Money", {120, 12}, 0, {}},
      {"box narrower than one character", "Money", {8, 60}, 0, {}},
      {"dots do not fit either", "a\nb\nc", {18, 30}, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeMeasure fake;
    const NoteTextFrame frame{{0, 0}, c.max, c.fold, 3.0f};
    const std::vector<TextLine> lines = layoutNoteText(c.text, frame, fake.function());
    Lines texts;
    for (const TextLine& line : lines) texts.push_back(line.text);
    EXPECT_EQ(texts, c.expected);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      // Hanging below y, 13 units apart from 3 below the top.
      EXPECT_FLOAT_EQ(lines[i].y, c.max.y - 3.0f - 13.0f * static_cast<float>(i));
      EXPECT_GE(lines[i].y - 10.0f, 3.0f) << "below the bottom margin: " << lines[i].text;
      const float room = c.max.x - 6.0f - (lines[i].y > c.max.y - c.fold ? c.fold : 0.0f);
      EXPECT_LE(6.0f * static_cast<float>(characters(lines[i].text)), room) << lines[i].text;
    }
  }
}

// A note holding a book's worth of text is wrapped only as far as it shows.
TEST(NoteText, AHugeTextIsMeasuredOnlyAsFarAsTheBoxShows) {
  FakeMeasure fake;
  const NoteTextFrame frame{{0, 0}, {120, 60}, 0, 3.0f};
  const std::vector<TextLine> lines = layoutNoteText(repeat("word ", 200000), frame, fake.function());
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines.back().text, "word word word...");
  EXPECT_LT(fake.calls, 200);
  // One word of a million characters likewise.
  FakeMeasure again;
  EXPECT_EQ(layoutNoteText(repeat("x", 1000000), frame, again.function()).size(), 4u);
  EXPECT_LT(again.calls, 200);
}

TEST(NoteFold, IsTheShorterSideOverTheFractionAtMostHalfOfIt) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    Vec2 size;
    float fraction;
    float fold;
  } cases[] = {
      {{360, 90}, 3.0f, 30.0f},   // the web shop's note at the default
      {{90, 360}, 3.0f, 30.0f},   // either side may be the shorter
      {{100, 60}, 6.0f, 10.0f},
      {{100, 60}, 1.0f, 30.0f},   // a whole side would fold the box away
      {{100, 60}, 0.0f, 20.0f},   // unusable fractions read as 3
      {{100, 60}, -2.0f, 20.0f},
      {{100, 60}, nan, 20.0f},
      {{0, 60}, 3.0f, 0.0f},      // no extent, no fold
      {{100, -5}, 3.0f, 0.0f},
  };
  for (const Case& c : cases)
    EXPECT_FLOAT_EQ(noteFoldSize(c.size, c.fraction), c.fold) << c.size.x << " x " << c.size.y << " / " << c.fraction;
}

TEST(NoteLabel, NamesTheNoteByItsTextOnOneShortLine) {
  EXPECT_EQ(noteLabel(""), "Note");
  EXPECT_EQ(noteLabel(" \n\t"), "Note");
  EXPECT_EQ(noteLabel("Stock is\n  reserved."), "Note: Stock is reserved.");
  EXPECT_EQ(noteLabel("abcdefghij", 4), "Note: abcd...");
  EXPECT_EQ(noteLabel("abcd", 4), "Note: abcd");
  EXPECT_EQ(noteLabel(repeat("\xC3\xA9", 6), 3), "Note: " + repeat("\xC3\xA9", 3) + "...");
}

}  // namespace
}  // namespace lumetra
