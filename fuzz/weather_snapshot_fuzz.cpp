// Fuzz target of the weather report request: the airport code the scripts
// ask for and the report source, either the outside weather engine's snapshot
// file (read line by line) or the host's report. Input: one flag byte (bit 0:
// the host's report instead of the file), four bytes of airport code, then
// the file's content (or the host's report text). The report handed to the
// scripts must be exactly the one an independent reading of the file finds,
// terminated inside the scripts' field, with the request answered.
#include <cstdio>
#include <string>

#include "core/frame_values.h"
#include "aircraft/lifecycle.h"
#include "fuzz_support.h"
#include "systems/radios/metar.h"

namespace {

const char* const kCmd = "zuvadud/D738/metar_cmd";
const char* const kIcao = "zuvadud/D738/metar_icao";
const char* const kData = "zuvadud/D738/metar_data";
std::string snapshot;

// The report the snapshot gives for a code: the first line of more than 11
// characters that starts with the code, from index 11 to the first colon
// after it. found: such a line exists; has_report: it has the colon.
struct Expected {
  bool found = false, has_report = false;
  std::string report;
};
Expected expected_from_file(const std::string& content, const std::string& code) {
  Expected e;
  size_t pos = 0;
  while (pos < content.size()) {
    size_t nl = content.find('\n', pos);
    if (nl == std::string::npos) nl = content.size();
    const std::string line = content.substr(pos, nl - pos);
    pos = nl + 1;
    if (line.size() <= 11 || line.compare(0, 4, code) != 0) continue;
    e.found = true;
    const size_t colon = line.find(':', 11);
    if (colon != std::string::npos) {
      e.has_report = true;
      e.report = line.substr(11, std::min<size_t>(colon - 11, kMetarDataSize - 1));
    }
    break;
  }
  return e;
}

std::string text_of(const std::string& bytes) { return bytes.substr(0, bytes.find('\0')); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::start_host();
  snapshot = simhost::root() + "snapshot.txt";
  std::snprintf(weather_snapshot_path, sizeof weather_snapshot_path, "%s", snapshot.c_str());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5) return 0;
  simhost::clear_problems();
  simhost::clear_non_finite_writes();
  const bool from_host = (data[0] & 1) != 0;
  const std::string code(reinterpret_cast<const char*>(data + 1), 4);
  const std::string content(reinterpret_cast<const char*>(data + 5), size - 5);
  const std::string previous = "previous report";
  simhost::set_bytes(kData, previous + std::string(kMetarDataSize - previous.size(), '\0'));
  simhost::set_bytes(kIcao, code);

  host_version = from_host ? 120000 : 110000;
  // Each input starts with no fetch waiting; the host's report function is
  // looked up as at start.
  release_metar_fetch_loop();
  find_host_metar_function();
  if (from_host) {
    simhost::set_metar(text_of(code), content);
  } else {
    std::FILE* f = std::fopen(snapshot.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
  }

  simhost::set_float(kCmd, 1.0f);
  update_metar_request();  // takes the code
  fuzz::require(simhost::get_float(kCmd) == 2.0f, "code not taken");
  fuzz::check_terminated(metar_request_code, sizeof metar_request_code, "request code");
  update_metar_request();  // fetches from the file, or has the host asked before its next flight model
  if (from_host) simhost::frame(0.05f);
  const std::string got = simhost::get_bytes(kData);
  fuzz::require(got.size() == static_cast<size_t>(kMetarDataSize), "report field size changed");
  fuzz::require(got.find('\0') != std::string::npos, "report not terminated");

  if (from_host) {
    // The host's report is at most 149 characters; none means ask again.
    const std::string host_text = text_of(content).substr(0, 149);
    if (code.find('\0') == std::string::npos) {
      if (host_text.empty()) {
        fuzz::require(simhost::get_float(kCmd) == 1.0f, "empty host report not asked again");
        fuzz::require(text_of(got) == previous, "empty host report wrote the field");
      } else {
        fuzz::require(simhost::get_float(kCmd) == 3.0f, "host report not answered");
        fuzz::require(text_of(got) == host_text, "host report differs");
      }
    }
  } else {
    fuzz::require(simhost::get_float(kCmd) == 3.0f, "snapshot request not answered");
    const Expected e = expected_from_file(content, code);
    fuzz::require(text_of(got) == (e.has_report ? text_of(e.report) : previous), "snapshot report differs");
  }
  fuzz::check_host();
  return 0;
}
