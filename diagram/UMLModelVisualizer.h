#pragma once
// The UML diagram painter: draws one diagram into the current GL context of a
// canvas window (area pass, eraser halos, every shape through the model
// visitor, then the glyph entries a subclass collected while visiting), and
// picks what lies under the pointer by replaying that pass in GL selection
// mode.
//
// The look-and-feel settings are read from the settings store at the start of
// every pass, so a changed setting shows at the next recompile of a window's
// display list.
// Coordinates are diagram units, y up.
//
// Abstract: drawDeferredEntry is the subclass's (the metrics overlay).

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/Diagram.h"
#include "model/ModelVisitor.h"
#include "platform/GLExtensions.h"
#include "render/DiagramPainter.h"
#include "diagram/DiagramLook.h"
#include "diagram/SelectionElement.h"

namespace lumetra {

class AreaPassCache;
class AreaSet;
class AssociationEnd;
class GLPainter;
struct CompartmentLayout;
class AreaElementsEraser;
class MetricSet;
class Note;
class SelectionManager;

// The relation a Dummy stands for where it has one, else element itself:
// the painter draws, picks and names both alike.
ModelElement* shownRelation(ModelElement* element);

// The box of a visited shape: corners, centre and extent (max - min + 1).
struct ShapeBox {
  Vec2 min, max, centre, size;
};

class UMLModelVisualizer : public ModelVisitor, public DiagramPainter {
 public:
  UMLModelVisualizer();
  ~UMLModelVisualizer() override;
  // Savings at overview scale (see GLPainter, level of detail), each judged
  // at the detail scale; above its limit the drawing is as in full detail.
  // A shadow thinner than kThinShadow pixels is left out, on boxes and
  // packages alike. The lines of a shape whose box is under kSmallShape
  // pixels along its longer side (outline, compartment lines, a package's
  // tab, a note's fold) are drawn without smoothing, and so are those of a
  // relation whose reach, heads included, is under kShortRelation pixels:
  // each of these lines is shorter than a dozen pixels, where an aliased
  // line of one pixel looks like a smoothed one, and a smoothed line costs
  // a software renderer a change of its fragment program for every run of
  // lines drawn.
  static constexpr float kThinShadow = 1.0f;
  static constexpr float kSmallShape = 12.0f;
  static constexpr float kShortRelation = 12.0f;
  UMLModelVisualizer(const UMLModelVisualizer&) = delete;
  UMLModelVisualizer& operator=(const UMLModelVisualizer&) = delete;

  // ---- the visitor: one shape each ----
  void visitPelkConnection(PelkConnection* element) override;
  void visitPelkInterface(PelkInterface* element) override;
  void visitPelkService(PelkService* element) override;
  void visitPackage(Package* element) override;
  void visitDependency(Dependency* element) override;
  void visitInterface(Interface* element) override;
  void visitInheritance(Inheritance* element) override;
  void visitAssociation(Association* element) override;
  void visitClass(Class* element) override;
  // Notes, while "Visualizer.General.Comments" is on: a pale box with a
  // folded top-right corner and the note's text wrapped inside it. Features,
  // association ends, placeholders: nothing is drawn.
  void visitModelElement(ModelElement* element) override;

