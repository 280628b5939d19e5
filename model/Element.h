#pragma once
// The element hierarchy: Element -> ModelElement (what the model says) and
// Element -> VisualElement (where and how it is drawn).
//
// Ownership: a visual element owns its layouts and its appearance; links from
// visual to model elements, from composed elements to children and between
// model elements are not owning. The element pool owns model elements.

#include <memory>
#include <string>
#include <vector>

#include "model/Checked.h"
#include "model/VisualElementLayout.h"
#include "settings/Color.h"

namespace lumetra {

class ModelVisitor;

// Integer codes of the type names, used by the diagram writer.
enum class TypeCode {
  Class = 0,
  Association = 1,
  AssociationEnd = 2,
  Attribute = 3,
  ClassDiagram = 4,
  Dependency = 5,
  Interface = 6,
  Inheritance = 7,
  Method = 8,
  Note = 9,
  Package = 10,
  Dummy = 11,
  PelkComponentDiagram = 12,
  PelkConnection = 13,
  PelkInterface = 14,
  PelkService = 15,
  VisualElement = 16,
  VisualSupplElement = 17,
  ComposedDiagramElement = 18,
};

// The code of a type name, or -1 for a name outside the closed list.
int typeCodeOf(const std::string& typeName);

class Element {
 public:
  Element() = default;
  explicit Element(std::string id) : id_(std::move(id)) {}
  Element(const Element&) = delete;
  Element& operator=(const Element&) = delete;

  virtual std::string getTypeName() const = 0;
  virtual std::string getId() const { return id_; }
  virtual void setId(std::string id) { id_ = std::move(id); }
  virtual ~Element() = default;

  // The identifier without a copy, for look-ups on hot paths.
  const std::string& idRef() const { return id_; }

 private:
  std::string id_;
};

class ModelElement : public Element {
 public:
  using Element::Element;

  virtual bool isMarked() const { return marked_; }
  virtual void addRelated(ModelElement* element) { relatedElements_.push_back(element); }
  virtual ModelElement* getRelated(std::size_t index) const { return checkedAt(relatedElements_, index); }
  virtual std::vector<ModelElement*> getRelatedElements() const { return relatedElements_; }
  // Double dispatch; the default calls visitModelElement.
  virtual void accept(ModelVisitor& visitor);

  // The identifier of the package that contains this element in the model;
  // empty at the top level and where the file says nothing. Packages nest
  // through the same link, so a class's qualified name is its owners' names
  // (model/Namespaces.h).
  const std::string& ownerId() const { return ownerId_; }
  void setOwnerId(std::string id) { ownerId_ = std::move(id); }

 private:
  std::string ownerId_;
  bool marked_ = false;
  std::vector<ModelElement*> relatedElements_;  // not owned
  std::vector<void*> spareList_;                // not owned, unused
};

class VisualElement : public Element {
 public:
  VisualElement() = default;
  explicit VisualElement(std::string id) : Element(std::move(id)) {}
  // Appends the layout (taking ownership) and makes it current.
  VisualElement(std::string id, VisualElementLayout* layout);

  std::string getTypeName() const override { return "VisualElement"; }

  // Every layout of that name becomes current in turn: the last match wins.
  virtual void selectLayout(const std::string& name);
  virtual VisualElementLayout* getCurrentLayout() const { return currentLayout_; }
  // Appends (taking ownership) without making it current.
  virtual void addLayout(VisualElementLayout* layout) { layouts_.push_back(layout); }
  // The first layout of that name, or null.
  virtual VisualElementLayout* findLayout(const std::string& name) const;
  virtual std::vector<VisualElementLayout*> getLayouts() const { return layouts_; }
  virtual VisualElementLayout* getLayout(std::size_t index) const { return checkedAt(layouts_, index); }
  ~VisualElement() override;

  // The list of layouts without a copy, for reading on hot paths.
  const std::vector<VisualElementLayout*>& layoutsRef() const { return layouts_; }

