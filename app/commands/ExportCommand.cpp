#include "app/commands/ExportCommand.h"

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <future>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "app/document/Configuration.h"
#include "app/document/Document.h"
#include "areas/Area.h"
#include "areas/AreaElementsEraser.h"
#include "app/commands/ImageFile.h"
#include "diagram/MetricsVisualizerSimple.h"
#include "diagram/VectorExport.h"
#include "platform/DebugOutput.h"
#include "platform/GLExtensions.h"
#include "render/CanvasOwner.h"
#include "render/CanvasWindow.h"
#include "render/DefaultFont.h"
#include "render/Exceptions.h"
#include "render/FixedGLState.h"
#include "render/GLPainter.h"
#include "render/OffscreenGL.h"
#include "settings/SettingsStore.h"

namespace lumetra {

namespace {

// One line for the user: what failed and why.
using ExportFailure = ExportError;

std::string quoted(const std::string& text) { return "'" + text + "'"; }

std::string lowerExtension(const std::string& fileName) {
  const std::size_t slash = fileName.find_last_of('/');
  const std::size_t dot = fileName.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = fileName.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext;
}

// What the file's extension asks for: a raster image or a vector picture.
struct OutputKind {
  bool vector = false;
  ImageFormat image = ImageFormat::Png;
  VectorFormat format = VectorFormat::Svg;
};

OutputKind outputKindFor(const std::string& out) {
  OutputKind kind;
  const std::string ext = lowerExtension(out);
  if (ext == "png") kind.image = ImageFormat::Png;
  else if (ext == "jpg" || ext == "jpeg") kind.image = ImageFormat::Jpeg;
  else if (vectorFormatFor(out, kind.format)) kind.vector = true;
  else throw ExportFailure("cannot export to " + out + ": the file name must end in .png, .jpg, .jpeg, .svg or .pdf");
  return kind;
}

// Writes the picture beside its destination first and renames it, so that a
// failed write leaves no partial file under the requested name. The rows
// come bottom first, as the GL reads them back.
void writeImage(const std::vector<unsigned char>& bottomUpRGB, int width, int height, const std::string& out,
                ImageFormat format) {
  const std::string temporary = out + ".tmp-" + std::to_string(::getpid());
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) throw ExportFailure("cannot write " + out + ": " + std::strerror(errno));
  try {
    writeBottomUpRGB(file, format, bottomUpRGB.data(), width, height);
  } catch (const ImageWriteError& e) {
    std::fclose(file);
    std::remove(temporary.c_str());
    throw ExportFailure("cannot write " + out + ": " + e.what());
  }
  if (std::fclose(file) != 0) {
    const int error = errno;
    std::remove(temporary.c_str());
    throw ExportFailure("cannot write " + out + ": " + std::strerror(error));
  }
  if (std::rename(temporary.c_str(), out.c_str()) != 0) {
    const int error = errno;
    std::remove(temporary.c_str());
    throw ExportFailure("cannot write " + out + ": " + std::strerror(error));
  }
}

// A picture size from --size, or the default.
void pictureSize(const CommandLineOptions& options, int& width, int& height) {
  if (!options.size.empty() && !parseImageSize(options.size, width, height))
    throw ExportFailure("invalid --size " + quoted(options.size) + ": expected WIDTHxHEIGHT, each 1 to " +
                        std::to_string(kMaxExportSide));
}

// The document a batch picture draws: the model and its metrics files
// read, with what their reading passed over said on stderr (the picture is
// still made). The model goes with the process when nothing follows the
// export: at 5,000 classes freeing it element by element took about 10 ms.
class BatchDocument {
 public:
  explicit BatchDocument(ExportEnd end) : end_(end), owned_(std::make_unique<Document>()) {}
  BatchDocument(const BatchDocument&) = delete;
  BatchDocument& operator=(const BatchDocument&) = delete;
  ~BatchDocument() {
    if (end_ == ExportEnd::ProcessEnds) (void)owned_.release();
  }
  // Throws ExportFailure naming the file that could not be read.
  Document& read(const std::string& model, const std::vector<std::string>& metricsFiles,
                 const std::vector<std::string>& importRoots) {
    Document& document = *owned_;
    const LoadStatus status = document.openModel(model, {progressOnStream(stderr), nullptr, importRoots});
    if (!status.ok()) throw ExportFailure("cannot read model " + status.message());
    for (const std::string& note : status.notes) std::fprintf(stderr, "lumetra: %s\n", note.c_str());
    if (!document.modelNotes().empty())
      std::fprintf(stderr, "lumetra: warning: %s\n", document.modelNotes().c_str());
    for (const std::string& metricsFile : metricsFiles) {
      if (!document.openMetrics(metricsFile))
        throw ExportFailure("cannot read metrics file " + document.metricsError());
      for (const std::string& note : document.metricsNotes()) std::cerr << note << "\n";
    }
    return document;
  }

