#pragma once
// Loading a model exactly as the viewer opens one: the parser controller,
// then the three post-load geometry passes in their order. Shared by the
// viewer's open command and the batch commands.

#include <atomic>
#include <string>
#include <vector>

#include "model/Diagram.h"
#include "modelfiles/DiagramParserController.h"

namespace lumetra {

// Appends the file's diagrams to `diagrams` (the caller owns them) and its
// model elements to `pool`, then normalizes, colours and orders the
// diagrams, and appends generated diagrams for the classes that no diagram
// of the file shows (layout/AutoLayout.h; their names come from the model's
// name, else the file's name without folder and extension). The passes run
// over the whole list, so callers start from an empty list and pool (the
// viewer clears its model first). The status tells whether a reader ran
// and, if not, why; its notes name diagrams whose layout failed. With the
// abandon flag set the layout stops early and nothing generated is added.
LoadStatus loadModel(const std::string& fileName, std::vector<Diagram*>& diagrams, ModelElementsPool& pool,
                     const std::atomic<bool>* abandon = nullptr);

// The generated diagrams of a model read by other means than loadModel
// (after the post-load passes); failures are added to the status's notes.
void addGeneratedDiagrams(LoadStatus& status, std::vector<Diagram*>& diagrams, const ModelElementsPool& pool,
                          const std::atomic<bool>* abandon = nullptr);

// The post-load passes in their order: normalize the geometry (with the
// interface placement), give default appearances, order the elements. For
// diagrams read or built by other means than loadModel.
void runPostLoadPasses(std::vector<Diagram*>& diagrams);

// Deletes every diagram of the list and empties it.
void deleteDiagrams(std::vector<Diagram*>& diagrams);

}  // namespace lumetra
