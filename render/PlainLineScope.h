#pragma once
// Whether the lines of one drawing go smoothed or plain, judged once.

#include "platform/NonCopyable.h"

namespace lumetra {

// One judgement for every line primitive drawn while the scope lasts, so
// that the lines of one drawing (a glyph, a relation with its arrowheads)
// do not switch between smoothed and plain, each switch being a change of
// GL state: on, they go without smoothing whenever the detail scale reduces
// anything at all; off, they are smoothed as in full detail. Scopes nest;
// each puts back what it found.
class PlainLineScope : NonCopyable {
 public:
  explicit PlainLineScope(bool on);
  ~PlainLineScope();

 private:
  int saved_;
};

}  // namespace lumetra
