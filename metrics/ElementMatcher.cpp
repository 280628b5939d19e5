#include "metrics/ElementMatcher.h"

#include <algorithm>

#include "model/Diagram.h"
#include "model/Namespaces.h"
#include "model/UmlElements.h"

namespace lumetra {

std::string normalizeQualifiedName(std::string_view name) {
  while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.remove_prefix(1);
  while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
  std::string out;
  out.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (c == ':' && i + 1 < name.size() && name[i + 1] == ':') {
      out.push_back('.');
      ++i;
    } else {
      out.push_back(c == '/' || c == '$' ? '.' : c);
    }
  }
  return out;
}

namespace {

std::string_view lastPart(std::string_view normalised) {
  const std::size_t dot = normalised.rfind('.');
  return dot == std::string_view::npos ? normalised : normalised.substr(dot + 1);
}

}  // namespace

ElementMatcher::ElementMatcher(const ModelElementsPool& pool) {
  std::vector<std::string> packages;
  byQualifiedName_.reserve(pool.size());
  for (std::size_t i = 0; i < pool.size(); ++i) {
    const ModelElement& element = *pool.get(i);
    const bool isClass = dynamic_cast<const Class*>(&element) || dynamic_cast<const Interface*>(&element);
    if (!isClass && !dynamic_cast<const Package*>(&element)) continue;
    std::string name = normalizeQualifiedName(qualifiedName(element, pool, "."));
    if (isClass) {
      auto [simple, added] = bySimpleName_.emplace(std::string(lastPart(normalizeQualifiedName(elementName(element)))),
                                                   element.getId());
      if (!added && simple->second != element.getId()) simple->second.clear();
      if (samples_.size() < 8) samples_.push_back(name);
    } else if (packages.size() < 8) {
      packages.push_back(name);
    }
    byQualifiedName_.emplace(std::move(name), element.getId());  // the first of a name wins
  }
  if (samples_.empty()) samples_ = std::move(packages);
}

const std::string* ElementMatcher::match(std::string_view name) const {
  const std::string key = normalizeQualifiedName(name);
  if (key.empty()) return nullptr;
  if (auto it = byQualifiedName_.find(key); it != byQualifiedName_.end()) return &it->second;
  if (auto it = bySimpleName_.find(std::string(lastPart(key))); it != bySimpleName_.end() && !it->second.empty())
    return &it->second;
  return nullptr;
}

std::vector<std::string> ElementMatcher::sampleNames(std::size_t count) const {
  return {samples_.begin(), samples_.begin() + static_cast<std::ptrdiff_t>(std::min(count, samples_.size()))};
}

}  // namespace lumetra
