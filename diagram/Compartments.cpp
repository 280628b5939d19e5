#include "diagram/Compartments.h"

namespace lumetra {

namespace {

bool fits(std::size_t count, float y, float lineStep, float bottom) {
  return y - static_cast<float>(count) * lineStep >= bottom;
}

void placeMethods(CompartmentLayout& layout, std::vector<std::string> methods, float y, float bottom, float spacing,
                  float lineHeight, bool showMethods) {
  const float step = spacing + lineHeight;
  if (fits(methods.size(), y, step, bottom)) {
    layout.separator = true;
    layout.separatorY = y;
  }
  shortenToFit(methods, y, step, bottom);
  if (!showMethods || !fits(methods.size(), y, step, bottom)) return;
  for (std::string& line : methods) {
    y -= spacing;
    y -= lineHeight;
    layout.methods.push_back({std::move(line), y});
  }
}

}  // namespace

void shortenToFit(std::vector<std::string>& lines, float y, float lineStep, float bottom) {
  while (lines.size() > 1 && !fits(lines.size(), y, lineStep, bottom)) {
    lines.pop_back();
    lines.back() = "...";
  }
}

CompartmentLayout layoutClassCompartments(float y, float bottom, float spacing, float lineHeight,
                                          std::vector<std::string> attributes, std::vector<std::string> methods,
                                          bool showAttributes, bool showMethods) {
  CompartmentLayout layout;
  const float step = spacing + lineHeight;
  shortenToFit(attributes, y, step, bottom);
  // Attributes only while the method lines still fit below them.
  if (showAttributes && fits(methods.size(), y, step, bottom)) {
    for (std::string& line : attributes) {
      y -= spacing;
      layout.attributes.push_back({std::move(line), y});
      y -= lineHeight;
    }
  }
  y -= spacing;
  placeMethods(layout, std::move(methods), y, bottom, spacing, lineHeight, showMethods);
  return layout;
}

CompartmentLayout layoutInterfaceCompartments(float y, float bottom, float spacing, float lineHeight,
                                              std::vector<std::string> methods, bool showMethods) {
  CompartmentLayout layout;
  y -= spacing;
  placeMethods(layout, std::move(methods), y, bottom, spacing, lineHeight, showMethods);
  return layout;
}

}  // namespace lumetra
