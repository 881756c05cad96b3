// Fuzz target of the flight-plan folder listing: the names buffer the host
// fills (any bytes, the last name possibly unterminated, the buffer exactly
// as long as the input so a read past it is caught) and the total it
// reports (first two bytes). The published list must be terminated, hold at
// most 300 entries of 1-11 characters each followed by ",", and every entry
// must be the stem of a ".fms" name that lies whole inside the buffer.
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "fuzz_support.h"
#include "lnav/route/fms_plan_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 2 + 8192) return 0;
  const int total = static_cast<int>(data[0]) | (static_cast<int>(data[1] & 0x0f) << 8);
  const int bytes = static_cast<int>(size - 2);
  std::unique_ptr<char[]> names(new char[static_cast<size_t>(bytes ? bytes : 1)]);
  std::memcpy(names.get(), data + 2, static_cast<size_t>(bytes));

  std::memset(filename_list, 'X', sizeof filename_list - 1);
  filename_list[sizeof filename_list - 1] = '\0';
  filename_list[0] = '\0';
  const int kept = take_plan_names(names.get(), bytes, total);
  if (!(kept >= 0 && kept <= 300 && kept <= total)) fuzz::fail("count " + std::to_string(kept));
  fuzz::check_terminated(filename_list, sizeof filename_list, "filename_list");

  std::set<std::string> whole;  // names whose NUL is inside the buffer
  for (int pos = 0; pos < bytes;) {
    const void* nul = std::memchr(names.get() + pos, '\0', static_cast<size_t>(bytes - pos));
    if (!nul) break;
    const int len = static_cast<int>(static_cast<const char*>(nul) - (names.get() + pos));
    whole.insert(std::string(names.get() + pos, static_cast<size_t>(len)));
    pos += len + 1;
  }
  const std::string list = filename_list;
  int entries = 0;
  for (size_t start = 0; start < list.size();) {
    const size_t comma = list.find(',', start);
    fuzz::require(comma != std::string::npos, "entry without its comma");
    const std::string stem = list.substr(start, comma - start);
    if (!(!stem.empty() && stem.size() <= 11)) fuzz::fail("entry length " + std::to_string(stem.size()));
    if (!(whole.count(stem + ".fms") == 1)) fuzz::fail("entry not a listed plan: " + stem);
    ++entries;
    start = comma + 1;
  }
  if (!(entries == kept)) fuzz::fail("entries " + std::to_string(entries) + " count " + std::to_string(kept));
  return 0;
}
