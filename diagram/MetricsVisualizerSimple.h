#pragma once
// The diagram painter every view uses: the UML diagram exactly as
// UMLModelVisualizer draws it, then, on every class, interface, service and
// component interface, a grid of glyphs with one cell per shown metric. In the
// pick pass every glyph of a metric that has a value takes its own GL name
// mapped to a MetricSelection.

#include <string>

#include "diagram/GlyphLayout.h"
#include "diagram/MetricsVisualizer.h"
#include "diagram/UMLModelVisualizer.h"

namespace lumetra {

class MetricsVisualizerSimple : public UMLModelVisualizer, public MetricsVisualizer {
 public:
  MetricsVisualizerSimple() = default;

  void visitClass(Class* element) override;
  void visitInterface(Interface* element) override;
  void visitPelkInterface(PelkInterface* element) override;
  void visitPelkService(PelkService* element) override;
  // The glyphs of the shown metrics on one shape. A glyph whose cell is
  // under kTinyGlyph pixels across (its smaller side, at the detail scale),
  // smaller than a capital letter of the default font at zoom 1, has its
  // outline drawn without smoothing (see GLPainter, level of detail): at
  // that size the aliased outline looks like the smoothed one, which costs
  // a software renderer several times as much. A larger glyph is drawn
  // exactly as in full detail.
  // The glyphs of a selected metric are framed in the selection colour,
  // opaque, on every shape.
  void drawDeferredEntry(DiagramElement* entry) override;
  static constexpr float kTinyGlyph = 10.0f;
  void drawGlyphHighlight(Vec2 lo, Vec2 hi) const;
  // The shapes of changed elements; false (record the scene whole) when a
  // metric's selected state changed.
  bool piecesShowingSelection(Diagram* diagram, const SelectionChange& change, std::vector<ScenePiece>& pieces,
                              bool& background) override;
  // A shape may also be hit through its glyphs, which lie in its glyph area
  // and rise from the diagram plane towards the eye.
  bool pickMayHit(DiagramElement* element) override;

  // The rectangle of the named shown metric's glyph inside the box lo..hi
  // (the overlay uses the glyph area; the layout preview passes false and
  // uses the whole box). False when no metric of that name is shown.
  virtual bool glyphRectangle(const std::string& metricName, Vec2 lo, Vec2 hi, bool useGlyphArea, Vec2& corner1,
                              Vec2& corner2) const;

 private:
  // Draws the shape being visited (draw: the diagram painter's visit),
  // unless only glyphs are drawn, and queues it for its glyphs.
  template <typename Draw>
  void drawAndCollect(Draw&& draw);
};

}  // namespace lumetra