  // ---- passes ----
  // The whole diagram: areas, eraser, shapes, glyph entries. While vectors
  // are recorded (GLPainter::recordingVectors) the area pass is left out:
  // its soft shapes are a raster, which the recorder embeds as a picture
  // drawn beforehand with drawAreaPass.
  void drawDiagram(Diagram* diagram) override;
  // The area pass alone (areas composited, eraser halos), as drawDiagram
  // starts with it: the colour buffer cleared and left white where no area
  // reaches.
  void drawAreaPass(Diagram* diagram);
  // Renders the area pass with the eraser (camera-independent) into a
  // texture kept in scene; the next drawDiagram of that diagram draws the
  // texture instead of the pass. Where that cannot be done faithfully the
  // pass is drawn directly as always.
  void prepare(Diagram* diagram, std::unique_ptr<PreparedScene>& scene) override;
  // drawDiagram with the background (the area pass) as the part replayed
  // always, and a possible cut after every shape and every glyph entry.
  void drawDiagramInParts(Diagram* diagram, SceneParts& parts) override;
  // True when more than half of the shapes with a box are under
  // kSmallShape pixels, so that their lines are drawn plain.
  bool linesMostlyPlain(Diagram* diagram) override;
  // A moved shape: itself, a composed shape holding it, its children and
  // the relations ending on any of these depend on its box; the
  // background does while areas are shown (their shapes and the eraser's
  // halos follow the boxes).
  bool shapesDependingOn(Diagram* diagram, DiagramElement* moved, std::vector<DiagramElement*>& shapes,
                         bool& background) override;
  // A shape shows its own selected state (a box's highlight, a relation's
  // band), so the pieces of the shapes showing a changed element (by
  // identifier; a composed shape holds its children's drawing) are drawn
  // differently. The background and the legend show no selection; glyphs
  // are the metrics overlay's (which outlines those of selected metrics).
  bool piecesShowingSelection(Diagram* diagram, const SelectionChange& change, std::vector<ScenePiece>& pieces,
                              bool& background) override;
  bool drawBackground(Diagram* diagram) override;
  bool drawPieces(Diagram* diagram, const std::vector<ScenePiece>& pieces) override;
  // The legend of the shown metrics and areas, while
  // "Visualizer.General.Legend.Enable" is on (diagram/Legend.h).
  void drawOverlay(Diagram* diagram, int windowWidth, int windowHeight) override;
  // The legend's magnification (1: window size; an export at twice the
  // window's size draws it at 2).
  void setLegendScale(float scale) { legendScale_ = scale; }
  float legendScale() const { return legendScale_; }
  // Whether the area pass may be rendered ahead into a texture (on by
  // default); off, every pass draws the areas directly.
  void setAreaCaching(bool on) { areaCaching_ = on; }
  bool areaCaching() const { return areaCaching_; }
  // Only the top-level shapes, under the painter's transparency.
  virtual void drawTopLevelElements(Diagram* diagram);
  // Draws one collected entry (the subclass's glyphs of one shape).
  virtual void drawDeferredEntry(DiagramElement* entry) = 0;
  // Replays drawDiagram in GL selection mode and fills result with what was
  // hit, nearest first; among equal depths the later drawn (topmost) first.
  // The caller has set up the pick projection and model-view. Shapes that
  // certainly cannot reach the pick region (pickMayHit) are left out of the
  // pass; the result is the same as with every shape drawn.
  virtual void pick(PickResult& result, Diagram* diagram);
  // Off: the pick pass draws every shape (for comparison); on by default.
  void setPickCulling(bool on) { pickCulling_ = on; }
  // One shape: names it when picking, then lets its model element accept this
  // visitor.
  virtual void drawElement(DiagramElement* element);
  // A shape without a model element: nothing is drawn.
  virtual void drawUnknownElement(DiagramElement* element);

  // ---- what the painter is bound to (not owned) ----
  virtual SelectionManager* selectionManager() const { return selection_; }
  virtual MetricSet* metricSet() const { return metrics_; }
  virtual void setSelectionManager(SelectionManager* manager) { selection_ = manager; }
  virtual void setMetricSet(MetricSet* metrics) { metrics_ = metrics; }
  virtual void setAreas(AreaSet* areas) { areas_ = areas; }
  // The text naming a shape (hover boxes, pick entries).
  virtual std::string elementLabel(DiagramElement* element) const;

  // The glBlendEquation entry point for the area pass; without one the pass
  // composites through blend factors to the same result.
  void setBlendEquation(BlendEquationProc entry) { blendEquation_ = entry; }
  BlendEquationProc blendEquation() const { return blendEquation_; }
  // The global alpha factor installed while drawing (slider position / 255).
  float getTransparency() const { return transparency_; }
  void setTransparency(float transparency) { transparency_ = transparency; }
  // The fill alpha handed to every area painter (slider position / 100).
  float getAreaAlpha() const { return areaAlpha_; }
  void setAreaAlpha(float alpha) { areaAlpha_ = alpha; }
  AreaSet* areas() const { return areas_; }

  // Model element -> the shape that shows it, as of the last drawDiagram.
  const std::unordered_map<ModelElement*, DiagramElement*>& elementMap() const { return elementMap_; }
  DiagramElement* findDiagramElement(ModelElement* element) const;

  // The eraser of free elements; created on first use (needs a current GL
  // context, since it owns a texture).
  AreaElementsEraser& eraser();
  // The eraser's softness (AreaElementsEraser::softness); 0 when none was set.
  int eraserSoftness() const;

 protected:
  // The shape being visited, with its box and appearance.
  DiagramElement* currentElement() const { return currentElement_; }
  bool hasCurrentBox() const { return hasBox_; }
  const ShapeBox& currentBox() const { return box_; }
  const ElementAppearance& currentAppearance() const { return *appearance_; }

  bool isPicking() const { return picking_; }
  // The last GL name handed out by the current or last pick pass.
  int lastPickName() const { return pickCounter_; }
  bool diagramChanged() const { return diagramChanged_; }
  Diagram* currentDiagram() const { return diagram_; }
  // Hand out the next GL name for a shape, or for the glyph of a metric on
  // a shape. The selection entries are made only for names that were hit.
  int registerElementPick(DiagramElement* element);
  int registerGlyphPick(Metric* metric, DiagramElement* element);
  // While picking: whether anything drawn inside the box lo..hi, between
  // heights nearZ and farZ, can lie in the pick region. False only when it
  // certainly cannot, so a caller may leave such geometry out of the pass.
  bool mayBeInPickVolume(Vec2 lo, Vec2 hi, float nearZ, float farZ) const;
  // While picking: false only when nothing the pick pass draws for this
  // top-level shape (with its children) can lie in the pick region. Class
  // boxes and relations between boxes are judged by their geometry; other
  // shapes always may. A subclass adds what it draws for the shape.
  virtual bool pickMayHit(DiagramElement* element);
  // Entries the subclass draws after all shapes, in order; rebuilt every pass.
  std::vector<DiagramElement*>& deferred() { return deferred_; }

