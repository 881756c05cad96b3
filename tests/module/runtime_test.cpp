// The runtime linked the shipped module's way, loaded as the host loads it.
#include <dlfcn.h>
#include <unistd.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

TEST(ModuleRuntime, UnwindsDrawsRandomNumbersAndSizesFiles) {
  void* probe = dlopen(CORVANE_RUNTIME_PROBE_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(probe, nullptr) << dlerror();
  auto exception = reinterpret_cast<int (*)(int)>(dlsym(probe, "probe_exception"));
  auto random = reinterpret_cast<int (*)(unsigned*, unsigned*)>(dlsym(probe, "probe_random"));
  auto file_size = reinterpret_cast<long (*)(const char*)>(dlsym(probe, "probe_file_size"));
  ASSERT_TRUE(exception && random && file_size);

  EXPECT_EQ(exception(0), 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(exception(1), 1) << "thrown and caught inside the module";

  unsigned a = 0, b = 0, c = 0, d = 0;
  EXPECT_EQ(random(&a, &b), 1);
  EXPECT_EQ(random(&c, &d), 1);
  EXPECT_FALSE(a == b && b == c && c == d);

  const std::string path = std::filesystem::temp_directory_path() / ("corvane-probe-" + std::to_string(getpid()));
  std::ofstream(path) << std::string(1000, 'x');
  EXPECT_EQ(file_size(path.c_str()), 1000);
  std::filesystem::remove(path);
  dlclose(probe);
}

}  // namespace
