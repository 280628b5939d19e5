#include "render/OffscreenGL.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <unistd.h>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "render/FramebufferProcs.h"

namespace lumetra {

namespace {

// X errors during set-up are recorded instead of ending the process.
int lastXError = 0;
int recordXError(Display*, XErrorEvent* event) {
  lastXError = event->error_code;
  return 0;
}

class XErrorTrap {
 public:
  explicit XErrorTrap(Display* display) : display_(display) {
    lastXError = 0;
    previous_ = XSetErrorHandler(recordXError);
  }
  ~XErrorTrap() { XSetErrorHandler(previous_); }
  // Flushes the requests so far and tells whether any of them failed.
  bool failed() {
    XSync(display_, False);
    return lastXError != 0;
  }

 private:
  Display* display_;
  int (*previous_)(Display*, XErrorEvent*);
};

// An X server started without -noreset (as xvfb-run starts Xvfb) resets
// when its last client leaves, and drops a connection made while it does:
// a picture made just after another one was closed, or an export run just
// after the previous one ended, would fail at random. Such a connection is
// tried again a few times before the display counts as unavailable.
constexpr int kOpenAttempts = 8;
constexpr useconds_t kOpenPause = 25000;  // microseconds

Display* openDisplay() {
  for (int attempt = 1;; ++attempt) {
    Display* display = XOpenDisplay(nullptr);
    if (display != nullptr || attempt == kOpenAttempts) return display;
    usleep(kOpenPause);
  }
}

}  // namespace

// The picture is drawn into a framebuffer object of the context rather than
// into the pixel buffer itself: the software rasterizer copies a single-
// buffered X drawable to the display server at every flush (the export
// flushes every few dozen shapes) and reads it back from there, while a
// framebuffer object stays in the process. The pixel buffer is then only
// the 1 x 1 drawable the context is made current on. Where the GL offers no
// framebuffer objects, the pixel buffer has the picture's size instead.
constexpr int kStandInSide = 1;

struct OffscreenGL::Impl {
  Display* display = nullptr;
  GLXPbuffer buffer = 0;
  GLXContext context = nullptr;
  GLuint framebuffer = 0;
  GLuint colour = 0;
  GLuint depthStencil = 0;

  // A framebuffer object of width x height with the pixel buffer's format
  // (RGBA 8, depth 24 with stencil 8), bound; false (nothing made) when the
  // current context has none or cannot make one of that size.
  bool makeFramebuffer(int width, int height) {
    if (!fbo::currentContextHasFramebuffers()) return false;
    const fbo::Procs p = fbo::lookupProcs();
    if (!p.renderbuffersOk()) return false;
    GLint maxSide = 0;
    glGetIntegerv(fbo::kMaxRenderbufferSize, &maxSide);
    GLint maxViewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
    if (width > maxSide || height > maxSide || width > maxViewport[0] || height > maxViewport[1]) return false;
    p.genFramebuffers(1, &framebuffer);
    p.genRenderbuffers(1, &colour);
    p.genRenderbuffers(1, &depthStencil);
    p.bindRenderbuffer(fbo::kRenderbuffer, colour);
    p.renderbufferStorage(fbo::kRenderbuffer, fbo::kRGBA8, width, height);
    p.bindRenderbuffer(fbo::kRenderbuffer, depthStencil);
    p.renderbufferStorage(fbo::kRenderbuffer, fbo::kDepth24Stencil8, width, height);
    p.bindRenderbuffer(fbo::kRenderbuffer, 0);
    p.bindFramebuffer(fbo::kFramebuffer, framebuffer);
    p.framebufferRenderbuffer(fbo::kFramebuffer, fbo::kColourAttachment0, fbo::kRenderbuffer, colour);
    p.framebufferRenderbuffer(fbo::kFramebuffer, fbo::kDepthStencilAttachment, fbo::kRenderbuffer, depthStencil);
    if (p.checkFramebufferStatus(fbo::kFramebuffer) == fbo::kFramebufferComplete && glGetError() == GL_NO_ERROR) {
      glDrawBuffer(fbo::kColourAttachment0);
      glReadBuffer(fbo::kColourAttachment0);
      fbo::rasterizeAsAWindow();
      return true;
    }
    dropFramebuffer();
    return false;
  }

