#pragma once
// Finishing a PDF file that gl2ps wrote.
//
// The gl2ps library of the distribution is built without zlib, so its PDF
// streams (page content, images) are stored raw: a view with areas carries
// a few megabytes of uncompressed pixels. And every passage gl2ps inserts
// verbatim (the labels, see VectorExport.cpp) is preceded by a graphics
// state reference ("/GS30 gs") named after an object number instead of its
// resource: readers report an undeclared one as a syntax error, and a
// declared one sets another primitive's transparency (often 0) for
// everything after it. Passages start with the comment line
// kPdfPassageMark. gl2ps also repeats the passages between the objects
// that follow the page content, where they do not belong. tidyPdf
// compresses every unfiltered stream with Flate, drops the graphics state
// references right before a marked passage and those to undeclared
// states, drops the marks and what lies between objects, and writes a new
// cross-reference table; everything else is kept byte for byte.

#include <stdexcept>
#include <string>

namespace lumetra {

// The first line of every passage inserted into gl2ps's page content.
inline constexpr const char* kPdfPassageMark = "%passage";

class PdfTidyError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The tidied file. Throws PdfTidyError when pdf is not laid out as gl2ps
// writes it (one cross-reference section whose entries point at "N 0 obj").
std::string tidyPdf(const std::string& pdf);

}  // namespace lumetra
