#pragma once
// Where the program looks for a font file given by its bare name.

#include <string>
#include <vector>

namespace lumetra {

// The places tried, in order: the name relative to the working directory,
// the same name beside the executable, in the data folder where the
// installed tree keeps it relative to the executable, and in the data
// folder of the configured installation.
std::vector<std::string> fontCandidates(const std::string& fileName);

// The first candidate that exists as a regular file, or empty when none does.
std::string findFontFile(const std::string& fileName);

// The folder that holds the running executable (empty if unknown).
std::string executableDir();

}  // namespace lumetra
