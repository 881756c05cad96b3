// The OpenGL side of the host on Windows, where no off-screen renderer is at
// hand: a stand-in for the fixed-function calls the module makes, bound to the
// module's OpenGL imports at load. It counts the calls and keeps the state a
// real driver would refuse to get wrong (begin/end pairing, the matrix and
// attribute stacks, calls not allowed between begin and end, bad enums), with
// the errors a driver would raise. Nothing is rendered, so there are no
// pixels; in capture mode the line primitives are transformed, clipped to the
// panel and recorded in window coordinates as the POSIX host's feedback pass
// records them, so both builds' line streams can be compared.
#include "state.h"

#include <windows.h>

#include <cmath>
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

constexpr GLenum kLines = 0x0001, kLineLoop = 0x0002, kLineStrip = 0x0003, kPoints = 0x0000;
constexpr int kMaxVertices = 1 << 16;   // per glBegin/glEnd; more are counted, not captured

struct Matrix {
  float m[16];   // column-major, as OpenGL keeps it
};
constexpr Matrix kIdentity = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

struct Vertex {
  float x, y, z, w;   // clip coordinates
  float r, g, b, a;
};

struct Counting {
  long calls = 0;
  bool in_begin = false;
  GLenum mode = kModelview;
  int depth[3] = {1, 1, 1};
  int attrib_depth = 0;
  GLenum error = 0;
  // What capture needs: the matrix stacks, the colour, the open primitive.
  Matrix stack[3][32] = {};
  float colour[4] = {1, 1, 1, 1};
  GLenum primitive = 0;
  int vertex_count = 0;
  Vertex vertices[kMaxVertices];
  bool capture = false;
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

Matrix& current_matrix() {
  Counting& c = state();
  return c.stack[matrix_slot()][c.depth[matrix_slot()] - 1];
}

// current = current * by, in single precision as a driver keeps its matrices.
void multiply(const Matrix& by) {
  Matrix& cur = current_matrix();
  Matrix out;
  for (int col = 0; col < 4; ++col)
    for (int row = 0; row < 4; ++row) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += cur.m[k * 4 + row] * by.m[col * 4 + k];
      out.m[col * 4 + row] = sum;
    }
  cur = out;
}

void set_colour(float r, float g, float b, float a) {
  float* c = state().colour;
  c[0] = r;
  c[1] = g;
  c[2] = b;
  c[3] = a;
}

void add_vertex(float x, float y, float z) {
  Counting& c = state();
  ++c.calls;
  if (!c.capture || !c.in_begin || c.vertex_count >= kMaxVertices) return;
  const float* mv = c.stack[0][c.depth[0] - 1].m;
  const float* pr = c.stack[1][c.depth[1] - 1].m;
  float eye[4];
  for (int row = 0; row < 4; ++row) eye[row] = mv[row] * x + mv[4 + row] * y + mv[8 + row] * z + mv[12 + row];
  float clip[4];
  for (int row = 0; row < 4; ++row)
    clip[row] = pr[row] * eye[0] + pr[4 + row] * eye[1] + pr[8 + row] * eye[2] + pr[12 + row] * eye[3];
  // Colours are clamped as the fixed-function pipeline clamps them.
  auto clamp01 = [](float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); };
  c.vertices[c.vertex_count++] = {clip[0], clip[1], clip[2], clip[3], clamp01(c.colour[0]), clamp01(c.colour[1]),
                                  clamp01(c.colour[2]), clamp01(c.colour[3])};
}

// Clips a line to the view volume (parametric, against the six planes) and
// records it in panel coordinates; a line wholly outside is dropped.
void capture_line(const Vertex& p, const Vertex& q) {
  float t0 = 0.0f, t1 = 1.0f;
  const float dx = q.x - p.x, dy = q.y - p.y, dz = q.z - p.z, dw = q.w - p.w;
  // Each plane as (distance at p, change along the line): inside when >= 0.
  const float planes[6][2] = {{p.w + p.x, dw + dx}, {p.w - p.x, dw - dx}, {p.w + p.y, dw + dy},
                              {p.w - p.y, dw - dy}, {p.w + p.z, dw + dz}, {p.w - p.z, dw - dz}};
  for (const auto& pl : planes) {
    const float d0 = pl[0], dd = pl[1];
    if (dd == 0.0f) {
      if (d0 < 0.0f) return;
      continue;
    }
    const float t = -d0 / dd;
    if (dd > 0.0f) {
      if (t > t0) t0 = t;
    } else if (t < t1) {
      t1 = t;
    }
    if (t0 > t1) return;
  }
  auto window = [](float cx, float cw) { return (cx / cw + 1.0f) * (kPanelSize / 2.0f); };
  auto at = [&](float t, float* x, float* y) {
    const float w = p.w + t * dw;
    *x = window(p.x + t * dx, w);
    *y = window(p.y + t * dy, w);
  };
  Line l{};
  at(t0, &l.x0, &l.y0);
  at(t1, &l.x1, &l.y1);
  l.r = p.r;
  l.g = p.g;
  l.b = p.b;
  l.a = p.a;
  host().lines.push_back(l);
}

