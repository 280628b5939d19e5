#pragma once
// `lumetra --save-diagram OUT.dia MODEL`: read MODEL as the viewer opens it
// and write its diagrams to OUT.dia, without a window or a display.

#include <string>

namespace lumetra {

// Returns the process exit code: 0 when OUT.dia was written (an empty diagram
// file for a model without diagrams). When MODEL cannot be read or the write
// fails, prints one line naming the file and the reason on stderr, returns 1
// and creates no OUT.dia (an existing one is left as it was).
int runSaveDiagram(const std::string& out, const std::string& model);

}  // namespace lumetra
