// The diagram pass, picking and the box shapes (classes, interfaces, packages,
// services, component interfaces). Relations are in RelationPainting.cpp.
//
// Sections: construction and look-ups; drawDiagram and the area pass;
// drawElement and labels; picking; boxes.

#include "diagram/UMLModelVisualizer.h"

#include "diagram/Legend.h"

#include <GL/gl.h>

#include <algorithm>
#include <unordered_set>
#include <cmath>
#include <optional>
#include <type_traits>

#include "areas/AreaElementsEraser.h"
#include "areas/Area.h"
#include "areas/AreaPass.h"
#include "areas/AreaPassCache.h"
#include "model/ScenarioElements.h"
#include "model/UmlElements.h"
#include "render/GLPainter.h"
#include "render/GLState.h"
#include "diagram/Compartments.h"
#include "model/FeatureText.h"
#include "diagram/NoteLayout.h"
#include "diagram/SelectionManager.h"
#include "diagram/TextLabel.h"
#include "settings/SettingsStore.h"

namespace lumetra {

namespace {

// Used for shapes that carry no appearance of their own.
const ElementAppearance& fallbackAppearance() {
  static const ElementAppearance appearance;
  return appearance;
}

// The area pass picture a window keeps for its display list.
class PreparedAreaPass : public PreparedScene {
 public:
  AreaPassCache cache;
};

// Restores the global alpha factor on every path out of a pass.
class GlobalAlphaScope {
 public:
  explicit GlobalAlphaScope(float factor) : saved_(GLPainter::globalAlpha()) { GLPainter::setGlobalAlpha(factor); }
  ~GlobalAlphaScope() { GLPainter::setGlobalAlpha(saved_); }
  GlobalAlphaScope(const GlobalAlphaScope&) = delete;
  GlobalAlphaScope& operator=(const GlobalAlphaScope&) = delete;

