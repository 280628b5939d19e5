#include "platform/GLExtensions.h"

#include <GL/glx.h>

namespace lumetra {

GLProc lookupGLProc(const char* name) {
  return reinterpret_cast<GLProc>(glXGetProcAddress(reinterpret_cast<const GLubyte*>(name)));
}

BlendEquationProc lookupBlendEquation() {
  return reinterpret_cast<BlendEquationProc>(lookupGLProc("glBlendEquation"));
}

}  // namespace lumetra
