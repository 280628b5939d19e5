#pragma once
// The whole load of a model file from bytes in memory: reader, post-load
// passes and the diagram document the writer would save. Shared by the
// fuzz targets and by the test that replays their kept inputs.

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumetra {

// fileName only chooses the reader (its extension) and names the input.
// Returns the number of diagrams read.
std::size_t readModelBytes(const std::uint8_t* data, std::size_t size, const std::string& fileName);

}  // namespace lumetra
