#pragma once
// A named axis-parallel rectangle: the position and size of a visual element.
//
// Owns its four points. Centre and size are derived from the corners; every
// recomputation frees the old point, so callers must not keep a centre or
// size pointer across computeCentre, computeSize or setCorners.

#include <string>

#include "model/Vec2.h"

namespace lumetra {

class VisualElementLayout {
 public:
  explicit VisualElementLayout(std::string name);
  // Takes ownership of both corners and derives centre and size at once.
  VisualElementLayout(std::string name, Vec2* lowerLeft, Vec2* upperRight);
  VisualElementLayout(const VisualElementLayout&) = delete;
  VisualElementLayout& operator=(const VisualElementLayout&) = delete;

  virtual std::string getName() const { return name_; }
  virtual void setName(std::string name) { name_ = std::move(name); }
  virtual Vec2* getLowerLeft() const { return lowerLeft_; }
  virtual Vec2* getUpperRight() const { return upperRight_; }
  // (lowerLeft + upperRight) * 0.5; needs both corners.
  virtual Vec2* computeCentre();
  // (upperRight - lowerLeft) + (1, 1): the extent counts both borders.
  virtual Vec2* computeSize();
  // Takes ownership of the new corners, frees the old ones, recomputes.
  virtual VisualElementLayout* setCorners(Vec2* lowerLeft, Vec2* upperRight);
  virtual ~VisualElementLayout();

  // The name without a copy, for reading on hot paths.
  const std::string& nameRef() const { return name_; }
  // The derived points as last computed (null before corners are set).
  Vec2* getCentre() const { return centre_; }
  Vec2* getSize() const { return size_; }

 private:
  std::string name_;
  Vec2* lowerLeft_ = nullptr;
  Vec2* upperRight_ = nullptr;
  Vec2* centre_ = nullptr;
  Vec2* size_ = nullptr;
};

}  // namespace lumetra
