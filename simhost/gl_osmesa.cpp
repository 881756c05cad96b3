// The OpenGL side of the host on POSIX systems: a real context from Mesa's
// off-screen renderer that renders into a buffer the size of the 3D panel
// texture. The module's gl* calls resolve to the same library, which this
// host links, so they land in this context. A pass can run in feedback mode
// instead, which yields the exact line stream.
#include "state.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/osmesa.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>

namespace simhost {
namespace {

constexpr int kUnseenFramesPerFlush = 32;

struct Gl {
  OSMesaContext context = nullptr;
  int unseen_since_flush = 0;
  // Whether the depth buffer may hold anything but the cleared value: a new
  // buffer, or a pass that tested depth since the last clear.
  bool depth_dirty = true;
  std::vector<uint8_t> pixels;     // RGBA rows, bottom row first
  std::vector<GLfloat> feedback;
};

Gl& gl() {
  static Gl* g = new Gl;
  return *g;
}

void release_gl_at_exit() { release_gl(); }

bool make_current() {
  Gl& g = gl();
  if (!g.context) {
    g.context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 8, 0, nullptr);
    if (!g.context) {
      problem("OSMesaCreateContextExt failed: no drawing");
      return false;
    }
    // Registered after the library's own exit handler (made with its first
    // context), so it runs before that one: a process that ends without
    // releasing the context (a test program, a runner leaving early) has
    // the renderer idle before its threads are torn down.
    static const bool at_exit = std::atexit(release_gl_at_exit) == 0;
    (void)at_exit;
    g.pixels.assign(static_cast<size_t>(kPanelSize) * kPanelSize * 4, 0);
    g.depth_dirty = true;
  }
  if (!OSMesaMakeCurrent(g.context, g.pixels.data(), GL_UNSIGNED_BYTE, kPanelSize, kPanelSize)) {
    problem("OSMesaMakeCurrent failed");
    return false;
  }
  return true;
}

// The state a pass starts from: panel pixels as coordinates, nothing enabled.
void pass_state() {
  glViewport(0, 0, kPanelSize, kPanelSize);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, kPanelSize, 0, kPanelSize, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  glDisable(GL_FOG);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_SCISSOR_TEST);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glColor4f(1, 1, 1, 1);
  glLineWidth(1);
}

void parse_feedback(Host& h, const GLfloat* buf, int n) {
  h.lines.clear();
  h.points = 0;
  h.polygons = 0;
  const int vsize = 7;   // GL_3D_COLOR in RGBA mode: x y z r g b a
  int i = 0;
  while (i < n) {
    GLenum token = static_cast<GLenum>(buf[i++]);
    switch (token) {
      case GL_LINE_TOKEN:
      case GL_LINE_RESET_TOKEN: {
        if (i + 2 * vsize > n) return;
        const GLfloat* a = buf + i;
        const GLfloat* b = buf + i + vsize;
        h.lines.push_back({a[0], a[1], b[0], b[1], a[3], a[4], a[5], a[6]});
        i += 2 * vsize;
        break;
      }
      case GL_POINT_TOKEN:
      case GL_BITMAP_TOKEN:
      case GL_DRAW_PIXEL_TOKEN:
      case GL_COPY_PIXEL_TOKEN:
        ++h.points;
        i += vsize;
        break;
      case GL_POLYGON_TOKEN: {
        if (i >= n) return;
        int count = static_cast<int>(buf[i++]);
        ++h.polygons;
        i += count * vsize;
        break;
      }
      case GL_PASS_THROUGH_TOKEN:
        i += 1;
        break;
      default:
        problem("feedback stream: unknown token %g", static_cast<double>(token));
        return;
    }
  }
}

// Hands the work drawn so far over to the renderer. glFlush would do it, but
// also copies the whole 16 MB panel out to `pixels` each time, for frames
// whose pixels nobody reads: most of a long flight's cost. Waiting on a
// fence hands the work over and lets the renderer free it, and copies
// nothing (the wait is bounded, so a renderer that stalls cannot hang the
// flight).
void hand_over() {
  static const auto fence = reinterpret_cast<PFNGLFENCESYNCPROC>(OSMesaGetProcAddress("glFenceSync"));
  static const auto wait = reinterpret_cast<PFNGLCLIENTWAITSYNCPROC>(OSMesaGetProcAddress("glClientWaitSync"));
  static const auto remove = reinterpret_cast<PFNGLDELETESYNCPROC>(OSMesaGetProcAddress("glDeleteSync"));
  GLsync sync = fence && wait && remove ? fence(GL_SYNC_GPU_COMMANDS_COMPLETE, 0) : nullptr;
  if (!sync) {
    glFlush();
    return;
  }
  wait(sync, GL_SYNC_FLUSH_COMMANDS_BIT, GLuint64{10'000'000'000});
  remove(sync);
}

}  // namespace

// The renderer's worker threads must be idle before its context goes, and
// before the process ends: the library's own exit handler tears them down
// and waits forever for a thread still in the middle of a frame.
void release_gl() {
  Gl& g = gl();
  if (g.context) {
    if (OSMesaGetCurrentContext() == g.context ||
        OSMesaMakeCurrent(g.context, g.pixels.data(), GL_UNSIGNED_BYTE, kPanelSize, kPanelSize))
      glFinish();
    OSMesaDestroyContext(g.context);
    g.context = nullptr;
  }
}

bool gl_begin_pass(Host& h) {
  if (!make_current()) return false;
  Gl& g = gl();
  if (h.capture) {
    if (g.feedback.empty()) g.feedback.assign(1 << 22, 0.0f);
    glFeedbackBuffer(static_cast<GLsizei>(g.feedback.size()), GL_3D_COLOR, g.feedback.data());
    glRenderMode(GL_FEEDBACK);
    pass_state();
  } else if (h.unseen) {
    pass_state();
    // One pixel rasterised: the plug-in's calls cost their own work, not
    // the panel's fill. The plug-in sets no scissor of its own.
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 1, 1);
  } else {
    // From a cleared panel: the state comes first, so that no scissor,
    // mask or viewport left by an earlier pass keeps old pixels.
    // The depth buffer only while it can matter: clearing all of it costs
    // more than the rest of a frame, and without depth tests its contents
    // never reach a pixel.
    pass_state();
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | (g.depth_dirty ? GL_DEPTH_BUFFER_BIT : 0u));
    g.depth_dirty = false;
  }
  return true;
}

