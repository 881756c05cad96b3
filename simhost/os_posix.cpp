// The POSIX side of the host's operating-system seam: dlopen with every
// symbol bound at load, the module's undefined host functions and its time,
// srand, rand and OpenGL calls resolving to the executable's definitions.
#include "os.h"

#include <dlfcn.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>

namespace simhost::os {

void* load_library(const std::string& path, std::string* error) {
  dlerror();
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library && error) *error = dlerror();
  return library;
}

void* find_symbol(void* library, const char* name) { return dlsym(library, name); }

void unload_library(void* library) { dlclose(library); }

bool still_loaded(const std::string& path) {
  // With unique symbols the library would stay mapped and keep its globals.
  void* again = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
  if (!again) return false;
  dlclose(again);
  return true;
}

std::string make_temp_folder() {
  char tmpl[] = "/tmp/simhost-XXXXXX";
  const char* dir = mkdtemp(tmpl);
  return dir ? std::string(dir) + "/" : std::string();
}

long process_id() { return static_cast<long>(getpid()); }

namespace {
volatile sig_atomic_t g_end_status = 0;
void end_on_alarm(int) { _exit(g_end_status); }
}  // namespace

void end_within(unsigned seconds, int status) {
  g_end_status = status;
  struct sigaction a {};
  a.sa_handler = end_on_alarm;
  sigemptyset(&a.sa_mask);
  sigaction(SIGALRM, &a, nullptr);
  alarm(seconds);
}

void end_now(int status) { _exit(status); }

}  // namespace simhost::os
