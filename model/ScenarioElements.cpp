#include "model/ScenarioElements.h"

#include "model/ModelVisitor.h"

namespace lumetra {
namespace {
ModelElement* findById(const std::vector<ModelElement*>& list, const std::string& id) {
  for (ModelElement* e : list)
    if (e && e->idRef() == id) return e;
  return nullptr;
}
}  // namespace

ModelElement* PelkService::findProvided(const std::string& id) const { return findById(provided_, id); }
ModelElement* PelkService::findRequired(const std::string& id) const { return findById(required_, id); }

void PelkService::accept(ModelVisitor& visitor) { visitor.visitPelkService(this); }
void PelkInterface::accept(ModelVisitor& visitor) { visitor.visitPelkInterface(this); }
void PelkConnection::accept(ModelVisitor& visitor) { visitor.visitPelkConnection(this); }

}  // namespace lumetra
