// The diagram file writer.
//
// Contents:
//   - emitters: one builds a pugixml document, one streams the same XML text
//     to a file descriptor;
//   - the tree walk shared by both (diagrams, then pool elements);
//   - saving through a temporary file renamed over the target.

#include "modelfiles/DiagramWriter.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/ScenarioElements.h"
#include "model/UmlElements.h"
#include "platform/DebugOutput.h"

namespace lumetra {

namespace {

// ---- emitters ----

// Builds the tree under a pugixml node.
class DocumentEmitter {
 public:
  explicit DocumentEmitter(pugi::xml_node root) { stack_.push_back(root); }
  void begin(const char* name) { stack_.push_back(stack_.back().append_child(name)); }
  void attribute(const char* name, const char* value) { stack_.back().append_attribute(name).set_value(value); }
  void number(const char* name, float value) { attribute(name, formatNumber(value).c_str()); }
  void end() { stack_.pop_back(); }

 private:
  std::vector<pugi::xml_node> stack_;
};

// Streams the XML text pugixml's default format gives for the same tree:
// tab indentation, one element per line, " />" for an element without
// children, and attribute values escaped as pugixml escapes them (&, < and
// the double quote by name, control characters by number; > stays).
// The text is gathered in a fixed buffer written out about a megabyte at a
// time.
class StreamEmitter {
 public:
  explicit StreamEmitter(int fd)
      : fd_(fd), buffer_(new char[kCapacity]), pos_(buffer_.get()), end_(buffer_.get() + kCapacity) {
    put("<?xml version=\"1.0\"?>\n");
  }

  void begin(const char* name) {
    openParent();
    for (std::size_t i = 0; i < depth_; ++i) put('\t');
    put('<');
    put(name, std::strlen(name));
    names_.push_back(name);
    open_ = true;
    ++depth_;
  }
  void attribute(const char* name, const char* value) {
    put(' ');
    put(name, std::strlen(name));
    put("=\"");
    appendEscaped(value);
    put('"');
  }
  // A number as formatNumber() writes it; its text never needs escaping.
  void number(const char* name, float value) {
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 6);
    put(' ');
    put(name, std::strlen(name));
    put("=\"");
    put(digits, static_cast<std::size_t>(result.ptr - digits));
    put('"');
  }
  void end() {
    --depth_;
    if (open_) {
      put(" />\n");
    } else {
      for (std::size_t i = 0; i < depth_; ++i) put('\t');
      put("</");
      put(names_.back(), std::strlen(names_.back()));
      put(">\n");
    }
    names_.pop_back();
    open_ = false;
    if (static_cast<std::size_t>(pos_ - buffer_.get()) >= kChunk) flush();
  }
  // Writes what is buffered; returns the first write error (0 when none).
  int finish() {
    flush();
    return error_;
  }

 private:
  static constexpr std::size_t kChunk = 1 << 20;
  static constexpr std::size_t kCapacity = kChunk + 65536;

  void put(char c) {
    if (pos_ == end_) flush();
    *pos_++ = c;
  }
  void put(const char* data, std::size_t size) {
    if (size <= static_cast<std::size_t>(end_ - pos_)) {
      std::memcpy(pos_, data, size);
      pos_ += size;
      return;
    }
    while (size > 0) {  // longer than the room left: in pieces
      if (pos_ == end_) flush();
      const std::size_t piece = std::min(size, static_cast<std::size_t>(end_ - pos_));
      std::memcpy(pos_, data, piece);
      pos_ += piece;
      data += piece;
      size -= piece;
    }
  }
  template <std::size_t N>
  void put(const char (&text)[N]) {
    put(text, N - 1);
  }

  // The parent's start tag is complete once it gets a child.
  void openParent() {
    if (open_) put(">\n");
    open_ = false;
  }
  // The bytes that end a run of plain text: NUL (the end), the control
  // characters, '&', '<' and '"'.
  static constexpr std::array<bool, 256> kStopsRun = [] {
    std::array<bool, 256> stops{};
    for (int c = 0; c < 32; ++c) stops[c] = true;
    stops['&'] = stops['<'] = stops['"'] = true;
    return stops;
  }();

