#pragma once
// The packages of a model offered as areas, so that a model read from UML2
// or from source code shows its packages with no areas file.
//
// Each package becomes an area named by its qualified name (separator
// between the names: "." gives "org.junit.runners", "::" suits C++
// namespaces; a top-level package "west" is "west"). It holds the package
// and every element inside it, at any depth, by the owner links; its colour
// is the next palette colour, stored inverted as every area colour is. A
// name the set already holds (an area a metrics file defines) is left to
// that area.

#include <cstddef>
#include <string_view>

namespace lumetra {

class AreaSet;
class ModelElementsPool;

// Adds the areas to the loaded areas of the set; returns how many it added.
std::size_t addPackageAreas(AreaSet& areas, const ModelElementsPool& pool, std::string_view separator = ".");

}  // namespace lumetra
