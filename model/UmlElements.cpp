#include "model/UmlElements.h"

#include "model/ModelVisitor.h"

namespace lumetra {

namespace {
// Appends the element to the list if it is a Feature of that kind; returns
// owner then, null otherwise.
template <typename Kind, typename Owner>
Owner* appendFeature(Owner* owner, std::vector<Kind*>& list, ModelElement* element) {
  auto* feature = dynamic_cast<Kind*>(element);
  if (!feature) return nullptr;
  list.push_back(feature);
  return owner;
}
}  // namespace

Class* Class::addMethod(ModelElement* method) { return appendFeature(this, methods_, method); }
Class* Class::addAttribute(ModelElement* attribute) { return appendFeature(this, attributes_, attribute); }

void Class::accept(ModelVisitor& visitor) { visitor.visitClass(this); }

Class::~Class() {
  deleteAll(methods_);
  deleteAll(attributes_);
}

Interface* Interface::addMethod(ModelElement* method) { return appendFeature(this, methods_, method); }

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
