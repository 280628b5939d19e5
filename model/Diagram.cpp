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

void ModelElementsPool::add(ModelElement* element) { elements_.push_back(element); }

void ModelElementsPool::clear() {
  deleteAll(elements_);
  firstIndex_.clear();
  indexedCount_ = 0;
}

void ModelElementsPool::indexNewElements() const {
  if (indexedCount_ == elements_.size()) return;
  firstIndex_.reserve(elements_.size());
  for (; indexedCount_ < elements_.size(); ++indexedCount_) {
    const auto [entry, added] = firstIndex_.tryEmplace(elements_[indexedCount_]->idRef());
    if (added) entry->value = indexedCount_;
  }
}

ModelElement* ModelElementsPool::find(const std::string& id) const {
  indexNewElements();
  const auto* entry = firstIndex_.find(id);
  return entry ? elements_[entry->value] : nullptr;
}

void ModelElementsPool::reserve(std::size_t count) { elements_.reserve(count); }

ModelElementsPool::~ModelElementsPool() { clear(); }

}  // namespace lumetra
