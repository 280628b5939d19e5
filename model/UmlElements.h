#pragma once
// The semantic content of a class diagram: classes with features, interfaces,
// packages, notes and the three relation kinds. Relations name the elements
// they connect by identifier; only an association owns its two ends.

#include <string>
#include <vector>

#include "model/Element.h"

namespace lumetra {

// Attribute and Method share this shape.
class Feature : public ModelElement {
 public:
  Feature() = default;
  explicit Feature(std::string id) : ModelElement(std::move(id)) {}
  Feature(std::string id, std::string name, std::string type, std::string visibility)
      : ModelElement(std::move(id)), name_(std::move(name)), type_(std::move(type)), visibility_(std::move(visibility)) {}

  virtual std::string getName() const { return name_; }
  virtual std::string getType() const { return type_; }
  virtual std::string getVisibility() const { return visibility_; }
  virtual void setName(std::string name) { name_ = std::move(name); }
  virtual void setType(std::string type) { type_ = std::move(type); }
  virtual void setVisibility(std::string visibility) { visibility_ = std::move(visibility); }

  // Class-scoped ("static") rather than one per instance.
  bool isStatic() const { return static_; }
  void setStatic(bool isStatic) { static_ = isStatic; }

 private:
  std::string name_;
  std::string type_;        // an attribute's type, a method's return type; may be empty
  std::string visibility_;  // the file's text, verbatim ("public", "private", ...)
  bool static_ = false;
};

class Attribute : public Feature {
 public:
  using Feature::Feature;
  std::string getTypeName() const override { return "Attribute"; }

  // As the file writes it ("0..*", "1", "*"); empty where none is given.
  const std::string& multiplicity() const { return multiplicity_; }
  void setMultiplicity(std::string multiplicity) { multiplicity_ = std::move(multiplicity); }

 private:
  std::string multiplicity_;
};

// One parameter of a method: its name and its type's name (either may be empty).
struct Parameter {
  std::string name;
  std::string type;
  bool operator==(const Parameter&) const = default;
};

class Method : public Feature {
 public:
  using Feature::Feature;
  std::string getTypeName() const override { return "Method"; }

  // The parameters in order, without the return value (the feature's type).
  const std::vector<Parameter>& parameters() const { return parameters_; }
  void addParameter(Parameter parameter) { parameters_.push_back(std::move(parameter)); }

  bool isAbstract() const { return abstract_; }
  void setAbstract(bool isAbstract) { abstract_ = isAbstract; }

  // Overridable in subclasses (C++ `virtual`, declared or inherited). An
  // abstract method is virtual too. Diagrams do not show it.
  bool isVirtual() const { return virtual_; }
  void setVirtual(bool isVirtual) { virtual_ = isVirtual; }

 private:
  std::vector<Parameter> parameters_;
  bool abstract_ = false;
  bool virtual_ = false;
};

// A named element with a line of extra text (a stereotype, template
// arguments): classes, interfaces and packages.
class NamedElement : public ModelElement {
 public:
  NamedElement() = default;
  explicit NamedElement(std::string id) : ModelElement(std::move(id)) {}
  NamedElement(std::string id, std::string name) : ModelElement(std::move(id)), name_(std::move(name)) {}

  virtual std::string getName() const { return name_; }
  virtual std::string getExtraText() const { return extraText_; }
  virtual void setName(std::string name) { name_ = std::move(name); }
  virtual void setExtraText(std::string text) { extraText_ = std::move(text); }

 private:
  std::string name_;
  std::string extraText_;
};

class Class : public NamedElement {
 public:
  Class() = default;
  explicit Class(std::string id) : NamedElement(std::move(id)) {}
  Class(std::string id, std::string name) : NamedElement(std::move(id), std::move(name)) {}

  std::string getTypeName() const override { return "Class"; }
  // Appends (taking ownership) only a Method; returns this, or null for
  // anything else, which is left with the caller.
  virtual Class* addMethod(ModelElement* method);
  // Appends (taking ownership) only an Attribute; as addMethod otherwise.
  virtual Class* addAttribute(ModelElement* attribute);
  virtual Method* getMethod(std::size_t index) const { return checkedAt(methods_, index); }
  virtual Attribute* getAttribute(std::size_t index) const { return checkedAt(attributes_, index); }
  virtual std::vector<Method*> getMethods() const { return methods_; }
  virtual std::vector<Attribute*> getAttributes() const { return attributes_; }
  void accept(ModelVisitor& visitor) override;
  ~Class() override;

  std::size_t methodCount() const { return methods_.size(); }
  std::size_t attributeCount() const { return attributes_.size(); }

  bool isAbstract() const { return abstract_; }
  void setAbstract(bool isAbstract) { abstract_ = isAbstract; }

 private:
  bool abstract_ = false;
  std::vector<Attribute*> attributes_;  // owned
  std::vector<Method*> methods_;        // owned
};

class Interface : public NamedElement {
 public:
  Interface() = default;
  explicit Interface(std::string id) : NamedElement(std::move(id)) {}
  Interface(std::string id, std::string name) : NamedElement(std::move(id), std::move(name)) {}

