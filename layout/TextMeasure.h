#pragma once
// Text extents in diagram units, measured the way the diagram painter
// measures them, but from the font file itself: no GL context and no font
// registry are needed, so the layout thread and the readers can size boxes.
//
// The painter draws with a texture font of "arial.ttf" at face size 18,
// 72 dpi, unhinted, and scales font pixels by 0.08 * the element's font size;
// a text's box is the union of its glyphs' outline boxes, each placed at the
// pen, which moves by the glyph's advance (no kerning). This measures exactly
// that. Safe to call from any thread.

#include <string>

namespace lumetra {

struct TextExtent {
  float width = 0.0f;
  float height = 0.0f;
};

// Width and height of the text's box at that font size; zero for an empty
// text and when no font file can be read (boxes then fall back to their
// smallest size). Invalid UTF-8 bytes are measured as the replacement
// character, as the painter draws them.
TextExtent measureText(const std::string& text, float fontSize);

// Measures with another font file (the one the painter was given) from now
// on; false, and the font before kept, when the file cannot be read.
bool setMeasureFont(const std::string& path);

// Whether a font file was found and read (false makes every extent zero).
bool textMeasureAvailable();

}  // namespace lumetra
