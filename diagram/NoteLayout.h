#pragma once
// Where a note (a comment shape) puts its folded corner and its text: the
// text word-wrapped to the box and cut to the lines that fit, as the feature
// lists of a class box are, except that the last kept line keeps the start of
// its own text before the "..."; nothing at all where not even "..." fits, so
// that no text ever leaves the box. Pure layout
// in diagram units (y up); the painter measures the text and draws the
// result.

#include <functional>
#include <string>
#include <vector>

#include "diagram/Compartments.h"
#include "model/Vec2.h"
#include "settings/Color.h"

namespace lumetra {

// A note whose shape gives no fill colour of its own is pale blue-grey
// paper, set apart from the light yellow of class boxes; its folded corner
// is a shade darker than its paper.
inline constexpr Color kNotePaper{0.92f, 0.95f, 1.0f, 1.0f};
inline Color noteFoldShade(Color paper) { return Color(paper.r * 0.82f, paper.g * 0.82f, paper.b * 0.82f, paper.a); }

// Width and height of a text's bounding box at the note's text size.
using TextMeasure = std::function<void(const std::string& text, float& width, float& height)>;

// The side of the folded top-right corner of a box of that size: the
// shorter side divided by fraction ("Visualizer.UMLModel.CommentNoteFraction"),
// never more than half the shorter side. A fraction that is not a positive
// number reads as 3; a box with no extent has no fold.
float noteFoldSize(Vec2 size, float fraction);

struct NoteTextFrame {
  Vec2 min, max;       // the note's box
  float fold = 0.0f;   // side of the folded corner (noteFoldSize)
  float spacing = 0.0f;  // margin around the text and between lines
};

// The note's lines, each hanging below its y, drawn at x = min.x + spacing.
// Words break at spaces, tabs and line breaks (a line break always starts a
// new line); a word wider than the room is broken between characters. Lines
// beside the fold are kept clear of it. Only as many lines as can fit are
// wrapped, so a long text costs no more than the box shows.
std::vector<TextLine> layoutNoteText(const std::string& text, const NoteTextFrame& frame, const TextMeasure& measure);

// A one-line label for a note (hover boxes, pick entries): "Note: " and its
// text with runs of white space made one space, cut after maxChars
// characters with "..." appended; "Note" alone for a note without text.
std::string noteLabel(const std::string& text, std::size_t maxChars = 40);

}  // namespace lumetra
