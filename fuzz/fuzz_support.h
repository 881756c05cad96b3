// Shared by the fuzz targets that run the plug-in's own functions against the
// simulated host: a host started once per process, inputs given as lines of
// "name=value" (the runner's --set syntax, "zuvadud/D738/" left out), the
// values each input set put back before the next, and the checks every target
// makes on what reached the host.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "bind_for_test.h"
#include "host.h"

namespace fuzz {

// Stops the run with a reason (libFuzzer keeps the input).
[[noreturn]] inline void fail(const std::string& why) {
  std::fprintf(stderr, "invariant broken: %s\n", why.c_str());
  std::fflush(stderr);
  __builtin_trap();
}

inline void require(bool ok, const char* why) {
  if (!ok) fail(why);
}

// A fresh host with every name bound, once per process.
inline void start_host(const simhost::Config& config = simhost::Config()) {
  simhost::reset(config);
  rebind_datarefs();
}

// The host's values that inputs change, put back to their first state.
class Restorer {
 public:
  void remember(const std::string& name) {
    if (saved_.count(name)) {
      touched_.push_back(name);
      return;
    }
    std::string v;
    if (!simhost::format_value(name, &v)) return;
    saved_[name] = v;
    touched_.push_back(name);
  }
  void restore() {
    for (const std::string& name : touched_) {
      const std::string& v = saved_[name];
      if (!simhost::set_from_text(name, v)) {
        // Texts go back byte for byte: empty with a full NUL field.
        simhost::set_bytes(name, std::string(static_cast<size_t>(simhost::array_size(name)), '\0'));
      }
    }
    touched_.clear();
    simhost::clear_problems();
    simhost::clear_non_finite_writes();
    simhost::clear_log();
  }

 private:
  std::map<std::string, std::string> saved_;
  std::vector<std::string> touched_;
};

// Walks the input's lines: "name=value" sets "zuvadud/D738/name" (or the name
// as written when it starts with "sim/"), a line "--" ends a frame, and
// anything else is ignored. Calls frame() at every "--" and once at the end.
inline void run_lines(const uint8_t* data, size_t size, Restorer& restorer, const std::function<void()>& frame) {
  const char* p = reinterpret_cast<const char*>(data);
  const char* end = p + size;
  while (p < end) {
    const char* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    const char* line_end = nl ? nl : end;
    const std::string line(p, line_end);
    p = nl ? nl + 1 : end;
    if (line == "--") {
      frame();
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    std::string name = line.substr(0, eq);
    if (name.rfind("sim/", 0) != 0) name = "zuvadud/D738/" + name;
    if (!simhost::has_dataref(name)) continue;
    restorer.remember(name);
    simhost::set_from_text(name, line.substr(eq + 1));
  }
  frame();
}

// What the plug-in did to the host: no misuse, no NaN or infinity written.
inline void check_host() {
  if (!simhost::problems().empty()) fail("host misuse: " + simhost::problems().front());
  if (simhost::non_finite_write_count() != 0) fail("non-finite write: " + simhost::non_finite_writes().front());
}

// The checks below build their message only when they fail: they run over
// whole tables on every input.
inline void check_terminated(const char* text, size_t capacity, const char* what) {
  if (std::memchr(text, '\0', capacity) == nullptr) fail(std::string(what) + " not terminated");
}

template <size_t N>
inline void check_finite(const float (&values)[N], const char* what) {
  for (size_t i = 0; i < N; ++i)
    if (!std::isfinite(values[i])) fail(std::string(what) + "[" + std::to_string(i) + "] not finite");
}

}  // namespace fuzz
