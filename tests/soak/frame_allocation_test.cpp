// The module allocates nothing on the heap in steady flight: every frame
// after the first ones runs from fixed-capacity state. The test process's
// allocator is replaced by a counting one that forwards to the C library and
// counts only the calls made from inside the loaded module's code.
#include <gtest/gtest.h>
#include <link.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "flight_profile.h"
#include "host.h"

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);
}

namespace {

bool counting = false;
long long module_allocations = 0;
struct CodeRange {
  uintptr_t lo = 0, hi = 0;
  bool holds(uintptr_t a) const { return a >= lo && a < hi; }
};
// The module's own code, and the C library's, which allocates for what the
// module asks of it (a file opened, a text formatted).
CodeRange module_code, libc_code;

inline void note(const void* caller) {
  if (!counting) return;
  const uintptr_t a = reinterpret_cast<uintptr_t>(caller);
  module_allocations += module_code.holds(a) || libc_code.holds(a);
}

int find_code(dl_phdr_info* info, size_t, void*) {
  if (!info->dlpi_name) return 0;
  CodeRange* range = std::strstr(info->dlpi_name, "lin.xpl") ? &module_code
                     : std::strstr(info->dlpi_name, "libc.so") ? &libc_code
                                                                : nullptr;
  if (!range) return 0;
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& p = info->dlpi_phdr[i];
    if (p.p_type == PT_LOAD && (p.p_flags & PF_X)) {
      range->lo = info->dlpi_addr + p.p_vaddr;
      range->hi = range->lo + p.p_memsz;
    }
  }
  return 0;
}

}  // namespace

extern "C" {
void* malloc(size_t n) {
  note(__builtin_return_address(0));
  return __libc_malloc(n);
}
void* calloc(size_t n, size_t size) {
  note(__builtin_return_address(0));
  return __libc_calloc(n, size);
}
void* realloc(void* p, size_t n) {
  note(__builtin_return_address(0));
  return __libc_realloc(p, n);
}
void* memalign(size_t alignment, size_t n) {
  note(__builtin_return_address(0));
  return __libc_memalign(alignment, n);
}
void* aligned_alloc(size_t alignment, size_t n) {
  note(__builtin_return_address(0));
  return __libc_memalign(alignment, n);
}
int posix_memalign(void** out, size_t alignment, size_t n) {
  note(__builtin_return_address(0));
  void* p = __libc_memalign(alignment, n);
  if (!p) return ENOMEM;
  *out = p;
  return 0;
}
void free(void* p) { __libc_free(p); }
}

TEST(FrameAllocation, SteadyFlightFramesAllocateNothing) {
  simhost::Config config;
  config.root = std::string(CORVANE_SOURCE_DIR) + "/sample/root";
  simhost::reset(config);
  simhost::set_draw_capture(true);
  std::string error;
  ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
  dl_iterate_phdr(find_code, nullptr);
  ASSERT_LT(module_code.lo, module_code.hi) << "the loaded module's code was not found";
  // The count sees what the module asks for: an aircraft load reads the
  // navigation files through the C library.
  counting = true;
  simhost::send_message(0, 102, nullptr);
  simhost::frames(5, 1.0f / 30);
  counting = false;
  EXPECT_GT(module_allocations, 0);
  module_allocations = 0;

  constexpr float dt = 1.0f / 30;
  flight_profile::Flight f = flight_profile::prepare(dt);
  for (int frame = 0; frame < 1100; ++frame) {
    flight_profile::advance(f, frame, dt);
    counting = frame >= 100;
    simhost::frame(dt);
    counting = false;
  }
  EXPECT_EQ(module_allocations, 0) << "heap allocations made by the module in 1,000 steady flight frames";
  simhost::reset();
}
