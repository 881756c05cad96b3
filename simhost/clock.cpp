// The clock and random seam. The plug-in calls the standard time(), srand()
// and rand(). On POSIX systems this file defines those three names in the
// host executable, which exports them: the dynamic linker searches the
// executable before the C library, so the loaded module (and plug-in code
// linked statically into a test) binds to these. A Windows module imports
// them from the C runtime DLL by name, and the loader points those imports
// at `seam_function`'s entries instead. The calendar time is the host's:
// the simulated clock from a fixed date, so that a run does not depend on
// when or how fast it runs. srand and rand forward to the C library; a test
// pins the time or the draws to its own values.
#include "state.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>

#ifndef _WIN32
#include <dlfcn.h>
#endif

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

#ifndef _WIN32
template <typename F>
F next_definition(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
#endif

void real_srand(unsigned seed) {
#ifdef _WIN32
  std::srand(seed);
#else
  static auto real = next_definition<void (*)(unsigned)>("srand");
  if (real) real(seed);
#endif
}

int real_rand() {
#ifdef _WIN32
  return std::rand();
#else
  static auto real = next_definition<int (*)()>("rand");
  return real ? real() : 0;
#endif
}

// Whole seconds: the calendar ticks once a simulated second however many
// frames that takes.
long long host_calendar() {
  const Host& h = host();
  return h.calendar_at_zero + static_cast<long long>(std::floor(h.clock_s));
}

long long seam_time() { return seam().time_pinned ? seam().pinned_time : host_calendar(); }

void seam_srand(unsigned seed) {
  if (seam().seeds.size() < 100000) seam().seeds.push_back(seed);
  real_srand(seed);
}

int seam_rand() { return seam().rand_source ? seam().rand_source() : real_rand(); }

#ifdef _WIN32
// The C runtime's names: time() is an inline wrapper of _time64 there.
long long seam_time64(long long* out) {
  long long t = seam_time();
  if (out) *out = t;
  return t;
}
long seam_time32(long* out) {
  long t = static_cast<long>(seam_time());
  if (out) *out = t;
  return t;
}
#endif

}  // namespace

void pin_time(long long seconds) {
  seam().time_pinned = true;
  seam().pinned_time = seconds;
}
void unpin_time() { seam().time_pinned = false; }
void set_calendar(long long seconds) {
  Host& h = host();
  h.calendar_at_zero = seconds - static_cast<long long>(std::floor(h.clock_s));
}
long long calendar() { return host_calendar(); }
void pin_rand(std::function<int()> next) { seam().rand_source = std::move(next); }
void unpin_rand() { seam().rand_source = nullptr; }
const std::vector<unsigned>& srand_seeds() { return seam().seeds; }
void reset_seam() { seam() = Seam{}; }

#ifdef _WIN32
void* seam_function(const char* name) {
  if (std::strcmp(name, "_time64") == 0 || std::strcmp(name, "time") == 0)
    return reinterpret_cast<void*>(&seam_time64);
  if (std::strcmp(name, "_time32") == 0) return reinterpret_cast<void*>(&seam_time32);
  if (std::strcmp(name, "srand") == 0) return reinterpret_cast<void*>(&seam_srand);
  if (std::strcmp(name, "rand") == 0) return reinterpret_cast<void*>(&seam_rand);
  return nullptr;
}
#endif

}  // namespace simhost

#ifndef _WIN32
extern "C" {

__attribute__((visibility("default"))) time_t time(time_t* out) {
  time_t t = static_cast<time_t>(simhost::seam_time());
  if (out) *out = t;
  return t;
}

__attribute__((visibility("default"))) void srand(unsigned seed) { simhost::seam_srand(seed); }

__attribute__((visibility("default"))) int rand(void) { return simhost::seam_rand(); }

}  // extern "C"
#endif
