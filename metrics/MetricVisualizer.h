#pragma once
// Glyph painters: each draws one metric value of one element as a small glyph
// inside a rectangle the metrics overlay reserves on the element's box.
//
// corner1 is the lower corner (x1, y1), corner2 the upper corner (x2, y2), in
// diagram units (y up). Every colour goes through the primitives' global alpha
// factor, which the overlay sets per metric. Painters hold no data: the
// registry (GlyphPainters.h) keeps one of each kind for every metric, and a
// metric names its painter by display name.

#include <memory>
#include <string>

#include "model/Vec2.h"
#include "settings/Color.h"

namespace lumetra {

class MetricVisualizer {
 public:
  virtual ~MetricVisualizer() = default;
  // The display name the options panel offers ("2D Bar", "Default Boolean", ...).
  virtual std::string getName() const = 0;
};

class IntMetricVisualizer : public MetricVisualizer {
 public:
  // Scales the glyph between minimum and maximum; when they are equal the
  // glyph is drawn as for the maximum.
  virtual void draw(const Vec2& corner1, const Vec2& corner2, const Color& fillColour, const Color& outlineColour,
                    int value, int minimum, int maximum) = 0;
};

class BoolMetricVisualizer : public MetricVisualizer {
 public:
  virtual void draw(const Vec2& corner1, const Vec2& corner2, const Color& fillColour, const Color& outlineColour,
                    bool value) = 0;
};

// "2D Bar": a flat bar growing up from the lower edge.
class Default2DIntMetricVisualizer : public IntMetricVisualizer {
 public:
  std::string getName() const override { return "2D Bar"; }
  void draw(const Vec2& corner1, const Vec2& corner2, const Color& fillColour, const Color& outlineColour, int value,
            int minimum, int maximum) override;
};

// "2D Pie": a disc sector from a quarter turn's half (minimum) to the full disc.
class Pie2DIntMetricVisualizer : public IntMetricVisualizer {
 public:
  std::string getName() const override { return "2D Pie"; }
  void draw(const Vec2& corner1, const Vec2& corner2, const Color& fillColour, const Color& outlineColour, int value,
            int minimum, int maximum) override;
};

// "3D Bar": a box from the diagram plane down to z = -h, h in 1..128.
class Default3DIntMetricVisualizer : public IntMetricVisualizer {
 public:
  std::string getName() const override { return "3D Bar"; }
  void draw(const Vec2& corner1, const Vec2& corner2, const Color& fillColour, const Color& outlineColour, int value,
            int minimum, int maximum) override;
};

// "3D Cylinder": a cylinder of the rectangle's smaller half-side, h in 1..128.
class Cylinder3DIntMetricVisualizer : public IntMetricVisualizer {
 public:
  std::string getName() const override { return "3D Cylinder"; }
  void draw(const Vec2& corner1, const Vec2& corner2, const Color& fillColour, const Color& outlineColour, int value,
            int minimum, int maximum) override;
};

// "Default Boolean": a filled cell with a green tick (true) or a red cross (false).
class DefaultBoolMetricVisualizer : public BoolMetricVisualizer {
 public:
  std::string getName() const override { return "Default Boolean"; }
  void draw(const Vec2& corner1, const Vec2& corner2, const Color& fillColour, const Color& outlineColour,
            bool value) override;
};

// The integer painter of that display name (exact comparison), or null.
std::unique_ptr<IntMetricVisualizer> createIntMetricVisualizer(const std::string& displayName);
// The boolean painter of that display name (exact comparison), or null.
std::unique_ptr<BoolMetricVisualizer> createBoolMetricVisualizer(const std::string& displayName);

// The glyph fraction t = (value - minimum) / (maximum - minimum) in floating
// point; 1 when minimum equals maximum.
float glyphFraction(int value, int minimum, int maximum);

}  // namespace lumetra
