#pragma once
// Where `lumetra` finds the viewer program it hands the window over to.

#include <string>
#include <vector>

namespace lumetra {

// The viewer's file name.
inline constexpr const char* kViewerName = "lumetra-viewer";
// The folder the installation puts it in.
extern const char* const kViewerInstallDir;

// The places tried, in order: beside the running executable (the build
// tree), the installed folder relative to the executable's (a moved or
// unpacked installation), and the configured installed folder.
std::vector<std::string> viewerCandidates();

// The first candidate that is an executable file, or empty.
std::string findViewer();

}  // namespace lumetra
