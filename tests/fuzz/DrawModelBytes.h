#pragma once
// A model and a metrics file from one buffer, drawn as the viewer draws
// them: every metric shown (cycling through the glyph kinds), every area
// identified, each diagram recompiled, replayed and picked in a small
// offscreen view, fitted and zoomed in; after an area slider move the view
// refreshed for the areas alone must give the pixels of a full recording
// (the process aborts otherwise). Shared by the drawing fuzz target
// and by the test that replays its kept inputs. Needs a current GL context
// with the default font loaded.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lumetra {

// The line that separates the model from the metrics file in an input;
// without it the whole input is the model.
inline constexpr std::string_view kMetricsMarker = "\n%%metrics\n";

// Width and height of the view the inputs are drawn in.
inline constexpr int kDrawViewWidth = 160;
inline constexpr int kDrawViewHeight = 120;

// Returns the number of diagrams drawn.
std::size_t drawModelBytes(const std::uint8_t* data, std::size_t size);

}  // namespace lumetra
