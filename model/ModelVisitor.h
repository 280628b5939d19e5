#pragma once
// Double dispatch over the concrete model element classes. Painters implement
// it; each model class's accept() calls exactly one of these.

namespace lumetra {

class ModelElement;
class Class;
class Interface;
class Package;
class Dependency;
class Inheritance;
class Association;
class PelkConnection;
class PelkInterface;
class PelkService;

class ModelVisitor {
 public:
  virtual void visitPelkConnection(PelkConnection* element) = 0;
  virtual void visitPelkInterface(PelkInterface* element) = 0;
  virtual void visitPelkService(PelkService* element) = 0;
  virtual void visitPackage(Package* element) = 0;
  virtual void visitDependency(Dependency* element) = 0;
  virtual void visitInterface(Interface* element) = 0;
  virtual void visitInheritance(Inheritance* element) = 0;
  virtual void visitAssociation(Association* element) = 0;
  virtual void visitClass(Class* element) = 0;
  // AssociationEnd, Attribute, Method, Note and Dummy come here.
  virtual void visitModelElement(ModelElement* element) = 0;
  virtual ~ModelVisitor() = default;
};

}  // namespace lumetra