 private:
  ExportEnd end_;
  std::unique_ptr<Document> owned_;
};

// Opening the display, loading the GL driver and its first compiled
// shaders, and reading the font's glyphs into textures take a good part of a
// small export's time: the context is made and the default font loaded on a
// thread of its own while the model is read (the model's reading uses no
// font), and the context left current nowhere. Where no thread can be
// started, both are done when asked for.
class ContextMaker {
 public:
  ContextMaker(int width, int height) : width_(width), height_(height) {
    try {
      made_ = std::async(std::launch::async, [width, height] {
        std::unique_ptr<OffscreenGL> gl = makeWithFont(width, height);
        gl->releaseCurrent();
        return gl;
      });
    } catch (const std::system_error&) {
    }
  }
  // The context with the default font loaded, current in this thread.
  // Throws ExportFailure.
  std::unique_ptr<OffscreenGL> get() {
    try {
      std::unique_ptr<OffscreenGL> gl = made_.valid() ? made_.get() : makeWithFont(width_, height_);
      gl->makeCurrent();
      return gl;
    } catch (const OffscreenError& e) {
      throw ExportFailure(std::string("cannot export: ") + e.what());
    } catch (const GraphicsException& e) {
      throw ExportFailure(std::string("cannot export: ") + e.what());
    }
  }

 private:
  static std::unique_ptr<OffscreenGL> makeWithFont(int width, int height) {
    auto gl = std::make_unique<OffscreenGL>(width, height);
    loadDefaultFont();
    return gl;
  }

