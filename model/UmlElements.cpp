#include "model/UmlElements.h"

#include "model/ModelVisitor.h"

namespace lumetra {

Class* Class::addMethod(ModelElement* method) {
  auto* m = dynamic_cast<Method*>(method);
  if (!m) return nullptr;
  methods_.push_back(m);
  return this;
}

Class* Class::addAttribute(ModelElement* attribute) {
  auto* a = dynamic_cast<Attribute*>(attribute);
  if (!a) return nullptr;
  attributes_.push_back(a);
  return this;
}

void Class::accept(ModelVisitor& visitor) { visitor.visitClass(this); }

Class::~Class() {
  deleteAll(methods_);
  deleteAll(attributes_);
}

Interface* Interface::addMethod(ModelElement* method) {
  auto* m = dynamic_cast<Method*>(method);
  if (!m) return nullptr;
  methods_.push_back(m);
  return this;
}

void Interface::accept(ModelVisitor& visitor) { visitor.visitInterface(this); }

Interface::~Interface() { deleteAll(methods_); }

void Package::accept(ModelVisitor& visitor) { visitor.visitPackage(this); }

namespace {
// Stores an end if it is one; a different end it replaces is freed.
Association* storeEnd(Association* owner, AssociationEnd*& slot, ModelElement* end) {
  auto* e = dynamic_cast<AssociationEnd*>(end);
  if (!e) return nullptr;
  if (slot != e) delete slot;
  slot = e;
  return owner;
}
}  // namespace

Association* Association::setFirstEnd(ModelElement* end) { return storeEnd(this, firstEnd_, end); }
Association* Association::setSecondEnd(ModelElement* end) { return storeEnd(this, secondEnd_, end); }

void Association::accept(ModelVisitor& visitor) { visitor.visitAssociation(this); }

Association::~Association() {
  if (secondEnd_ != firstEnd_) delete secondEnd_;
  delete firstEnd_;
}

void Inheritance::accept(ModelVisitor& visitor) { visitor.visitInheritance(this); }
void Dependency::accept(ModelVisitor& visitor) { visitor.visitDependency(this); }

}  // namespace lumetra
