// The OpenGL side of the host on Windows, where no off-screen renderer is at
// hand: a stand-in for the fixed-function calls the module makes, bound to the
// module's OpenGL imports at load. It counts the calls and keeps the state a
// real driver would refuse to get wrong (begin/end pairing, the matrix and
// attribute stacks, calls not allowed between begin and end, bad enums), with
// the errors a driver would raise; nothing is rendered, so there are no
// pixels and no captured lines.
#include "state.h"

#include <windows.h>

#include <cstring>

namespace simhost {
namespace {

using GLenum = unsigned;
using GLbitfield = unsigned;
using GLint = int;
using GLuint = unsigned;
using GLushort = unsigned short;
using GLboolean = unsigned char;
using GLfloat = float;
using GLdouble = double;

constexpr GLenum kInvalidEnum = 0x0500, kInvalidValue = 0x0501, kInvalidOperation = 0x0502,
                 kStackOverflow = 0x0503, kStackUnderflow = 0x0504;
constexpr GLenum kModelview = 0x1700, kProjection = 0x1701, kTexture = 0x1702;
constexpr GLenum kLastPrimitive = 0x0009;   // GL_POLYGON
// The depths Mesa's driver gives, so both builds of the host refuse alike.
constexpr int kMatrixDepth[3] = {32, 32, 10};
constexpr int kAttribDepth = 16;

struct Counting {
  long calls = 0;
  bool in_begin = false;
  GLenum mode = kModelview;
  int depth[3] = {1, 1, 1};
  int attrib_depth = 0;
  GLenum error = 0;
};

Counting& state() {
  static Counting* c = new Counting;
  return *c;
}

void raise(GLenum e) {
  if (state().error == 0) state().error = e;
}

// Counts the call; false (with the driver's error) for one made between
// begin and end that is not allowed there.
bool outside_begin() {
  ++state().calls;
  if (!state().in_begin) return true;
  raise(kInvalidOperation);
  return false;
}

int matrix_slot() { return static_cast<int>(state().mode - kModelview); }

void APIENTRY gl_begin(GLenum mode) {
  if (!outside_begin()) return;
  if (mode > kLastPrimitive) return raise(kInvalidEnum);
  state().in_begin = true;
}
void APIENTRY gl_end() {
  ++state().calls;
  if (!state().in_begin) return raise(kInvalidOperation);
  state().in_begin = false;
}
void APIENTRY gl_vertex2d(GLdouble, GLdouble) { ++state().calls; }
void APIENTRY gl_vertex2f(GLfloat, GLfloat) { ++state().calls; }
void APIENTRY gl_vertex3f(GLfloat, GLfloat, GLfloat) { ++state().calls; }
void APIENTRY gl_color4fv(const GLfloat*) { ++state().calls; }
void APIENTRY gl_color4f(GLfloat, GLfloat, GLfloat, GLfloat) { ++state().calls; }
void APIENTRY gl_color3f(GLfloat, GLfloat, GLfloat) { ++state().calls; }
void APIENTRY gl_color3fv(const GLfloat*) { ++state().calls; }
void APIENTRY gl_tex_coord2f(GLfloat, GLfloat) { ++state().calls; }
void APIENTRY gl_enable(GLenum) { outside_begin(); }
void APIENTRY gl_disable(GLenum) { outside_begin(); }
void APIENTRY gl_hint(GLenum, GLenum) { outside_begin(); }
void APIENTRY gl_line_stipple(GLint, GLushort) { outside_begin(); }
void APIENTRY gl_line_width(GLfloat width) {
  if (outside_begin() && !(width > 0.0f)) raise(kInvalidValue);
}
void APIENTRY gl_point_size(GLfloat size) {
  if (outside_begin() && !(size > 0.0f)) raise(kInvalidValue);
}
void APIENTRY gl_blend_func(GLenum, GLenum) { outside_begin(); }
void APIENTRY gl_depth_mask(GLboolean) { outside_begin(); }
void APIENTRY gl_bind_texture(GLenum, GLuint) { outside_begin(); }
void APIENTRY gl_matrix_mode(GLenum mode) {
  if (!outside_begin()) return;
  if (mode != kModelview && mode != kProjection && mode != kTexture) return raise(kInvalidEnum);
  state().mode = mode;
}
void APIENTRY gl_load_identity() { outside_begin(); }
void APIENTRY gl_ortho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
  if (outside_begin() && (l == r || b == t || n == f)) raise(kInvalidValue);
}
void APIENTRY gl_translatef(GLfloat, GLfloat, GLfloat) { outside_begin(); }
void APIENTRY gl_translated(GLdouble, GLdouble, GLdouble) { outside_begin(); }
void APIENTRY gl_rotatef(GLfloat, GLfloat, GLfloat, GLfloat) { outside_begin(); }
void APIENTRY gl_scalef(GLfloat, GLfloat, GLfloat) { outside_begin(); }
void APIENTRY gl_push_matrix() {
  if (!outside_begin()) return;
  int& d = state().depth[matrix_slot()];
  if (d >= kMatrixDepth[matrix_slot()]) return raise(kStackOverflow);
  ++d;
}
void APIENTRY gl_pop_matrix() {
  if (!outside_begin()) return;
  int& d = state().depth[matrix_slot()];
  if (d <= 1) return raise(kStackUnderflow);
  --d;
}
void APIENTRY gl_push_attrib(GLbitfield) {
  if (!outside_begin()) return;
  if (state().attrib_depth >= kAttribDepth) return raise(kStackOverflow);
  ++state().attrib_depth;
}
void APIENTRY gl_pop_attrib() {
  if (!outside_begin()) return;
  if (state().attrib_depth <= 0) return raise(kStackUnderflow);
  --state().attrib_depth;
}

struct Entry {
  const char* name;
  void* function;
};

template <typename F>
void* as_pointer(F* f) {
  return reinterpret_cast<void*>(f);
}

const Entry kFunctions[] = {
    {"glBegin", as_pointer(&gl_begin)},
    {"glEnd", as_pointer(&gl_end)},
    {"glVertex2d", as_pointer(&gl_vertex2d)},
    {"glVertex2f", as_pointer(&gl_vertex2f)},
    {"glVertex3f", as_pointer(&gl_vertex3f)},
    {"glColor4fv", as_pointer(&gl_color4fv)},
    {"glColor4f", as_pointer(&gl_color4f)},
    {"glColor3f", as_pointer(&gl_color3f)},
    {"glColor3fv", as_pointer(&gl_color3fv)},
    {"glTexCoord2f", as_pointer(&gl_tex_coord2f)},
    {"glEnable", as_pointer(&gl_enable)},
    {"glDisable", as_pointer(&gl_disable)},
    {"glHint", as_pointer(&gl_hint)},
    {"glLineStipple", as_pointer(&gl_line_stipple)},
    {"glLineWidth", as_pointer(&gl_line_width)},
    {"glPointSize", as_pointer(&gl_point_size)},
    {"glBlendFunc", as_pointer(&gl_blend_func)},
    {"glDepthMask", as_pointer(&gl_depth_mask)},
    {"glBindTexture", as_pointer(&gl_bind_texture)},
    {"glMatrixMode", as_pointer(&gl_matrix_mode)},
    {"glLoadIdentity", as_pointer(&gl_load_identity)},
    {"glOrtho", as_pointer(&gl_ortho)},
    {"glTranslatef", as_pointer(&gl_translatef)},
    {"glTranslated", as_pointer(&gl_translated)},
    {"glRotatef", as_pointer(&gl_rotatef)},
    {"glScalef", as_pointer(&gl_scalef)},
    {"glPushMatrix", as_pointer(&gl_push_matrix)},
    {"glPopMatrix", as_pointer(&gl_pop_matrix)},
    {"glPushAttrib", as_pointer(&gl_push_attrib)},
    {"glPopAttrib", as_pointer(&gl_pop_attrib)},
};

}  // namespace

