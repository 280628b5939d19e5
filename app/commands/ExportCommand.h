#pragma once
// `lumetra --export OUT.png|.svg|.pdf [--diagram NAME] [--size WxH] [--metrics FILE]
// [--metric NAME]... [--area NAME[:PAINTER]]... [--legend] MODEL`: reads MODEL as the viewer opens
// it, optionally a metrics file, shows the named metrics and areas over one
// diagram and renders a single view of it, zoomed to fit, with every setting
// at its default and no window frame, into a PNG or JPEG image or an SVG or
// PDF vector picture (chosen by the file's extension; diagram/VectorExport.h).
// With --config FILE the saved configuration gives the model, metrics,
// settings and look, and the active window's diagram, camera and size
// (app/document/Configuration.h; the options beside it are merged in as
// mergeCommandLine says); entries it skips are listed on stderr as
// warnings, and the picture is still made.
// Needs an X display (a desktop or Xvfb) but shows no
// window: drawing goes to an offscreen buffer.

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/commands/CommandLine.h"
#include "app/commands/ImageFile.h"
#include "diagram/VectorExport.h"

namespace lumetra {
class Diagram;
class Document;
class MetricsVisualizerSimple;
struct Camera;
}  // namespace lumetra

namespace lumetra {

inline constexpr int kDefaultExportWidth = 1024;
inline constexpr int kDefaultExportHeight = 768;
// The largest side accepted for an exported picture.
inline constexpr int kMaxExportSide = 16384;

// Returns the process exit code: 0 when OUT was written. On any failure
// (unknown diagram, metric or area name, unreadable model or metrics file,
// bad size or file type, no display, failed write) prints one line on stderr
// naming what and why, returns 1 and leaves no OUT behind (an existing file
// of that name is left as it was).
//
// end says what becomes of the GL context and the fonts once the picture is
// written: released before returning, or, for a caller that ends the
// process right after (with _exit, as the lumetra program does), left to
// the system, which takes a process's memory, threads and display
// connection back faster than they are released one by one.
enum class ExportEnd { Release, ProcessEnds };
int runExport(const CommandLineOptions& options, ExportEnd end = ExportEnd::Release);

// `lumetra --export-all DIR [--format png|jpg|svg|pdf] [--size WxH] [--metrics FILE]
// [--metric NAME]... [--area NAME[:PAINTER]]... [--legend] [--full-detail] MODEL`:
// one picture of every diagram of MODEL, each zoomed to fit, into DIR (made
// when missing), named by pictureFileNames. The model and metrics are read
// once and every picture is drawn in one GL context with one font load; the
// named areas are identified over each diagram in turn. All or nothing: the
// pictures are written under temporary names and renamed into place only
// when every one of them was written, so a failure leaves DIR as it was.
// Exit code and stderr as runExport.
int runExportAll(const CommandLineOptions& options, ExportEnd end = ExportEnd::Release);

// The file names of the pictures of diagrams with these names, in the same
// order, each ending in "." + extension: a diagram's name with path
// separators, control characters and characters that some file systems
// refuse replaced by "_", a leading dot too (no hidden files), invalid UTF-8
// bytes too, cut to at most 200 bytes at a character boundary; an empty
// name becomes "diagram". Names that would coincide (ignoring ASCII case,
// for file systems that fold it) get " (2)", " (3)", ... in order.
std::vector<std::string> pictureFileNames(const std::vector<std::string>& diagramNames, const std::string& extension);

// Why a picture could not be made or written, as one line naming the file.
class ExportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};


// One view to draw: the diagram of the document, the picture's size, and
// the camera (null: zoomed to fit) and the painter whose transparencies and
// glyph layout are used (null: the defaults).
struct ViewPicture {
  Diagram* diagram = nullptr;
  int width = 0;
  int height = 0;
  const Camera* camera = nullptr;
  const MetricsVisualizerSimple* look = nullptr;
  // Small text and curves simplified as the windows draw them (off: drawn in
  // full, --full-detail).
  bool levelOfDetail = true;
  // The legend's magnification: the factor by which the picture is larger
  // than the window it shows (1 for the batch export, whose picture is the
  // view itself).
  float legendScale = 1.0f;
  // Changes the camera after the diagram was fitted (a saved camera), when
  // camera is null.
  std::function<void(Camera&)> adjustCamera;
};

// The drawing the batch export and the viewer's export share: the view
// drawn with a painter of its own into the framebuffer bound in the current
// GL context, from (0, 0) at the picture's size (the default font loaded,
// the fixed GL state applied).
void drawViewPicture(Document& document, const ViewPicture& picture);

// The same view written as a vector picture (SVG or PDF) into file, in the
// current GL context. Throws ExportError naming the file; a failure leaves no
// file of that name and an existing one as it was.
void writeViewVector(Document& document, const ViewPicture& picture, const std::string& file, VectorFormat format);

// RGB rows, bottom first, written to out through a temporary file renamed
// into place, so a failed write leaves no file and an existing one as it
// was. Throws ExportError.
void writeImageFile(const std::vector<unsigned char>& bottomUpRGB, int width, int height, const std::string& out,
                    ImageFormat format);

// "WIDTHxHEIGHT" with both sides in 1..kMaxExportSide; false otherwise.
bool parseImageSize(const std::string& text, int& width, int& height);

}  // namespace lumetra
