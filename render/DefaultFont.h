#pragma once
// The text font every painter uses unless it selects another.

namespace lumetra {

// Loads "arial.ttf" (working directory, then beside the executable, then the
// installed data folder; the first that opens as a font wins) as the font
// "Arial" at size 18 and makes it current if no font is. Throws
// GraphicsException "Could not construct font from arial.ttf" when none
// opens. Needs no GL context: glyph textures are made at the first drawing.
void loadDefaultFont();

}  // namespace lumetra