  int width_;
  int height_;
  std::future<std::unique_ptr<OffscreenGL>> made_;
};

// Renders the view and returns its pixels, or, given a vector file, writes
// the view into it and returns nothing. The picture's size is the context's.
std::vector<unsigned char> render(Document& document, ViewPicture picture, ContextMaker& context, ExportEnd end,
                                  const std::string& vectorFile = {}, VectorFormat format = VectorFormat::Svg) {
  std::unique_ptr<OffscreenGL> gl = context.get();
  picture.width = gl->width();
  picture.height = gl->height();
  applyFixedGLState();

  std::vector<unsigned char> pixels;
  if (vectorFile.empty()) {
    // The drawing the viewer's "Export to image" uses as well.
    drawViewPicture(document, picture);
    pixels = gl->readRGBRows();
  } else {
    writeViewVector(document, picture, vectorFile, format);
  }
  if (end == ExportEnd::ProcessEnds) {
    // The context, its pictures and the fonts' textures go with the process.
    (void)gl.release();
    return pixels;
  }
  // So do the font textures.
  FontRegistry::instance().clear();
  return pixels;
}

// The configuration --config names, with the options beside it merged in;
// its skipped entries are printed as warnings.
Configuration readExportConfiguration(const CommandLineOptions& options) {
  ConfigurationRead read = readConfigurationFile(options.config);
  if (!read.ok) throw ExportFailure("cannot read configuration " + read.error);
  for (const std::string& line : read.skipped)
    std::fprintf(stderr, "lumetra: warning: %s: skipped %s\n", options.config.c_str(), line.c_str());
  mergeCommandLine(options, read.configuration);
  if (read.configuration.modelFile.empty())
    throw ExportFailure("cannot export: " + options.config + " names no model file; give MODEL beside it");
  return std::move(read.configuration);
}

void exportImage(const CommandLineOptions& options, ExportEnd end) {
  const std::string& out = options.exportImage;
  const OutputKind kind = outputKindFor(out);
  const bool configured = !options.config.empty();
  const Configuration configuration = configured ? readExportConfiguration(options) : Configuration();
  const SavedWindow* savedWindow =
      configuration.activeWindow && static_cast<std::size_t>(*configuration.activeWindow) < configuration.windows.size()
          ? &configuration.windows[static_cast<std::size_t>(*configuration.activeWindow)]
          : nullptr;

  // The saved window's size, unless --size gives one.
  int width = kDefaultExportWidth, height = kDefaultExportHeight;
  if (savedWindow != nullptr && savedWindow->width > 0 && savedWindow->height > 0) {
    width = savedWindow->width;
    height = savedWindow->height;
  }
  pictureSize(options, width, height);

  ContextMaker context(width, height);
  const std::string& model = configured ? configuration.modelFile : options.model;
  std::vector<std::string> metricsFiles = configured ? configuration.metricsFiles : std::vector<std::string>{};
  if (!options.metricsFile.empty() && !configured) metricsFiles = {options.metricsFile};
  BatchDocument batch(end);
  Document& document = batch.read(model, metricsFiles, options.importRoots);

  ViewPicture picture;
  picture.levelOfDetail = !options.fullDetail;
  MetricsVisualizerSimple look;
  if (configured) {
    // Names given on the command line must exist, as without --config.
    const Document::NamedContent named = document.checkNames(options.diagram, options.metrics, options.areas);
    if (!named.problems.empty()) throw ExportFailure(named.problems.front());
    std::vector<std::string> skipped;
    const std::size_t active = static_cast<std::size_t>(configuration.activeWindow.value_or(0));
    picture.diagram = configuredDiagram(configuration, active, document, skipped);
    if (picture.diagram == nullptr && !document.diagrams().empty()) picture.diagram = document.diagrams().front();
    applySettings(configuration);
    applyContent(configuration, document, picture.diagram, configuration.priority.value_or(false), skipped);
    applyLook(configuration, look);
    picture.look = &look;
    if (savedWindow != nullptr)
      picture.adjustCamera = [savedWindow](Camera& camera) { applyCamera(savedWindow->camera, camera); };
    for (const std::string& line : skipped)
      std::fprintf(stderr, "lumetra: warning: %s: skipped %s\n", options.config.c_str(), line.c_str());
  } else {
    // A name given twice is shown once, as checking it in the viewer would.
    const Document::Shown shown = document.showNamed(options.diagram, options.metrics, options.areas);
    if (!shown.problems.empty()) throw ExportFailure(shown.problems.front());
    picture.diagram = shown.diagram;
  }
  if (picture.diagram == nullptr) throw ExportFailure("cannot export " + model + ": the model contains no diagram");

  // The command draws one picture in its own process, so the switch is set
  // in the settings the painter reads.
  if (options.legend) settings().setBool("Visualizer.General.Legend.Enable", true);
  if (kind.vector) {
    render(document, picture, context, end, out, kind.format);
    return;
  }
  const std::vector<unsigned char> pixels = render(document, picture, context, end);
  writeImage(pixels, width, height, out, kind.image);
}

// The folder --export-all writes into, made when missing and tried with a
// file of its own, so that a folder that cannot take the pictures is
// refused before anything is drawn.
void prepareFolder(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::create_directories(folder, error);
  if (!error && !fs::is_directory(folder, error))
    error = std::make_error_code(std::errc::not_a_directory);
  if (error) throw ExportFailure("cannot write into " + folder + ": " + error.message());
  std::string probe = (fs::path(folder) / ".lumetra-probe-XXXXXX").string();
  const int fd = ::mkstemp(probe.data());
  if (fd < 0) throw ExportFailure("cannot write into " + folder + ": " + std::strerror(errno));
  ::close(fd);
  std::remove(probe.c_str());
}

// Pictures written under temporary names; those not yet moved into place
// are removed when it goes, so that a failed run leaves nothing behind.
class PendingPictures {
 public:
  PendingPictures() = default;
  PendingPictures(const PendingPictures&) = delete;
  PendingPictures& operator=(const PendingPictures&) = delete;
  ~PendingPictures() {
    for (const auto& [temporary, final] : files_) std::remove(temporary.c_str());
  }
  void add(std::string temporary, std::string final) { files_.emplace_back(std::move(temporary), std::move(final)); }
  // Renames every picture into place, in order.
  void commit() {
    for (std::size_t i = 0; i < files_.size(); ++i) {
      if (std::rename(files_[i].first.c_str(), files_[i].second.c_str()) != 0) {
        const int error = errno;
        files_.erase(files_.begin(), files_.begin() + static_cast<std::ptrdiff_t>(i));
        throw ExportFailure("cannot write " + files_.front().second + ": " + std::strerror(error));
      }
    }
    files_.clear();
  }