  void dropFramebuffer() {
    if (framebuffer == 0) return;
    const fbo::Procs p = fbo::lookupProcs();
    p.bindFramebuffer(fbo::kFramebuffer, 0);
    p.deleteFramebuffers(1, &framebuffer);
    p.deleteRenderbuffers(1, &colour);
    p.deleteRenderbuffers(1, &depthStencil);
    framebuffer = colour = depthStencil = 0;
  }

  void release() {
    if (!display) return;
    if (context && glXGetCurrentContext() == context) dropFramebuffer();
    glXMakeContextCurrent(display, None, None, nullptr);
    if (context) glXDestroyContext(display, context);
    if (buffer) glXDestroyPbuffer(display, buffer);
    XCloseDisplay(display);
    display = nullptr;
  }
};

OffscreenGL::OffscreenGL(int width, int height) : impl_(new Impl), width_(width), height_(height) {
  try {
    if (width <= 0 || height <= 0) throw OffscreenError("the image size must be positive");
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) throw OffscreenError("no display: DISPLAY is not set (run under an X server or xvfb-run)");
    impl_->display = openDisplay();
    if (!impl_->display) throw OffscreenError(std::string("no display: cannot open X display ") + name);

    Display* display = impl_->display;
    int glxMajor = 0, glxMinor = 0;
    if (!glXQueryVersion(display, &glxMajor, &glxMinor) || (glxMajor == 1 && glxMinor < 3))
      throw OffscreenError(std::string("the X display ") + name + " offers no GLX 1.3 (needed for offscreen drawing)");

    // Destination alpha is not needed (every blend reads the source alpha),
    // and a format whose depth differs from the screen's cannot be read back
    // on some servers: prefer one of the screen's depth.
    const int attributes[] = {GLX_DRAWABLE_TYPE, GLX_PBUFFER_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT,
                              GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                              GLX_DEPTH_SIZE, 16, GLX_STENCIL_SIZE, 8, GLX_DOUBLEBUFFER, False, None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
    if (!configs || count == 0) {
      if (configs) XFree(configs);
      throw OffscreenError(std::string("the X display ") + name + " has no offscreen RGB pixel format with stencil");
    }
    GLXFBConfig config = configs[0];
    const int screenDepth = DefaultDepth(display, DefaultScreen(display));
    for (int i = 0; i < count; ++i) {
      XVisualInfo* visual = glXGetVisualFromFBConfig(display, configs[i]);
      const bool matches = visual && visual->depth == screenDepth;
      if (visual) XFree(visual);
      if (matches) {
        config = configs[i];
        break;
      }
    }
    XFree(configs);

    XErrorTrap trap(display);
    auto makeBuffer = [&](int w, int h) {
      if (impl_->buffer) glXDestroyPbuffer(display, impl_->buffer);
      const int bufferAttributes[] = {GLX_PBUFFER_WIDTH, w, GLX_PBUFFER_HEIGHT, h, GLX_PRESERVED_CONTENTS, True, None};
      impl_->buffer = glXCreatePbuffer(display, config, bufferAttributes);
      if (trap.failed() || !impl_->buffer)
        throw OffscreenError("cannot create an offscreen buffer of " + std::to_string(w) + "x" + std::to_string(h) +
                             " pixels");
    };
    auto makeCurrentOn = [&] {
      if (!glXMakeContextCurrent(display, impl_->buffer, impl_->buffer, impl_->context) || trap.failed())
        throw OffscreenError("cannot make the offscreen OpenGL context current");
    };
    makeBuffer(kStandInSide, kStandInSide);
    impl_->context = glXCreateNewContext(display, config, GLX_RGBA_TYPE, nullptr, True);
    if (trap.failed() || !impl_->context) throw OffscreenError("cannot create an OpenGL context for offscreen drawing");
    makeCurrentOn();
    if (!impl_->makeFramebuffer(width, height)) {
      int maxWidth = 0, maxHeight = 0;
      glXGetFBConfigAttrib(display, config, GLX_MAX_PBUFFER_WIDTH, &maxWidth);
      glXGetFBConfigAttrib(display, config, GLX_MAX_PBUFFER_HEIGHT, &maxHeight);
      if ((maxWidth > 0 && width > maxWidth) || (maxHeight > 0 && height > maxHeight))
        throw OffscreenError("the image size " + std::to_string(width) + "x" + std::to_string(height) +
                             " exceeds the display's largest offscreen buffer " + std::to_string(maxWidth) + "x" +
                             std::to_string(maxHeight));
      glXMakeContextCurrent(display, None, None, nullptr);
      makeBuffer(width, height);
      makeCurrentOn();
    }
  } catch (...) {
    impl_->release();
    delete impl_;
    throw;
  }
}

OffscreenGL::~OffscreenGL() {
  impl_->release();
  delete impl_;
}

void OffscreenGL::releaseCurrent() { glXMakeContextCurrent(impl_->display, None, None, nullptr); }

void OffscreenGL::makeCurrent() { glXMakeContextCurrent(impl_->display, impl_->buffer, impl_->buffer, impl_->context); }

namespace {

#if defined(__x86_64__)
// Packs RGBA pixels to RGB in place, 16 bytes in and 12 out per step with a
// byte shuffle; returns how many pixels it packed (none without SSSE3). Each
// store's last 4 bytes land where the next step writes, never on input not
// yet read.
__attribute__((target("ssse3"))) std::size_t packRGBASsse3(unsigned char* rgba, std::size_t pixels) {
  const __m128i drop = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  std::size_t i = 0;
  for (; i + 4 <= pixels; i += 4) {
    const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rgba + i * 4));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rgba + i * 3), _mm_shuffle_epi8(in, drop));
  }
  return i;
}

