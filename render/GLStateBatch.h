#pragma once
// Fewer GL state changes between drawings of one kind.

#include "platform/NonCopyable.h"

namespace lumetra {

// Inside this scope (scopes nest) the painter keeps the GL state of a kind
// of drawing set after it and changes it only when the next drawing needs
// other state: consecutive texts share one push of the text state (blending
// and texturing), consecutive 3D glyph shapes one change of the depth
// function, consecutive line-smoothing brackets one push of the enable bits,
// lines drawn without smoothing one push of the enable bits (kept across
// fills, which smoothing does not touch).
// Fewer state changes let a display list merge more primitives into one draw.
// Every primitive still draws under exactly the state it draws under outside
// the scope. The state is settled when the outermost scope ends; a caller
// that makes GL calls of its own inside the scope that depend on or change
// that state calls settle() first. Not for use across a glNewList/glEndList
// boundary: open and close the scope inside the same list.
class GLStateBatch : NonCopyable {
 public:
  GLStateBatch();
  ~GLStateBatch();
  // Restores what the painter left set: text state popped, depth function
  // GL_ALWAYS, line smoothing and plain lines popped.
  static void settle();
  // Whether a scope is open.
  static bool active();
};

}  // namespace lumetra
