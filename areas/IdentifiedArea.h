#pragma once
// The diagram elements of one area on the shown diagram, in drawing order:
// what an area painter draws. Kept apart from Area.h so that the painters
// see only this and the area model never reaches back into them.
//
// Holds raw pointers to diagram elements: rebuild it whenever the diagram
// it was made for changes or goes away.

#include <cstddef>
#include <string>
#include <vector>

#include "settings/Color.h"

namespace lumetra {

class DiagramElement;

class IdentifiedArea {
 public:
  explicit IdentifiedArea(std::string name) : name_(std::move(name)) {}
  // The colour is borrowed from the Area.
  IdentifiedArea(std::string name, Color* colour) : name_(std::move(name)), colour_(colour) {}

  std::string getName() const { return name_; }
  void addElement(DiagramElement* element) { elements_.push_back(element); }
  std::size_t getElementCount() const { return elements_.size(); }
  // Throws std::out_of_range "invalid vector<T> subscript" past the end.
  DiagramElement* getElement(std::size_t index) const;
  const std::vector<DiagramElement*>& getElements() const { return elements_; }
  Color* getColor() const { return colour_; }
  void setColor(Color* colour) { colour_ = colour; }
  int getValue() const { return value_; }
  void setValue(int value) { value_ = value; }

 private:
  std::string name_;
  std::vector<DiagramElement*> elements_;  // not owned
  Color* colour_ = nullptr;                // borrowed from the Area
  int value_ = 0;
};

}  // namespace lumetra
