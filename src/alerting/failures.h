// Random and conditional failures: the trigger timers of the five failure
// tables, the one-entry-per-frame scan that arms delays and fails entries,
// the per-aircraft hydraulic random values and the reset-available lights.
//
// Reads: failure_tables, the host's engine fuel burn, ground speed and
// radio/indicated altitude, the scripts' V1/V2 and flight phase, the tyre
// burst flags. Writes: failure_tables (and the scripts' arrays when an entry
// fails), the hydraulic model's drawn values, the reset-available values.
#pragma once

#include <cstdint>

#include "core/failure_tables.h"

enum FailureGroup : int { fail_electric, fail_hydraulic, fail_system, fail_pressurisation, fail_engine, fail_groups };

// Remaining delay (s) of each armed entry; 0 = none drawn. Group order as the tables.
struct FailureTimers {
  float delay_s[fail_groups][kFailureEntriesExchanged];
};
extern FailureTimers failure_timers;
extern int32_t failure_scan_index;  // 0..69, the entry examined this frame

// The table of a group (nullptr out of range).
float* failure_table(int group);
// Writes a group's 70 entries back to the scripts.
void write_failure_table(int group);

// One step of an entry's trigger timer: true when the entry failed now.
bool failure_timer_electric(int index, float min_delay_s, float max_delay_s);
bool failure_timer_hydraulic(int index, float min_delay_s, float max_delay_s);
bool failure_timer_system(int index, float min_delay_s, float max_delay_s);
bool failure_timer_pressurisation(int index, float min_delay_s, float max_delay_s);
bool failure_timer_engine(int index, float min_delay_s, float max_delay_s);
// Entries 0..68 of all five timer arrays back to 0.
void clear_failure_timers();

void update_random_failures();
void update_fail_reset_available();
// Draws the hydraulic pump pressures, quantities and residual pressures,
// restarts the scan and clears all timers.
void randomize_system_values();
