// A counting stand-in for the OpenGL calls the plug-in makes, exported from
// the benchmark so that the loaded module's gl* imports resolve here first.
// Each call made from inside the module is counted; when forwarding is on,
// every call goes on to the real renderer (the next definition in the lookup
// order), so the same process can time the plug-in's own CPU cost and the
// cost with Mesa rasterising.
#include "gl_counting.h"

#include <GL/gl.h>
#include <dlfcn.h>
#include <link.h>

#include <cstring>

namespace gl_counting {

bool forward = true;
long long module_calls = 0;

namespace {

uintptr_t module_lo = 0, module_hi = 0;

int find_module(dl_phdr_info* info, size_t, void* data) {
  const char* wanted = static_cast<const char*>(data);
  if (!info->dlpi_name || !std::strstr(info->dlpi_name, wanted)) return 0;
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& p = info->dlpi_phdr[i];
    if (p.p_type != PT_LOAD || !(p.p_flags & PF_X)) continue;
    module_lo = info->dlpi_addr + p.p_vaddr;
    module_hi = module_lo + p.p_memsz;
    return 1;
  }
  return 0;
}

inline void count(const void* caller) {
  const uintptr_t a = reinterpret_cast<uintptr_t>(caller);
  module_calls += a >= module_lo && a < module_hi;
}

template <typename F>
F next(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

bool locate_module(const char* file_name) {
  module_lo = module_hi = 0;
  dl_iterate_phdr(find_module, const_cast<char*>(file_name));
  return module_hi > module_lo;
}

}  // namespace gl_counting

#define GL_SHIM(name, params, args)                                          \
  extern "C" void name params {                                              \
    gl_counting::count(__builtin_return_address(0));                         \
    if (!gl_counting::forward) return;                                       \
    static auto real = gl_counting::next<void(*) params>(#name);             \
    real args;                                                               \
  }

GL_SHIM(glBegin, (GLenum mode), (mode))
GL_SHIM(glEnd, (void), ())
GL_SHIM(glVertex2d, (GLdouble x, GLdouble y), (x, y))
GL_SHIM(glColor4fv, (const GLfloat* v), (v))
GL_SHIM(glMatrixMode, (GLenum mode), (mode))
GL_SHIM(glPushMatrix, (void), ())
GL_SHIM(glPopMatrix, (void), ())
GL_SHIM(glLoadIdentity, (void), ())
GL_SHIM(glLineWidth, (GLfloat width), (width))
GL_SHIM(glEnable, (GLenum cap), (cap))
GL_SHIM(glPushAttrib, (GLbitfield mask), (mask))
GL_SHIM(glPopAttrib, (void), ())
GL_SHIM(glOrtho, (GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f), (l, r, b, t, n, f))
GL_SHIM(glLineStipple, (GLint factor, GLushort pattern), (factor, pattern))
GL_SHIM(glHint, (GLenum target, GLenum mode), (target, mode))
