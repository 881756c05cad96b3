// Ground-proximity warning computer: the mode envelopes, the alert output and
// hold sequencing, the self-test, the radio-altitude callouts, the autoland
// fail grade and the links to the optional terrain-radar and runway-awareness
// add-ons. Reads the frame's host and script mirrors and the electrical
// status; writes the published aural flags (alerting/aural_cues.h) and the
// GPWS lights and PFD warnings (systems/instruments/instrument_values.h).
#pragma once

#include <cstdint>

// Alert codes of the mode evaluation and the self-test (0 = none).
namespace gpws_code {
constexpr int pull_up = 1;
constexpr int windshear = 2;
constexpr int terrain = 3;
constexpr int too_low_terrain = 4;
constexpr int too_low_flaps = 5;
constexpr int too_low_gear = 6;
constexpr int dont_sink = 7;
constexpr int sink_rate = 8;
constexpr int below_glideslope = 9;
constexpr int bank_angle = 10;
constexpr int airspeed_low = 11;
constexpr int approaching_minimums = 28;
constexpr int minimums = 29;
constexpr int terrain_caution = 30;
// Terrain closure outside the landing configuration: TERRAIN, TERRAIN before
// its PULL UP is repeated; in the landing configuration TERRAIN alone.
constexpr int closure_terrain = 31;
constexpr int closure_terrain_landing = 32;
}  // namespace gpws_code

// The windshear mode's history: the mean headwind of each 0.6 s slice.
constexpr int kGpwsWindshearSlices = 18;
constexpr float kGpwsWindshearSlice_s = 0.6f;

struct GpwsState {
  int32_t alert_code;     // pending alert; stays until its sequence ends or a higher one replaces it
  // Every code whose envelope holds this frame (bit 1 << code), spoken or
  // outranked: what stands, not only what the one voice says.
  uint64_t standing_codes;
  int32_t output_code;    // the output the hold stage raises (0 none)
  int32_t repeat_count;   // step counter of a multi-step sequence
  float hold_timer;       // s left for the current flag or pause
  int32_t test_step;      // running self-test step, 1 up (0 none)
  int32_t gpws_phase;     // 0 ground / below 30 ft, 1 takeoff, 2 approach or cruise
  float peak_altitude;    // ft, highest baro altitude under the don't-sink mode; -9999 reset
  float takeoff_peak_ra_ft;  // highest captain's radio altitude since the take-off
  int32_t go_around;
  int32_t go_around_prev;
  int32_t bank_latch_35;
  int32_t bank_latch_40;
  int32_t bank_latch_45;
  // A latch rose while an alert of higher priority was pending: its call
  // waits until nothing higher is (cleared with the latches).
  int32_t bank_call_due;
  float bank_warn;
  int32_t minimums_called;  // MINIMUMS has sounded on this approach
  float sample_timer;        // s
  int32_t sample_slot;       // 1, 2, 3, 1, ...
  int32_t sample_slot_prev;
  int32_t closure_sample[3];  // the terrain-closure envelope broken at that sample
  // The closure's TERRAIN, TERRAIN has been called: PULL UP follows for as
  // long as the envelope holds.
  int32_t closure_called;
  float ws_timer;            // s, age of the windshear slice being filled
  // 0 while the slices hold no sample: nothing is judged until enough whole
  // slices of winds have been seen below the windshear ceiling.
  int32_t ws_filled;
  int32_t in_band_prev;      // last frame was inside 30..2450 ft radio altitude
  float ws_headwind_sum;     // kt s, the headwind along the track summed over the slice
  // kt, the mean headwind of each whole slice, a ring with the latest at
  // ws_latest: the last 10.8 s of winds.
  float ws_headwind[kGpwsWindshearSlices];
  int32_t ws_latest;         // ring index of the latest whole slice
  int32_t ws_windows;        // whole slices seen since the windows restarted, up to the ring's size
  int32_t airspeed_low;
  float airspeed_warn_timer;  // s the PFD airspeed warning has been flashing
  float batbus_prev;
  int32_t air_ground_prev;
  // Too-low arming: 4 arms the gear/flap envelopes; 3 under the don't-sink
  // mode, 5 after a below-glideslope alert.
  int32_t too_low_selector;
};
extern GpwsState gpws_state;
// Whether the code's envelope holds this frame, whichever alert is spoken.
bool gpws_code_standing(int32_t code);
// Empties the windshear window (a load).
void gpws_windshear_empty();

