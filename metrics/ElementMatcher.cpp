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

bool isClassOrInterface(const ModelElement& element) {
  return dynamic_cast<const Class*>(&element) || dynamic_cast<const Interface*>(&element);
}

}  // namespace

ElementMatcher::ElementMatcher(const ModelElementsPool& pool) : pool_(&pool) {
  std::vector<std::string> packages;
  byQualifiedName_.reserve(pool.size());
  // Elements share few owners: each owner's qualified name is made once.
  std::unordered_map<std::string, std::string> ownerNames;
  for (std::size_t i = 0; i < pool.size(); ++i) {
    const ModelElement& element = *pool.get(i);
    const bool isClass = isClassOrInterface(element);
    if (!isClass && !dynamic_cast<const Package*>(&element)) continue;
    std::string name = elementName(element);
    if (!element.ownerId().empty()) {
      auto [owner, added] = ownerNames.try_emplace(element.ownerId());
      if (added) {
        const ModelElement* found = pool.find(element.ownerId());
        // A chain that comes back to the element itself ends before it.
        if (found != nullptr && found != &element) owner->second = qualifiedName(*found, pool, ".") + ".";
      }
      name.insert(0, owner->second);
    }
    name = normalizeQualifiedName(name);
    if (isClass) {
      if (samples_.size() < 8) samples_.push_back(name);
    } else if (packages.size() < 8) {
      packages.push_back(name);
    }
    if (auto [entry, added] = byQualifiedName_.tryEmplace(name); added) entry->value = element.getId();  // the first wins
  }
  if (samples_.empty()) samples_ = std::move(packages);
}

const std::string* ElementMatcher::match(std::string_view name) const {
  const std::string key = normalizeQualifiedName(name);
  if (key.empty()) return nullptr;
  if (auto* entry = byQualifiedName_.find(key)) return &entry->value;
  if (!simpleNamesIndexed_) {
    simpleNamesIndexed_ = true;
    for (std::size_t i = 0; i < pool_->size(); ++i) {
      const ModelElement& element = *pool_->get(i);
      if (!isClassOrInterface(element)) continue;
      auto [simple, added] = bySimpleName_.tryEmplace(lastPart(normalizeQualifiedName(elementName(element))));
      if (added) simple->value = element.getId();
      else if (simple->value != element.getId()) simple->value.clear();
    }
  }
  if (auto* entry = bySimpleName_.find(lastPart(key)); entry != nullptr && !entry->value.empty()) return &entry->value;
  return nullptr;
}

std::vector<std::string> ElementMatcher::sampleNames(std::size_t count) const {
  return {samples_.begin(), samples_.begin() + static_cast<std::ptrdiff_t>(std::min(count, samples_.size()))};
}

}  // namespace lumetra
