#pragma once
// What a painter that overlays metric glyphs adds to the diagram painter: the
// glyph area inside each element box, the glyphs' overall alpha and whether
// the diagram itself is drawn under them. The view controls and the metric
// options panel edit these on any painter that is a MetricsVisualizer.

#include "model/Vec2.h"

namespace lumetra {

class MetricsVisualizer {
 public:
  virtual ~MetricsVisualizer() = default;

  // Half-size of the glyph area, relative to the box's half-size.
  float getGlyphAreaSize() const { return glyphAreaSize_; }
  void setGlyphAreaSize(float size) { glyphAreaSize_ = size; }
  // Centre of the glyph area relative to the box centre, in half-sizes (-1..1).
  Vec2 getGlyphAreaCentre() const { return glyphAreaCentre_; }
  void setGlyphAreaCentre(Vec2 centre) { glyphAreaCentre_ = centre; }
  // Overall alpha factor of the glyphs (the "Transparency" slider / 255).
  float getMetricsAlpha() const { return metricsAlpha_; }
  void setMetricsAlpha(float alpha) { metricsAlpha_ = alpha; }
  // Whether the diagram is drawn under the glyphs.
  bool getDrawDiagram() const { return drawDiagram_; }
  void setDrawDiagram(bool draw) { drawDiagram_ = draw; }

 private:
  float glyphAreaSize_ = 1.0f;
  Vec2 glyphAreaCentre_{0.0f, 0.0f};
  float metricsAlpha_ = 0.5f;
  bool drawDiagram_ = true;
};

}  // namespace lumetra