 private:
  std::vector<VisualElementLayout*> layouts_;  // owned
  VisualElementLayout* currentLayout_ = nullptr;
};

// How a shape is drawn. fontName and styleFlags are read by nothing.
struct ElementAppearance {
  std::string fontName = "Arial";
  int fontSize = 10;
  int styleFlags = 0;
  Color fillColour{1.0f, 1.0f, 1.0f, 0.0f};
  Color textColour{0.0f, 0.0f, 0.0f, 1.0f};
  Color outlineColour{0.0f, 0.0f, 0.0f, 1.0f};
};

// A shape on a diagram that shows one model element.
class DiagramElement : public VisualElement {
 public:
  using VisualElement::VisualElement;

  virtual ModelElement* getModelElement() const { return modelElement_; }
  virtual void setModelElement(ModelElement* element) { modelElement_ = element; }
  virtual ElementAppearance* getAppearance() const { return appearance_; }
  // Replaces the pointer; the old appearance is not deleted.
  virtual void setAppearance(ElementAppearance* appearance) { appearance_ = appearance; }
  ~DiagramElement() override { delete appearance_; }

  // A relation shape's route: the bend points its line passes through
  // between its two participants, in the layout's space (diagram units, y
  // down as read, y up after the post-load passes), in the relation's order
  // (association: first end to second end; generalization: child to parent;
  // dependency: client to supplier). The line's ends stay on the
  // participants' borders, so a moved box keeps its relations attached.
  // Empty: a straight line between the two boxes.
  const std::vector<Vec2>& waypoints() const { return waypoints_; }
  void setWaypoints(std::vector<Vec2> points) { waypoints_ = std::move(points); }

 private:
  ElementAppearance* appearance_ = nullptr;  // owned
  ModelElement* modelElement_ = nullptr;     // not owned
  std::vector<Vec2> waypoints_;
};

// A shape that contains other shapes (which it does not own).
class ComposedDiagramElement : public DiagramElement {
 public:
  using DiagramElement::DiagramElement;

  std::string getTypeName() const override { return "ComposedDiagramElement"; }
  virtual void addChild(DiagramElement* child) { children_.push_back(child); }
  virtual std::vector<DiagramElement*> getChildren() const { return children_; }
  // The first child whose model element has that identifier, or null.
  virtual DiagramElement* findChild(const std::string& id) const;
  virtual DiagramElement* getChild(std::size_t index) const { return checkedAt(children_, index); }
  virtual std::size_t getChildCount() const { return children_.size(); }

 private:
  std::vector<DiagramElement*> children_;  // not owned
};

// A supplementary shape without a model element of its own (a role label).
class VisualSupplElement : public VisualElement {
 public:
  using VisualElement::VisualElement;

  std::string getTypeName() const override { return "VisualSupplElement"; }
  virtual std::string getSubjectId() const { return subjectId_; }
  virtual void setSubjectId(std::string id) { subjectId_ = std::move(id); }
  virtual ElementAppearance* getAppearance() const { return appearance_; }
  virtual void setAppearance(ElementAppearance* appearance) { appearance_ = appearance; }
  ~VisualSupplElement() override { delete appearance_; }

 private:
  ElementAppearance* appearance_ = nullptr;  // owned
  std::string subjectId_;
};

// The model element behind a relation shape whose relation is not in the model.
class Dummy : public ModelElement {
 public:
  Dummy() = default;
  explicit Dummy(std::string id) : ModelElement(std::move(id)) {}
  Dummy(std::string id, std::string subjectId, std::string relationKind)
      : ModelElement(std::move(id)), subjectId_(std::move(subjectId)), relationKind_(std::move(relationKind)) {}

  std::string getTypeName() const override { return "Dummy"; }
  virtual std::string getRelationKind() const { return relationKind_; }
  virtual std::string getSubjectId() const { return subjectId_; }
  virtual void setRelationKind(std::string kind) { relationKind_ = std::move(kind); }
  virtual void setSubjectId(std::string id) { subjectId_ = std::move(id); }

  // The relation the shape stands for, as read from its subject (a
  // dependency, usage or realization with the Dummy's own identifier), or
  // null when the file gives none. Owned. A Dummy with a relation is
  // visited as that relation; without one, as a generic element.
  ModelElement* getRelation() const { return relation_.get(); }
  void setRelation(ModelElement* relation) { relation_.reset(relation); }
  void accept(ModelVisitor& visitor) override;

 private:
  std::string subjectId_;
  std::string relationKind_;  // "RealizeRelation" or "DependencyRelation"
  std::unique_ptr<ModelElement> relation_;
};

}  // namespace lumetra
