#pragma once
// What one translation unit tells about the project's classes, as plain data:
// the parser fills it (sources/ClangParser), the cache stores it
// (sources/ImportCache) and the model builder turns the facts of all units
// into model elements, metrics and areas (sources/ProjectModel).
//
// Declarations are named by their unified symbol resolution (USR), which is
// the same in every unit that sees them: a class declared in a header that
// many units parse is one record however often it is met. Files are paths
// relative to the project's source root, with '/' separators.

#include <cstdint>
#include <string>
#include <vector>

#include "model/UmlElements.h"

namespace lumetra {

// How a field holds another project class.
struct HeldClass {
  std::string usr;
  bool many = false;       // inside a standard container: multiplicity "*"
  bool composite = false;  // by value or through std::unique_ptr
  bool operator==(const HeldClass&) const = default;
};

struct FieldFacts {
  std::string name;
  std::string type;    // as written, e.g. "std::vector<Node *>"
  std::string access;  // "public", "protected" or "private"
  bool isStatic = false;
  std::vector<HeldClass> held;  // project classes the type names
  bool operator==(const FieldFacts&) const = default;
};

struct MethodFacts {
  std::string usr;
  std::string name;
  std::string returnType;  // empty for constructors and destructors
  std::vector<Parameter> parameters;
  std::string access;
  bool isStatic = false;
  bool isVirtual = false;
  bool isPure = false;
  bool isSpecial = false;  // a constructor or destructor
  // Project classes named by the parameter and return types.
  std::vector<std::string> signatureUses;
  bool operator==(const MethodFacts&) const = default;
};

// A body of code that belongs to a class: an inline method body inside the
// class, or a member defined outside it (then `lines` counts its lines).
struct BodyFacts {
  std::string methodUsr;
  int lines = 0;
  int decisions = 0;               // if, for, while, case, catch, &&, ||, ?:
  std::vector<std::string> uses;   // project classes the body refers to
  bool operator==(const BodyFacts&) const = default;
};

struct ClassFacts {
  std::string usr;
  std::string name;                     // "Reader", nested as "Outer::Inner"
  std::vector<std::string> namespaces;  // outermost first; "(anonymous)" for an unnamed one
  std::string file;                     // where it is defined
  int firstLine = 0;
  int lastLine = 0;
  bool isTemplate = false;
  std::vector<std::string> bases;  // project classes it derives from
  std::vector<FieldFacts> fields;
  std::vector<MethodFacts> methods;
  std::vector<BodyFacts> inlineBodies;
  bool operator==(const ClassFacts&) const = default;
};

// A member function defined outside its class (in a source file, or below
// the class in its header).
struct OutOfLineFacts {
  std::string classUsr;
  BodyFacts body;
  bool operator==(const OutOfLineFacts&) const = default;
};

struct UnitFacts {
  std::string file;  // the unit's main file, absolute
  std::vector<ClassFacts> classes;
  std::vector<OutOfLineFacts> definitions;
  // Every project file the unit read (its main file and the project headers
  // it includes), absolute: the unit is parsed again when one changes.
  std::vector<std::string> dependencies;
  // The first error, as "file:line:column: message"; empty when it parsed.
  std::string error;
};

}  // namespace lumetra
