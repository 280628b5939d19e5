// Vector pictures through gl2ps.
//
// Sections: file names; text encodings; the area picture (PNG for SVG);
// the sink that writes text into the file; recording a page; writing the
// file.

#include "diagram/VectorExport.h"

#include <GL/gl.h>
#include <gl2ps.h>
#include <locale.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "diagram/PdfTidy.h"
#include "diagram/UMLModelVisualizer.h"
#include "render/CanvasWindow.h"
#include "render/GLPainter.h"
#include "render/GLState.h"
#include "render/ViewSetup.h"

namespace lumetra {

// --- file names ------------------------------------------------------------------

bool vectorFormatFor(const std::string& fileName, VectorFormat& format) {
  const std::size_t slash = fileName.find_last_of('/');
  const std::size_t dot = fileName.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  std::string ext = fileName.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  if (ext == "svg") format = VectorFormat::Svg;
  else if (ext == "pdf") format = VectorFormat::Pdf;
  else return false;
  return true;
}

// --- text encodings ----------------------------------------------------------------

namespace {

// The code points of well-formed UTF-8 (the painter repairs text before it
// reaches a sink); a byte that starts no sequence reads as U+FFFD.
std::vector<char32_t> codePoints(const std::string& utf8) {
  std::vector<char32_t> out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || i + length > utf8.size()) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    out.push_back(cp);
    i += length;
  }
  return out;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Unicode to Mac Roman for the upper half of that encoding (the standard
// PDF fonts gl2ps declares use it), sorted by code point.
constexpr std::pair<char32_t, unsigned char> kMacRoman[] = {
    {0x00A0, 0xCA}, {0x00A1, 0xC1}, {0x00A2, 0xA2}, {0x00A3, 0xA3}, {0x00A5, 0xB4}, {0x00A7, 0xA4}, {0x00A8, 0xAC},
    {0x00A9, 0xA9}, {0x00AA, 0xBB}, {0x00AB, 0xC7}, {0x00AC, 0xC2}, {0x00AE, 0xA8}, {0x00AF, 0xF8}, {0x00B0, 0xA1},
    {0x00B1, 0xB1}, {0x00B4, 0xAB}, {0x00B5, 0xB5}, {0x00B6, 0xA6}, {0x00B7, 0xE1}, {0x00B8, 0xFC}, {0x00BA, 0xBC},
    {0x00BB, 0xC8}, {0x00BF, 0xC0}, {0x00C0, 0xCB}, {0x00C1, 0xE7}, {0x00C2, 0xE5}, {0x00C3, 0xCC}, {0x00C4, 0x80},
    {0x00C5, 0x81}, {0x00C6, 0xAE}, {0x00C7, 0x82}, {0x00C8, 0xE9}, {0x00C9, 0x83}, {0x00CA, 0xE6}, {0x00CB, 0xE8},
    {0x00CC, 0xED}, {0x00CD, 0xEA}, {0x00CE, 0xEB}, {0x00CF, 0xEC}, {0x00D1, 0x84}, {0x00D2, 0xF1}, {0x00D3, 0xEE},
    {0x00D4, 0xEF}, {0x00D5, 0xCD}, {0x00D6, 0x85}, {0x00D8, 0xAF}, {0x00D9, 0xF4}, {0x00DA, 0xF2}, {0x00DB, 0xF3},
    {0x00DC, 0x86}, {0x00DF, 0xA7}, {0x00E0, 0x88}, {0x00E1, 0x87}, {0x00E2, 0x89}, {0x00E3, 0x8B}, {0x00E4, 0x8A},
    {0x00E5, 0x8C}, {0x00E6, 0xBE}, {0x00E7, 0x8D}, {0x00E8, 0x8F}, {0x00E9, 0x8E}, {0x00EA, 0x90}, {0x00EB, 0x91},
    {0x00EC, 0x93}, {0x00ED, 0x92}, {0x00EE, 0x94}, {0x00EF, 0x95}, {0x00F1, 0x96}, {0x00F2, 0x98}, {0x00F3, 0x97},
    {0x00F4, 0x99}, {0x00F5, 0x9B}, {0x00F6, 0x9A}, {0x00F7, 0xD6}, {0x00F8, 0xBF}, {0x00F9, 0x9D}, {0x00FA, 0x9C},
    {0x00FB, 0x9E}, {0x00FC, 0x9F}, {0x00FF, 0xD8}, {0x0131, 0xF5}, {0x0152, 0xCE}, {0x0153, 0xCF}, {0x0178, 0xD9},
    {0x0192, 0xC4}, {0x02C6, 0xF6}, {0x02C7, 0xFF}, {0x02D8, 0xF9}, {0x02D9, 0xFA}, {0x02DA, 0xFB}, {0x02DB, 0xFE},
    {0x02DC, 0xF7}, {0x02DD, 0xFD}, {0x03A9, 0xBD}, {0x03C0, 0xB9}, {0x2013, 0xD0}, {0x2014, 0xD1}, {0x2018, 0xD4},
    {0x2019, 0xD5}, {0x201A, 0xE2}, {0x201C, 0xD2}, {0x201D, 0xD3}, {0x201E, 0xE3}, {0x2020, 0xA0}, {0x2021, 0xE0},
    {0x2022, 0xA5}, {0x2026, 0xC9}, {0x2030, 0xE4}, {0x2039, 0xDC}, {0x203A, 0xDD}, {0x2044, 0xDA}, {0x20AC, 0xDB},
    {0x2122, 0xAA}, {0x2202, 0xB6}, {0x2206, 0xC6}, {0x220F, 0xB8}, {0x2211, 0xB7}, {0x221A, 0xC3}, {0x221E, 0xB0},
    {0x222B, 0xBA}, {0x2248, 0xC5}, {0x2260, 0xAD}, {0x2264, 0xB2}, {0x2265, 0xB3}, {0x25CA, 0xD7}, {0xFB01, 0xDE},
    {0xFB02, 0xDF},
};

}  // namespace

std::string svgText(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (char32_t cp : codePoints(utf8)) {
    switch (cp) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        // XML 1.0 has no place for other control characters, surrogates or
        // the two non-characters at the end of the basic plane.
        if ((cp < 0x20 && cp != '\t') || (cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFFFE || cp == 0xFFFF ||
            cp > 0x10FFFF)
          out += '?';
        else
          appendUtf8(out, cp);
    }
  }
  return out;
}

std::string pdfString(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (char32_t cp : codePoints(utf8)) {
    if (cp == '(' || cp == ')' || cp == '\\') {
      out += '\\';
      out += static_cast<char>(cp);
    } else if (cp >= 0x20 && cp < 0x7F) {
      out += static_cast<char>(cp);
    } else {
      const auto* end = std::end(kMacRoman);
      const auto* it = std::lower_bound(std::begin(kMacRoman), end, cp,
                                        [](const auto& entry, char32_t key) { return entry.first < key; });
      if (it != end && it->first == cp) {
        char octal[8];
        std::snprintf(octal, sizeof octal, "\\%03o", it->second);
        out += octal;
      } else {
        out += '?';
      }
    }
  }
  return out;
}

namespace {

// --- the area picture --------------------------------------------------------------

// RGB bytes of a part of the view, top row first, and where it lies (view
// pixels, x from the left, y up, lower-left corner).
struct Picture {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;
};

// Renders the area pass as the view shows it and keeps the smallest
// rectangle holding every pixel that is not plain white (none: no picture).
Picture renderAreaPicture(UMLModelVisualizer& painter, Diagram* diagram, const CanvasWindow& window) {
  const int w = window.width();
  const int h = window.height();
  AttribGuard state(GL_VIEWPORT_BIT | GL_SCISSOR_BIT);
  setViewport(w, h);
  {
    MatrixGuard projection(GL_PROJECTION);
    MatrixGuard modelView(GL_MODELVIEW);
    loadViewMatrices(window.projectionMatrix(0), window.viewMatrix(0));
    painter.drawAreaPass(diagram);
  }
  const std::vector<unsigned char> bottomUp = readRGBPixels(w, h);

  int lowX = w, lowY = h, highX = -1, highY = -1;
  for (int y = 0; y < h; ++y) {
    const unsigned char* row = &bottomUp[static_cast<std::size_t>(y) * w * 3];
    for (int x = 0; x < w; ++x) {
      if (row[x * 3] == 255 && row[x * 3 + 1] == 255 && row[x * 3 + 2] == 255) continue;
      lowX = std::min(lowX, x);
      highX = std::max(highX, x);
      lowY = std::min(lowY, y);
      highY = std::max(highY, y);
    }
  }
  Picture picture;
  if (highX < 0) return picture;
  picture.x = lowX;
  picture.y = lowY;
  picture.width = highX - lowX + 1;
  picture.height = highY - lowY + 1;
  picture.rgb.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
  for (int row = 0; row < picture.height; ++row) {
    const int y = highY - row;  // top row first
    std::memcpy(&picture.rgb[static_cast<std::size_t>(row) * picture.width * 3],
                &bottomUp[(static_cast<std::size_t>(y) * w + lowX) * 3], static_cast<std::size_t>(picture.width) * 3);
  }
  return picture;
}

// A PNG file of RGB bytes, top row first (SVG embeds images as PNG; the
// gl2ps Debian builds can not write them).
std::string encodePng(const Picture& picture) {
  auto be32 = [](std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
  };
  auto chunk = [&](std::string& out, const char* type, const std::string& data) {
    be32(out, static_cast<std::uint32_t>(data.size()));
    const std::string typed = std::string(type, 4) + data;
    out += typed;
    be32(out, static_cast<std::uint32_t>(
                  crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()))));
  };
  std::string header;
  be32(header, static_cast<std::uint32_t>(picture.width));
  be32(header, static_cast<std::uint32_t>(picture.height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace
  // Each row starts with its filter type: "up" suits soft shapes.
  const std::size_t row = static_cast<std::size_t>(picture.width) * 3;
  std::string raw;
  raw.reserve((row + 1) * picture.height);
  for (int y = 0; y < picture.height; ++y) {
    const unsigned char* line = &picture.rgb[y * row];
    raw += static_cast<char>(y == 0 ? 0 : 2);
    for (std::size_t i = 0; i < row; ++i)
      raw += static_cast<char>(y == 0 ? line[i] : static_cast<unsigned char>(line[i] - line[i - row]));
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packedSize, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
                static_cast<uLong>(raw.size()), 9) != Z_OK)
    throw VectorExportError("the area picture could not be compressed");
  packed.resize(packedSize);
  std::string png("\x89PNG\r\n\x1a\n", 8);
  chunk(png, "IHDR", header);
  chunk(png, "IDAT", packed);
  chunk(png, "IEND", "");
  return png;
}

std::string base64(const std::string& bytes) {
  static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    std::uint32_t v = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 2]);
    out += digits[(v >> 18) & 63];
    out += digits[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? digits[(v >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? digits[v & 63] : '=';
  }
  return out;
}

std::string format(const char* pattern, auto... values) {
  char buffer[256];
  const int n = std::snprintf(buffer, sizeof buffer, pattern, values...);
  return std::string(buffer, static_cast<std::size_t>(std::clamp(n, 0, static_cast<int>(sizeof buffer) - 1)));
}

// Places the picture in the page, behind everything the painter draws.
void emitPicture(const Picture& picture, const std::string& pngBase64, VectorFormat kind, int viewHeight) {
  if (picture.width == 0) return;
  if (kind == VectorFormat::Svg) {
    const std::string element =
        format("<image x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" preserveAspectRatio=\"none\" xlink:href=\"",
               picture.x, viewHeight - (picture.y + picture.height), picture.width, picture.height) +
        "data:image/png;base64," + pngBase64 + "\"/>";
    gl2psSpecial(GL2PS_SVG, element.c_str());
    return;
  }
  // gl2ps takes float pixels, bottom row first, at the raster position.
  std::vector<float> pixels(picture.rgb.size());
  const std::size_t row = static_cast<std::size_t>(picture.width) * 3;
  for (int y = 0; y < picture.height; ++y)
    for (std::size_t i = 0; i < row; ++i)
      pixels[y * row + i] = picture.rgb[(picture.height - 1 - y) * row + i] / 255.0f;
  int portWidth = 0, portHeight = 0;
  viewportSize(portWidth, portHeight);
  MatrixGuard projection(GL_PROJECTION);
  MatrixGuard modelView(GL_MODELVIEW);
  loadPixelMatrices(portWidth, portHeight);
  setRasterPosition(static_cast<float>(picture.x), static_cast<float>(picture.y));
  gl2psDrawPixels(picture.width, picture.height, 0, 0, GL_RGB, GL_FLOAT, pixels.data());
}

// --- the sink that writes text into the file -----------------------------------------

class TextRecorder : public VectorSink {
 public:
  TextRecorder(VectorFormat kind, int viewHeight) : kind_(kind), viewHeight_(viewHeight) {}

  void text(const std::string& text, Vec2 origin, float angle, float em, Color color) override {
    // Where origin, the text's direction and its em land in the view.
    const WindowProjection view;
    auto project = [&](double x, double y, double& wx, double& wy) { return view.project(x, y, wx, wy); };
    const double c = std::cos(angle), s = std::sin(angle);
    double ox, oy, ax, ay, ux, uy;
    if (!project(origin.x, origin.y, ox, oy) || !project(origin.x + c * em, origin.y + s * em, ax, ay) ||
        !project(origin.x - s * em, origin.y + c * em, ux, uy))
      return;
    const double size = std::hypot(ux - ox, uy - oy);
    const double screenAngle = std::atan2(ay - oy, ax - ox);
    if (!std::isfinite(size) || !(size > 0.0) || !std::isfinite(screenAngle)) return;
    const double degrees = screenAngle * 180.0 / 3.14159265358979323846;
    const int r = channel(color.r), g = channel(color.g), b = channel(color.b);

    if (kind_ == VectorFormat::Svg) {
      const double y = viewHeight_ - oy;
      std::string element = format("<text x=\"%.2f\" y=\"%.2f\" font-size=\"%.3f\" fill=\"#%02x%02x%02x\"", ox, y,
                                   size, r, g, b);
      if (color.a < 1.0f) element += format(" fill-opacity=\"%.3f\"", std::clamp(color.a, 0.0f, 1.0f));
      if (std::fabs(degrees) > 1e-3) element += format(" transform=\"rotate(%.3f %.2f %.2f)\"", -degrees, ox, y);
      element += " font-family=\"'Liberation Sans', Arial, Helvetica, sans-serif\" xml:space=\"preserve\">";
      element += svgText(text) + "</text>";
      gl2psSpecial(GL2PS_SVG, element.c_str());
      return;
    }
    // PDF: the font resource F0 is the one gl2ps declares for the anchor
    // text written when the page began (see recordPage). The graphics state
    // is saved around the text so that gl2ps's own colour stays in force.
    const std::string op =
        std::string(kPdfPassageMark) + "\n" +
        format("q %.4f %.4f %.4f rg BT /F0 %.3f Tf %.5f %.5f %.5f %.5f %.2f %.2f Tm (", r / 255.0, g / 255.0,
               b / 255.0, size, std::cos(screenAngle), std::sin(screenAngle), -std::sin(screenAngle),
               std::cos(screenAngle), ox, oy) +
        pdfString(text) + ") Tj ET Q";
    gl2psSpecial(GL2PS_PDF, op.c_str());
  }

  void lineWidth(float width) override { gl2psLineWidth(width); }

  void translucentPrimitive() override {
    // gl2ps writes consecutive translucent triangles of a PDF page as one
    // path under one transparency, where overlaps do not darken; a passage
    // between them (dropped again by tidyPdf) starts a new path. SVG
    // polygons are blended one by one anyway.
    if (kind_ == VectorFormat::Pdf) gl2psSpecial(GL2PS_PDF, kPdfPassageMark);
  }

 private:
  static int channel(float v) { return static_cast<int>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

  VectorFormat kind_;
  int viewHeight_;
};

// While it lives, numbers are formatted with a point for this thread
// (gl2ps and the text elements print with printf, and a desktop locale may
// use a comma).
class CNumbers {
 public:
  CNumbers() : c_(newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0))) {
    if (c_ != static_cast<locale_t>(0)) previous_ = uselocale(c_);
  }
  ~CNumbers() {
    if (c_ == static_cast<locale_t>(0)) return;
    uselocale(previous_);
    freelocale(c_);
  }
  CNumbers(const CNumbers&) = delete;
  CNumbers& operator=(const CNumbers&) = delete;

 private:
  locale_t c_;
  locale_t previous_ = static_cast<locale_t>(0);
};