  void appendEscaped(const char* s) {
    // Runs of characters that need no escape are appended whole.
    const char* run = s;
    for (;; ++s) {
      const unsigned char c = static_cast<unsigned char>(*s);
      if (!kStopsRun[c]) continue;
      put(run, static_cast<std::size_t>(s - run));
      if (c == 0) return;
      switch (c) {
        case '&': put("&amp;"); break;
        case '<': put("&lt;"); break;
        case '"': put("&quot;"); break;
        default: {
          const char ref[] = {'&', '#', static_cast<char>('0' + c / 10), static_cast<char>('0' + c % 10), ';'};
          put(ref, sizeof ref);
        }
      }
      run = s + 1;
    }
  }
  void flush() {
    const char* bytes = buffer_.get();
    std::size_t size = static_cast<std::size_t>(pos_ - buffer_.get());
    while (size > 0 && error_ == 0) {
      const ssize_t written = ::write(fd_, bytes, size);
      if (written < 0) {
        if (errno != EINTR) error_ = errno;
        continue;
      }
      bytes += written;
      size -= static_cast<std::size_t>(written);
    }
    pos_ = buffer_.get();
  }

  int fd_;
  int error_ = 0;
  std::unique_ptr<char[]> buffer_;
  char* pos_;
  char* end_;
  std::vector<const char*> names_;  // static tag names
  std::size_t depth_ = 0;
  bool open_ = false;  // a start tag still waits for ">" or " />"
};

// ---- the tree ----

template <typename Emitter>
void emitNumber(Emitter& out, const char* name, float value) {
  out.number(name, value);
}

template <typename Emitter>
void emitLayouts(Emitter& out, const VisualElement& shape) {
  out.begin("layouts");
  for (const VisualElementLayout* layout : shape.layoutsRef()) {
    out.begin("layout");
    out.attribute("name", layout->nameRef().c_str());
    // A layout without corners (none is left after loading) is written at the origin.
    const Vec2 lo = layout->getLowerLeft() ? *layout->getLowerLeft() : Vec2();
    const Vec2 hi = layout->getUpperRight() ? *layout->getUpperRight() : Vec2();
    emitNumber(out, "down", lo.y);
    emitNumber(out, "left", lo.x);
    emitNumber(out, "up", hi.y);
    emitNumber(out, "right", hi.x);
    out.end();
  }
  out.end();
}

// Composed shapes nest their children; the depth is that of the model (a
// service holds flat interface markers), so the recursion stays shallow.
template <typename Emitter>
void emitShape(Emitter& out, const DiagramElement& shape) {
  out.begin("diagram_element");
  out.attribute("id", shape.idRef().c_str());
  const ModelElement* model = shape.getModelElement();
  out.attribute("model_id", model ? model->idRef().c_str() : "");
  emitLayouts(out, shape);
  if (shape.getTypeName() == "ComposedDiagramElement") {
    const auto& composed = static_cast<const ComposedDiagramElement&>(shape);
    out.begin("children");
    for (std::size_t i = 0; i < composed.getChildCount(); ++i)
      if (const DiagramElement* child = composed.getChild(i)) emitShape(out, *child);
    out.end();
  }
  out.end();
}

template <typename Emitter>
void emitDiagram(Emitter& out, const Diagram& diagram) {
  out.begin("diagram");
  out.attribute("id", diagram.idRef().c_str());
  out.attribute("name", diagram.getName().c_str());
  out.attribute("class", diagram.getTypeName().c_str());
  out.begin("diagram_elements");
  for (std::size_t i = 0; i < diagram.getElementCount(); ++i) emitShape(out, *diagram.getElement(i));
  out.end();
  out.begin("supplementary_elements");
  for (std::size_t i = 0; i < diagram.getSupplementaryElementCount(); ++i) {
    const VisualSupplElement& shape = *diagram.getSupplementaryElement(i);
    out.begin("supplementary_element");
    out.attribute("id", shape.idRef().c_str());
    out.attribute("model_id", shape.getSubjectId().c_str());
    emitLayouts(out, shape);
    out.end();
  }
  out.end();
  out.end();
}

template <typename Emitter>
void emitFeature(Emitter& out, const Feature& feature) {
  out.begin("element");
  out.attribute("id", feature.idRef().c_str());
  out.attribute("name", feature.getName().c_str());
  out.attribute("type", feature.getType().c_str());
  out.attribute("visibility", feature.getVisibility().c_str());
  out.end();
}

template <typename Emitter>
void emitAssociationEnd(Emitter& out, const AssociationEnd* end) {
  out.begin("association_end");
  if (end) {  // a hand-built association may lack an end
    out.attribute("id", end->idRef().c_str());
    out.attribute("model_id", end->getType().c_str());
    out.attribute("aggregation", end->getAggregation().c_str());
    out.attribute("multiplicity", end->getMultiplicity().c_str());
    out.attribute("navigable", end->isNavigable() ? "1" : "0");
  }
  out.end();
}

template <typename Emitter>
void emitModelElement(Emitter& out, const ModelElement& element, const std::map<std::string, TypeCode>& typeCodes) {
  debugOutput("\n");
  const std::string typeName = element.getTypeName();
  out.begin("element");
  out.attribute("id", element.idRef().c_str());
  out.attribute("class", typeName.c_str());

  const auto code = typeCodes.find(typeName);
  switch (code == typeCodes.end() ? TypeCode::VisualElement : code->second) {
    case TypeCode::Class: {
      const auto& cls = static_cast<const Class&>(element);
      out.attribute("name", cls.getName().c_str());
      if (cls.attributeCount() > 0) {
        out.begin("attributes");
        for (std::size_t i = 0; i < cls.attributeCount(); ++i) emitFeature(out, *cls.getAttribute(i));
        out.end();
      }
      if (cls.methodCount() > 0) {
        out.begin("methods");
        for (std::size_t i = 0; i < cls.methodCount(); ++i) emitFeature(out, *cls.getMethod(i));
        out.end();
      }
      break;
    }
    case TypeCode::Association: {
      const auto& association = static_cast<const Association&>(element);
      out.attribute("name", association.getName().c_str());
      emitAssociationEnd(out, association.getFirstEnd());
      emitAssociationEnd(out, association.getSecondEnd());
      break;
    }
    case TypeCode::Dependency:
    case TypeCode::Interface:
    case TypeCode::Inheritance:
    case TypeCode::Note:
    case TypeCode::Package:
    case TypeCode::Dummy:
    case TypeCode::PelkConnection:
    case TypeCode::PelkInterface:
    case TypeCode::PelkService:
      debugOutput(typeName);
      break;
    default:
      debugOutput("\n UNEXPECTED MODEL ELEMENT WRITING " + typeName);
      break;
  }
  out.end();
}

}  // namespace

