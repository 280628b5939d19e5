#pragma once
// The size a box needs to show its content whole, for shapes that the file
// does not size (generated diagrams, "auto-size" shapes of UML2 files).
//
// A class box is drawn (diagram/UMLModelVisualizer) as: text spacing, the
// name hanging below it, spacing, a line; then per attribute spacing and a
// line of text; spacing; then per method spacing and a line; the painter
// drops feature lines that do not fit. An interface shows "<< name >>" and
// its methods; a package a tab of a quarter of its height above a body that
// holds the name; a note its word-wrapped text beside a folded corner.
// Sizes here leave room for all of that plus one spacing at the bottom and
// at both sides, so that nothing is cut; feature lists longer than
// kMaxBoxLines are given room for that many lines (the painter then ends
// them with "...").
//
// Units: diagram units, as layouts hold them after reading (a file's
// geometry is read at a third of its size, model/ModelFactory.h). The
// result is the extent upperRight - lowerLeft of the box's corners.
// Text is measured from the painter's font file (layout/TextMeasure.h), so
// this needs no GL context and may run on any thread.

#include <functional>
#include <string>
#include <vector>

#include "model/UmlElements.h"
#include "model/Vec2.h"

namespace lumetra {

inline constexpr int kDefaultBoxFontSize = 10;  // ElementAppearance's default
inline constexpr std::size_t kMaxBoxLines = 24;
inline constexpr float kMinBoxWidth = 40.0f;
inline constexpr float kMaxFeatureWidth = 220.0f;  // longer lines are cut by the painter

// The texts a box shows: its name line and its compartment lines.
struct BoxText {
  std::string name;
  std::vector<std::string> attributes;
  std::vector<std::string> methods;
  bool hasAttributeCompartment = true;  // false for interfaces
};

// How a feature is written in its compartment; by default as the painter
// writes it at the time (its name, or in UML notation with "Types and
// visibility" on, model/FeatureText.h).
using FeatureText = std::function<std::string(const Feature&)>;

// The text spacing the painter uses ("Visualizer.UMLModel.TextSpacing").
float boxTextSpacing();

// The extent of a box showing that text at fontSize with spacing.
Vec2 compartmentBoxSize(const BoxText& text, float fontSize, float spacing);

// The extent of the box of a class, interface, package or note (any other
// element gets the smallest box, kMinBoxWidth square). A negative spacing
// reads the painter's setting.
Vec2 contentBoxSize(const ModelElement& element, int fontSize = kDefaultBoxFontSize, float spacing = -1.0f,
                    const FeatureText& featureText = {});

}  // namespace lumetra
