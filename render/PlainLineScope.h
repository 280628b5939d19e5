#pragma once
// Whether the lines of one drawing go smoothed or plain, judged once.

namespace lumetra {

// One judgement for every line primitive drawn while the scope lasts, so
// that the lines of one drawing (a glyph, a relation with its arrowheads)
// do not switch between smoothed and plain, each switch being a change of
// GL state: on, they go without smoothing whenever the detail scale reduces
// anything at all; off, they are smoothed as in full detail. Scopes nest;
// each puts back what it found.
class PlainLineScope {
 public:
  explicit PlainLineScope(bool on);
  ~PlainLineScope();
  PlainLineScope(const PlainLineScope&) = delete;
  PlainLineScope& operator=(const PlainLineScope&) = delete;

 private:
  int saved_;
};

}  // namespace lumetra
