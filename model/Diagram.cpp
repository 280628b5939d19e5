#include "model/Diagram.h"

namespace lumetra {

DiagramElement* Diagram::findElement(const std::string& modelId) const {
  for (DiagramElement* element : elements_) {
    ModelElement* m = element->getModelElement();
    if (m && m->idRef() == modelId) return element;
  }
  return nullptr;
}

VisualSupplElement* Diagram::findSupplementaryElement(const std::string& subjectId) const {
  for (VisualSupplElement* element : supplementaryElements_)
    if (element->getSubjectId() == subjectId) return element;
  return nullptr;
}

Diagram::~Diagram() {
  deleteAll(elements_);
  deleteAll(supplementaryElements_);
}

void ModelElementsPool::add(ModelElement* element) {
  firstIndex_.try_emplace(element->getId(), elements_.size());
  elements_.push_back(element);
}

void ModelElementsPool::clear() {
  deleteAll(elements_);
  firstIndex_.clear();
}

ModelElement* ModelElementsPool::find(const std::string& id) const {
  auto it = firstIndex_.find(id);
  return it == firstIndex_.end() ? nullptr : elements_[it->second];
}

void ModelElementsPool::reserve(std::size_t count) {
  elements_.reserve(count);
  firstIndex_.reserve(count);
}

ModelElementsPool::~ModelElementsPool() { clear(); }

}  // namespace lumetra
