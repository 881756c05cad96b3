// Weather report requests of the scripts' flight-management pages: a small
// state machine on "zuvadud/D738/metar_cmd" (1 read the airport code from
// "metar_icao", 2 fetch, 3 done). The report comes from the host on host 12
// when it has the report function (asked from a before-flight-model loop of
// its own, an empty answer at most once a second), else from the outside
// weather engine's snapshot file (weather_snapshot_path), and is written to
// "zuvadud/D738/metar_data".
#pragma once

constexpr int kMetarDataSize = 512;

// Once per frame after the FIX overlay update; nothing without "metar_cmd".
void update_metar_request();

// Start: looks the host's report function up by name (absent on older hosts).
void find_host_metar_function();
// Stop: destroys the fetch loop if one was made.
void release_metar_fetch_loop();

// The airport code of the request in progress: four characters and a terminator.
extern char metar_request_code[5];
