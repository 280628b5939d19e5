#pragma once
// Where the viewer keeps what it remembers between runs (the recent models,
// the frame's geometry): one INI file written through wxFileConfig, installed
// as the toolkit's global configuration by the program at start-up.
//
// Only the program installs it. Everything that remembers something reads
// wxConfigBase::Get(false), which stays null in programs that never
// installed one (the tests), so a test never reads or writes the user's
// file; tests that want a configuration install one on a temporary file.

#include <string>

class wxConfigBase;

namespace lumetra {

// The file: the one LUMETRA_CONFIG_FILE names when set and not empty,
// otherwise $XDG_CONFIG_HOME/lumetra/lumetra.ini ($HOME/.config when
// XDG_CONFIG_HOME is unset).
std::string programConfigPath();

// A wxFileConfig on path (its folder created when missing), made the global
// configuration; the previous global one is deleted. The toolkit deletes
// (and so writes) the global configuration when the application ends.
wxConfigBase* installProgramConfig(const std::string& path);

}  // namespace lumetra
