#pragma once
// Writing a file so that it is either wholly replaced or left as it was: the
// content goes to a new temporary file in the target's folder, is synced,
// and is renamed over the target only when every byte was written. A failed
// save never leaves a half-written or emptied file under the target's name.
// The new file keeps the mode of the file it replaces (a new one gets the
// mode a plain create would give).

#include <functional>
#include <string>
#include <string_view>

namespace lumetra {

// writeContent writes everything to the open descriptor and returns 0, or
// the errno of the first failure. Returns the empty string when the file
// was replaced, else one line "cannot write PATH: reason" (or "cannot
// create a file in FOLDER: reason").
std::string writeFileAtomically(const std::string& path, const std::function<int(int fd)>& writeContent);

// The same for content already in memory.
std::string writeFileAtomically(const std::string& path, std::string_view content);

}  // namespace lumetra
