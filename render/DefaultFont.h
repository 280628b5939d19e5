#pragma once
// The text font every painter uses unless it selects another.

#include <string>

namespace lumetra {

// Loads "arial.ttf" (working directory, then beside the executable, then the
// installed data folder; the first that opens as a font wins) as the font
// "Arial" at size 18 and makes it current if no font is. Throws
// GraphicsException "Could not construct font from arial.ttf" when none
// opens. Needs no GL context: glyph textures are made at the first drawing.
void loadDefaultFont();

// Replaces the text font with the font file given (a bare name is looked for
// as loadDefaultFont looks for arial.ttf, a path is used as is), under the
// same name, so every painter draws with it from the next recording on.
// Returns empty on success, else "Could not construct font from FILE", and
// the font before stays. The GL context that made the fonts must be
// current (the old font's textures go); recorded display lists still use
// them, so callers record every view again.
std::string loadTextFont(const std::string& file);

// The font file of the text font, as loadTextFont or loadDefaultFont found it.
const std::string& textFontPath();

}  // namespace lumetra
