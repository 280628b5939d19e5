#pragma once
// Text of the diagram painter: an empty name or multiplicity draws nothing
// and, unlike GLPainter::drawText, records no GL commands at all.

#include <string>

#include "render/GLPainter.h"

namespace lumetra {

inline void drawLabel(const GLPainter& painter, const std::string& text, Vec2 position, float angle, float size,
                      int flags, Color color) {
  if (!text.empty()) painter.drawText(text, position, angle, size, flags, color);
}

inline void drawLabel(const GLPainter& painter, const std::string& text, Vec2 position, float size, int flags,
                      Color color) {
  if (!text.empty()) painter.drawText(text, position, 0.0f, size, flags, color);
}

}  // namespace lumetra