 private:
  float saved_;
};

// The feature lines of a box: names, or in UML notation each cut to width
// with an ellipsis.
template <class FeatureList>
std::vector<std::string> featureLines(const FeatureList& features, bool notation, float width, float fontSize) {
  std::vector<std::string> lines;
  lines.reserve(features.size());
  const auto measure = [fontSize](const std::string& text) {
    float w = 0.0f, h = 0.0f;
    GLPainter::textSize(text, fontSize, w, h);
    return w;
  };
  for (const auto* feature : features) {
    if (!notation) {
      lines.push_back(feature->getName());
      continue;
    }
    std::string line;
    if constexpr (std::is_same_v<std::remove_cv_t<std::remove_pointer_t<typename FeatureList::value_type>>, Attribute>)
      line = attributeLine(*feature);
    else
      line = methodLine(*feature);
    lines.push_back(fitToWidth(line, width, measure));
  }
  return lines;
}

float tallestLine(const std::vector<std::string>& lines, float fontSize, float tallest) {
  for (const std::string& line : lines) {
    float w = 0.0f, h = 0.0f;
    GLPainter::textSize(line, fontSize, w, h);
    tallest = std::max(tallest, h);
  }
  return tallest;
}

}  // namespace

// ---- construction and look-ups ----------------------------------------------

UMLModelVisualizer::UMLModelVisualizer() = default;
UMLModelVisualizer::~UMLModelVisualizer() = default;

DiagramElement* UMLModelVisualizer::findDiagramElement(ModelElement* element) const {
  auto it = elementMap_.find(element);
  return it == elementMap_.end() ? nullptr : it->second;
}

AreaElementsEraser& UMLModelVisualizer::eraser() {
  if (!eraser_) eraser_ = std::make_unique<AreaElementsEraser>();
  return *eraser_;
}

int UMLModelVisualizer::eraserSoftness() const { return eraser_ ? eraser_->softness() : 0; }

DiagramElement* UMLModelVisualizer::participant(const std::string& modelId) const {
  auto it = shapeIndex_.find(std::string_view(modelId));
  return it == shapeIndex_.end() ? nullptr : it->second;
}

bool UMLModelVisualizer::isSelected(const ModelElement* element) const {
  return selection_ && element && selection_->isElementSelected(element);
}

// ---- drawDiagram and the area pass --------------------------------------------

void UMLModelVisualizer::prepare(Diagram* diagram, std::unique_ptr<PreparedScene>& scene) {
  preparedAreas_ = nullptr;
  if (!areaCaching_ || diagram == nullptr) return;
  auto* prepared = dynamic_cast<PreparedAreaPass*>(scene.get());
  if (prepared == nullptr) {
    scene = std::make_unique<PreparedAreaPass>();
    prepared = static_cast<PreparedAreaPass*>(scene.get());
  }
  static const AreaSet noAreas;
  if (prepared->cache.build(areas_ ? *areas_ : noAreas, diagram, areaAlpha_, blendEquation_, eraser()))
    preparedAreas_ = &prepared->cache;
}

void UMLModelVisualizer::drawDiagramInParts(Diagram* diagram, SceneParts& parts) {
  struct Reset {
    SceneParts*& slot;
    ~Reset() { slot = nullptr; }
  } reset{parts_};
  parts_ = &parts;
  drawDiagram(diagram);
}

bool UMLModelVisualizer::linesMostlyPlain(Diagram* diagram) {
  if (diagram == nullptr) return false;
  const float scale = GLPainter::detailScale();
  std::size_t boxes = 0, small = 0;
  for (DiagramElement* element : diagram->getElements()) {
    const VisualElementLayout* layout = element ? element->getCurrentLayout() : nullptr;
    if (!layout || !layout->getLowerLeft() || !layout->getUpperRight()) continue;
    const Vec2 size = *layout->getUpperRight() - *layout->getLowerLeft();
    const float longer = std::fmax(std::fabs(size.x), std::fabs(size.y));
    if (!(longer > 0.0f)) continue;  // a relation's empty box
    ++boxes;
    if (longer * scale < kSmallShape) ++small;
  }
  return 2 * small > boxes;
}

void UMLModelVisualizer::drawBackgroundPass(Diagram* diagram) {
  // A prepared picture serves this one pass only, and only for its diagram.
  AreaPassCache* prepared = preparedAreas_;
  preparedAreas_ = nullptr;
  if (prepared != nullptr && prepared->diagram() != diagram) prepared = nullptr;
  // Areas take no pick names; the pick pass leaves the colour buffer alone.
  // A vector recording gets the areas as a picture made beforehand.
  if (picking_ || GLPainter::recordingVectors()) return;
  if (prepared != nullptr) prepared->draw();
  else drawAreaPass(diagram);
}

void UMLModelVisualizer::drawDiagram(Diagram* diagram) {
  diagramChanged_ = diagram != diagram_;
  diagram_ = diagram;
  look_ = DiagramLook::read();
  GlobalAlphaScope alpha(transparency_);
  elementMap_.clear();
  if (diagram) elementMap_.reserve(diagram->getElementCount());
  // The glyph entries are collected afresh by every pass: a diagram destroyed
  // and replaced by another at the same address must not leave stale entries.
  deferred_.clear();
  if (!diagram) {
    preparedAreas_ = nullptr;
    return;
  }

  indexShapes(diagram);
  drawBackgroundPass(diagram);
  SceneParts* parts = picking_ ? nullptr : parts_;
  if (parts) parts->endBackground();

  // Shapes and glyphs keep the GL state of their kind of drawing between
  // them, so the list merges more of their primitives.
  GLStateBatch batch;
  for (DiagramElement* element : diagram->getElements()) {
    if (ModelElement* m = element->getModelElement()) elementMap_[m] = element;
    auto* composed = dynamic_cast<ComposedDiagramElement*>(element);
    if (picking_ && pickCulling_ && !pickMayHit(element)) {
      if (composed)
        for (DiagramElement* child : composed->getChildren())
          if (ModelElement* m = child->getModelElement()) elementMap_[m] = child;
      continue;
    }
    drawElement(element);
    if (composed) {
      for (DiagramElement* child : composed->getChildren()) {
        if (ModelElement* m = child->getModelElement()) elementMap_[m] = child;
        drawElement(child);
      }
    }
    if (parts) {
      parts->pieceDrawn({element, false});
      parts->mayCut();
    }
  }

  for (DiagramElement* entry : deferred_) {
    drawDeferredEntry(entry);
    if (parts) {
      parts->pieceDrawn({entry, true});
      parts->mayCut();
    }
  }
}

// ---- redrawing pieces after a shape moved ---------------------------------------

bool UMLModelVisualizer::shapesDependingOn(Diagram* diagram, DiagramElement* moved,
                                           std::vector<DiagramElement*>& shapes, bool& background) {
  shapes.clear();
  background = true;
  if (diagram == nullptr || moved == nullptr) return false;
  // The shape, the composed shape holding it and all their children: the
  // piece of a composed shape draws its children, and relations may end on
  // any of them.
  for (DiagramElement* element : diagram->getElements()) {
    auto* composed = dynamic_cast<ComposedDiagramElement*>(element);
    const std::vector<DiagramElement*> children =
        composed ? composed->getChildren() : std::vector<DiagramElement*>();
    const bool holds = element == moved || std::find(children.begin(), children.end(), moved) != children.end();
    if (!holds) continue;
    shapes.push_back(element);
    shapes.insert(shapes.end(), children.begin(), children.end());
  }
  if (shapes.empty()) return false;  // not on this diagram
  indexShapes(diagram);
  const std::vector<DiagramElement*> own = shapes;
  for (DiagramElement* element : diagram->getElements()) {
    ModelElement* model = element->getModelElement();
    if (model != nullptr && std::find(own.begin(), own.end(), element) == own.end() && relationEndsOn(model, own))
      shapes.push_back(element);
  }
  background = areas_ != nullptr && areas_->getIdentifiedCount() > 0 && areas_->isShownOn(diagram);
  return true;
}

bool UMLModelVisualizer::piecesShowingSelection(Diagram* diagram, const SelectionChange& change,
                                                 std::vector<ScenePiece>& pieces, bool& background) {
  pieces.clear();
  background = false;
  if (diagram == nullptr) return false;
  if (change.elements.empty()) return true;
  std::unordered_set<std::string_view> changed;
  for (const ModelElement* element : change.elements)
    if (element != nullptr) changed.insert(element->idRef());
  const auto shows = [&changed](const DiagramElement* shape) {
    const ModelElement* model = shape->getModelElement();
    return model != nullptr && changed.count(model->idRef()) > 0;
  };
  for (DiagramElement* element : diagram->getElements()) {
    bool drawnDifferently = shows(element);
    if (auto* composed = dynamic_cast<ComposedDiagramElement*>(element); composed && !drawnDifferently)
      for (DiagramElement* child : composed->getChildren()) drawnDifferently = drawnDifferently || shows(child);
    if (drawnDifferently) pieces.push_back({element, false});
  }
  return true;
}

bool UMLModelVisualizer::drawBackground(Diagram* diagram) {
  if (diagram == nullptr || picking_) return false;
  look_ = DiagramLook::read();
  GlobalAlphaScope alpha(transparency_);
  drawBackgroundPass(diagram);
  return true;
}

bool UMLModelVisualizer::drawPieces(Diagram* diagram, const std::vector<ScenePiece>& pieces) {
  if (diagram == nullptr || picking_) return false;
  // The same state the pass had: settings, transparency, the shapes by
  // identifier. Visiting collects glyph entries again; the list the last
  // pass collected stays as it was.
  diagramChanged_ = diagram != diagram_;
  diagram_ = diagram;
  look_ = DiagramLook::read();
  GlobalAlphaScope alpha(transparency_);
  indexShapes(diagram);
  std::vector<DiagramElement*> collected = std::move(deferred_);
  struct Restore {
    std::vector<DiagramElement*>& slot;
    std::vector<DiagramElement*>& saved;
    ~Restore() { slot = std::move(saved); }
  } restore{deferred_, collected};
  deferred_.clear();
  GLStateBatch batch;
  for (const ScenePiece& piece : pieces) {
    if (piece.glyphs) {
      drawDeferredEntry(piece.shape);
      continue;
    }
    drawElement(piece.shape);
    if (auto* composed = dynamic_cast<ComposedDiagramElement*>(piece.shape))
      for (DiagramElement* child : composed->getChildren()) drawElement(child);
  }
  return true;
}

void UMLModelVisualizer::drawTopLevelElements(Diagram* diagram) {
  if (!diagram) return;
  look_ = DiagramLook::read();
  GlobalAlphaScope alpha(transparency_);
  indexShapes(diagram);
  GLStateBatch batch;
  for (DiagramElement* element : diagram->getElements()) drawElement(element);
}

void UMLModelVisualizer::indexShapes(Diagram* diagram) {
  // The first top-level shape per identifier, as Diagram::findElement finds
  // it, without a linear search per relation end.
  indexed_ = diagram;
  shapeIndex_.clear();
  shapeIndex_.reserve(diagram->getElementCount());
  for (DiagramElement* element : diagram->getElements())
    if (ModelElement* m = element->getModelElement()) shapeIndex_.emplace(std::string_view(m->idRef()), element);
}

void UMLModelVisualizer::drawAreaPass(Diagram* diagram) {
  // With no area set bound the pass still runs and leaves the background white.
  static const AreaSet noAreas;
  lumetra::drawAreaPass(areas_ ? *areas_ : noAreas, diagram, areaAlpha_, blendEquation_, eraser());
}

// ---- drawElement and labels ---------------------------------------------------

void UMLModelVisualizer::drawElement(DiagramElement* element) {
  if (!element) return;
  ModelElement* model = element->getModelElement();
  // A relation whose participants are not on this diagram is neither drawn
  // nor named.
  if (model && !participantsPresent(model)) return;

  if (picking_) {
    glPushName(static_cast<GLuint>(registerElementPick(element)));
  }

  currentElement_ = element;
  VisualElementLayout* layout = element->getCurrentLayout();
  hasBox_ = layout && layout->getLowerLeft() && layout->getUpperRight();
  if (hasBox_) {
    box_.min = *layout->getLowerLeft();
    box_.max = *layout->getUpperRight();
    box_.centre = (box_.min + box_.max) * 0.5f;
    box_.size = box_.max - box_.min + Vec2(1.0f, 1.0f);
  }
  appearance_ = element->getAppearance() ? element->getAppearance() : &fallbackAppearance();
  appearance_ = &lookOf(*appearance_);
  drawUnknown_ = false;

  if (model) model->accept(*this);
  else drawUnknownElement(element);

  if (picking_) glPopName();
}

const ElementAppearance& UMLModelVisualizer::lookOf(const ElementAppearance& appearance) {
  // The parts the file left at the factory's defaults take the preferences.
  static const ElementAppearance factory;
  if (appearance.fontSize != factory.fontSize && !(appearance.fillColour == factory.fillColour) &&
      !(appearance.outlineColour == factory.outlineColour))
    return appearance;
  shownAppearance_ = appearance;
  if (appearance.fontSize == factory.fontSize) shownAppearance_.fontSize = look_.fontSize;
  if (appearance.fillColour == factory.fillColour) shownAppearance_.fillColour = look_.boxColor;
  if (appearance.outlineColour == factory.outlineColour) shownAppearance_.outlineColour = look_.lineColor;
  return shownAppearance_;
}

void UMLModelVisualizer::drawUnknownElement(DiagramElement*) {
  // Shapes without a model element have nothing of their own to show.
}

void UMLModelVisualizer::visitModelElement(ModelElement* element) {
  // Features and placeholders are not drawn (drawUnknown is off); notes are
  // while comments are switched on.
  if (!look_.comments || !hasBox_) return;
  if (const auto* note = dynamic_cast<const Note*>(element)) drawNote(*note);
}

std::string UMLModelVisualizer::elementLabel(DiagramElement* element) const {
  ModelElement* m = element ? element->getModelElement() : nullptr;
  if (auto* c = dynamic_cast<Class*>(m)) return c->getName();
  if (auto* i = dynamic_cast<Interface*>(m)) return i->getName();
  if (auto* s = dynamic_cast<PelkService*>(m)) return s->getName();
  if (auto* i = dynamic_cast<PelkInterface*>(m)) return i->getName();
  if (dynamic_cast<PelkConnection*>(m)) return "Connection";
  if (auto* d = dynamic_cast<Dependency*>(shownRelation(m)))
    return d->kind() == Dependency::Kind::Realization ? "Realization" : "Dependency";
  if (dynamic_cast<Inheritance*>(m)) return "Inheritance";
  if (dynamic_cast<Association*>(m)) return "Association";
  if (auto* p = dynamic_cast<Package*>(m)) return p->getName();
  if (auto* n = dynamic_cast<Note*>(m)) return noteLabel(n->getText());
  return "<<LALA>>";
}

// ---- picking ------------------------------------------------------------------

int UMLModelVisualizer::registerElementPick(DiagramElement* element) {
  pickNames_.push_back({element, nullptr});
  pickCounter_ = static_cast<int>(pickNames_.size());
  return pickCounter_;
}

int UMLModelVisualizer::registerGlyphPick(Metric* metric, DiagramElement* element) {
  pickNames_.push_back({element, metric});
  pickCounter_ = static_cast<int>(pickNames_.size());
  return pickCounter_;
}

void UMLModelVisualizer::capturePickVolume() {
  readClipMatrix(pickVolume_);
}

bool UMLModelVisualizer::mayBeInPickVolume(Vec2 lo, Vec2 hi, float nearZ, float farZ) const {
  // The box is outside when all eight corners lie beyond one clip plane; the
  // test in homogeneous coordinates also holds for corners behind the eye.
  float clip[8][4];
  int n = 0;
  for (float x : {lo.x, hi.x})
    for (float y : {lo.y, hi.y})
      for (float z : {nearZ, farZ}) {
        for (int row = 0; row < 4; ++row)
          clip[n][row] = pickVolume_[row] * x + pickVolume_[4 + row] * y + pickVolume_[8 + row] * z + pickVolume_[12 + row];
        ++n;
      }
  for (int axis = 0; axis < 3; ++axis) {
    bool allBelow = true, allAbove = true;
    for (const auto& c : clip) {
      allBelow = allBelow && c[axis] < -c[3];
      allAbove = allAbove && c[axis] > c[3];
    }
    if (allBelow || allAbove) return false;
  }
  return true;
}

bool UMLModelVisualizer::pickMayHit(DiagramElement* element) {
  if (element == nullptr) return false;
  ModelElement* model = element->getModelElement();
  if (model == nullptr || dynamic_cast<ComposedDiagramElement*>(element)) return true;
  if (dynamic_cast<Class*>(model) || dynamic_cast<Note*>(model)) {
    // The pick pass draws a class or a note as its box, and nothing without one.
    const VisualElementLayout* layout = element->getCurrentLayout();
    if (!layout || !layout->getLowerLeft() || !layout->getUpperRight()) return false;
    return mayBeInPickVolume(*layout->getLowerLeft(), *layout->getUpperRight(), 1.0f, -1.0f);
  }
  return relationMayHit(element, model);
}

std::unique_ptr<SelectionElement> UMLModelVisualizer::makeEntry(const PickName& name) const {
  ModelElement* model = name.element ? name.element->getModelElement() : nullptr;
  if (name.metric) return std::make_unique<MetricSelection>(name.metric, model ? model->getId() : std::string());
  return std::make_unique<ModelSelectionElement>(model, elementLabel(name.element));
}

void UMLModelVisualizer::pick(PickResult& result, Diagram* diagram) {
  // The buffer starts at 1024 integers; when a pick overflows it, the pass is
  // repeated with a larger one rather than losing every hit.
  constexpr std::size_t kFirstBuffer = 1024;
  constexpr std::size_t kLargestBuffer = std::size_t{1} << 22;
  std::vector<GLuint> buffer;
  GLint hits = -1;
  capturePickVolume();
  // A pass that ends in an exception must not leave GL selecting (nothing
  // would be drawn again) nor the painter picking.
  struct SelectionModeScope {
    bool& picking;
    bool selecting = false;
    ~SelectionModeScope() {
      if (selecting) glRenderMode(GL_RENDER);
      picking = false;
    }
  } scope{picking_};
  for (std::size_t size = kFirstBuffer; size <= kLargestBuffer && hits < 0; size *= 2) {
    picking_ = true;
    pickNames_.clear();
    pickCounter_ = 0;
    buffer.assign(size, 0);
    glSelectBuffer(static_cast<GLsizei>(size), buffer.data());
    glRenderMode(GL_SELECT);
    scope.selecting = true;
    glInitNames();
    drawDiagram(diagram);
    scope.selecting = false;
    hits = glRenderMode(GL_RENDER);
    picking_ = false;
  }

  struct Hit {
    GLuint depth;
    GLuint name;
  };
  std::map<GLuint, GLuint> nearest;  // name -> smallest minimum depth
  std::size_t pos = 0;
  for (GLint h = 0; h < hits && pos + 3 <= buffer.size(); ++h) {
    const GLuint count = buffer[pos];
    const GLuint minDepth = buffer[pos + 1];
    pos += 3;
    for (GLuint n = 0; n < count && pos < buffer.size(); ++n, ++pos) {
      const GLuint name = buffer[pos];
      if (name == 0 || name > pickNames_.size()) continue;
      auto [it, inserted] = nearest.emplace(name, minDepth);
      if (!inserted) it->second = std::min(it->second, minDepth);
    }
  }

  std::vector<Hit> ordered;
  ordered.reserve(nearest.size());
  for (const auto& [name, depth] : nearest) ordered.push_back({depth, name});
  // Nearest first; at equal depth the later drawn shape lies on top.
  std::sort(ordered.begin(), ordered.end(), [](const Hit& a, const Hit& b) {
    return a.depth != b.depth ? a.depth < b.depth : a.name > b.name;
  });
  for (const Hit& hit : ordered) result.add(makeEntry(pickNames_[hit.name - 1]));
  pickNames_.clear();
}

// ---- boxes ----------------------------------------------------------------------

namespace {

// While it lasts, the lines of a shape whose box is under kSmallShape
// pixels along its longer side are drawn without smoothing, all alike; a
// larger shape leaves each line to its own size.
class SmallShapeLines {
 public:
  explicit SmallShapeLines(const ShapeBox& b) {
    const float longer = std::fmax(std::fabs(b.max.x - b.min.x), std::fabs(b.max.y - b.min.y));
    if (GLPainter::underPixels(longer, UMLModelVisualizer::kSmallShape)) scope_.emplace(true);
  }

