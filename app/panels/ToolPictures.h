#pragma once
// The toolbar's and the view-control strip's pictures (24 x 24) and the frame
// icon, drawn in code at start-up: no image files to find or ship. Each is a
// plain line drawing on a transparent background, dark strokes with one
// accent colour, so that it reads on light and dark toolbars alike.

#include <wx/bitmap.h>
#include <wx/icon.h>

namespace lumetra {

enum class ToolPicture {
  OpenModel,     // a folder with a class box
  OpenMetrics,   // a bar chart
  SaveDiagram,   // a disk
  ZoomToFit,     // a box with four arrows to its corners
  ResetZoom,     // "1:1"
  ZoomIn,        // a magnifier with "+"
  ZoomOut,       // a magnifier with "-"
  ResetCamera,   // a circular arrow around a dot
  SplitVertically,    // two panes side by side
  SplitHorizontally,  // two panes one above the other
  DeleteWindow,  // a pane with a cross
};

inline constexpr int kToolPictureSize = 24;

wxBitmap toolPicture(ToolPicture picture);

// The frame icon: drawn at 48 x 48, scaled to 32 x 32.
wxIcon frameIcon();

}  // namespace lumetra