  std::string getTypeName() const override { return "Interface"; }
  // Appends (taking ownership) only a Method; returns this or null.
  virtual Interface* addMethod(ModelElement* method);
  virtual std::vector<Method*> getMethods() const { return methods_; }
  void accept(ModelVisitor& visitor) override;
  ~Interface() override;

 private:
  std::vector<Method*> methods_;  // owned
};

class Package : public NamedElement {
 public:
  Package() = default;
  explicit Package(std::string id) : NamedElement(std::move(id)) {}
  Package(std::string id, std::string name) : NamedElement(std::move(id), std::move(name)) {}

  std::string getTypeName() const override { return "Package"; }
  void accept(ModelVisitor& visitor) override;
};

// A comment; visited through visitModelElement.
class Note : public ModelElement {
 public:
  Note() = default;
  explicit Note(std::string id) : ModelElement(std::move(id)) {}
  Note(std::string id, std::string text) : ModelElement(std::move(id)), text_(std::move(text)) {}

  std::string getTypeName() const override { return "Note"; }
  virtual std::string getText() const { return text_; }
  virtual void setText(std::string text) { text_ = std::move(text); }

 private:
  std::string text_;
};

class AssociationEnd : public ModelElement {
 public:
  using ModelElement::ModelElement;

  std::string getTypeName() const override { return "AssociationEnd"; }
  virtual std::string getType() const { return type_; }
  virtual std::string getAggregation() const { return aggregation_; }
  virtual std::string getMultiplicity() const { return multiplicity_; }
  virtual bool isNavigable() const { return navigable_; }
  // The end's role name; empty where the file names none.
  const std::string& getName() const { return name_; }
  void setName(std::string name) { name_ = std::move(name); }
  virtual void setType(std::string type) { type_ = std::move(type); }
  virtual void setAggregation(std::string aggregation) { aggregation_ = std::move(aggregation); }
  virtual void setMultiplicity(std::string multiplicity) { multiplicity_ = std::move(multiplicity); }
  virtual void setNavigable(bool navigable) { navigable_ = navigable; }

 private:
  std::string type_;          // identifier of the element at this end
  std::string aggregation_;   // "none", "aggregate" or "composite" in XMI
  std::string multiplicity_;  // e.g. "1", "0 *"
  std::string name_;
  bool navigable_ = false;
};

class Association : public ModelElement {
 public:
  Association() = default;
  explicit Association(std::string id) : ModelElement(std::move(id)) {}
  Association(std::string id, std::string name) : ModelElement(std::move(id)), name_(std::move(name)) {}
  // Takes ownership of both ends.
  Association(std::string id, std::string name, AssociationEnd* firstEnd, AssociationEnd* secondEnd)
      : ModelElement(std::move(id)), name_(std::move(name)), firstEnd_(firstEnd), secondEnd_(secondEnd) {}

  std::string getTypeName() const override { return "Association"; }
  virtual std::string getName() const { return name_; }
  virtual void setName(std::string name) { name_ = std::move(name); }
  // Stores (taking ownership) only an AssociationEnd and returns this;
  // anything else leaves the end unchanged, stays with the caller, gives null.
  // A replaced end is deleted.
  virtual Association* setFirstEnd(ModelElement* end);
  virtual Association* setSecondEnd(ModelElement* end);
  virtual AssociationEnd* getFirstEnd() const { return firstEnd_; }
  virtual AssociationEnd* getSecondEnd() const { return secondEnd_; }
  void accept(ModelVisitor& visitor) override;
  ~Association() override;

 private:
  std::string name_;
  AssociationEnd* firstEnd_ = nullptr;   // owned
  AssociationEnd* secondEnd_ = nullptr;  // owned
};

// A generalization.
class Inheritance : public ModelElement {
 public:
  using ModelElement::ModelElement;

  std::string getTypeName() const override { return "Inheritance"; }
  virtual std::string getParent() const { return parent_; }
  virtual std::string getChild() const { return child_; }
  virtual void setParent(std::string id) { parent_ = std::move(id); }
  virtual void setChild(std::string id) { child_ = std::move(id); }
  void accept(ModelVisitor& visitor) override;

 private:
  std::string parent_;  // identifier of the general element
  std::string child_;   // identifier of the specific element
};

class Dependency : public ModelElement {
 public:
  // What the client's need of the supplier is: a plain dependency, a usage,
  // or the realization of an interface (client implements supplier).
  enum class Kind { Dependency, Usage, Realization };

  using ModelElement::ModelElement;

  Kind kind() const { return kind_; }
  void setKind(Kind kind) { kind_ = kind; }

  std::string getTypeName() const override { return "Dependency"; }
  virtual std::string getSupplier() const { return supplier_; }
  virtual std::string getClient() const { return client_; }
  virtual void setClient(std::string id) { client_ = std::move(id); }
  virtual void setSupplier(std::string id) { supplier_ = std::move(id); }
  virtual void setName(std::string name) { name_ = std::move(name); }
  virtual std::string getName() const { return name_; }
  void accept(ModelVisitor& visitor) override;

 private:
  std::string client_;
  std::string supplier_;
  std::string name_;
  Kind kind_ = Kind::Dependency;
};

}  // namespace lumetra
