#pragma once
// Where the feature lines of a class or interface box go: which attribute and
// method lines are drawn at which heights, and whether the separator between
// the compartments fits. Pure layout in diagram units (y up); the painter
// measures the text and draws the result.
//
// Rules: a list longer than the room below its start is cut to the lines that
// fit, its last kept line becoming "...", never below one line. Attributes are
// drawn only when all method lines (before cutting) would still fit below the
// name line; the method lines and the separator above them need room for the
// method list as it stands when tested.

#include <string>
#include <vector>

namespace lumetra {

struct TextLine {
  std::string text;
  float y;  // attributes hang below y; methods stand on y as their base line
};

struct CompartmentLayout {
  std::vector<TextLine> attributes;
  std::vector<TextLine> methods;
  bool separator = false;  // the line between attributes and methods
  float separatorY = 0.0f;
};

// Cuts lines to what fits between y and bottom at lineStep per line.
void shortenToFit(std::vector<std::string>& lines, float y, float lineStep, float bottom);

// y: the name line's height; spacing: the text spacing; lineHeight: the
// tallest feature line.
CompartmentLayout layoutClassCompartments(float y, float bottom, float spacing, float lineHeight,
                                          std::vector<std::string> attributes, std::vector<std::string> methods,
                                          bool showAttributes, bool showMethods);
// Interfaces have methods only, below an (empty) attribute compartment.
CompartmentLayout layoutInterfaceCompartments(float y, float bottom, float spacing, float lineHeight,
                                              std::vector<std::string> methods, bool showMethods);

}  // namespace lumetra
