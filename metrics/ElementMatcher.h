#pragma once
// Finds the model element a row of a metrics table stands for, by name.
//
// A name matches the class, interface or package whose qualified name (its
// packages and its own name) equals it, with ".", "/", "::" and "$" taken as
// the same separator: "org/junit/Test", "org.junit.Test" and
// "org::junit::Test" name one class. Failing that, a name whose last part is
// the name of exactly one class or interface of the model matches that one.
//
// The index of qualified names is built once from the pool, the one of
// class names at the first name that needs it; the pool must outlive the
// matcher and not change while it is in use. One thread at a time.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/IdentifierTable.h"

namespace lumetra {

class ModelElementsPool;

// The name with every separator turned into "." and outer blanks trimmed.
std::string normalizeQualifiedName(std::string_view name);

class ElementMatcher {
 public:
  explicit ElementMatcher(const ModelElementsPool& pool);

  // The identifier of the element that name stands for, or null. The pointer
  // lives as long as the matcher.
  const std::string* match(std::string_view name) const;
  // Up to count qualified names of the model's classes and interfaces (of its
  // packages when it has none), in the pool's order: what an error shows.
  std::vector<std::string> sampleNames(std::size_t count) const;

 private:
  const ModelElementsPool* pool_;
  IdentifierTable<std::string, std::string> byQualifiedName_;        // normalised name -> id
  mutable IdentifierTable<std::string, std::string> bySimpleName_;   // class name -> id; "" when not unique
  mutable bool simpleNamesIndexed_ = false;
  std::vector<std::string> samples_;
};

}  // namespace lumetra
