#pragma once
// The area pass that starts every diagram repaint, before any shape is drawn:
//
//   1. clear the colour buffer to black (0, 0, 0, 0);
//   2. let every identified area's painter draw it (inverted colours) in
//      drawing order, after pushing the shared parameters into the painter;
//   3. turn the buffer into white minus what the areas left: a white
//      rectangle over the viewport blended with GL_FUNC_SUBTRACT through the
//      looked-up glBlendEquation, or, where the platform offers none, an
//      inverting logic operation, which gives the same result;
//   4. if any area is identified, whiten the free elements with the eraser;
//      elements that no painter's drawing reaches (halo included) are left
//      out, since whitening white changes nothing.
//
// With no area the pass still runs and leaves a white background. GL state
// and both matrices are restored afterwards. Needs a current GL context.

#include <vector>

#include "model/Vec2.h"
#include "platform/GLExtensions.h"

namespace lumetra {

class AreaElementsEraser;
class AreaSet;
class Diagram;
class DiagramElement;

// A diagram-space box an area painter coloured (empty when lower > upper).
struct AreaExtent {
  Vec2 lower;
  Vec2 upper;
};

// Steps 1-3. areaAlpha is the fill alpha handed to every painter (the areas
// "Transparency", 0.2 by default). A null blendEquation uses the fallback.
void compositeAreas(const AreaSet& areas, Diagram* diagram, float areaAlpha, BlendEquationProc blendEquation);

// The elements whose box, grown by margin on every side, meets one of the
// extents; in their order. Elements without a layout are left out.
std::vector<DiagramElement*> elementsNearAreas(const std::vector<DiagramElement*>& elements,
                                               const std::vector<AreaExtent>& extents, float margin);

// Steps 1-4: the whole pass as the diagram painter runs it.
void drawAreaPass(const AreaSet& areas, Diagram* diagram, float areaAlpha, BlendEquationProc blendEquation,
                  AreaElementsEraser& eraser);

}  // namespace lumetra
