#include "modelfiles/DiagramWriter.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/ScenarioElements.h"
#include "model/UmlElements.h"
#include "platform/DebugOutput.h"

namespace lumetra {

namespace {

// Streams the document into an open file descriptor, remembering the first
// write error (a full disk, a failing device).
class FileWriter : public pugi::xml_writer {
 public:
  explicit FileWriter(int fd) : fd_(fd) {}
  void write(const void* data, size_t size) override {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0 && error_ == 0) {
      const ssize_t written = ::write(fd_, bytes, size);
      if (written < 0) {
        if (errno == EINTR) continue;
        error_ = errno;
        return;
      }
      bytes += written;
      size -= static_cast<size_t>(written);
    }
  }
  int error() const { return error_; }

 private:
  int fd_;
  int error_ = 0;
};

void setNumber(pugi::xml_node node, const char* name, float value) {
  node.append_attribute(name).set_value(formatNumber(value).c_str());
}

void writeLayouts(pugi::xml_node parent, const VisualElement& shape) {
  pugi::xml_node layouts = parent.append_child("layouts");
  for (const VisualElementLayout* layout : shape.getLayouts()) {
    pugi::xml_node node = layouts.append_child("layout");
    node.append_attribute("name").set_value(layout->getName().c_str());
    // A layout without corners (none is left after loading) is written at the origin.
    const Vec2 lo = layout->getLowerLeft() ? *layout->getLowerLeft() : Vec2();
    const Vec2 hi = layout->getUpperRight() ? *layout->getUpperRight() : Vec2();
    setNumber(node, "down", lo.y);
    setNumber(node, "left", lo.x);
    setNumber(node, "up", hi.y);
    setNumber(node, "right", hi.x);
  }
}

void writeFeature(pugi::xml_node parent, const Feature& feature) {
  pugi::xml_node node = parent.append_child("element");
  node.append_attribute("id").set_value(feature.idRef().c_str());
  node.append_attribute("name").set_value(feature.getName().c_str());
  node.append_attribute("type").set_value(feature.getType().c_str());
  node.append_attribute("visibility").set_value(feature.getVisibility().c_str());
}

void writeAssociationEnd(pugi::xml_node parent, const AssociationEnd* end) {
  pugi::xml_node node = parent.append_child("association_end");
  if (!end) return;  // a hand-built association may lack an end
  node.append_attribute("id").set_value(end->idRef().c_str());
  node.append_attribute("model_id").set_value(end->getType().c_str());
  node.append_attribute("aggregation").set_value(end->getAggregation().c_str());
  node.append_attribute("multiplicity").set_value(end->getMultiplicity().c_str());
  node.append_attribute("navigable").set_value(end->isNavigable() ? "1" : "0");
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

bool XMLDiagramWriter::write() {
  errorText_.clear();
  document_.reset();
  document_.load_string("<root>\n</root>");
  pugi::xml_node root = document_.child("root");
  // Built in place under root: the same tree as building apart and copying.
  pugi::xml_node diagramsNode = root.append_child("diagrams");
  pugi::xml_node modelElementsNode = root.append_child("model_elements");

  for (const Diagram* diagram : *diagrams_)
    if (diagram) writeDiagram(diagramsNode, *diagram);
  for (std::size_t i = 0; i < pool_->size(); ++i) writeModelElement(modelElementsNode, *pool_->get(i));

  return saveAtomically();
}

void XMLDiagramWriter::writeDiagram(pugi::xml_node parent, const Diagram& diagram) {
  pugi::xml_node node = parent.append_child("diagram");
  node.append_attribute("id").set_value(diagram.idRef().c_str());
  node.append_attribute("name").set_value(diagram.getName().c_str());
  node.append_attribute("class").set_value(diagram.getTypeName().c_str());

  pugi::xml_node elements = node.append_child("diagram_elements");
  for (std::size_t i = 0; i < diagram.getElementCount(); ++i) writeShape(elements, *diagram.getElement(i));

  pugi::xml_node supplementary = node.append_child("supplementary_elements");
  for (std::size_t i = 0; i < diagram.getSupplementaryElementCount(); ++i) {
    const VisualSupplElement& shape = *diagram.getSupplementaryElement(i);
    pugi::xml_node shapeNode = supplementary.append_child("supplementary_element");
    shapeNode.append_attribute("id").set_value(shape.idRef().c_str());
    shapeNode.append_attribute("model_id").set_value(shape.getSubjectId().c_str());
    writeLayouts(shapeNode, shape);
  }
}

// Composed shapes nest their children; the depth is that of the model (a
// service holds flat interface markers), so recursion stays shallow.
void XMLDiagramWriter::writeShape(pugi::xml_node parent, const DiagramElement& shape) {
  pugi::xml_node node = parent.append_child("diagram_element");
  node.append_attribute("id").set_value(shape.idRef().c_str());
  const ModelElement* model = shape.getModelElement();
  node.append_attribute("model_id").set_value(model ? model->idRef().c_str() : "");
  writeLayouts(node, shape);
  if (shape.getTypeName() == "ComposedDiagramElement") {
    const auto& composed = static_cast<const ComposedDiagramElement&>(shape);
    pugi::xml_node children = node.append_child("children");
    for (std::size_t i = 0; i < composed.getChildCount(); ++i)
      if (const DiagramElement* child = composed.getChild(i)) writeShape(children, *child);
  }
}

void XMLDiagramWriter::writeModelElement(pugi::xml_node parent, const ModelElement& element) {
  debugOutput("\n");
  const std::string typeName = element.getTypeName();
  pugi::xml_node node = parent.append_child("element");
  node.append_attribute("id").set_value(element.idRef().c_str());
  node.append_attribute("class").set_value(typeName.c_str());

  const auto code = typeCodes_.find(typeName);
  if (code == typeCodes_.end()) {
    debugOutput("\n UNEXPECTED MODEL ELEMENT WRITING " + typeName);
    return;
  }
  switch (code->second) {
    case TypeCode::Class: {
      const auto& cls = static_cast<const Class&>(element);
      node.append_attribute("name").set_value(cls.getName().c_str());
      if (cls.attributeCount() > 0) {
        pugi::xml_node attributes = node.append_child("attributes");
        for (const Attribute* a : cls.getAttributes()) writeFeature(attributes, *a);
      }
      if (cls.methodCount() > 0) {
        pugi::xml_node methods = node.append_child("methods");
        for (const Method* m : cls.getMethods()) writeFeature(methods, *m);
      }
      break;
    }
    case TypeCode::Association: {
      const auto& association = static_cast<const Association&>(element);
      node.append_attribute("name").set_value(association.getName().c_str());
      writeAssociationEnd(node, association.getFirstEnd());
      writeAssociationEnd(node, association.getSecondEnd());
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
}

bool XMLDiagramWriter::saveAtomically() {
  namespace fs = std::filesystem;
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

  FileWriter writer(fd);
  document_.save(writer, "\t", pugi::format_default, pugi::encoding_utf8);
  int error = writer.error();
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
