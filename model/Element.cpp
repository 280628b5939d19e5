#include "model/Element.h"

#include <array>
#include <utility>

#include "model/ModelVisitor.h"

namespace lumetra {

int typeCodeOf(const std::string& typeName) {
  static const std::array<const char*, 19> names = {
      "Class",  "Association", "AssociationEnd", "Attribute", "ClassDiagram", "Dependency", "Interface",
      "Inheritance", "Method", "Note", "Package", "Dummy", "PelkComponentDiagram", "PelkConnection",
      "PelkInterface", "PelkService", "VisualElement", "VisualSupplElement", "ComposedDiagramElement"};
  for (std::size_t i = 0; i < names.size(); ++i)
    if (typeName == names[i]) return static_cast<int>(i);
  return -1;
}

void ModelElement::accept(ModelVisitor& visitor) { visitor.visitModelElement(this); }
void Dummy::accept(ModelVisitor& visitor) {
  if (relation_) relation_->accept(visitor);
  else visitor.visitModelElement(this);
}

VisualElement::VisualElement(std::string id, VisualElementLayout* layout) : Element(std::move(id)) {
  layouts_.push_back(layout);
  currentLayout_ = layout;
}

void VisualElement::selectLayout(const std::string& name) {
  for (VisualElementLayout* layout : layouts_)
    if (layout->getName() == name) currentLayout_ = layout;
}

VisualElementLayout* VisualElement::findLayout(const std::string& name) const {
  for (VisualElementLayout* layout : layouts_)
    if (layout->getName() == name) return layout;
  return nullptr;
}

VisualElement::~VisualElement() { deleteAll(layouts_); }

DiagramElement* ComposedDiagramElement::findChild(const std::string& id) const {
  for (DiagramElement* child : children_) {
    ModelElement* m = child->getModelElement();
    if (m && m->idRef() == id) return child;
  }
  return nullptr;
}

}  // namespace lumetra
