// Flight-plan file list: lists the host's plan folder into the published text.
#include "lnav/route/fms_plan_list.h"

#include <cstdio>
#include <cstring>

#include "core/paths.h"
#include "platform/xplm.h"

char filename_list[filename_list_bytes];
float filename_list_n;
float filename_list_cmd;

namespace {
constexpr int path_bytes = 512;
constexpr int name_buffer_bytes = 4096;
constexpr int index_count = 4096;
constexpr int max_names_walked = 1023;
constexpr int max_plans_listed = 300;
// Name length limits, extension included: at least one character before ".fms"
// and no more than the scripts' page can show.
constexpr int min_name_chars = 5;
constexpr int max_name_chars = 15;

// Working storage of one request, kept off the host's stack.
struct PlanListScratch {
  char path[path_bytes];
  char names[name_buffer_bytes];
  char* indices[index_count];
  char list[filename_list_bytes];
};
PlanListScratch scratch;

// A name holding a comma is left out: the list separates names with commas,
// so it would reach the scripts as two plans that do not exist.
bool is_plan_name(const char* name, int len) {
  return len >= min_name_chars && len <= max_name_chars && std::memcmp(name + len - 4, ".fms", 4) == 0 &&
         std::memchr(name, ',', static_cast<size_t>(len)) == nullptr;
}
}  // namespace

int take_plan_names(const char* names, int bytes, int total) {
  // The walk never trusts the host to have terminated the last name: a
  // name is taken only when its NUL lies inside the buffer, which a host
  // that fills the buffer to its last byte still satisfies.
  int pos = 0;
  int walked = 0;
  int kept = 0;
  int list_len = 0;
  while (pos < bytes - 1 && walked < total && walked < max_names_walked) {
    const void* nul = std::memchr(names + pos, '\0', static_cast<size_t>(bytes - pos));
    if (nul == nullptr) break;
    const char* name = names + pos;
    const int len = static_cast<int>(static_cast<const char*>(nul) - name);
    ++walked;
    pos += len + 1;
    if (kept >= max_plans_listed || !is_plan_name(name, len)) continue;
    const int stem = len - 4;
    if (list_len + stem + 1 >= filename_list_bytes) break;  // keep room for the NUL
    std::memcpy(scratch.list + list_len, name, static_cast<size_t>(stem));
    list_len += stem;
    scratch.list[list_len++] = ',';
    ++kept;
  }
  // With no plan the previous text stays; only the count says it is empty.
  if (kept > 0) {
    std::memcpy(filename_list, scratch.list, static_cast<size_t>(list_len));
    filename_list[list_len] = '\0';
  }
  return kept;
}

void fms_plan_list_write(void*, float value) {
  if (value != 0.0f) {
    filename_list_n = 0.0f;
    // The host lists a folder named without a trailing separator.
    const int path_len = std::snprintf(scratch.path, sizeof scratch.path, "%sOutput/FMS plans", system_root);
    if (path_len > 0 && path_len < path_bytes) {
      std::memset(scratch.names, 0, sizeof scratch.names);
      int total = 0;
      int returned = 0;
      XPLMGetDirectoryContents(scratch.path, 0, scratch.names, name_buffer_bytes, scratch.indices, index_count,
                               &total, &returned);
      filename_list_n = static_cast<float>(take_plan_names(scratch.names, name_buffer_bytes, total));
    }
  }
  filename_list_cmd = 0.0f;
}
