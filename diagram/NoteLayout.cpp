#include "diagram/NoteLayout.h"

#include <algorithm>
#include <cmath>

namespace lumetra {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool continuesCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The byte offset after the UTF-8 character that starts at from (from
// itself at the end of text).
std::size_t nextCharacterEnd(const std::string& text, std::size_t from) {
  if (from >= text.size()) return from;
  ++from;
  while (from < text.size() && continuesCharacter(text[from])) ++from;
  return from;
}

std::vector<std::string> splitAt(const std::string& text, char separator) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == separator) parts.emplace_back();
    else parts.back() += c;
  }
  return parts;
}

std::vector<std::string> wordsOf(const std::string& paragraph) {
  std::vector<std::string> words;
  std::string word;
  for (char c : paragraph) {
    if (!isBlank(c)) {
      word += c;
    } else if (!word.empty()) {
      words.push_back(std::move(word));
      word.clear();
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

// Greedy wrapping into at most cap lines of the widths widthOf(line index).
class Wrapper {
 public:
  Wrapper(const TextMeasure& measure, std::function<float(std::size_t)> widthOf, std::size_t cap)
      : measure_(measure), widthOf_(std::move(widthOf)), cap_(cap) {}

  // False when the room is too narrow for a single character.
  bool addParagraph(const std::string& paragraph) {
    std::string line;
    for (const std::string& word : wordsOf(paragraph)) {
      if (full()) return true;
      std::string candidate = line.empty() ? word : line + " " + word;
      if (fits(candidate)) {
        line = std::move(candidate);
        continue;
      }
      if (!line.empty()) {
        lines_.push_back(std::move(line));
        line.clear();
        if (full()) return true;
      }
      std::string rest = word;
      while (!fits(rest)) {
        if (full()) return true;
        const std::size_t cut = longestFittingPrefix(rest);
        if (cut == 0) {
          // Beside the fold a line may be too short where the next is not.
          if (widthOf_(lines_.size()) >= widthOf_(cap_)) return false;
          lines_.emplace_back();
          continue;
        }
        lines_.push_back(rest.substr(0, cut));
        rest.erase(0, cut);
      }
      line = std::move(rest);
    }
    if (!full()) lines_.push_back(std::move(line));
    return true;
  }

  std::vector<std::string> take() {
    while (!lines_.empty() && lines_.back().empty()) lines_.pop_back();
    return std::move(lines_);
  }

 private:
  bool full() const { return lines_.size() >= cap_; }
  bool fits(const std::string& text) const {
    float w = 0.0f, h = 0.0f;
    measure_(text, w, h);
    return w <= widthOf_(lines_.size());
  }
  // In bytes, ending after a whole character; grows one character at a
  // time and stops at the first that does not fit.
  std::size_t longestFittingPrefix(const std::string& word) const {
    std::size_t best = 0;
    for (std::size_t end = nextCharacterEnd(word, 0); end > best; end = nextCharacterEnd(word, end)) {
      if (!fits(word.substr(0, end))) break;
      best = end;
    }
    return best;
  }

  const TextMeasure& measure_;
  std::function<float(std::size_t)> widthOf_;
  std::size_t cap_;
  std::vector<std::string> lines_;
};

// The longest start of text, ending at a word's end where there is one,
// that fits width with "..." after it; empty when "..." alone does not fit.
std::string withEllipsis(const std::string& text, float width, const TextMeasure& measure) {
  auto fits = [&](const std::string& candidate) {
    float w = 0.0f, h = 0.0f;
    measure(candidate, w, h);
    return w <= width;
  };
  std::size_t best = 0;
  for (std::size_t end = nextCharacterEnd(text, 0); end > best; end = nextCharacterEnd(text, end)) {
    if (!fits(text.substr(0, end) + "...")) break;
    best = end;
  }
  std::string start = text.substr(0, best);
  if (best < text.size() && text[best] != ' ') {
    const std::size_t space = start.rfind(' ');
    if (space != std::string::npos) start.erase(space);
  }
  while (!start.empty() && start.back() == ' ') start.pop_back();
  const std::string cut = start + "...";
  return fits(cut) ? cut : std::string();
}

}  // namespace

float noteFoldSize(Vec2 size, float fraction) {
  const float shorter = std::min(size.x, size.y);
  if (!(shorter > 0.0f) || !std::isfinite(shorter)) return 0.0f;
  if (!(fraction > 0.0f) || !std::isfinite(fraction)) fraction = 3.0f;
  return std::min(shorter / fraction, shorter / 2.0f);
}

std::vector<TextLine> layoutNoteText(const std::string& text, const NoteTextFrame& frame, const TextMeasure& measure) {
  const float sp = std::max(frame.spacing, 0.0f);
  // One line height for all lines: the tallest glyphs of the whole text.
  std::string flat = text;
  std::replace_if(flat.begin(), flat.end(), isBlank, ' ');
  float textWidth = 0.0f, lineHeight = 0.0f;
  measure(flat, textWidth, lineHeight);
  const float step = sp + lineHeight;
  const float bottom = frame.min.y + sp;
  if (!(lineHeight > 0.0f) || !(step > 0.0f) || !std::isfinite(step)) return {};
  const float room = frame.max.y - bottom;
  if (room < step) return {};
  const auto fitting = static_cast<std::size_t>(std::min(room / step, 1.0e6f));

  const float fullWidth = frame.max.x - frame.min.x - 2.0f * sp;
  auto widthOf = [&](std::size_t index) {
    const bool besideFold = static_cast<float>(index) * step + sp < frame.fold;
    return besideFold ? fullWidth - frame.fold : fullWidth;
  };
  // One line more than fit tells shortenToFit that the text goes on.
  Wrapper wrapper(measure, widthOf, fitting + 1);
  for (const std::string& paragraph : splitAt(text, '\n'))
    if (!wrapper.addParagraph(paragraph)) return {};
  std::vector<std::string> lines = wrapper.take();
  if (lines.empty()) return {};

  const std::vector<std::string> wrapped = lines;
  shortenToFit(lines, frame.max.y, step, bottom);
  if (frame.max.y - static_cast<float>(lines.size()) * step < bottom) return {};
  const std::size_t last = lines.size() - 1;
  if (lines.size() < wrapped.size()) {
    // Cut: the last kept line shows as much of its own text as fits before
    // the "...", so a note with room for one line still says what it is about.
    lines[last] = withEllipsis(wrapped[last], widthOf(last), measure);
    if (lines[last].empty()) return {};  // not even "..." fits
  }

  std::vector<TextLine> placed;
  float y = frame.max.y;
  for (std::string& line : lines) {
    y -= sp;
    placed.push_back({std::move(line), y});
    y -= lineHeight;
  }
  return placed;
}

std::string noteLabel(const std::string& text, std::size_t maxChars) {
  std::string collapsed;
  for (const std::string& word : wordsOf(text)) {
    if (!collapsed.empty()) collapsed += ' ';
    collapsed += word;
  }
  if (collapsed.empty()) return "Note";
  std::size_t end = 0;
  for (std::size_t n = 0; n < maxChars; ++n) end = nextCharacterEnd(collapsed, end);
  if (end < collapsed.size()) collapsed = collapsed.substr(0, end) + "...";
  return "Note: " + collapsed;
}

}  // namespace lumetra