 private:
  std::vector<std::pair<std::string, std::string>> files_;
};

void exportAllDiagrams(const CommandLineOptions& options, ExportEnd end) {
  std::string format = options.format.empty() ? std::string("png") : options.format;
  std::transform(format.begin(), format.end(), format.begin(), [](unsigned char c) { return std::tolower(c); });
  if (format == "jpeg") format = "jpg";
  if (format != "png" && format != "jpg" && format != "svg" && format != "pdf")
    throw ExportFailure("invalid --format " + quoted(options.format) + ": expected png, jpg, svg or pdf");
  const OutputKind kind = outputKindFor("picture." + format);
  int width = kDefaultExportWidth, height = kDefaultExportHeight;
  pictureSize(options, width, height);

  ContextMaker context(width, height);
  BatchDocument batch(end);
  Document& document = batch.read(options.model, options.metricsFile.empty() ? std::vector<std::string>{}
                                                                             : std::vector<std::string>{options.metricsFile},
                                  options.importRoots);
  const Document::Shown shown = document.showNamed("", options.metrics, options.areas);
  if (!shown.problems.empty()) throw ExportFailure(shown.problems.front());
  const std::vector<Diagram*>& diagrams = document.diagrams();
  if (diagrams.empty()) throw ExportFailure("cannot export " + options.model + ": the model contains no diagram");
  prepareFolder(options.exportAll);
  if (options.legend) settings().setBool("Visualizer.General.Legend.Enable", true);

  std::vector<std::string> names;
  for (const Diagram* diagram : diagrams) names.push_back(diagram->getName());
  const std::vector<std::string> files = pictureFileNames(names, format);

  std::unique_ptr<OffscreenGL> gl = context.get();
  applyFixedGLState();
  PendingPictures pending;
  // A picture is encoded and written while the next one is drawn; declared
  // after the pending pictures, so that a failure waits for the write in
  // flight before their files are removed.
  std::future<void> writing;
  const std::string folder = std::filesystem::path(options.exportAll).string();
  for (std::size_t i = 0; i < diagrams.size(); ++i) {
    // Areas shown over the first diagram are identified over this one.
    if (i > 0) reidentifyAreas(document.areas(), diagrams[i], false);
    ViewPicture picture;
    picture.diagram = diagrams[i];
    picture.width = width;
    picture.height = height;
    picture.levelOfDetail = !options.fullDetail;
    const std::string final = (std::filesystem::path(folder) / files[i]).string();
    const std::string temporary = (std::filesystem::path(folder) /
                                   ("." + std::to_string(i) + ".lumetra-" + std::to_string(::getpid()) + "." + format))
                                      .string();
    pending.add(temporary, final);
    if (kind.vector) {
      writeViewVector(document, picture, temporary, kind.format);
    } else {
      drawViewPicture(document, picture);
      auto pixels = std::make_shared<const std::vector<unsigned char>>(gl->readRGBRows());
      if (writing.valid()) writing.get();
      const ImageFormat format = kind.image;
      try {
        writing = std::async(std::launch::async, [pixels, width, height, temporary, format] {
          writeImage(*pixels, width, height, temporary, format);
        });
      } catch (const std::system_error&) {
        writeImage(*pixels, width, height, temporary, format);  // no thread to be had
      }
    }
  }
  if (writing.valid()) writing.get();
  pending.commit();
  if (end == ExportEnd::ProcessEnds) {
    (void)gl.release();
    return;
  }
  FontRegistry::instance().clear();
}

// Runs one command, printing its failure as one line on stderr.
int runCommand(void (*command)(const CommandLineOptions&, ExportEnd), const CommandLineOptions& options,
               ExportEnd end) {
  // The software rasterizer allocates and frees vertex and scene buffers of
  // a few hundred kilobytes by the thousand while a large diagram is drawn.
  // By default each such block is a fresh mapping, or heap memory handed
  // back to the system as soon as it is free, and every reuse faults its
  // pages in again; a one-picture process keeps freed memory instead.
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
  // The readers' trace lines are for debugging the viewer; a batch command
  // keeps stderr for its one line of error.
  const DebugSink previous = setDebugSink([](const std::string&) {});
  int code = 0;
  try {
    command(options, end);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lumetra: %s\n", e.what());
    code = 1;
  }
  setDebugSink(previous);
  return code;
}

}  // namespace

namespace {

// The painter of one picture: the document's selection, metrics and areas,
// and the look of the viewer's painter when one is given.
void setUpPainter(MetricsVisualizerSimple& painter, Document& document, const ViewPicture& picture) {
  painter.setBlendEquation(lookupBlendEquation());
  painter.setSelectionManager(&document.selection());
  painter.setMetricSet(&document.metrics());
  painter.setAreas(&document.areas());
  painter.setLegendScale(picture.legendScale);
  if (const MetricsVisualizerSimple* look = picture.look) {
    painter.setTransparency(look->getTransparency());
    painter.setAreaAlpha(look->getAreaAlpha());
    painter.setMetricsAlpha(look->getMetricsAlpha());
    painter.setGlyphAreaSize(look->getGlyphAreaSize());
    painter.setGlyphAreaCentre(look->getGlyphAreaCentre());
    painter.setDrawDiagram(look->getDrawDiagram());
    if (const int softness = look->eraserSoftness(); softness > 0) painter.eraser().setSoftness(softness);
  }
}

}  // namespace

