#include "layout/BoxSize.h"

#include <algorithm>
#include <cmath>

#include "layout/TextMeasure.h"
#include "model/FeatureText.h"
#include "model/UmlElements.h"
#include "settings/SettingsStore.h"

namespace lumetra {

namespace {

constexpr float kNoteWrapWidth = 150.0f;

// A feature as the painter writes it now: its name, or with "Types and
// visibility" on, in UML notation.
std::string shownFeature(const Feature& feature) {
  if (!settings().getBool("Visualizer.General.TypesAndVisibility")) return feature.getName();
  if (const auto* a = dynamic_cast<const Attribute*>(&feature)) return attributeLine(*a);
  if (const auto* m = dynamic_cast<const Method*>(&feature)) return methodLine(*m);
  return feature.getName();
}

template <class List>
std::vector<std::string> lines(const List& features, const FeatureText& featureText) {
  std::vector<std::string> out;
  for (const auto* feature : features) {
    if (out.size() == kMaxBoxLines) break;
    out.push_back(featureText ? featureText(*feature) : shownFeature(*feature));
  }
  return out;
}

// Widest and tallest of the lines (the painter steps every line by the
// tallest one).
TextExtent widest(const std::vector<std::string>& texts, float fontSize) {
  TextExtent most;
  for (const std::string& text : texts) {
    const TextExtent e = measureText(text, fontSize);
    most.width = std::max(most.width, std::min(e.width, kMaxFeatureWidth));
    most.height = std::max(most.height, e.height);
  }
  return most;
}

Vec2 packageSize(const std::string& name, float fontSize, float sp) {
  const TextExtent e = measureText(name, fontSize);
  // The body below the tab (three quarters of the height) holds spacing,
  // the name, spacing and the line, with as much again below.
  const float body = 4.0f * sp + 2.0f * e.height;
  return {std::max(e.width + 4.0f * sp, kMinBoxWidth), std::ceil(body * 4.0f / 3.0f)};
}

Vec2 noteSize(const std::string& text, float fontSize, float sp) {
  // Each line of the text, wrapped at kNoteWrapWidth, one line height each.
  float width = 0.0f, lineHeight = measureText("Mg", fontSize).height;
  float rows = 0.0f;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const float w = measureText(text.substr(start, end - start), fontSize).width;
    rows += std::max(1.0f, std::ceil(w / kNoteWrapWidth));
    width = std::max(width, std::min(w, kNoteWrapWidth));
    if (rows >= static_cast<float>(kMaxBoxLines)) break;
    start = end + 1;
  }
  // The folded corner takes a third of the shorter side off the top right:
  // the text gets a fold's width more room, and wrapping a few more words.
  const float textHeight = rows * (lineHeight + sp) * 1.15f + 2.0f * sp;
  const float w = width + 2.0f * sp;
  const float fold = std::min(w, textHeight) / 3.0f;
  return {std::max(w + fold, kMinBoxWidth), textHeight + fold};
}

}  // namespace

float boxTextSpacing() { return settings().getFloat("Visualizer.UMLModel.TextSpacing"); }

Vec2 compartmentBoxSize(const BoxText& text, float fontSize, float sp) {
  const TextExtent name = measureText(text.name, fontSize);
  std::vector<std::string> attributes(text.attributes.begin(),
                                      text.attributes.begin() + std::min(text.attributes.size(), kMaxBoxLines));
  std::vector<std::string> methods(text.methods.begin(),
                                   text.methods.begin() + std::min(text.methods.size(), kMaxBoxLines));
  const TextExtent a = widest(attributes, fontSize), m = widest(methods, fontSize);
  const float line = std::max({a.height, m.height, name.height});
  const float step = sp + line;
  // Name bar: spacing, name, spacing. Attribute compartment: a line per
  // attribute and spacing. Method compartment: a line per method. Then room
  // below the last base line for descenders.
  float height = 2.0f * sp + name.height;
  if (text.hasAttributeCompartment) height += static_cast<float>(attributes.size()) * step;
  height += sp + static_cast<float>(methods.size()) * step;
  height += sp + 0.3f * line;
  if (attributes.empty() && methods.empty()) height += 2.0f * sp;
  // A spacing and a half on either side, so that no text touches the frame.
  const float width = std::max({name.width, a.width, m.width}) + 3.0f * sp;
  return {std::ceil(std::max(width, kMinBoxWidth)), std::ceil(height)};
}

Vec2 contentBoxSize(const ModelElement& element, int fontSize, float spacing, const FeatureText& featureText) {
  const float sp = spacing < 0.0f ? boxTextSpacing() : spacing;
  const auto fs = static_cast<float>(fontSize);
  if (const auto* c = dynamic_cast<const Class*>(&element)) {
    BoxText text{c->getName(), lines(c->getAttributes(), featureText), lines(c->getMethods(), featureText), true};
    return compartmentBoxSize(text, fs, sp);
  }
  if (const auto* i = dynamic_cast<const Interface*>(&element)) {
    BoxText text{"<< " + i->getName() + " >>", {}, lines(i->getMethods(), featureText), false};
    return compartmentBoxSize(text, fs, sp);
  }
  if (const auto* p = dynamic_cast<const Package*>(&element)) return packageSize(p->getName(), fs, sp);
  if (const auto* n = dynamic_cast<const Note*>(&element)) return noteSize(n->getText(), fs, sp);
  return {kMinBoxWidth, kMinBoxWidth};
}

}  // namespace lumetra
