#include "model/VisualElementLayout.h"

#include <cassert>

namespace lumetra {

VisualElementLayout::VisualElementLayout(std::string name) : name_(std::move(name)) {}

VisualElementLayout::VisualElementLayout(std::string name, Vec2* lowerLeft, Vec2* upperRight)
    : name_(std::move(name)) {
  setCorners(lowerLeft, upperRight);
}

Vec2* VisualElementLayout::computeCentre() {
  assert(lowerLeft_ && upperRight_ && "computeCentre needs both corners");
  delete centre_;
  centre_ = new Vec2((*lowerLeft_ + *upperRight_) * 0.5f);
  return centre_;
}

Vec2* VisualElementLayout::computeSize() {
  assert(lowerLeft_ && upperRight_ && "computeSize needs both corners");
  delete size_;
  size_ = new Vec2((*upperRight_ - *lowerLeft_) + Vec2(1.0f, 1.0f));
  return size_;
}

VisualElementLayout* VisualElementLayout::setCorners(Vec2* lowerLeft, Vec2* upperRight) {
  if (lowerLeft != lowerLeft_) delete lowerLeft_;
  if (upperRight != upperRight_) delete upperRight_;
  lowerLeft_ = lowerLeft;
  upperRight_ = upperRight;
  if (lowerLeft_ && upperRight_) {
    computeCentre();
    computeSize();
  } else {
    // Without both corners nothing can be derived; drop stale values.
    delete centre_;
    delete size_;
    centre_ = size_ = nullptr;
  }
  return this;
}

VisualElementLayout::~VisualElementLayout() {
  delete lowerLeft_;
  delete upperRight_;
  delete centre_;
  delete size_;
}

}  // namespace lumetra
