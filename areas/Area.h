#pragma once
// Areas: named groups of model element identifiers read from a metrics file,
// and their resolution against one diagram.
//
//   Area           what the file says: identifiers, colour, value, painter.
//   IdentifiedArea the diagram elements of one Area on the shown diagram
//                  (IdentifiedArea.h, which painters include).
//   AreaSet        loaded areas, identified areas in drawing order, the free
//                  node elements (in no identified area) and the painter
//                  parameters shared by all areas.
//   AreaIdentifier resolves an Area against a diagram into the set.
//
// Identified areas hold raw pointers to diagram elements: rebuild them
// whenever the diagram they were made for changes or goes away.

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "areas/IdentifiedArea.h"
#include "platform/NonCopyable.h"
#include "settings/Color.h"

namespace lumetra {

class AreaVisualizer;
class Diagram;

class Area : NonCopyable {
 public:
  // Starts with an "Inner" painter and opaque black.
  explicit Area(std::string name);
  ~Area();

  std::string getName() const { return name_; }
  void addElement(const std::string& id) { elementIds_.push_back(id); }
  // The identifiers of another reading of this area (a metrics file read again).
  void replaceElements(std::vector<std::string> ids) { elementIds_ = std::move(ids); }
  const std::vector<std::string>& getElements() const { return elementIds_; }
  std::size_t getElementCount() const { return elementIds_.size(); }
  // Throws std::out_of_range "invalid vector<T> subscript" past the end.
  std::string getElement(std::size_t index) const;
  // The colour as stored (the reader stores it inverted); owned by the area.
  Color* getColor() const { return colour_.get(); }
  // Takes ownership of colour and copies its value into the area's colour
  // object, which identified areas share; null is ignored.
  void setColor(Color* colour);
  int getValue() const { return value_; }
  void setValue(int value) { value_ = value; }
  AreaVisualizer* getVisualizer() const { return painter_.get(); }
  // Swaps the painter for the one of that display name ("Inner", ...),
  // keeping drawing mode, method and softness. An unknown name keeps the
  // current painter; returns whether the painter was swapped.
  bool setVisualizer(const std::string& methodName);
  // Deletes the old painter and takes the new one (null is ignored).
  void replaceVisualizer(AreaVisualizer* painter);

 private:
  std::vector<std::string> elementIds_;
  std::string name_;
  std::unique_ptr<Color> colour_;
  int value_ = 0;
  std::unique_ptr<AreaVisualizer> painter_;  // never null
};

class AreaSet : NonCopyable {
 public:
  AreaSet() = default;
  ~AreaSet() { clear(); }

  // Appends to loaded and takes ownership (null is ignored).
  void addArea(Area* area);
  // The first loaded area of that name, or null.
  Area* findArea(const std::string& name) const;
  std::size_t getLoadedCount() const { return loaded_.size(); }
  // Throws std::out_of_range past the end.
  Area* getLoadedArea(std::size_t index) const;
  // Whether the area is one of the loaded ones (compares addresses only).
  bool isLoaded(const Area* area) const { return std::find(loaded_.begin(), loaded_.end(), area) != loaded_.end(); }

  // Appends to the drawing order and takes ownership (the identifier's end).
  void addIdentified(IdentifiedArea* area);
  std::size_t getIdentifiedCount() const { return identified_.size(); }
  // Throws std::out_of_range past the end.
  IdentifiedArea* getIdentifiedArea(std::size_t index) const;
  const std::vector<IdentifiedArea*>& getIdentifiedAreas() const { return identified_; }
  IdentifiedArea* findIdentified(const std::string& name) const;
  bool isIdentified(const std::string& name) const { return findIdentified(name) != nullptr; }
  // Deletes the first identified area of that name.
  void removeIdentified(const std::string& name);
  void clearIdentified();
  // Stable reorder into ascending value: later areas are drawn over earlier
  // ones, so the highest value ends up on top.
  void sortByValue();
  // Whether the shown areas are drawn in the order of their values (the
  // areas' priority): identifying them again sorts them then. A choice of
  // the user, kept when the areas are cleared, like the parameters below.
  bool drawsByValue() const { return byValue_; }
  void setDrawsByValue(bool on) { byValue_ = on; }

