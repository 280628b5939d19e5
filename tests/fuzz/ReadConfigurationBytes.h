#pragma once
// The configuration reader on arbitrary bytes, for the fuzzer and for the
// CTest replay of its kept inputs.

#include <cstddef>
#include <cstdint>

namespace lumetra {

// Reads the bytes as a configuration file. When they are read, writes the
// configuration through wxFileConfig and reads that text again: the two
// readings must be equal (file names aside, which are resolved against the
// folder of the file), and reading the same bytes twice must give the same
// result. A difference aborts. Returns whether the bytes were read.
bool readConfigurationBytes(const std::uint8_t* data, std::size_t size);

}  // namespace lumetra
