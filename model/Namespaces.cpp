#include "model/Namespaces.h"

#include <algorithm>
#include <unordered_set>

#include "model/UmlElements.h"

namespace lumetra {

std::string elementName(const ModelElement& element) {
  std::string name;
  if (auto* c = dynamic_cast<const Class*>(&element)) name = c->getName();
  else if (auto* i = dynamic_cast<const Interface*>(&element)) name = i->getName();
  else if (auto* p = dynamic_cast<const Package*>(&element)) name = p->getName();
  return name.empty() ? element.getId() : name;
}

std::vector<const ModelElement*> packagePath(const ModelElement& element, const ModelElementsPool& pool) {
  std::vector<const ModelElement*> path;
  std::unordered_set<const ModelElement*> seen{&element};
  for (const std::string* owner = &element.ownerId(); !owner->empty();) {
    const ModelElement* next = pool.find(*owner);
    if (next == nullptr || !seen.insert(next).second) break;
    path.push_back(next);
    owner = &next->ownerId();
  }
  std::reverse(path.begin(), path.end());
  return path;
}

std::string qualifiedName(const ModelElement& element, const ModelElementsPool& pool, std::string_view separator) {
  std::string name;
  for (const ModelElement* package : packagePath(element, pool)) {
    name += elementName(*package);
    name += separator;
  }
  return name + elementName(element);
}

}  // namespace lumetra
