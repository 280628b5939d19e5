#pragma once
// `lumetra --save-diagram OUT.dia MODEL`: read MODEL as the viewer opens it
// and write its diagrams to OUT.dia, without a window or a display.

#include <string>
#include <vector>

namespace lumetra {

// What becomes of the loaded model once OUT.dia is written.
enum class ModelRelease {
  // Every diagram and model element is deleted before the call returns.
  Free,
  // The model stays allocated (and reachable) until the process ends, which
  // reclaims it at once: deleting a large model object by object costs as
  // much as a good part of reading it. For the command's own process only;
  // each call keeps its model.
  KeepUntilExit,
};

// Returns the process exit code: 0 when OUT.dia was written (an empty diagram
// file for a model without diagrams). When MODEL cannot be read or the write
// fails, prints one line naming the file and the reason on stderr, returns 1
// and creates no OUT.dia (an existing one is left as it was).
// importRoots: for a C++ project, the folders whose classes are kept (all
// of the project's sources when empty).
int runSaveDiagram(const std::string& out, const std::string& model,
                   ModelRelease release = ModelRelease::KeepUntilExit,
                   const std::vector<std::string>& importRoots = {});

}  // namespace lumetra