void gl_end_pass(Host& h) {
  Gl& g = gl();
  if (glIsEnabled(GL_DEPTH_TEST)) g.depth_dirty = true;
  GLint depth = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
  if (depth != 1) problem("draw pass left the modelview stack at depth %d", depth);
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
  if (depth != 1) problem("draw pass left the projection stack at depth %d", depth);
  if (h.capture) {
    GLint n = glRenderMode(GL_RENDER);
    if (n < 0) problem("feedback buffer overflow in the draw pass");
    parse_feedback(h, g.feedback.data(), n < 0 ? static_cast<int>(g.feedback.size()) : n);
  }
  // Work never handed over to the renderer piles up in it, a frame's worth
  // at a time, for as long as the flight runs. A picture waits for its
  // pixels; the frames without one hand theirs over every
  // kUnseenFramesPerFlush frames, which bounds what the renderer holds at a
  // small fraction of the cost of a hand-over every frame. `release_gl`
  // waits for the last. A capture pass has nothing to wait for: its
  // feedback was read back by glRenderMode above, and it rasterised no pixel.
  if (!h.unseen && !h.capture) {
    glFinish();
    g.unseen_since_flush = 0;
  } else if (++g.unseen_since_flush >= kUnseenFramesPerFlush) {
    hand_over();
    g.unseen_since_flush = 0;
  }
  for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError())
    problem("OpenGL error 0x%x in the draw pass", static_cast<unsigned>(e));
}

void gl_apply_graphics_state(const GraphicsState& s) {
  auto set = [](GLenum cap, int on) { on ? glEnable(cap) : glDisable(cap); };
  set(GL_FOG, s.fog);
  set(GL_LIGHTING, s.lighting);
  set(GL_ALPHA_TEST, s.alpha_testing);
  set(GL_BLEND, s.alpha_blending);
  if (s.alpha_blending) glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  set(GL_DEPTH_TEST, s.depth_testing);
  if (s.depth_testing) gl().depth_dirty = true;
  glDepthMask(s.depth_writing ? GL_TRUE : GL_FALSE);
  GLint units = 1;
  glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
  for (int u = 0; u < units && u < 8; ++u) {
    glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + u));
    set(GL_TEXTURE_2D, u < s.texture_units);
  }
  glActiveTexture(GL_TEXTURE0);
}

// Mesa renders the calls; only the Windows stand-in counts them.
int gl_calls() { return 0; }

uint32_t pixel(int x, int y) {
  Gl& g = gl();
  if (g.pixels.empty() || x < 0 || y < 0 || x >= kPanelSize || y >= kPanelSize) return 0;
  const uint8_t* p = &g.pixels[(static_cast<size_t>(y) * kPanelSize + static_cast<size_t>(x)) * 4];
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

int count_pixels_not(uint32_t rgba) {
  Gl& g = gl();
  int n = 0;
  for (size_t i = 0; i + 3 < g.pixels.size(); i += 4) {
    uint32_t v = (uint32_t{g.pixels[i]} << 24) | (uint32_t{g.pixels[i + 1]} << 16) |
                 (uint32_t{g.pixels[i + 2]} << 8) | uint32_t{g.pixels[i + 3]};
    n += v != rgba ? 1 : 0;
  }
  return n;
}

bool write_png(const std::string& path, std::string* error) {
  Gl& g = gl();
  std::vector<uint8_t> blank;
  const std::vector<uint8_t>* src = &g.pixels;
  if (g.pixels.empty()) {
    blank.assign(static_cast<size_t>(kPanelSize) * kPanelSize * 4, 0);
    src = &blank;
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    if (error) *error = "cannot write " + path;
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    if (error) *error = "PNG encoding failed for " + path;
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, kPanelSize, kPanelSize, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  // The buffer's first row is the bottom of the panel; a PNG starts at the top.
  for (int y = kPanelSize - 1; y >= 0; --y)
    png_write_row(png, const_cast<png_bytep>(src->data() + static_cast<size_t>(y) * kPanelSize * 4));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  // The last of the picture reaches the file only when it is closed.
  if (std::fclose(f) != 0) {
    if (error) *error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace simhost
