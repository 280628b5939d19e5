#pragma once
// The frame's status bar: the shown diagram's name, its number of classes,
// the active view's zoom in per cent and the name of the element under the
// pointer. statusFields computes the texts from the state; the frame sets
// them whenever one may have changed.

#include <array>
#include <string>

namespace lumetra {

class Diagram;

inline constexpr int kStatusFieldCount = 4;

// diagram may be null (nothing shown): then every field but the pointer's
// is empty. zoom is the view's (1 shows one diagram unit as one pixel).
std::array<std::string, kStatusFieldCount> statusFields(const Diagram* diagram, float zoom,
                                                         const std::string& underPointer);

}  // namespace lumetra
