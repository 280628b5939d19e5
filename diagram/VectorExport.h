#pragma once
// Vector pictures (SVG, PDF) of one view of a diagram, for documents and
// slides that a raster would leave huge or blurry.
//
// What the painter draws is recorded through GL feedback (gl2ps) in drawing
// order, so lines, boxes, shadows, arrowheads, diamonds and glyphs come out
// as paths where the screen shows them. Text comes out as text: while
// recording, GLPainter hands every label to this module (GLPainter.h,
// VectorSink) with its pen origin, angle and em, and the file gets a text
// element at the same place and size (Liberation Sans / Arial / Helvetica,
// which share their metrics with the program's font); labels too small to
// read on screen are written in full, since a vector picture can be zoomed.
// The area pass is a raster: it is rendered beforehand at the view's
// resolution, and the part of it that is not plain white is embedded as one
// image at its place. Coordinates of the file are the view's pixels (SVG
// user units, PDF points; y down in SVG, up in PDF).
//
// Needs the view's GL context current (an offscreen one for the batch
// export).

#include <stdexcept>
#include <string>

namespace lumetra {

class CanvasWindow;
class Diagram;
class UMLModelVisualizer;

enum class VectorFormat { Svg, Pdf };

// Why a vector picture could not be written, as one line.
class VectorExportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The format a file name asks for by its extension (.svg, .pdf, any case);
// false for any other name.
bool vectorFormatFor(const std::string& fileName, VectorFormat& format);

// Writes the view of diagram that window shows (its camera and viewport
// size) as drawn by painter, with what the painter draws over it in window
// pixels (the legend, while it is switched on), into file. The file is written beside its
// destination first and renamed, so a failure (throws VectorExportError)
// leaves no file of that name and an existing one as it was.
void writeVectorPicture(UMLModelVisualizer& painter, Diagram* diagram, const CanvasWindow& window,
                        const std::string& file, VectorFormat format);

// Text as it goes into each format: XML character data (markup characters
// escaped, characters XML cannot carry as '?'), and a PDF literal string
// in the Mac Roman encoding of the standard fonts (parentheses and
// backslashes escaped, other characters as '?'). Both take well-formed UTF-8.
std::string svgText(const std::string& utf8);
std::string pdfString(const std::string& utf8);

}  // namespace lumetra