void* counting_gl_function(const char* name) {
  for (const Entry& e : kFunctions)
    if (std::strcmp(e.name, name) == 0) return e.function;
  return nullptr;
}

void release_gl() {
  Counting& c = state();
  c = Counting{};
}

bool gl_begin_pass(Host&) {
  // Each pass starts from the state the POSIX host sets up.
  Counting& c = state();
  c.in_begin = false;
  c.mode = kModelview;
  c.depth[0] = c.depth[1] = c.depth[2] = 1;
  c.attrib_depth = 0;
  c.error = 0;
  return true;
}

void gl_end_pass(Host&) {
  Counting& c = state();
  if (c.in_begin) {
    problem("draw pass ended between glBegin and glEnd");
    c.in_begin = false;
  }
  if (c.depth[0] != 1) problem("draw pass left the modelview stack at depth %d", c.depth[0]);
  if (c.depth[1] != 1) problem("draw pass left the projection stack at depth %d", c.depth[1]);
  if (c.error != 0) problem("OpenGL error 0x%x in the draw pass", c.error);
}

void gl_apply_graphics_state(const GraphicsState&) {}

int gl_calls() { return static_cast<int>(state().calls); }

uint32_t pixel(int, int) { return 0; }

int count_pixels_not(uint32_t) { return 0; }

bool write_png(const std::string&, std::string* error) {
  if (error) *error = "no panel picture from the Windows host: its OpenGL stand-in counts calls, it renders nothing";
  return false;
}

}  // namespace simhost
