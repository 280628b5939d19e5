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
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/ScenarioElements.h"
#include "model/UmlElements.h"
#include "platform/AtomicFile.h"
#include "platform/DebugOutput.h"

namespace lumetra {

namespace {

// ---- numbers ----

// Room that writeNumber() may fill.
constexpr std::size_t kNumberRoom = 32;

// Writes value as a stream prints a float by default (general notation, six
// significant digits, as %g) and returns the end of the text. Diagram
// coordinates take a short exact path: the float times a power of ten up to
// 10^9 is exact in double precision (24 bits of the float times at most 21
// odd bits of 5^k), so rounding it to six digits with the current (nearest,
// ties to even) rounding gives the digits %g gives. Other values go to
// std::to_chars.
char* writeNumber(char* out, float value) {
  const double magnitude = std::fabs(static_cast<double>(value));
  if (std::isfinite(magnitude) && magnitude >= 1e-4 && magnitude < 1e6) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    // The decimal exponent of the value rounded to six digits: the one that
    // puts the rounded value in [10^5, 10^6).
    int exponent = 5;
    while (exponent > -4 && magnitude * kPowers[5 - exponent] < 1e5) --exponent;
    double digits = std::nearbyint(magnitude * kPowers[5 - exponent]);
    if (digits >= 1e6) {  // rounding carried into the next power of ten
      ++exponent;
      digits = 1e5;
    }
    if (digits >= 1e5 && exponent >= -4 && exponent <= 5) {
      char text[6];
      auto number = static_cast<long>(digits);
      for (int i = 5; i >= 0; --i, number /= 10) text[i] = static_cast<char>('0' + number % 10);
      int used = 6;  // significant digits left once trailing zeros go
      const int integerDigits = exponent >= 0 ? exponent + 1 : 0;
      while (used > integerDigits && text[used - 1] == '0') --used;
      if (std::signbit(value)) *out++ = '-';
      if (exponent >= 0) {
        for (int i = 0; i < integerDigits; ++i) *out++ = text[i];
        if (used > integerDigits) {
          *out++ = '.';
          for (int i = integerDigits; i < used; ++i) *out++ = text[i];
        }
      } else {
        *out++ = '0';
        *out++ = '.';
        for (int i = exponent; i < -1; ++i) *out++ = '0';
        for (int i = 0; i < used; ++i) *out++ = text[i];
      }
      return out;
    }
  }
  return std::to_chars(out, out + kNumberRoom, value, std::chars_format::general, 6).ptr;
}

// ---- emitters ----

// Builds the tree under a pugixml node.
class DocumentEmitter {
 public:
  explicit DocumentEmitter(pugi::xml_node root) { stack_.push_back(root); }
  void begin(const char* name) { stack_.push_back(stack_.back().append_child(name)); }
  // A value ends at its first NUL, as the streamed text does.
  void attribute(const char* name, std::string_view value) {
    value = value.substr(0, value.find('\0'));
    stack_.back().append_attribute(name).set_value(value.data(), value.size());
  }
  void number(const char* name, float value) { attribute(name, formatNumber(value)); }
  void end() { stack_.pop_back(); }

 private:
  std::vector<pugi::xml_node> stack_;
};

// Streams the XML text pugixml's default format gives for the same tree:
// tab indentation, one element per line, " />" for an element without
// children, and attribute values escaped as pugixml escapes them (&, < and
// the double quote by name, control characters by number; > stays).
// The text is gathered in a buffer written out about a megabyte at a time.
// Each piece first makes sure the buffer has room for all it may write (a
// value escapes to at most six bytes a character), so the bytes themselves
// are stored without further checks; only a value too long for the buffer
// is written in parts.
class StreamEmitter {
 public:
  explicit StreamEmitter(int fd) : fd_(fd), buffer_(new char[kCapacity]), pos_(buffer_.get()) {
    put("<?xml version=\"1.0\"?>\n");
  }

