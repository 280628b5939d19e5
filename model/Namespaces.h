#pragma once
// Qualified names: where an element stands in the model's package tree, read
// off the owner links (ModelElement::ownerId). Readers set the links; the
// layout, the metrics matching and the package areas read them here.
//
// Owner chains come from files and may be broken or circular: a missing
// owner ends the path, and a chain that returns to an element already on it
// ends there, so every call returns.

#include <string>
#include <string_view>
#include <vector>

#include "model/Diagram.h"

namespace lumetra {

// The element's own name: a class's, interface's or package's name; the
// identifier for anything else and for a nameless element.
std::string elementName(const ModelElement& element);

// The packages that contain the element, outermost first (not the element).
std::vector<const ModelElement*> packagePath(const ModelElement& element, const ModelElementsPool& pool);

// The names of packagePath and then the element, joined by separator:
// "org.junit.runners.Suite" with ".", "leveldb::log::Reader" with "::".
std::string qualifiedName(const ModelElement& element, const ModelElementsPool& pool,
                          std::string_view separator = ".");

}  // namespace lumetra