namespace {

// A view of the picture's size with its own painter set up from the
// document and the picture, and the picture's camera: what both the raster
// and the vector picture draw. The painter's textures go with it, so it must
// die while the context is still current.
struct PictureView {
  PictureView(Document& document, const ViewPicture& picture) : view(&host, 0, 0, picture.width, picture.height) {
    setUpPainter(painter, document, picture);
    view.setLevelOfDetail(picture.levelOfDetail);
    view.setVisualizer(&painter);
    view.setDiagram(picture.diagram);
    if (picture.camera != nullptr) view.camera() = *picture.camera;
    else if (picture.adjustCamera) picture.adjustCamera(view.camera());
  }
  OffscreenWindowHost host;
  MetricsVisualizerSimple painter;
  CanvasWindow view;
};

}  // namespace

void drawViewPicture(Document& document, const ViewPicture& picture) {
  PictureView p(document, picture);
  // Drawn once, straight to the buffer: a display list would only hold a
  // copy of the whole scene until the end.
  p.view.renderOnce();
}

void writeViewVector(Document& document, const ViewPicture& picture, const std::string& file, VectorFormat format) {
  PictureView p(document, picture);
  try {
    writeVectorPicture(p.painter, picture.diagram, p.view, file, format);
  } catch (const VectorExportError& e) {
    throw ExportError("cannot write " + file + ": " + e.what());
  }
}

void writeImageFile(const std::vector<unsigned char>& bottomUpRGB, int width, int height, const std::string& out,
                    ImageFormat format) {
  writeImage(bottomUpRGB, width, height, out, format);
}

bool parseImageSize(const std::string& text, int& width, int& height) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string::npos || x == 0 || x + 1 >= text.size()) return false;
  auto side = [](const std::string& digits, int& value) {
    if (digits.empty() || digits.size() > 6) return false;
    if (!std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); })) return false;
    value = std::stoi(digits);
    return value >= 1 && value <= kMaxExportSide;
  };
  int w = 0, h = 0;
  if (!side(text.substr(0, x), w) || !side(text.substr(x + 1), h)) return false;
  width = w;
  height = h;
  return true;
}

int runExport(const CommandLineOptions& options, ExportEnd end) { return runCommand(exportImage, options, end); }

int runExportAll(const CommandLineOptions& options, ExportEnd end) {
  return runCommand(exportAllDiagrams, options, end);
}

namespace {

// Appends the valid UTF-8 sequence starting at text[at] to out and returns
// its length, or returns 0 when the byte there starts none.
std::size_t copyCharacter(const std::string& text, std::size_t at, std::string& out) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xe ? 3 : (lead >> 3) == 0x1e ? 4 : 0;
  if (length == 0 || lead == 0xc0 || lead == 0xc1 || lead > 0xf4 || at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i)
    if ((byte(at + i) & 0xc0) != 0x80) return 0;
  out.append(text, at, length);
  return length;
}

std::string fileStem(const std::string& name) {
  constexpr std::size_t kMaxStem = 200;
  std::string stem;
  for (std::size_t at = 0; at < name.size();) {
    const unsigned char c = static_cast<unsigned char>(name[at]);
    std::string next;
    std::size_t used = copyCharacter(name, at, next);
    if (used == 0 || c < 0x20 || c == 0x7f || std::strchr("/\\:*?\"<>|", c) != nullptr) {
      next = "_";
      used = std::max<std::size_t>(used, 1);
    }
    if (stem.empty() && next == ".") next = "_";
    if (stem.size() + next.size() > kMaxStem) break;
    stem += next;
    at += used;
  }
  return stem.empty() ? std::string("diagram") : stem;
}

std::string foldCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

}  // namespace

std::vector<std::string> pictureFileNames(const std::vector<std::string>& diagramNames, const std::string& extension) {
  std::vector<std::string> files;
  std::vector<std::string> taken;  // case-folded
  const auto isTaken = [&](const std::string& file) {
    return std::find(taken.begin(), taken.end(), foldCase(file)) != taken.end();
  };
  for (const std::string& name : diagramNames) {
    const std::string stem = fileStem(name);
    std::string file = stem + "." + extension;
    for (int n = 2; isTaken(file); ++n) file = stem + " (" + std::to_string(n) + ")." + extension;
    taken.push_back(foldCase(file));
    files.push_back(file);
  }
  return files;
}

}  // namespace lumetra
