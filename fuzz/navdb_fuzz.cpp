// Fuzz target of the navigation file reading: the first byte chooses the
// splitter alone or one of the five loaders; the rest is the file's content.
// The loaders read a real file, so the input is written to a scratch file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "navdata/line_split.h"
#include "navdata/nav_tables.h"
#include "navdata/navdb.h"

namespace {

// The scratch file lives in a folder of its own under the temporary folder
// ($TMPDIR, else /tmp), and both go when the run ends, so a run leaves
// nothing behind however many runs share the machine.
std::string scratch_dir;
std::string scratch_file;

void remove_scratch() {
  if (!scratch_file.empty()) std::remove(scratch_file.c_str());
  if (!scratch_dir.empty()) rmdir(scratch_dir.c_str());
}

const std::string& scratch_path() {
  if (scratch_file.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && tmp[0] != '\0' ? tmp : "/tmp") + "/corvane_navdb_fuzz_XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) __builtin_trap();
    scratch_dir = pattern;
    scratch_file = scratch_dir + "/navdata.dat";
    std::atexit(remove_scratch);
  }
  return scratch_file;
}

void check_tables() {
  // Counts stay within their tables and every index entry within its table.
  if (nav_db.waypoint_count < 0 || nav_db.waypoint_count > kWaypointSlots - 1) __builtin_trap();
  for (const auto& bucket : nav_db.waypoint_index.buckets) {
    if (bucket[0] < 0 || bucket[0] > kWaypointBucket - 2) __builtin_trap();
    for (int32_t i = 1; i <= bucket[0]; ++i)
      if (bucket[i] < 0 || bucket[i] >= nav_db.waypoint_count) __builtin_trap();
  }
  for (int32_t i = 0; i < nav_db.waypoint_count; ++i)
    if (std::memchr(nav_db.waypoints[i].name, 0, sizeof nav_db.waypoints[i].name) == nullptr) __builtin_trap();
}

void count_line(const SplitLine& line, void* context) {
  if (line.count < 1 || line.count > kSplitMaxFields) __builtin_trap();
  for (int k = 0; k < kSplitMaxFields; ++k)
    if (std::strlen(line.field[k]) > static_cast<size_t>(kSplitFieldChars)) __builtin_trap();
  ++*static_cast<int64_t*>(context);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int which = data[0] % 7;
  const char* text = reinterpret_cast<const char*>(data + 1);
  const size_t n = size - 1;
  if (which == 0) {
    static SplitLine line;
    split_line(line, text, n);
    return 0;
  }
  if (which == 1) {
    // The streaming reader fed in two uneven pieces must match one piece.
    static LineReader a, b;
    int64_t lines_a = 0, lines_b = 0;
    line_reader_begin(a, 1, 1, count_line, &lines_a);
    line_reader_feed(a, text, n);
    line_reader_end(a);
    line_reader_begin(b, 1, 1, count_line, &lines_b);
    line_reader_feed(b, text, n / 3);
    line_reader_feed(b, text + n / 3, n - n / 3);
    line_reader_end(b);
    if (lines_a != lines_b) __builtin_trap();
    return 0;
  }
  std::FILE* f = std::fopen(scratch_path().c_str(), "wb");
  if (!f) return 0;
  std::fwrite(text, 1, n, f);
  std::fclose(f);
  const char* p = scratch_path().c_str();
  switch (which) {
    case 2: load_nav_dat(p); break;
    case 3: nav_reset_navaid_tables(); load_fix_dat(p); break;
    case 4: load_apt_list(p); break;
    case 5: load_rnw_list(p); break;
    default: load_gate_list(p); break;
  }
  check_tables();
  return 0;
}