void finish_primitive() {
  Counting& c = state();
  if (!c.capture) return;
  const int n = c.vertex_count;
  const Vertex* v = c.vertices;
  switch (c.primitive) {
    case kLines:
      for (int i = 0; i + 1 < n; i += 2) capture_line(v[i], v[i + 1]);
      break;
    case kLineStrip:
      for (int i = 0; i + 1 < n; ++i) capture_line(v[i], v[i + 1]);
      break;
    case kLineLoop:
      for (int i = 0; i + 1 < n; ++i) capture_line(v[i], v[i + 1]);
      if (n > 1) capture_line(v[n - 1], v[0]);
      break;
    case kPoints:
      host().points += n;
      break;
    default:
      if (n >= 3) ++host().polygons;   // counted, not decomposed
      break;
  }
}

void APIENTRY gl_begin(GLenum mode) {
  if (!outside_begin()) return;
  if (mode > kLastPrimitive) return raise(kInvalidEnum);
  state().in_begin = true;
  state().primitive = mode;
  state().vertex_count = 0;
}
void APIENTRY gl_end() {
  ++state().calls;
  if (!state().in_begin) return raise(kInvalidOperation);
  finish_primitive();
  state().in_begin = false;
}
void APIENTRY gl_vertex2d(GLdouble x, GLdouble y) { add_vertex(static_cast<float>(x), static_cast<float>(y), 0.0f); }
void APIENTRY gl_vertex2f(GLfloat x, GLfloat y) { add_vertex(x, y, 0.0f); }
void APIENTRY gl_vertex3f(GLfloat x, GLfloat y, GLfloat z) { add_vertex(x, y, z); }
void APIENTRY gl_color4fv(const GLfloat* v) {
  ++state().calls;
  if (v) set_colour(v[0], v[1], v[2], v[3]);
}
void APIENTRY gl_color4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  ++state().calls;
  set_colour(r, g, b, a);
}
void APIENTRY gl_color3f(GLfloat r, GLfloat g, GLfloat b) {
  ++state().calls;
  set_colour(r, g, b, 1.0f);
}
void APIENTRY gl_color3fv(const GLfloat* v) {
  ++state().calls;
  if (v) set_colour(v[0], v[1], v[2], 1.0f);
}
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
void APIENTRY gl_load_identity() {
  if (outside_begin()) current_matrix() = kIdentity;
}
void APIENTRY gl_ortho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
  if (!outside_begin()) return;
  if (l == r || b == t || n == f) return raise(kInvalidValue);
  Matrix o = kIdentity;
  o.m[0] = static_cast<float>(2.0 / (r - l));
  o.m[5] = static_cast<float>(2.0 / (t - b));
  o.m[10] = static_cast<float>(-2.0 / (f - n));
  o.m[12] = static_cast<float>(-(r + l) / (r - l));
  o.m[13] = static_cast<float>(-(t + b) / (t - b));
  o.m[14] = static_cast<float>(-(f + n) / (f - n));
  multiply(o);
}
void translate(float x, float y, float z) {
  Matrix m = kIdentity;
  m.m[12] = x;
  m.m[13] = y;
  m.m[14] = z;
  multiply(m);
}
void APIENTRY gl_translatef(GLfloat x, GLfloat y, GLfloat z) {
  if (outside_begin()) translate(x, y, z);
}
void APIENTRY gl_translated(GLdouble x, GLdouble y, GLdouble z) {
  if (outside_begin()) translate(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}
void APIENTRY gl_rotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
  if (!outside_begin()) return;
  const float len = std::sqrt(x * x + y * y + z * z);
  if (len == 0.0f) return;
  x /= len;
  y /= len;
  z /= len;
  const float rad = angle * 3.14159265f / 180.0f, c = std::cos(rad), s = std::sin(rad), k = 1.0f - c;
  const Matrix m = {{x * x * k + c, y * x * k + z * s, x * z * k - y * s, 0, x * y * k - z * s, y * y * k + c,
                     y * z * k + x * s, 0, x * z * k + y * s, y * z * k - x * s, z * z * k + c, 0, 0, 0, 0, 1}};
  multiply(m);
}
void APIENTRY gl_scalef(GLfloat x, GLfloat y, GLfloat z) {
  if (!outside_begin()) return;
  Matrix m = kIdentity;
  m.m[0] = x;
  m.m[5] = y;
  m.m[10] = z;
  multiply(m);
}
void APIENTRY gl_push_matrix() {
  if (!outside_begin()) return;
  Counting& c = state();
  int& d = c.depth[matrix_slot()];
  if (d >= kMatrixDepth[matrix_slot()]) return raise(kStackOverflow);
  c.stack[matrix_slot()][d] = c.stack[matrix_slot()][d - 1];
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
  c.calls = 0;
  c.in_begin = false;
}

bool gl_begin_pass(Host& h) {
  // Each pass starts from the state the POSIX host sets up: panel pixels as
  // coordinates, white, nothing open.
  Counting& c = state();
  c.in_begin = false;
  c.mode = kModelview;
  c.depth[0] = c.depth[1] = c.depth[2] = 1;
  c.attrib_depth = 0;
  c.error = 0;
  c.stack[0][0] = kIdentity;
  c.stack[2][0] = kIdentity;
  c.stack[1][0] = kIdentity;
  c.mode = kProjection;
  gl_ortho(0, kPanelSize, 0, kPanelSize, -1, 1);
  c.mode = kModelview;
  c.calls = c.calls > 0 ? c.calls - 1 : 0;   // the host's own set-up is not the module's call
  set_colour(1, 1, 1, 1);
  c.capture = h.capture;
  if (h.capture) {
    h.lines.clear();
    h.points = 0;
    h.polygons = 0;
  }
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
