// Exercises the parts of the linked-in runtime whose C library references the
// shipped module redirects: exception unwinding, random_device, a file size
// through its descriptor.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>
#include <stdexcept>
#include <string>

namespace {
[[gnu::noinline]] int thrower(int value) {
  if (value > 0) throw std::runtime_error("probe");
  return value;
}
}  // namespace

// 1 when an exception thrown here is caught here.
extern "C" __attribute__((visibility("default"))) int probe_exception(int value) {
  try {
    thrower(value);
  } catch (const std::runtime_error& e) {
    return std::string(e.what()) == "probe" ? 1 : 2;
  }
  return 0;
}

// Distinct values from the kernel's generator, through random_device.
extern "C" __attribute__((visibility("default"))) int probe_random(unsigned* a, unsigned* b) {
  std::random_device device("arc4random");
  *a = device();
  *b = device();
  return 1;
}

// A file's size through its open descriptor (the call the runtime's file
// streams make), or -1.
extern "C" __attribute__((visibility("default"))) long probe_file_size(const char* path) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat64 st;
  const int r = fstat64(fd, &st);
  close(fd);
  return r == 0 ? static_cast<long>(st.st_size) : -1;
}
