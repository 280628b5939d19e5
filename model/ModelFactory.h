#pragma once
// The model factory: the one place readers build objects from file text.
// Every function allocates a new object; the caller takes ownership (readers
// hand model elements to the pool and shapes to a diagram).

#include <string>

#include "model/Diagram.h"
#include "model/ScenarioElements.h"
#include "model/UmlElements.h"

namespace lumetra {

// ---- visual objects ----
// A ClassDiagram or PelkComponentDiagram by exact type name; null otherwise.
Diagram* createDiagram(const std::string& id, const std::string& name, const std::string& diagramType,
                       const std::string& layoutName);
DiagramElement* createDiagramElement(const std::string& id, const std::string& layoutName,
                                     const std::string& geometry, const std::string& styleText);
VisualSupplElement* createSupplementaryElement(const std::string& id, const std::string& layoutName,
                                               const std::string& geometry, const std::string& styleText,
                                               const std::string& subjectId);
ComposedDiagramElement* createComposedElement(const std::string& id, const std::string& layoutName);
DiagramElement* createEmptyElement(const std::string& id, const std::string& layoutName);
// Corners (0, 0) and (0, 0): centre (0, 0), size (1, 1).
DiagramElement* createZeroElement(const std::string& id, const std::string& layoutName);

// ---- model elements ----
Class* createClass(std::string id, std::string name);
// "attribute" or "method"; anything else writes a debug line and gives null.
Feature* createFeature(const std::string& kind, std::string id, std::string name, std::string type,
                       std::string visibility);
Inheritance* createInheritance(const std::string& id, const std::string& parent, const std::string& child);
Dependency* createDependency(const std::string& id, const std::string& client, const std::string& supplier,
                             const std::string& name);
Note* createNote(const std::string& id, const std::string& text);
Package* createPackage(const std::string& id, const std::string& name);
Interface* createInterface(const std::string& id, const std::string& name);
Dummy* createDummy(const std::string& id, const std::string& subjectId, const std::string& relationKind);
Association* createAssociation(std::string id, std::string name);
// navigable is true exactly when the text is "true".
AssociationEnd* createAssociationEnd(std::string id, std::string type, std::string aggregation, std::string multiplicity,
                                     const std::string& navigable);
PelkService* createPelkService(const std::string& id, const std::string& name);
PelkInterface* createPelkInterface(const std::string& id, const std::string& name, const std::string& kind,
                                   const std::string& serviceId);
PelkConnection* createPelkConnection(const std::string& id);

// ---- helpers ----
ElementAppearance* makeDefaultAppearance();
// The hook for a file's style text; leaves the appearance unchanged.
void parseStyle(ElementAppearance* appearance, const std::string& styleText);
// "x, y, width, height" in file units -> a layout at one third of that size,
// centred on (x, y). With fewer than three commas the corners are (0, 0) and
// (0, 0) and a debug line is written.
VisualElementLayout* parseGeometry(const std::string& layoutName, const std::string& geometry);

}  // namespace lumetra