// The sink is installed for one recording and removed however it ends.
class SinkScope {
 public:
  explicit SinkScope(VectorSink* sink) { GLPainter::setVectorSink(sink); }
  ~SinkScope() { GLPainter::setVectorSink(nullptr); }
  SinkScope(const SinkScope&) = delete;
  SinkScope& operator=(const SinkScope&) = delete;
};

// --- recording a page -----------------------------------------------------------------

// A stdio stream into memory (gl2ps writes to a FILE).
class MemoryStream {
 public:
  MemoryStream() : file_(open_memstream(&data_, &size_)) {
    if (file_ == nullptr) throw VectorExportError(std::strerror(errno));
  }
  ~MemoryStream() {
    if (file_ != nullptr) std::fclose(file_);
    std::free(data_);
  }
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;
  std::FILE* file() const { return file_; }
  std::string contents() {
    if (std::fflush(file_) != 0) throw VectorExportError(std::strerror(errno));
    return std::string(data_, size_);
  }

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* file_;
};

// Feedback buffer sizes (floats): a page that overflows is recorded again
// with twice the buffer, up to the largest.
constexpr GLint kFirstBuffer = 1 << 20;
constexpr GLint kLargestBuffer = 1 << 28;

// One gl2ps page into memory: the file's bytes as gl2ps writes them.
std::string recordPage(UMLModelVisualizer& painter, Diagram* diagram, const CanvasWindow& window, VectorFormat kind,
                       const Picture& picture, const std::string& pngBase64, const std::string& name) {
  const int w = window.width();
  const int h = window.height();
  GLint viewport[4] = {0, 0, w, h};
  const GLint gl2psFormat = kind == VectorFormat::Svg ? GL2PS_SVG : GL2PS_PDF;
  const GLint options = GL2PS_DRAW_BACKGROUND | GL2PS_SILENT;
  TextRecorder recorder(kind, h);

  AttribGuard state(GL_VIEWPORT_BIT | GL_SCISSOR_BIT | GL_COLOR_BUFFER_BIT);
  setViewport(w, h);
  setClearColour(1.0f, 1.0f, 1.0f, 1.0f);  // the page's background
  for (GLint buffer = kFirstBuffer;; buffer *= 2) {
    MemoryStream stream;
    // Primitives keep the order they are drawn in, as on screen (the view
    // draws without depth test: later drawing covers earlier).
    if (gl2psBeginPage("Lumetra Visualizer", "lumetra", viewport, gl2psFormat, GL2PS_NO_SORT, options, GL_RGBA, 0,
                       nullptr, 0, 0, 0, buffer, stream.file(), name.c_str()) != GL2PS_SUCCESS)
      throw VectorExportError("the vector recorder could not start");
    {
      SinkScope sink(&recorder);
      MatrixGuard projection(GL_PROJECTION);
      MatrixGuard modelView(GL_MODELVIEW);
      emitPicture(picture, pngBase64, kind, h);
      if (kind == VectorFormat::Pdf) {
        // gl2ps declares a font resource only for text of its own: one
        // blank anchor text gives the page the font F0 all labels use.
        loadClipMatrices();
        setRasterPosition(-1.0f, -1.0f);
        gl2psTextOpt(" ", "Helvetica", 1, GL2PS_TEXT_BL, 0.0f);
      }
      loadViewMatrices(window.projectionMatrix(0), window.viewMatrix(0));
      painter.drawDiagram(diagram);
      // What the window draws over the scene in its pixels (the legend).
      loadPixelMatrices(w, h);
      painter.drawOverlay(diagram, w, h);
    }
    const GLint status = gl2psEndPage();
    if (status == GL2PS_SUCCESS || status == GL2PS_NO_FEEDBACK) return stream.contents();
    if (status != GL2PS_OVERFLOW) throw VectorExportError("the vector recorder failed");
    if (buffer >= kLargestBuffer) throw VectorExportError("the drawing is too large to record");
  }
}

}  // namespace

