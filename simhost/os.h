// What the simulated host needs from the operating system: loading the
// module, a temporary folder and the catalog folder. One side for POSIX
// systems (os_posix.cpp) and one for Windows (os_windows.cpp); the rest of
// the host is the same code on both.
#pragma once

#include <string>

namespace simhost::os {

// Loads the module with every symbol bound now; null with `error` filled
// when it does not load.
void* load_library(const std::string& path, std::string* error);
void* find_symbol(void* library, const char* name);
void unload_library(void* library);
// Whether the module at `path` is still mapped after its unload.
bool still_loaded(const std::string& path);
// A fresh folder for a host root, ending in '/'; empty when none can be made.
std::string make_temp_folder();
// This process, so that a forked child never removes its parent's folder.
long process_id();
// Ends the process with `status` after `seconds` unless it has ended by
// then: the last word on a run whose libraries' exit handlers hang. Safe to
// call from a signal handler; a later call replaces an earlier one.
void end_within(unsigned seconds, int status);
// Ends the process with `status` now, without its exit handlers (safe in a
// signal handler).
[[noreturn]] void end_now(int status);

}  // namespace simhost::os
