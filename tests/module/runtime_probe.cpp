// Exercises the parts of the linked-in runtime whose C library references the
// shipped module redirects: exception unwinding, random_device, file streams.
#include <filesystem>
#include <fstream>
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

// A file copied by the runtime (which sizes the source through its open
// descriptor); the copy's length, or -1.
extern "C" __attribute__((visibility("default"))) long probe_copy(const char* from, const char* to) {
  std::error_code error;
  if (!std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error)) return -1;
  std::ifstream file(to, std::ios::binary | std::ios::ate);
  return file.is_open() ? static_cast<long>(file.tellg()) : -1;
}
