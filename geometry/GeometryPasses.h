#pragma once
// The three passes that run, in this order, over every diagram of a freshly
// loaded model before anything is drawn:
//   1. normalizeGeometry: flip each diagram to y-up, centre it on the origin
//      and place the interface markers of component services;
//   2. applyDefaultAppearances: the default colours of element kinds;
//   3. orderElements: relations before boxes, so boxes paint over line ends.
//
// Readers deliver diagram units with y pointing down; afterwards every
// diagram is in diagram units, y up, centred on (0, 0). The passes change
// only shapes (layouts, appearances, order), never model elements.

#include <vector>

#include "model/Diagram.h"

namespace lumetra {

// The scale divisor of scenario geometry (node layouts and markers).
inline constexpr float kScenarioScale = 1.4f;

void normalizeGeometry(const std::vector<Diagram*>& diagrams);
void applyDefaultAppearances(const std::vector<Diagram*>& diagrams);
void orderElements(const std::vector<Diagram*>& diagrams);

// Puts the interface markers of a component service shape on its box:
// provided interfaces down the left edge, required ones down the right edge.
// Called by normalizeGeometry after the service has been moved.
void placeInterfaces(ComposedDiagramElement& service);

// True for the kinds drawn as boxes: classes, interfaces, packages and
// component services. Everything else (relations, notes, connections,
// shapes without a model element) counts as a relation for the ordering.
bool isBoxElement(const DiagramElement& element);

}  // namespace lumetra
