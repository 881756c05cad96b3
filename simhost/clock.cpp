// The clock and random seam. The plug-in calls the standard time(), srand()
// and rand(). This file defines those three names in the host executable,
// which exports them: the dynamic linker searches the executable before the
// C library, so the loaded module (and plug-in code linked statically into a
// test) binds to these. Unpinned they forward to the next definition (the
// C library); a test pins them to make calendar time and draws repeatable.
#include "state.h"

#include <dlfcn.h>

#include <ctime>

namespace simhost {
namespace {

struct Seam {
  bool time_pinned = false;
  long long pinned_time = 0;
  std::function<int()> rand_source;
  std::vector<unsigned> seeds;
};

Seam& seam() {
  static Seam* s = new Seam;
  return *s;
}

template <typename F>
F next_definition(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

void pin_time(long long seconds) {
  seam().time_pinned = true;
  seam().pinned_time = seconds;
}
void unpin_time() { seam().time_pinned = false; }
void pin_rand(std::function<int()> next) { seam().rand_source = std::move(next); }
void unpin_rand() { seam().rand_source = nullptr; }
const std::vector<unsigned>& srand_seeds() { return seam().seeds; }
void reset_seam() { seam() = Seam{}; }

}  // namespace simhost

extern "C" {

__attribute__((visibility("default"))) time_t time(time_t* out) {
  using namespace simhost;
  time_t t;
  if (seam().time_pinned) {
    t = static_cast<time_t>(seam().pinned_time);
  } else {
    static auto real = next_definition<time_t (*)(time_t*)>("time");
    t = real ? real(nullptr) : 0;
  }
  if (out) *out = t;
  return t;
}

__attribute__((visibility("default"))) void srand(unsigned seed) {
  using namespace simhost;
  if (seam().seeds.size() < 100000) seam().seeds.push_back(seed);
  static auto real = next_definition<void (*)(unsigned)>("srand");
  if (real) real(seed);
}

__attribute__((visibility("default"))) int rand(void) {
  using namespace simhost;
  if (seam().rand_source) return seam().rand_source();
  static auto real = next_definition<int (*)()>("rand");
  return real ? real() : 0;
}

}  // extern "C"