// Radio-altitude callouts: one slot per callout (1..15; 16 only counts down).
struct CalloutState {
  float callout_timer[17];   // s, index 1..16
  uint8_t callout_armed[17]; // index 1..16
  // ft, the height each slot saw on its last evaluated frame (0 after the
  // gate was closed): a frame that crossed the firing height may call from
  // below it.
  float callout_last_ft[17];
  float callout_reset;       // 1 asks for the reset of all timers, arms and flags
};
extern CalloutState callout_state;

struct AutolandFailState {
  float autoland_status_prev;
  float autoland_install_prev = -1.0f;
};
extern AutolandFailState autoland_fail_state;

struct RunwayAwarenessLinkState {
  float raas_vref_prev = -1.0f;
  float raas_takeoff_flaps_prev = -1.0f;
  float raas_landing_flaps_prev = -1.0f;
};
extern RunwayAwarenessLinkState raas_link_state;

// One frame of the GPWS (inside the systems frame; never in replay or pause).
void gpws_update();
// The crew's BELOW G/S inhibit: below-glideslope alerting stays silent for
// the rest of the approach when pushed inside its area (below 1000 ft).
void gpws_below_gs_inhibit();
// Clears every aural GPWS flag.
void gpws_msgs_reset();
// The call under way ends with its flags, and the alert it belongs to: a
// call cut off (a replay, the plug-in switched off) is not taken up half-way
// nor finished once its cause has gone; a cause still there raises it anew.
void gpws_sequence_end();
// The radio-altitude callouts of a powered frame; fo selects the first
// officer's instruments. With `wait` (an alert that ranks above the
// callouts sounding) no callout is made this frame: an armed one is made
// once the alert has ended, if the height still calls for it.
void update_radio_altitude_callouts(bool fo, bool wait);
// The callout reset request: timers and arms (unless replaying) and all flags.
void callouts_reset_check();
// Power loss: timers and arms cleared, flags kept.
void callouts_power_off();
// The runway-awareness add-on's overrides (end of every GPWS frame).
void update_runway_awareness_link();
// The autoland fail grade and alert (systems frame, after the GPWS and TCAS).
void update_autoland_status();

// Envelope helpers, exposed for their tables.
float gpws_dont_sink_allowed_loss_ft(float radio_alt_ft);
float gpws_closure_limit_fpm(float radio_alt_ft);
float gpws_sink_rate_limit_fpm(float radio_alt_ft);
float gpws_pull_up_limit_fpm(float radio_alt_ft);
// The headwind (kt, negative a tailwind) along a track (deg) of a wind from a
// direction (deg, same reference) at a speed (kt).
float gpws_headwind_kt(float wind_from_deg, float wind_kt, float track_deg);
// The loss of mean headwind (kt) over 1.8 s to the mean 3.6 s later above
// which WINDSHEAR sounds: 30 kt lost in 4 s gives at least 21 kt, a gusty
// day's winds stay below it.
constexpr float kGpwsWindshearLoss_kt = 17.0f;
// A lasting loss (kt): the mean headwind of the last 3.6 s this far below
// the mean of the 3.6 s that ended 3.6 s before them. A headwind dying away
// at 2.5 kt/s for 8 s reaches it; a gust or a lull that comes back within a
// few seconds averages out over those spans.
constexpr float kGpwsWindshearLastingLoss_kt = 15.0f;
