#pragma once
// Diagrams (owning their shapes) and the element pool (owning model elements).

#include <string>
#include <unordered_map>
#include <vector>

#include "model/Element.h"
#include "model/IdentifierTable.h"

namespace lumetra {

class Diagram : public VisualElement {
 public:
  Diagram() = default;
  explicit Diagram(std::string id) : VisualElement(std::move(id)) {}
  Diagram(std::string id, std::string name) : VisualElement(std::move(id)), name_(std::move(name)) {}
  Diagram(std::string id, VisualElementLayout* layout) : VisualElement(std::move(id), layout) {}
  Diagram(std::string id, std::string name, VisualElementLayout* layout)
      : VisualElement(std::move(id), layout), name_(std::move(name)) {}

  // Takes ownership.
  virtual void addElement(DiagramElement* element) { elements_.push_back(element); }
  // The list itself: callers may reorder it in place (the list still owns).
  virtual std::vector<DiagramElement*>& getElements() { return elements_; }
  // The first shape whose model element has that identifier, or null.
  // Shapes without a model element are passed over.
  virtual DiagramElement* findElement(const std::string& modelId) const;
  virtual DiagramElement* getElement(std::size_t index) const { return checkedAt(elements_, index); }
  virtual std::size_t getElementCount() const { return elements_.size(); }
  virtual std::string getName() const { return name_; }
  virtual void setName(std::string name) { name_ = std::move(name); }
  // The first supplementary shape whose subject is that identifier, or null.
  virtual VisualSupplElement* findSupplementaryElement(const std::string& subjectId) const;
  // Takes ownership.
  virtual void addSupplementaryElement(VisualSupplElement* element) { supplementaryElements_.push_back(element); }
  virtual VisualSupplElement* getSupplementaryElement(std::size_t index) const {
    return checkedAt(supplementaryElements_, index);
  }
  virtual std::size_t getSupplementaryElementCount() const { return supplementaryElements_.size(); }
  // Deletes the shapes, then the supplementary shapes; never model elements.
  ~Diagram() override;

  // Made by the automatic layout for elements no diagram of the file shows,
  // rather than read from the file.
  bool isGenerated() const { return generated_; }
  void setGenerated(bool generated) { generated_ = generated; }

 private:
  bool generated_ = false;
  std::vector<DiagramElement*> elements_;                  // owned
  std::vector<VisualSupplElement*> supplementaryElements_;  // owned
  std::string name_;
};

// The first top-level shape of the diagram, or child of a composed shape
// (looked at right after its parent), that matches; null when none does.
template <typename Matches>
DiagramElement* findShapeOrChild(Diagram& diagram, Matches&& matches) {
  for (DiagramElement* shape : diagram.getElements()) {
    if (matches(*shape)) return shape;
    if (auto* composed = dynamic_cast<ComposedDiagramElement*>(shape))
      for (DiagramElement* child : composed->getChildren())
        if (matches(*child)) return child;
  }
  return nullptr;
}

class ClassDiagram : public Diagram {
 public:
  using Diagram::Diagram;
  std::string getTypeName() const override { return "ClassDiagram"; }
  ~ClassDiagram() override = default;
};

class PelkComponentDiagram : public Diagram {
 public:
  using Diagram::Diagram;
  std::string getTypeName() const override { return "PelkComponentDiagram"; }
  ~PelkComponentDiagram() override = default;
};

// Owns every model element of the loaded model, in insertion order. The same
// identifier may occur more than once; find returns the first added.
//
// find is a hash look-up. The identifiers are indexed when find next runs
// after elements were added (a batch that reads and writes a model never
// searches its pool and never pays for the index), so identifiers of pooled
// elements must not change afterwards.
class ModelElementsPool {
 public:
  ModelElementsPool() = default;
  ModelElementsPool(const ModelElementsPool&) = delete;
  ModelElementsPool& operator=(const ModelElementsPool&) = delete;

  // Takes ownership.
  virtual void add(ModelElement* element);
  // Deletes every element and empties the pool.
  virtual void clear();
  virtual ModelElement* find(const std::string& id) const;
  virtual std::size_t size() const { return elements_.size(); }
  virtual ModelElement* get(std::size_t index) const { return checkedAt(elements_, index); }
  virtual ~ModelElementsPool();

  // Makes room for that many elements in all, so that adding up to that
  // count does not move the list.
  void reserve(std::size_t count);

 private:
  // Indexes the elements added since the last search.
  void indexNewElements() const;

  std::vector<ModelElement*> elements_;  // owned
  // id -> first position, for the first indexedCount_ elements.
  mutable IdentifierTable<std::string, std::size_t> firstIndex_;
  mutable std::size_t indexedCount_ = 0;
};

}  // namespace lumetra