 private:
  std::optional<PlainLineScope> scope_;
};

}  // namespace

void UMLModelVisualizer::drawBoxBody() {
  GLPainter painter;
  const ShapeBox& b = box_;
  if (look_.shadows && !GLPainter::underPixels(look_.shadowSize, kThinShadow)) {
    const float sh = look_.shadowSize;
    const Color shadow = look_.shadowColor;
    painter.filledRect({b.min.x + sh, b.min.y - sh}, {b.max.x, b.min.y}, shadow);
    painter.filledRect({b.max.x, b.min.y - sh}, {b.max.x + sh, b.max.y - sh}, shadow);
  }
  painter.filledRect(b.min, b.max, appearance_->fillColour);
  painter.rectOutline(b.min, b.max, appearance_->outlineColour);
}

void UMLModelVisualizer::drawBoxHighlight(ModelElement* element) {
  if (!isSelected(element)) return;
  GLPainter().filledRect(box_.min, box_.max, look_.selectColor);
}

void UMLModelVisualizer::drawCompartments(const CompartmentLayout& layout) {
  GLPainter painter;
  const float fs = static_cast<float>(appearance_->fontSize);
  const float x = box_.min.x + look_.textSpacing;
  for (const TextLine& line : layout.attributes)
    drawLabel(painter, line.text, {x, line.y}, fs, kTextHang, appearance_->textColour);
  if (layout.separator)
    painter.line({box_.min.x, layout.separatorY}, {box_.max.x, layout.separatorY}, appearance_->outlineColour);
  for (const TextLine& line : layout.methods) drawLabel(painter, line.text, {x, line.y}, fs, 0, appearance_->textColour);
}

float UMLModelVisualizer::drawTitledBox(const std::string& name) {
  const GLPainter painter;
  const ShapeBox& b = box_;
  const float fs = static_cast<float>(appearance_->fontSize);
  drawBoxBody();
  const float sp = look_.textSpacing;
  float y = b.max.y - sp;
  float w = 0.0f, h = 0.0f;
  GLPainter::textSize(name, fs, w, h);
  if (look_.elementNames)
    drawLabel(painter, name, {b.centre.x, y}, fs, kTextCenterX | kTextHang, appearance_->textColour);
  y -= h + sp;
  painter.line({b.min.x, y}, {b.max.x, y}, appearance_->outlineColour);
  return y;
}

void UMLModelVisualizer::visitClass(Class* element) {
  if (!hasBox_) return;
  GLPainter painter;
  const ShapeBox& b = box_;
  if (picking_) {
    painter.filledRect(b.min, b.max, appearance_->fillColour);
    return;
  }
  const float fs = static_cast<float>(appearance_->fontSize);
  const SmallShapeLines lines(b);
  const float y = drawTitledBox(element->getName());
  const float sp = look_.textSpacing;
  const float room = b.max.x - b.min.x - 2.0f * sp;
  std::vector<std::string> attributes = featureLines(element->getAttributes(), look_.typesAndVisibility, room, fs);
  std::vector<std::string> methods = featureLines(element->getMethods(), look_.typesAndVisibility, room, fs);
  const float tallest = tallestLine(methods, fs, tallestLine(attributes, fs, 0.0f));
  drawCompartments(layoutClassCompartments(y, b.min.y, sp, tallest, std::move(attributes), std::move(methods),
                                           look_.attributes, look_.methods));
  drawBoxHighlight(element);
}

void UMLModelVisualizer::visitInterface(Interface* element) {
  if (!hasBox_) return;
  GLPainter painter;
  const ShapeBox& b = box_;
  if (picking_) painter.filledRect(b.min, b.max, appearance_->fillColour);
  const float fs = static_cast<float>(appearance_->fontSize);
  const SmallShapeLines lines(b);
  const float y = drawTitledBox("<< " + element->getName() + " >>");
  const float sp = look_.textSpacing;
  std::vector<std::string> methods =
      featureLines(element->getMethods(), look_.typesAndVisibility, b.max.x - b.min.x - 2.0f * sp, fs);
  const float tallest = tallestLine(methods, fs, 0.0f);
  drawCompartments(layoutInterfaceCompartments(y, b.min.y, sp, tallest, std::move(methods), look_.methods));
  drawBoxHighlight(element);
}

void UMLModelVisualizer::visitPelkService(PelkService* element) {
  if (!hasBox_) return;
  const SmallShapeLines lines(box_);
  drawBoxBody();
  const float sp = look_.textSpacing;
  drawLabel(GLPainter(), element->getName(), {box_.centre.x, box_.max.y - sp}, static_cast<float>(appearance_->fontSize),
                       kTextCenterX | kTextHang, appearance_->textColour);
  drawBoxHighlight(element);
}

void UMLModelVisualizer::visitPelkInterface(PelkInterface*) {
  if (!hasBox_) return;
  const SmallShapeLines lines(box_);
  drawBoxBody();
  GLPainter painter;
  painter.line({box_.min.x, box_.min.y}, box_.centre, appearance_->outlineColour);
  painter.line({box_.min.x, box_.max.y}, box_.centre, appearance_->outlineColour);
}

void UMLModelVisualizer::visitPackage(Package* element) {
  if (!hasBox_) return;
  GLPainter painter;
  const ShapeBox& b = box_;
  const SmallShapeLines lines(b);
  const float fs = static_cast<float>(appearance_->fontSize);
  const std::string name = element->getName();
  float w = 0.0f, h = 0.0f;
  GLPainter::textSize(name, fs, w, h);
  const float sp = look_.textSpacing;
  // The tab is a quarter of the shape; a package drawn as the group of its
  // classes (a generated diagram) keeps it to a name line, so that the frame
  // fits what it holds however tall that is.
  const bool group = diagram_ != nullptr && diagram_->isGenerated();
  const float tab = group ? std::min(b.size.y / 4.0f, 2.0f * sp + h) : b.size.y / 4.0f;
  if (look_.shadows && !GLPainter::underPixels(look_.shadowSize, kThinShadow)) {
    const float sh = look_.shadowSize;
    const Color shadow = look_.shadowColor;
    painter.filledRect({b.min.x + sh, b.min.y - sh}, {b.max.x, b.min.y}, shadow);
    painter.filledRect({b.max.x, b.min.y - sh}, {b.max.x + sh, b.max.y - tab - sh}, shadow);
    painter.filledRect({b.centre.x, b.max.y - tab}, {b.centre.x + sh, b.max.y - sh}, shadow);
  }
  const Vec2 bodyMax(b.max.x, b.max.y - tab);
  const Vec2 tabMin(b.min.x, b.max.y - tab);
  const Vec2 tabMax(b.centre.x, b.max.y);
  painter.filledRect(b.min, bodyMax, appearance_->fillColour);
  painter.rectOutline(b.min, bodyMax, appearance_->outlineColour);
  painter.filledRect(tabMin, tabMax, appearance_->fillColour);
  painter.rectOutline(tabMin, tabMax, appearance_->outlineColour);

  const float lineY = b.max.y - tab - (2.0f * sp + h);
  painter.line({b.min.x, lineY}, {b.max.x, lineY}, appearance_->outlineColour);
  if (look_.elementNames)
    drawLabel(painter, name, {b.centre.x, b.max.y - tab}, fs, kTextCenterX | kTextHang, appearance_->textColour);

  if (isSelected(element)) {
    const Color select = look_.selectColor;
    painter.filledRect(b.min, bodyMax, select);
    painter.filledRect(tabMin, tabMax, select);
  }
}

// ---- notes ----------------------------------------------------------------------

void UMLModelVisualizer::drawNote(const Note& note) {
  GLPainter painter;
  const ShapeBox& b = box_;
  const float fold = noteFoldSize(b.max - b.min, look_.commentNoteFraction);
  // The box with its top-right corner cut off along the fold's diagonal.
  const Vec2 foldLeft(b.max.x - fold, b.max.y);
  const Vec2 foldBottom(b.max.x, b.max.y - fold);
  const Color paper = appearance_->fillColour.a > 0.0f ? appearance_->fillColour : kNotePaper;
  PointList body;
  body.color = paper;
  body.points = {b.min, {b.max.x, b.min.y}, foldBottom, foldLeft, {b.min.x, b.max.y}};
  if (picking_) {
    painter.filledConvexPolygon(body);
    return;
  }
  const SmallShapeLines lines(b);
  if (look_.shadows && !GLPainter::underPixels(look_.shadowSize, kThinShadow)) {
    // As under a class box: right and down by the shadow size. The shifted
    // fold diagonal lies on the box's own, so the right-hand strip ends on it.
    const float sh = look_.shadowSize;
    painter.filledRect({b.min.x + sh, b.min.y - sh}, {b.max.x, b.min.y}, look_.shadowColor);
    PointList side;
    side.color = look_.shadowColor;
    side.points = {{b.max.x, b.min.y - sh}, {b.max.x + sh, b.min.y - sh}, {b.max.x + sh, foldBottom.y - sh}, foldBottom};
    painter.filledConvexPolygon(side);
  }
  painter.filledConvexPolygon(body);
  PointList flap;
  flap.color = noteFoldShade(paper);
  flap.points = {foldLeft, {foldLeft.x, foldBottom.y}, foldBottom};
  painter.filledConvexPolygon(flap);
  body.color = appearance_->outlineColour;
  painter.polygonOutline(body);
  flap.color = appearance_->outlineColour;
  painter.polygonOutline(flap);

  const float fs = static_cast<float>(appearance_->fontSize);
  const NoteTextFrame frame{b.min, b.max, fold, look_.textSpacing};
  const auto measure = [fs](const std::string& text, float& w, float& h) { GLPainter::textSize(text, fs, w, h); };
  const float x = b.min.x + look_.textSpacing;
  for (const TextLine& line : layoutNoteText(note.getText(), frame, measure))
    drawLabel(painter, line.text, {x, line.y}, fs, kTextHang, appearance_->textColour);

  if (isSelected(&note)) {
    body.color = look_.selectColor;
    painter.filledConvexPolygon(body);
  }
}

void UMLModelVisualizer::drawOverlay(Diagram* diagram, int windowWidth, int windowHeight) {
  if (!settings().getBool("Visualizer.General.Legend.Enable")) return;
  drawLegend(legendRows(metrics_, areas_, diagram, areaAlpha_), legendScale_);
}

}  // namespace lumetra