// --- writing the file --------------------------------------------------------------

void writeVectorPicture(UMLModelVisualizer& painter, Diagram* diagram, const CanvasWindow& window,
                        const std::string& file, VectorFormat kind) {
  const CNumbers numbers;
  const Picture picture = renderAreaPicture(painter, diagram, window);
  const std::string pngBase64 =
      kind == VectorFormat::Svg && picture.width > 0 ? base64(encodePng(picture)) : std::string();
  std::string bytes = recordPage(painter, diagram, window, kind, picture, pngBase64, file);
  if (kind == VectorFormat::Pdf) {
    try {
      bytes = tidyPdf(bytes);
    } catch (const PdfTidyError& e) {
      throw VectorExportError(std::string("the recorded PDF could not be finished: ") + e.what());
    }
  }

  // Beside the destination first, so that a failed write leaves no partial
  // file under the requested name.
  const std::string temporary = file + ".tmp-" + std::to_string(::getpid());
  std::FILE* stream = std::fopen(temporary.c_str(), "wb");
  if (stream == nullptr) throw VectorExportError(std::strerror(errno));
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
  const int writeError = errno;
  const bool closed = std::fclose(stream) == 0;
  const int closeError = errno;
  if (!written || !closed) {
    std::remove(temporary.c_str());
    throw VectorExportError(std::strerror(!written ? writeError : closeError));
  }
  if (std::rename(temporary.c_str(), file.c_str()) != 0) {
    const int renameError = errno;
    std::remove(temporary.c_str());
    throw VectorExportError(std::strerror(renameError));
  }
}

}  // namespace lumetra