std::string formatNumber(float value) {
  // Streams print a float in general notation with precision 6, as %g does.
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
  return std::string(buffer, result.ptr);
}

XMLDiagramWriter::XMLDiagramWriter(std::string fileName, const std::vector<Diagram*>& diagrams,
                                   const ModelElementsPool& pool)
    : DiagramWriter(diagrams, pool), fileName_(std::move(fileName)) {
  static const char* const names[] = {
      "Class",   "Association", "AssociationEnd", "Attribute",       "ClassDiagram",   "Dependency",
      "Interface", "Inheritance", "Method",        "Note",            "Package",        "Dummy",
      "PelkComponentDiagram", "PelkConnection", "PelkInterface", "PelkService", "VisualElement",
      "VisualSupplElement", "ComposedDiagramElement"};
  for (const char* name : names) typeCodes_.emplace(name, static_cast<TypeCode>(typeCodeOf(name)));
}

// root holding diagrams, then model_elements: one diagram per diagram of the
// list, one element per pool entry by index.
template <typename Emitter>
void XMLDiagramWriter::emitTree(Emitter& out) const {
  out.begin("root");
  out.begin("diagrams");
  for (const Diagram* diagram : *diagrams_)
    if (diagram) emitDiagram(out, *diagram);
  out.end();
  out.begin("model_elements");
  for (std::size_t i = 0; i < pool_->size(); ++i) emitModelElement(out, *pool_->get(i), typeCodes_);
  out.end();
  out.end();
}

bool XMLDiagramWriter::write() { return saveAtomically(); }

int XMLDiagramWriter::streamTo(int fd) const {
  StreamEmitter out(fd);
  emitTree(out);
  return out.finish();
}

void XMLDiagramWriter::buildDocument() {
  errorText_.clear();
  document_.reset();
  DocumentEmitter out(document_);
  emitTree(out);
}

bool XMLDiagramWriter::saveAtomically() {
  namespace fs = std::filesystem;
  errorText_.clear();
  const fs::path target(fileName_);
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  std::string tempName = (folder / ("." + target.filename().string() + ".XXXXXX")).string();

  auto fail = [this](const std::string& what, int error) {
    errorText_ = what + ": " + std::strerror(error);
    return false;
  };

  const int fd = ::mkstemp(tempName.data());
  if (fd < 0) return fail("cannot create a file in " + folder.string(), errno);

  // mkstemp makes the file private; give it the mode a plain create would
  // (or the mode of the file it replaces).
  struct stat existing {};
  mode_t mode = 0;
  if (::stat(fileName_.c_str(), &existing) == 0) {
    mode = existing.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd, mode);

  int error = streamTo(fd);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(tempName.c_str(), fileName_.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(tempName.c_str());
    return fail("cannot write " + fileName_, error);
  }
  return true;
}

}  // namespace lumetra