  template <std::size_t N>
  void begin(const char (&name)[N]) {
    room(depth_ + N + 4);
    if (open_) put(">\n");
    open_ = false;
    for (std::size_t i = 0; i < depth_; ++i) *pos_++ = '\t';
    *pos_++ = '<';
    put(name);
    names_.emplace_back(name, N - 1);
    open_ = true;
    ++depth_;
  }
  template <std::size_t N>
  void attribute(const char (&name)[N], std::string_view value) {
    if (value.size() > kChunk) {
      attributeInParts(name, value);
      return;
    }
    room(N + 4 + value.size() * 6);
    *pos_++ = ' ';
    put(name);
    put("=\"");
    for (const char c : value) {
      if (!kEscaped[static_cast<unsigned char>(c)]) {
        *pos_++ = c;
        continue;
      }
      if (c == '\0') break;  // a value ends at its first NUL
      escape(static_cast<unsigned char>(c));
    }
    *pos_++ = '"';
  }
  // A number as formatNumber() writes it; its text never needs escaping.
  template <std::size_t N>
  void number(const char (&name)[N], float value) {
    room(N + 4 + kNumberRoom);
    *pos_++ = ' ';
    put(name);
    put("=\"");
    pos_ = writeNumber(pos_, value);
    *pos_++ = '"';
  }
  void end() {
    --depth_;
    const std::string_view name = names_.back();
    names_.pop_back();
    room(depth_ + name.size() + 4);
    if (open_) {
      put(" />\n");
    } else {
      for (std::size_t i = 0; i < depth_; ++i) *pos_++ = '\t';
      put("</");
      std::memcpy(pos_, name.data(), name.size());
      pos_ += name.size();
      put(">\n");
    }
    open_ = false;
  }
  // Writes what is buffered; returns the first write error (0 when none).
  int finish() {
    flush();
    return error_;
  }

 private:
  static constexpr std::size_t kChunk = 1 << 20;
  static constexpr std::size_t kCapacity = 8 * kChunk;

  // Makes sure that many bytes fit; at most kCapacity - kChunk are asked.
  void room(std::size_t bytes) {
    if (pos_ + bytes > buffer_.get() + kCapacity || pos_ - buffer_.get() >= static_cast<std::ptrdiff_t>(kChunk)) flush();
  }
  template <std::size_t N>
  void put(const char (&text)[N]) {
    std::memcpy(pos_, text, N - 1);
    pos_ += N - 1;
  }

  // The bytes an attribute value cannot hold as they are: NUL, the other
  // control characters, '&', '<' and '"'.
  static constexpr std::array<bool, 256> kEscaped = [] {
    std::array<bool, 256> escaped{};
    for (int c = 0; c < 32; ++c) escaped[c] = true;
    escaped['&'] = escaped['<'] = escaped['"'] = true;
    return escaped;
  }();

  void escape(unsigned char c) {
    switch (c) {
      case '&': put("&amp;"); break;
      case '<': put("&lt;"); break;
      case '"': put("&quot;"); break;
      default: {
        const char ref[] = {'&', '#', static_cast<char>('0' + c / 10), static_cast<char>('0' + c % 10), ';'};
        std::memcpy(pos_, ref, sizeof ref);
        pos_ += sizeof ref;
      }
    }
  }

  // An attribute whose value is longer than a chunk, a piece at a time.
  template <std::size_t N>
  void attributeInParts(const char (&name)[N], std::string_view value) {
    room(N + 3);
    *pos_++ = ' ';
    put(name);
    put("=\"");
    for (const char c : value) {
      if (c == '\0') break;
      room(6);
      if (kEscaped[static_cast<unsigned char>(c)])
        escape(static_cast<unsigned char>(c));
      else
        *pos_++ = c;
    }
    room(1);
    *pos_++ = '"';
  }

  void flush() {
    const std::size_t size = static_cast<std::size_t>(pos_ - buffer_.get());
    writeOut(buffer_.get(), size);
    pos_ = buffer_.get();
  }
  void writeOut(const char* bytes, std::size_t size) {
    while (size > 0 && error_ == 0) {
      const ssize_t written = ::write(fd_, bytes, size);
      if (written < 0) {
        if (errno != EINTR) error_ = errno;
        continue;
      }
      bytes += written;
      size -= static_cast<std::size_t>(written);
      written_ += static_cast<std::size_t>(written);
    }
    // Start writing back what is complete while the rest is formatted, so
    // that the final fsync has little left to wait for. A file system
    // without it just leaves everything to the fsync.
    if (error_ == 0 && written_ - synced_ >= kWriteBack) {
      ::sync_file_range(fd_, static_cast<off_t>(synced_), static_cast<off_t>(written_ - synced_), SYNC_FILE_RANGE_WRITE);
      synced_ = written_;
    }
  }

  static constexpr std::size_t kWriteBack = 8 * kChunk;

