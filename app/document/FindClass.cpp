#include "app/document/FindClass.h"

#include <algorithm>
#include <cctype>
#include <unordered_set>

#include "model/Diagram.h"
#include "model/UmlElements.h"

namespace lumetra {

namespace {

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// The name of a class or interface; false for other elements.
bool className(ModelElement* element, std::string& name) {
  if (auto* c = dynamic_cast<Class*>(element)) {
    name = c->getName();
    return true;
  }
  if (auto* i = dynamic_cast<Interface*>(element)) {
    name = i->getName();
    return true;
  }
  return false;
}

}  // namespace

std::vector<ClassMatch> findClasses(Diagram* diagram, const std::string& part) {
  std::vector<ClassMatch> matches;
  const std::string wanted = lower(part);
  if (diagram == nullptr || wanted.find_first_not_of(" \t") == std::string::npos) return matches;

  std::unordered_set<ModelElement*> seen;
  std::vector<DiagramElement*> pending(diagram->getElements().rbegin(), diagram->getElements().rend());
  while (!pending.empty()) {
    DiagramElement* shape = pending.back();
    pending.pop_back();
    if (shape == nullptr) continue;
    if (auto* composed = dynamic_cast<ComposedDiagramElement*>(shape)) {
      const std::vector<DiagramElement*> children = composed->getChildren();
      pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    std::string name;
    ModelElement* element = shape->getModelElement();
    if (!className(element, name) || !seen.insert(element).second) continue;
    if (lower(name).find(wanted) != std::string::npos) matches.push_back({name, element});
  }
  std::stable_sort(matches.begin(), matches.end(), [&wanted](const ClassMatch& a, const ClassMatch& b) {
    const bool aStarts = lower(a.name).rfind(wanted, 0) == 0;
    const bool bStarts = lower(b.name).rfind(wanted, 0) == 0;
    if (aStarts != bStarts) return aStarts;
    return a.name < b.name;
  });
  return matches;
}

}  // namespace lumetra
