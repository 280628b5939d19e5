#include "areas/PackageAreas.h"

#include <unordered_map>
#include <vector>

#include "areas/Area.h"
#include "model/Namespaces.h"
#include "model/UmlElements.h"
#include "settings/Palette.h"

namespace lumetra {

std::size_t addPackageAreas(AreaSet& areas, const ModelElementsPool& pool, std::string_view separator) {
  // Members of every package first, in pool order: one walk up each chain.
  std::unordered_map<const ModelElement*, std::vector<std::string>> members;
  std::vector<const ModelElement*> packages;
  for (std::size_t i = 0; i < pool.size(); ++i) {
    const ModelElement* element = pool.get(i);
    if (dynamic_cast<const Package*>(element) != nullptr) packages.push_back(element);
    if (element->ownerId().empty()) continue;
    for (const ModelElement* owner : packagePath(*element, pool)) members[owner].push_back(element->getId());
  }
  std::size_t added = 0;
  for (const ModelElement* package : packages) {
    const std::string name = qualifiedName(*package, pool, separator);
    if (areas.findArea(name) != nullptr) continue;
    auto* area = new Area(name);
    area->addElement(package->getId());
    for (const std::string& id : members[package]) area->addElement(id);
    Color colour = paletteColor(static_cast<int>(areas.getLoadedCount()) + 1);
    // Area painters draw in the inverted space (see the area pass).
    colour = Color(1.0f - colour.r, 1.0f - colour.g, 1.0f - colour.b, colour.a);
    area->setColor(new Color(colour));
    areas.addArea(area);
    ++added;
  }
  return added;
}

}  // namespace lumetra
