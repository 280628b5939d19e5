#pragma once
// Loading a model exactly as the viewer opens one: the parser controller,
// then the three post-load geometry passes in their order. Shared by the
// viewer's open command and the batch commands.

#include <string>
#include <vector>

#include "model/Diagram.h"
#include "modelfiles/DiagramParserController.h"

namespace lumetra {

// Appends the file's diagrams to `diagrams` (the caller owns them) and its
// model elements to `pool`, then normalizes, colours and orders the
// diagrams. The passes run over the whole list, so callers start from an
// empty list and pool (the viewer clears its model first). The status tells
// whether a reader ran and, if not, why.
LoadStatus loadModel(const std::string& fileName, std::vector<Diagram*>& diagrams, ModelElementsPool& pool);

// The post-load passes in their order: normalize the geometry (with the
// interface placement), give default appearances, order the elements. For
// diagrams read or built by other means than loadModel.
void runPostLoadPasses(std::vector<Diagram*>& diagrams);

// Deletes every diagram of the list and empties it.
void deleteDiagrams(std::vector<Diagram*>& diagrams);

}  // namespace lumetra
