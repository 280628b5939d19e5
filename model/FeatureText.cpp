#include "model/FeatureText.h"

#include "model/UmlElements.h"

namespace lumetra {

std::string visibilitySign(const std::string& visibility) {
  if (visibility == "public") return "+";
  if (visibility == "private") return "-";
  if (visibility == "protected") return "#";
  if (visibility == "package") return "~";
  return {};
}

namespace {

std::string signed_(const std::string& visibility, std::string text) {
  const std::string sign = visibilitySign(visibility);
  return sign.empty() ? text : sign + " " + text;
}

}  // namespace

std::string attributeLine(const Attribute& attribute) {
  std::string text = attribute.getName();
  if (!attribute.getType().empty()) text += " : " + attribute.getType();
  if (!attribute.multiplicity().empty()) text += " [" + attribute.multiplicity() + "]";
  return signed_(attribute.getVisibility(), std::move(text));
}

std::string methodLine(const Method& method) {
  std::string text = method.getName() + "(";
  bool first = true;
  for (const Parameter& p : method.parameters()) {
    if (!first) text += ", ";
    first = false;
    text += p.name;
    if (!p.type.empty()) text += (p.name.empty() ? "" : " : ") + p.type;
  }
  text += ")";
  if (!method.getType().empty()) text += " : " + method.getType();
  return signed_(method.getVisibility(), std::move(text));
}

std::string fitToWidth(const std::string& text, float width, const std::function<float(const std::string&)>& measure) {
  if (measure(text) <= width) return text;
  static const std::string kEllipsis = "...";
  // The character boundaries of text (UTF-8: a continuation byte starts none).
  std::size_t lo = 0, hi = text.size();  // the fitting cut lies in [lo, hi)
  auto boundaryAtOrBefore = [&text](std::size_t at) {
    while (at > 0 && at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) --at;
    return at;
  };
  // Binary search on the cut: widths grow with longer beginnings.
  while (hi - lo > 1) {
    const std::size_t mid = boundaryAtOrBefore(lo + (hi - lo) / 2);
    if (mid <= lo) break;
    if (measure(text.substr(0, mid) + kEllipsis) <= width) lo = mid;
    else hi = mid;
  }
  // Trailing blanks before the ellipsis look like a gap: drop them.
  std::size_t cut = lo;
  while (cut > 0 && text[cut - 1] == ' ') --cut;
  return text.substr(0, cut) + kEllipsis;
}

}  // namespace lumetra
