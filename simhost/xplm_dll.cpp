// XPLM_64.dll of the Windows host. It exports exactly the host functions the
// module imports (generated from the module's import definition); each export
// jumps to the host executable's function of the same name, looked up when
// this DLL loads. The host's code and state thus live once, in the executable,
// as on POSIX systems where the executable exports them to the module.
#include <windows.h>

#include <cstdio>

namespace {

const char* const kNames[] = {
#define SIMHOST_XPLM_EXPORT(index, name) #name,
#include "xplm_exports.inc"
#undef SIMHOST_XPLM_EXPORT
};
constexpr size_t kCount = sizeof kNames / sizeof kNames[0];

}  // namespace

extern "C" {
void* simhost_xplm_slots[kCount];
}

#define SIMHOST_XPLM_EXPORT(index, name) \
  ".globl " #name "\n" #name ":\n\tjmp *(simhost_xplm_slots + 8 * " #index ")(%rip)\n"
asm(".text\n"
#include "xplm_exports.inc"
);
#undef SIMHOST_XPLM_EXPORT

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  HMODULE host = GetModuleHandleW(nullptr);
  for (size_t i = 0; i < kCount; ++i) {
    simhost_xplm_slots[i] = reinterpret_cast<void*>(GetProcAddress(host, kNames[i]));
    if (!simhost_xplm_slots[i]) {
      std::fprintf(stderr, "XPLM_64.dll: the host executable does not export %s\n", kNames[i]);
      return FALSE;
    }
  }
  return TRUE;
}
