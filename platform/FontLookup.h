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

// A font file found on this machine, named by its file name without the
// extension ("DejaVuSans-Bold").
struct InstalledFont {
  std::string name;
  std::string path;
};

// The TrueType and OpenType fonts of the machine's font folders (the
// system's, the local and the user's) and of the program's data folder, by
// name; a name found twice keeps its first file. The program's own font
// comes first as "arial". Folders that cannot be read are passed over.
std::vector<InstalledFont> installedFonts();

// The folder that holds the running executable (empty if unknown).
std::string executableDir();

}  // namespace lumetra