  int fd_;
  int error_ = 0;
  std::size_t written_ = 0;  // bytes written to the file so far
  std::size_t synced_ = 0;   // of which writing back was started
  std::unique_ptr<char[]> buffer_;
  char* pos_;
  std::vector<std::string_view> names_;  // the open elements' tag names
  std::size_t depth_ = 0;
  bool open_ = false;  // a start tag still waits for ">" or " />"
};

// ---- the tree ----

// Asks the processor to fetch the first bytes of an object into the cache.
void prefetchObject(const void* object, std::size_t bytes) {
  const char* start = static_cast<const char*>(object);
  for (std::size_t offset = 0; offset < bytes; offset += 64) __builtin_prefetch(start + offset);
}

// The same for the parts a pool element's text is made of: a class's
// features (made one after the other) and an association's ends.
void prefetchParts(const ModelElement* element) {
  if (const auto* cls = dynamic_cast<const Class*>(element)) {
    if (cls->attributeCount() > 0) prefetchObject(cls->getAttribute(0), 1024);
    if (cls->methodCount() > 0) prefetchObject(cls->getMethod(0), 1024);
  } else if (const auto* association = dynamic_cast<const Association*>(element)) {
    if (const AssociationEnd* end = association->getFirstEnd()) prefetchObject(end, 512);
  }
}

template <typename Emitter, std::size_t N>
void emitNumber(Emitter& out, const char (&name)[N], float value) {
  out.number(name, value);
}

template <typename Emitter>
void emitLayouts(Emitter& out, const VisualElement& shape) {
  out.begin("layouts");
  for (const VisualElementLayout* layout : shape.layoutsRef()) {
    out.begin("layout");
    out.attribute("name", layout->nameRef());
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
  out.attribute("id", shape.idRef());
  const ModelElement* model = shape.getModelElement();
  out.attribute("model_id", model ? std::string_view(model->idRef()) : std::string_view());
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
  out.attribute("id", diagram.idRef());
  out.attribute("name", diagram.getName());
  out.attribute("class", diagram.getTypeName());
  out.begin("diagram_elements");
  for (std::size_t i = 0; i < diagram.getElementCount(); ++i) emitShape(out, *diagram.getElement(i));
  out.end();
  out.begin("supplementary_elements");
  for (std::size_t i = 0; i < diagram.getSupplementaryElementCount(); ++i) {
    const VisualSupplElement& shape = *diagram.getSupplementaryElement(i);
    out.begin("supplementary_element");
    out.attribute("id", shape.idRef());
    out.attribute("model_id", shape.getSubjectId());
    emitLayouts(out, shape);
    out.end();
  }
  out.end();
  out.end();
}

template <typename Emitter>
void emitFeature(Emitter& out, const Feature& feature) {
  out.begin("element");
  out.attribute("id", feature.idRef());
  out.attribute("name", feature.getName());
  out.attribute("type", feature.getType());
  out.attribute("visibility", feature.getVisibility());
  out.end();
}

template <typename Emitter>
void emitAssociationEnd(Emitter& out, const AssociationEnd* end) {
  out.begin("association_end");
  if (end) {  // a hand-built association may lack an end
    out.attribute("id", end->idRef());
    out.attribute("model_id", end->getType());
    out.attribute("aggregation", end->getAggregation());
    out.attribute("multiplicity", end->getMultiplicity());
    out.attribute("navigable", end->isNavigable() ? "1" : "0");
  }
  out.end();
}

template <typename Emitter>
void emitModelElement(Emitter& out, const ModelElement& element, const std::map<std::string, TypeCode>& typeCodes) {
  debugOutput("\n");
  const std::string typeName = element.getTypeName();
  out.begin("element");
  out.attribute("id", element.idRef());
  out.attribute("class", typeName);

  const auto code = typeCodes.find(typeName);
  switch (code == typeCodes.end() ? TypeCode::VisualElement : code->second) {
    case TypeCode::Class: {
      const auto& cls = static_cast<const Class&>(element);
      out.attribute("name", cls.getName());
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
      out.attribute("name", association.getName());
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
  char buffer[kNumberRoom];
  return std::string(buffer, writeNumber(buffer, value));
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
  const std::size_t count = pool_->size();
  for (std::size_t i = 0; i < count; ++i) {
    // Pool elements lie in memory in the order the reader built them, which
    // need not be the pool's; fetching the next ones ahead hides the wait.
    if (i + 16 < count) prefetchObject(pool_->get(i + 16), 256);
    if (i + 8 < count) prefetchParts(pool_->get(i + 8));
    emitModelElement(out, *pool_->get(i), typeCodes_);
  }
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
  errorText_ = writeFileAtomically(fileName_, [this](int fd) { return streamTo(fd); });
  return errorText_.empty();
}

}  // namespace lumetra