  // The common box: shadow, fill, outline (no highlight).
  void drawBoxBody();
  // The box body, the name at its top (when names are shown) and the line
  // under it; returns the y of that line (diagram units, y up).
  float drawTitledBox(const std::string& name);
  // The selection colour over the box, if the model element is selected.
  void drawBoxHighlight(ModelElement* element);
  bool isSelected(const ModelElement* element) const;
  // Feature lines and the compartment separator of the visited box.
  void drawCompartments(const CompartmentLayout& layout);
  // The settings as read at the start of the current pass.
  const DiagramLook& look() const { return look_; }

 private:
  // The area pass as a pass draws it: from the picture prepare made for
  // this diagram (taken, it serves one pass), or directly.
  void drawBackgroundPass(Diagram* diagram);
  // Whether the relation shown by element ends on one of shapes (which
  // hold every shape of a composed one).
  bool relationEndsOn(ModelElement* element, const std::vector<DiagramElement*>& shapes) const;
  // pickMayHit of a relation shape showing element (true for kinds it does
  // not judge).
  bool relationMayHit(DiagramElement* shape, ModelElement* element);
  // An association along a route (its shape's bend points, ends on the boxes).
  void drawRoutedAssociation(Association* element, const std::vector<Vec2>& route);
  // The texts at an association's end p, whose line leaves along d: the
  // multiplicity on the left of the line, the role name on the right, each
  // the multiplicity distance off.
  void drawEndLabels(const GLPainter& painter, const AssociationEnd& end, Vec2 p, Vec2 d) const;
  // The shown shape of a model identifier on the current diagram, or null.
  DiagramElement* participant(const std::string& modelId) const;
  // Whether a relation's participants are on the diagram (other kinds: true).
  bool participantsPresent(ModelElement* element) const;
  void drawBand(Vec2 from, Vec2 to) const;
  void drawNote(const Note& note);

  DiagramLook look_ = DiagramLook::read();
  float transparency_ = 1.0f;
  bool picking_ = false;
  int pickCounter_ = 0;
  // What each GL name of the current pick stands for (name = index + 1).
  struct PickName {
    DiagramElement* element;
    Metric* metric;  // null for the shape itself
  };
  std::vector<PickName> pickNames_;
  // Projection times model-view as the pick began (column-major).
  void capturePickVolume();
  float pickVolume_[16] = {};
  std::unique_ptr<SelectionElement> makeEntry(const PickName& name) const;
  bool diagramChanged_ = false;
  std::unordered_map<ModelElement*, DiagramElement*> elementMap_;
  std::vector<DiagramElement*> deferred_;
  Diagram* diagram_ = nullptr;  // not owned

  DiagramElement* currentElement_ = nullptr;
  ShapeBox box_;
  bool hasBox_ = false;
  const ElementAppearance* appearance_ = nullptr;
  // The appearance a shape is drawn with: its own, where its file left a
  // part at the factory's default, that part from the look's preferences.
  const ElementAppearance& lookOf(const ElementAppearance& appearance);
  ElementAppearance shownAppearance_;

  SelectionManager* selection_ = nullptr;  // not owned
  MetricSet* metrics_ = nullptr;           // not owned
  AreaSet* areas_ = nullptr;               // not owned
  std::unique_ptr<AreaElementsEraser> eraser_;
  // Generic fallbacks for unknown shapes are off; drawUnknown is cleared
  // before each shape is visited.
  bool drawGeneric_ = false;
  bool drawUnknown_ = false;
  float areaAlpha_ = 0.2f;
  float legendScale_ = 1.0f;
  BlendEquationProc blendEquation_ = nullptr;
  bool areaCaching_ = true;
  bool pickCulling_ = true;
  // Set by prepare, taken by the next drawDiagram.
  AreaPassCache* preparedAreas_ = nullptr;
  // Where the pass being recorded may be cut, or null.
  SceneParts* parts_ = nullptr;

  // First top-level shape per model identifier of the diagram being drawn.
  void indexShapes(Diagram* diagram);
  Diagram* indexed_ = nullptr;
  // Keys view the identifiers of the diagram's own model elements.
  std::unordered_map<std::string_view, DiagramElement*> shapeIndex_;
};

}  // namespace lumetra