  // Rebuilds the free elements: every top-level shape of the diagram whose
  // model element is a Class, Interface, Package or PelkService and that is
  // in no identified area, in diagram order.
  void computeFreeElements(Diagram* diagram);
  const std::vector<DiagramElement*>& getFreeElements() const { return freeElements_; }

  // Painter parameters shared by all areas, pushed into every painter each frame.
  float getRadius() const { return radius_; }
  void setRadius(float radius) { radius_ = radius; }
  float getDistance() const { return distance_; }
  void setDistance(float distance) { distance_ = distance; }
  int getIterations() const { return iterations_; }
  void setIterations(int iterations) { iterations_ = iterations; }

  // The diagram the areas were last identified over (their shapes and the
  // free elements point into it); null before any identification. The area
  // pass draws the identified areas only over this diagram.
  Diagram* getIdentifiedDiagram() const { return identifiedDiagram_; }
  void setIdentifiedDiagram(Diagram* diagram) { identifiedDiagram_ = diagram; }
  // Whether the identified areas belong to the diagram: it is the one they
  // were identified over, or none was recorded.
  bool isShownOn(const Diagram* diagram) const {
    return identifiedDiagram_ == nullptr || identifiedDiagram_ == diagram;
  }

  // Deletes every identified and loaded area; empties the free elements.
  void clear();
  // Appends the other set's loaded areas to this one's, taking them over; the
  // other set is cleared. For areas read aside and then handed to the set
  // that painters already point at.
  void takeLoaded(AreaSet& other);
  // takeLoaded, except that an area whose name is loaded already updates
  // that one (elements, value, colour) and keeps its painter and its place
  // among the shown areas. Returns whether a shown area was updated, which
  // then needs identifying again.
  bool mergeLoaded(AreaSet& other);

 private:
  std::vector<Area*> loaded_;                    // owned
  std::vector<IdentifiedArea*> identified_;      // owned
  std::vector<DiagramElement*> freeElements_;    // not owned
  Diagram* identifiedDiagram_ = nullptr;         // not owned
  float radius_ = 1.0f;
  float distance_ = 0.005f;
  int iterations_ = 10;
  bool byValue_ = false;
};

class AreaIdentifier {
 public:
  AreaIdentifier() = default;
  AreaIdentifier(Diagram* diagram, AreaSet* areaSet) : diagram_(diagram), areaSet_(areaSet) {}

  void setDiagram(Diagram* diagram) { diagram_ = diagram; }
  void setAreaSet(AreaSet* areaSet) { areaSet_ = areaSet; }
  // Appends a new identified area to the set's drawing order: for each of the
  // area's identifiers in order, every top-level shape of the diagram showing
  // a model element of that identifier, in diagram order. Nested shapes are
  // not visited. An area that matches nothing is still appended (and draws
  // nothing). A null area, or a missing set, does nothing and returns null.
  IdentifiedArea* identify(Area* area);

 private:
  Diagram* diagram_ = nullptr;  // borrowed
  AreaSet* areaSet_ = nullptr;  // borrowed
};

// Re-identifies the shown areas of the set over a diagram, keeping their
// order (what choosing another diagram does), then recomputes the free
// elements and, when byValue, sorts by value.
void reidentifyAreas(AreaSet& areaSet, Diagram* diagram, bool byValue);

// Shows one more area of that name over the diagram: identifies it at the end
// of the drawing order and recomputes the free elements. False when no area
// of that name is loaded.
bool showArea(AreaSet& areaSet, Diagram* diagram, const std::string& name);

}  // namespace lumetra
