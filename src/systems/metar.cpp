// Weather report request (see metar.h).
#include "systems/metar.h"

#include <cstring>
#include <fstream>
#include <string>

#include "core/binding.h"
#include "core/frame.h"
#include "core/lifecycle.h"

char metar_request_code[5];

namespace {

constexpr float kRequest = 1.0f;
constexpr float kFetch = 2.0f;
constexpr float kDone = 3.0f;
// Snapshot lines: the airport code in the first four characters, the report
// from index 11 up to the first colon after it.
constexpr size_t kReportStart = 11;

void set_state(XPLMDataRef cmd, float state) { XPLMSetDataf(cmd, state); }

void read_request_code(XPLMDataRef cmd) {
  char code[4] = {0, 0, 0, 0};
  int n = 0;
  if (XPLMDataRef icao = handle(bound::zuvadud_D738_metar_icao)) n = XPLMGetDatab(icao, code, 0, 4);
  if (n != 4) return;  // too short: read again next frame
  std::memcpy(metar_request_code, code, 4);
  metar_request_code[4] = '\0';
  set_state(cmd, kFetch);
}

void fetch_from_host(XPLMDataRef cmd) {
  XPLMFixedString150_t report;
  std::memset(&report, 0, sizeof report);
  XPLMGetMETARForAirport(metar_request_code, &report);
  // The host's text may fill all 150 characters without a terminator.
  size_t len = 0;
  while (len < sizeof report.buffer && report.buffer[len] != '\0') ++len;
  if (len == 0) {
    set_state(cmd, kRequest);
    return;
  }
  char block[kMetarDataSize];
  std::memset(block, 0, sizeof block);
  std::memcpy(block, report.buffer, len);
  if (XPLMDataRef data = handle(bound::zuvadud_D738_metar_data)) XPLMSetDatab(data, block, 0, kMetarDataSize);
  set_state(cmd, kDone);
}

void fetch_from_snapshot(XPLMDataRef cmd) {
  std::ifstream file;
  if (weather_snapshot_path[0] != '\0') file.open(weather_snapshot_path, std::ios::in | std::ios::binary);
  if (!file.is_open()) {
    set_state(cmd, kRequest);
    return;
  }
  std::string line;
  while (std::getline(file, line)) {
    if (line.size() <= kReportStart || line.compare(0, 4, metar_request_code, 4) != 0) continue;
    const size_t colon = line.find(':', kReportStart);
    if (colon != std::string::npos) {
      char block[kMetarDataSize];
      // A report that would not fit is cut to the buffer, terminator included.
      size_t len = colon - kReportStart;
      if (len > kMetarDataSize - 1) len = kMetarDataSize - 1;
      std::memcpy(block, line.data() + kReportStart, len);
      block[len] = '\0';
      if (XPLMDataRef data = handle(bound::zuvadud_D738_metar_data)) {
        XPLMSetDatab(data, block, 0, static_cast<int>(len + 1));
      }
    }
    break;  // only the first matching line counts
  }
  set_state(cmd, kDone);
}

}  // namespace

void update_metar_request() {
  XPLMDataRef cmd = handle(bound::zuvadud_D738_metar_cmd);
  if (cmd == nullptr) return;
  const float c = XPLMGetDataf(cmd);
  if (c == kRequest) {
    read_request_code(cmd);
  } else if (c == kFetch) {
    if (host_version >= 120000) {
      fetch_from_host(cmd);
    } else {
      fetch_from_snapshot(cmd);
    }
  }
}
