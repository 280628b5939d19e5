#include "areas/Area.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "areas/AreaPainterRegistry.h"
#include "model/Checked.h"
#include "model/Diagram.h"
#include "model/ScenarioElements.h"
#include "model/UmlElements.h"

namespace lumetra {

// ---- Area ----

Area::Area(std::string name)
    : name_(std::move(name)),
      colour_(std::make_unique<Color>()),
      painter_(createAreaVisualizer(AREA_PAINTER_INNER, AREA_MODE_AREA, AREA_METHOD_POLYGONS, 50)) {}

Area::~Area() = default;

std::string Area::getElement(std::size_t index) const { return checkedAt(elementIds_, index); }

void Area::setColor(Color* colour) {
  if (colour == nullptr) return;
  // Identified areas point at the colour object: keep it and take the value,
  // so that they see the new colour instead of freed memory.
  std::unique_ptr<Color> owned(colour);
  if (colour_) *colour_ = *owned;
  else colour_ = std::move(owned);
}

bool Area::setVisualizer(const std::string& methodName) {
  auto next = createAreaVisualizer(methodName, painter_->getDrawingMode(), painter_->getMethod(),
                                   painter_->getSoftness());
  if (!next) return false;
  painter_ = std::move(next);
  return true;
}

void Area::replaceVisualizer(AreaVisualizer* painter) {
  if (painter != nullptr) painter_.reset(painter);
}

// ---- IdentifiedArea ----

DiagramElement* IdentifiedArea::getElement(std::size_t index) const { return checkedAt(elements_, index); }

// ---- AreaSet ----

void AreaSet::addArea(Area* area) {
  if (area != nullptr) loaded_.push_back(area);
}

Area* AreaSet::findArea(const std::string& name) const { return findNamed(loaded_, name); }

Area* AreaSet::getLoadedArea(std::size_t index) const { return checkedAt(loaded_, index); }

void AreaSet::addIdentified(IdentifiedArea* area) {
  if (area != nullptr) identified_.push_back(area);
}

IdentifiedArea* AreaSet::getIdentifiedArea(std::size_t index) const { return checkedAt(identified_, index); }

IdentifiedArea* AreaSet::findIdentified(const std::string& name) const { return findNamed(identified_, name); }

void AreaSet::removeIdentified(const std::string& name) {
  auto it = std::find_if(identified_.begin(), identified_.end(),
                         [&](IdentifiedArea* a) { return a->getName() == name; });
  if (it == identified_.end()) return;
  IdentifiedArea* doomed = *it;
  identified_.erase(it);
  delete doomed;
}

void AreaSet::clearIdentified() { deleteAll(identified_); }

void AreaSet::sortByValue() {
  std::stable_sort(identified_.begin(), identified_.end(),
                   [](const IdentifiedArea* a, const IdentifiedArea* b) { return a->getValue() < b->getValue(); });
}

namespace {

bool isNodeElement(const ModelElement* element) {
  return dynamic_cast<const Class*>(element) != nullptr || dynamic_cast<const Interface*>(element) != nullptr ||
         dynamic_cast<const Package*>(element) != nullptr || dynamic_cast<const PelkService*>(element) != nullptr;
}

}  // namespace

void AreaSet::computeFreeElements(Diagram* diagram) {
  freeElements_.clear();
  if (diagram == nullptr) return;
  identifiedDiagram_ = diagram;
  // Every shape occurs once in a diagram, so "remove the first occurrence of
  // each area member" is "keep the shapes that are in no area".
  std::unordered_set<const DiagramElement*> members;
  for (const IdentifiedArea* area : identified_)
    for (const DiagramElement* element : area->getElements()) members.insert(element);
  for (DiagramElement* element : diagram->getElements()) {
    if (element == nullptr || !isNodeElement(element->getModelElement())) continue;
    if (members.count(element) == 0) freeElements_.push_back(element);
  }
}

void AreaSet::clear() {
  freeElements_.clear();
  identifiedDiagram_ = nullptr;
  deleteAll(identified_);
  deleteAll(loaded_);
}

void AreaSet::takeLoaded(AreaSet& other) {
  if (&other == this) return;
  loaded_.insert(loaded_.end(), other.loaded_.begin(), other.loaded_.end());
  other.loaded_.clear();
  other.clear();
}

bool AreaSet::mergeLoaded(AreaSet& other) {
  if (&other == this) return false;
  bool shownChanged = false;
  for (Area* incoming : other.loaded_) {
    Area* known = findArea(incoming->getName());
    if (known == nullptr) {
      loaded_.push_back(incoming);
      continue;
    }
    known->replaceElements(incoming->getElements());
    known->setValue(incoming->getValue());
    known->setColor(new Color(*incoming->getColor()));
    shownChanged = shownChanged || isIdentified(known->getName());
    delete incoming;
  }
  other.loaded_.clear();
  other.clear();
  return shownChanged;
}

// ---- AreaIdentifier ----

IdentifiedArea* AreaIdentifier::identify(Area* area) {
  if (area == nullptr || areaSet_ == nullptr) return nullptr;
  auto* result = new IdentifiedArea(area->getName(), area->getColor());
  result->setValue(area->getValue());
  if (diagram_ != nullptr) areaSet_->setIdentifiedDiagram(diagram_);
  if (diagram_ != nullptr && area->getElementCount() > 0) {
    // Shapes by model identifier, each list in diagram order.
    std::unordered_map<std::string, std::vector<DiagramElement*>> shapes;
    for (DiagramElement* element : diagram_->getElements()) {
      if (element == nullptr) continue;
      ModelElement* model = element->getModelElement();
      if (model != nullptr) shapes[model->getId()].push_back(element);
    }
    for (std::size_t i = 0; i < area->getElementCount(); ++i) {
      auto it = shapes.find(area->getElement(i));
      if (it == shapes.end()) continue;
      for (DiagramElement* element : it->second) result->addElement(element);
    }
  }
  areaSet_->addIdentified(result);
  return result;
}

void reidentifyAreas(AreaSet& areaSet, Diagram* diagram, bool byValue) {
  areaSet.setIdentifiedDiagram(diagram);
  std::vector<std::string> names;
  for (const IdentifiedArea* area : areaSet.getIdentifiedAreas()) names.push_back(area->getName());
  areaSet.clearIdentified();
  AreaIdentifier identifier(diagram, &areaSet);
  for (const std::string& name : names) identifier.identify(areaSet.findArea(name));
  areaSet.computeFreeElements(diagram);
  if (byValue) areaSet.sortByValue();
}

bool showArea(AreaSet& areaSet, Diagram* diagram, const std::string& name) {
  Area* area = areaSet.findArea(name);
  if (area == nullptr) return false;
  AreaIdentifier(diagram, &areaSet).identify(area);
  areaSet.computeFreeElements(diagram);
  return true;
}

}  // namespace lumetra
