#pragma once
// Hover information boxes: the small labelled rectangle a canvas window shows
// next to the pointer while it rests over a diagram element or a metric
// glyph. The mouse handling creates one per event; the window owns it and
// draws it after the scene, in window pixels (y up).

#include <cstdint>
#include <string>

#include "model/Vec2.h"
#include "render/HoverOverlay.h"
#include "settings/Color.h"

namespace lumetra {

// Packed ARGB backgrounds the mouse handling gives its boxes.
inline constexpr std::uint32_t kHoverMetricColor = 0xddffddddu;   // light red: a metric value
inline constexpr std::uint32_t kHoverElementColor = 0xddddffddu;  // light green: an element label

class HoverInfoBox : public HoverOverlay {
 public:
  // position: the box's top-left corner in window pixels, y up. anchorY is
  // the y the creator was given; it is kept but not used for drawing.
  HoverInfoBox(Vec2 position, float anchorY) : position_(position), anchorY_(anchorY) {}

  Vec2 position() const { return position_; }
  float anchorY() const { return anchorY_; }

 protected:
  Vec2 position_;
  float anchorY_;
};

// One line of text on a coloured background, framed in
// "HoverInfo.ModelElement.OutlineColor". "HoverInfo.Spacing" and
// "HoverInfo.FontSize" are read at each draw, so a changed setting shows at
// the next repaint without a new box.
class TextHoverInfoBox : public HoverInfoBox {
 public:
  TextHoverInfoBox(std::string text, float x, float y, float anchorY, std::uint32_t packedColor)
      : HoverInfoBox({x, y}, anchorY), text_(std::move(text)), background_(packedColor) {}

  // The box hangs below and to the right of its position; where that would
  // cross the window's right or bottom edge it is moved left or up so that
  // the whole text stays readable.
  void draw(int windowWidth, int windowHeight) override;

  const std::string& text() const { return text_; }
  Color background() const { return background_; }

  // The box's size in pixels at the current settings: width 2 sp + text
  // width, height 2 sp + twice the text height.
  Vec2 size() const;
  // Where the top-left corner is drawn in a window of that size.
  Vec2 placedCorner(int windowWidth, int windowHeight) const;

 private:
  std::string text_;
  Color background_;
};

}  // namespace lumetra
