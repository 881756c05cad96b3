// The Windows side of the host's operating-system seam. The module is loaded
// with LoadLibrary; its imports from XPLM_64.dll bind to the host's DLL of
// that name beside the executable. What the POSIX host gets from symbol
// interposition (the module's time, srand and rand reaching the clock seam,
// its OpenGL calls landing in the host's GL) is done here by pointing the
// module's import slots at the host's functions right after the load, before
// any entry point runs. Static initialisers of the module run before that and
// still reach the C runtime's own functions.
#include "os.h"
#include "state.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace simhost::os {
namespace {

std::wstring wide(const std::string& text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  if (n <= 1) return std::wstring();
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), n);
  out.resize(static_cast<size_t>(n - 1));
  return out;
}

std::string narrow(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
  out.resize(static_cast<size_t>(n - 1));
  return out;
}

// LoadLibrary takes a path with backslashes only.
std::wstring native_path(const std::string& path) {
  std::wstring w = wide(path);
  for (wchar_t& c : w)
    if (c == L'/') c = L'\\';
  return w;
}

std::string error_text(DWORD code) {
  char buf[512];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buf,
                           sizeof buf, nullptr);
  while (n > 0 && (buf[n - 1] == '\n' || buf[n - 1] == '\r' || buf[n - 1] == ' ' || buf[n - 1] == '.')) --n;
  return std::string(buf, n) + " (error " + std::to_string(code) + ")";
}

bool is_c_runtime(const char* dll) {
  return _stricmp(dll, "msvcrt.dll") == 0 || _stricmp(dll, "ucrtbase.dll") == 0 ||
         _strnicmp(dll, "api-ms-win-crt-", 15) == 0;
}

void redirect_imports(HMODULE module) {
  auto* base = reinterpret_cast<uint8_t*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (dir.VirtualAddress == 0) return;
  for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name != 0; ++imp) {
    const char* dll = reinterpret_cast<const char*>(base + imp->Name);
    const bool crt = is_c_runtime(dll);
    const bool gl = _stricmp(dll, "opengl32.dll") == 0;
    if (!crt && !gl) continue;
    const DWORD lookup = imp->OriginalFirstThunk ? imp->OriginalFirstThunk : imp->FirstThunk;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + lookup);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
        if (gl) problem("the module imports an OpenGL function by ordinal");
        continue;
      }
      const auto* by_name = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      const char* name = reinterpret_cast<const char*>(by_name->Name);
      void* to = crt ? seam_function(name) : counting_gl_function(name);
      if (!to) {
        if (gl) problem("the module imports %s, which the counting OpenGL stand-in lacks", name);
        continue;
      }
      DWORD old = 0;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(to);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
    }
  }
}

}  // namespace

void* load_library(const std::string& path, std::string* error) {
  HMODULE module = LoadLibraryW(native_path(path).c_str());
  if (!module) {
    if (error) *error = error_text(GetLastError());
    return nullptr;
  }
  redirect_imports(module);
  return reinterpret_cast<void*>(module);
}

void* find_symbol(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void unload_library(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

bool still_loaded(const std::string& path) { return GetModuleHandleW(native_path(path).c_str()) != nullptr; }

std::string make_temp_folder() {
  wchar_t temp[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  if (n == 0 || n > MAX_PATH) return std::string();
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::wstring dir = std::wstring(temp) + L"simhost-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                       std::to_wstring(++counter);
    if (CreateDirectoryW(dir.c_str(), nullptr)) {
      std::string out = narrow(dir);
      for (char& c : out)
        if (c == '\\') c = '/';
      return out + "/";
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
  }
  return std::string();
}

long process_id() { return static_cast<long>(GetCurrentProcessId()); }

// The Windows host counts its GL calls and starts no thread: nothing of its
// own can hold the process at exit.
void end_within(unsigned, int) {}

void end_now(int status) { std::_Exit(status); }

}  // namespace simhost::os
