// Weather report request (see metar.h).
#include "systems/radios/metar.h"

#include <cstring>
#include <fstream>
#include <string>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/host_io.h"
#include "core/paths.h"
#include "core/trace.h"

char metar_request_code[5];

namespace {

constexpr float kRequest = 1.0f;
constexpr float kFetch = 2.0f;
constexpr float kDone = 3.0f;
// The host's weather report is not meant to be asked for every frame: after
// an empty answer (real weather off, unknown airport) it is asked again at
// most this often.
constexpr float kEmptyAnswerRetrySeconds = 1.0f;

// The host's report function, or null on a host without it.
XPLMGetMETARForAirport_f host_metar;
// The host answers weather reads only before its flight model runs, so the
// report is fetched by a loop of that phase, created on the first request and
// scheduled only while a request waits for it.
XPLMFlightLoopID fetch_loop;
bool fetch_scheduled;
// Snapshot lines: the airport code in the first four characters, the report
// from index 11 up to the first colon after it.
constexpr size_t kReportStart = 11;

void set_state(float state) { script_set_f(bound::zuvadud_D738_metar_cmd, state); }

void read_request_code() {
  char code[4] = {0, 0, 0, 0};
  const int n = read_now_bytes(bound::zuvadud_D738_metar_icao, code, 4);
  if (n != 4) return;  // too short: read again next frame
  std::memcpy(metar_request_code, code, 4);
  metar_request_code[4] = '\0';
  set_state(kFetch);
}

// False when the host had no report (the request goes back to its first state).
bool fetch_from_host() {
  XPLMFixedString150_t report;
  std::memset(&report, 0, sizeof report);
  host_metar(metar_request_code, &report);
  // The host's text may fill all 150 characters without a terminator.
  size_t len = 0;
  while (len < sizeof report.buffer && report.buffer[len] != '\0') ++len;
  if (len == 0) {
    set_state(kRequest);
    return false;
  }
  char block[kMetarDataSize];
  std::memset(block, 0, sizeof block);
  std::memcpy(block, report.buffer, len);
  script_set_bytes(bound::zuvadud_D738_metar_data, block, kMetarDataSize);
  set_state(kDone);
  return true;
}

float fetch_loop_callback(float, float, int, void*) {
  trace_step("metar_fetch_loop");
  // Nothing waits any more (the scripts withdrew the request, or its airport
  // code is still being read after an empty answer): sleep until asked again.
  if (!bound_present(bound::zuvadud_D738_metar_cmd) || host_metar == nullptr ||
      read_now_f(bound::zuvadud_D738_metar_cmd) != kFetch) {
    fetch_scheduled = false;
    return 0.0f;
  }
  if (fetch_from_host()) {
    fetch_scheduled = false;
    return 0.0f;
  }
  return kEmptyAnswerRetrySeconds;
}

// Has the fetch loop ask the host before its next flight model step; a loop
// already waiting out an empty answer keeps its time.
void schedule_host_fetch() {
  if (fetch_scheduled) return;
  if (fetch_loop == nullptr) {
    XPLMCreateFlightLoop_t record{static_cast<int>(sizeof(XPLMCreateFlightLoop_t)),
                                  xplm_FlightLoop_Phase_BeforeFlightModel, fetch_loop_callback, nullptr};
    fetch_loop = XPLMCreateFlightLoop(&record);
    if (fetch_loop == nullptr) return;
  }
  XPLMScheduleFlightLoop(fetch_loop, -1.0f, 1);
  fetch_scheduled = true;
}

void fetch_from_snapshot() {
  std::ifstream file;
  if (weather_snapshot_path[0] != '\0') file.open(weather_snapshot_path, std::ios::in | std::ios::binary);
  if (!file.is_open()) {
    set_state(kRequest);
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
      script_set_bytes(bound::zuvadud_D738_metar_data, block, static_cast<int>(len + 1));
    }
    break;  // only the first matching line counts
  }
  set_state(kDone);
}

}  // namespace

void update_metar_request() {
  if (!bound_present(bound::zuvadud_D738_metar_cmd)) return;
  const float c = read_now_f(bound::zuvadud_D738_metar_cmd);
  if (c == kRequest) {
    read_request_code();
  } else if (c == kFetch) {
    // A newer host without the report function (its first releases) is
    // served like an older one, from the weather engine's snapshot.
    if (host_version >= 120000 && host_metar != nullptr) {
      schedule_host_fetch();
    } else {
      fetch_from_snapshot();
    }
  }
}

void find_host_metar_function() {
  host_metar = reinterpret_cast<XPLMGetMETARForAirport_f>(XPLMFindSymbol("XPLMGetMETARForAirport"));
  fetch_loop = nullptr;
  fetch_scheduled = false;
}

void release_metar_fetch_loop() {
  if (fetch_loop != nullptr) XPLMDestroyFlightLoop(fetch_loop);
  fetch_loop = nullptr;
  fetch_scheduled = false;
  host_metar = nullptr;
}