std::size_t packRGBAFast(unsigned char* rgba, std::size_t pixels) {
  static const bool ssse3 = __builtin_cpu_supports("ssse3");
  return ssse3 ? packRGBASsse3(rgba, pixels) : 0;
}
#else
std::size_t packRGBAFast(unsigned char*, std::size_t) { return 0; }
#endif

}  // namespace

std::vector<unsigned char> OffscreenGL::readRGBRows() const {
  // Read as the buffer holds them (RGBA, a plain copy in the GL) and packed
  // to RGB here in place: asking the GL for RGB converts pixel by pixel,
  // several times slower than the loop below.
  const std::size_t pixels = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
  std::vector<unsigned char> bottomUp(pixels * 4);
  glFinish();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
  unsigned char* out = bottomUp.data();
  const unsigned char* in = bottomUp.data();
  std::size_t i = packRGBAFast(bottomUp.data(), pixels);
  in += i * 4;
  out += i * 3;
  // Four pixels at a time, as little-endian words (the output never
  // overtakes the input: 12 bytes written behind the 16 read).
  for (; std::endian::native == std::endian::little && i + 4 <= pixels; i += 4, in += 16, out += 12) {
    std::uint32_t p[4];
    std::memcpy(p, in, sizeof p);
    const std::uint32_t rgb[3] = {(p[0] & 0xffffffu) | (p[1] << 24), ((p[1] >> 8) & 0xffffu) | (p[2] << 16),
                                  ((p[2] >> 16) & 0xffu) | (p[3] << 8)};
    std::memcpy(out, rgb, sizeof rgb);
  }
  for (; i < pixels; ++i, in += 4, out += 3) {
    out[0] = in[0];
    out[1] = in[1];
    out[2] = in[2];
  }
  bottomUp.resize(pixels * 3);
  return bottomUp;
}

std::vector<unsigned char> OffscreenGL::readRGB() const {
  const std::size_t row = static_cast<std::size_t>(width_) * 3;
  const std::vector<unsigned char> bottomUp = readRGBRows();
  std::vector<unsigned char> topDown(bottomUp.size());
  for (int y = 0; y < height_; ++y)
    std::memcpy(&topDown[static_cast<std::size_t>(y) * row],
                &bottomUp[static_cast<std::size_t>(height_ - 1 - y) * row], row);
  return topDown;
}

}  // namespace lumetra
