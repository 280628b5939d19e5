#pragma once
// The embedded pictures of the model tree and the metric and area lists, as
// XPM text (wxBitmap reads it directly; a blank pixel is transparent).

namespace lumetra::pictures {

// 19 x 15: the check box of a list row, empty and ticked.
extern const char* const checkBoxUnchecked[];
extern const char* const checkBoxChecked[];

// 16 x 16 icons of the model tree, in the order of the tree's icon table.
struct TreeIcon {
  const char* name;          // looked up by this name
  const char* const* xpm;
};
// Ends with an entry whose name is null.
extern const TreeIcon treeIcons[];

}  // namespace lumetra::pictures
