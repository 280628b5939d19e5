#pragma once
// Lookup of OpenGL entry points that are not part of OpenGL 1.1.

namespace lumetra {

using GLProc = void (*)();

// The entry point of the given name from the current GL implementation, or
// null when it offers none. Needs no current context on GLX.
GLProc lookupGLProc(const char* name);

// glBlendEquation(GLenum mode); GLenum is an unsigned int.
using BlendEquationProc = void (*)(unsigned int mode);
BlendEquationProc lookupBlendEquation();

}  // namespace lumetra
