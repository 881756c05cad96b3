// Traffic alert and collision avoidance computer: surveillance cycle and threat
// selection, per-slot target evaluation and display slots, the resolution
// advisory output stage (PFD bands and aural messages).
//
// Reads the host's own position and gauges, the traffic positions (every
// slot of the host's TCAS target arrays when present, else its multiplayer
// planes), the transponder knob, its failure and its power, AC transfer bus
// 1, the GPWS alert standing and the scripts' EFIS controls.
// Writes the published traffic slots and flags (alerting/tcas_values.h, tcas_labels.h), the range
// rings (display/nd_slots.h) and the TCAS aural flags (alerting/aural_cues.h).
#pragma once

#include <cstdint>

constexpr int kTcasSlots = 18;        // display slots 1..18 of the published traffic arrays
// Traffic sources: the host's target arrays hold 64 (element 0 is the
// aircraft itself), its multiplayer planes number 19. Every source is
// surveilled; the display slots take the most threatening and nearest.
constexpr int kTcasSources = 63;
constexpr int kTcasMultiplayerPlanes = 19;
constexpr float kTcasNoThreat_nm = 99.0f;

struct TcasCycleState {
  float own_lat_deg, own_lon_deg;  // narrowed to float each frame
  float own_elev_m;
  float cycle_timer_s;             // since the last cycle
  float cycle_phase_s;             // the one-second schedule, its overshoot carried
  int32_t cycle_flag;              // 1 on a cycle frame
  float cycle_step_s;              // cycle timer at the last cycle frame
  float own_elev_last_cycle_m;
};
extern TcasCycleState tcas_cycle;

// A climb or descend at the normal or the strong rate (RA codes 1, 2, 4, 5).
inline bool tcas_corrective_code(float code) { return code == 1.0f || code == 2.0f || code == 4.0f || code == 5.0f; }

// RA commands (update_tcas -> tcas_resolution_advisory).
namespace ra_cmd {
constexpr int none = 0, climb_now = 1, climb = 2, increase_climb = 3, crossing_climb = 4, maintain_climb = 5;
constexpr int descend_now = 6, descend = 7, increase_descent = 8, crossing_descend = 9, maintain_descend = 10;
constexpr int adjust = 11, monitor = 12, traffic = 13, clear_of_conflict = 14;
}  // namespace ra_cmd

struct TcasThreatState {
  float threat_distance_nm = kTcasNoThreat_nm;  // the cycle's threat; 99 none
  float slot_distance_nm = kTcasNoThreat_nm;    // of the slot evaluated last; 99 not evaluated
  int32_t worst_level;              // 0 other, 1 proximate, 2 TA, 3 RA
  float ra_code;                    // 0..9, state at the end of the last cycle
  float threat_rel_alt_ft;          // own minus the threat's
  int32_t active_advisories;        // slots with a code 1..8 this cycle
  int32_t advisory_issued;          // an RA command 1..12 issued and not ended
  float ra_command;                 // 0..14, see ra_cmd
  float command_in_force;
  float announcement;
  float message_code;
  float repeat_count;
  float message_hold_s;
  float up_band[2], down_band[2];   // captain, first officer
  float captured_vs_fpm[2];
  float ra_sense;                   // of the advisory running: 1 climb, -1 descend, 0 none yet
  int32_t sense_reversed;           // it has reversed once and keeps its sense to its end
  int32_t threat_slot;              // traffic source whose code the advisory follows; 0 none
  float named_code;                 // the RA code the RA command was named from
  float named_sense;                // the advisory's sense then (ra_sense)
  float corrective_s;               // a climb or descend (codes 1, 2, 4, 5) in force since, up to the last cycle
};
extern TcasThreatState tcas_threat;

// TA ONLY as the computer judges traffic by it: from the knob, and at TA/RA
// from the radio altitude with its band (TA only below 900 ft, TA/RA above
// 1,100 ft, as it was in between). The test leaves it alone; a computer
// switched off, unpowered or failed knows none, and coming back inside the
// band takes TA only below 1,000 ft. The displays' TA ONLY is drawn from it.
//
// A GPWS alert of the ground proximity modes or windshear takes the crew's
// ears and its manoeuvre: while it stands the computer judges traffic at TA
// ONLY whatever the knob, and its voice waits.
struct TcasTaOnlyState {
  int32_t state = -1;  // 1 TA only, 0 TA/RA, -1 not known
  int32_t gpws_inhibit = 0;  // 1 while a running computer yields to a GPWS alert
  float gpws_hold_s = 0.0f;  // s the yielding lasts past the alert's last frame
};
extern TcasTaOnlyState tcas_ta_only;
// TA only as judged this frame (a computer that knows none judges nothing).
inline bool tcas_judges_ta_only() { return tcas_ta_only.state == 1 || tcas_ta_only.gpws_inhibit != 0; }

// What a frame's evaluation of one source leaves for the displays.
struct TcasTargetView {
  int32_t drawable;    // tracked, within 8,700 ft and 80 nm, and not hidden as remote other traffic
  int32_t cycle;       // evaluated on a cycle frame (the symbol type and arrow are drawn then)
  int32_t level;       // 0 other, 1 proximate, 2 TA, 3 RA
  int32_t label_n;     // hundreds of feet above (+) or below (-)
  float lat_deg, lon_deg;
  float d_nm;
  float bearing_deg;   // true, from own position; valid with has_bearing
  int32_t has_bearing;
  float vs_fpm;        // the intruder's over the last cycle (cycle frames)
};

// Per-source track history; index = source (0 unused).
struct TcasTrackHistory {
  float prev_distance_nm[kTcasSources + 1];
  float prev_target_elev_m[kTcasSources + 1];
  float track_counter[kTcasSources + 1];
  float prev_lat_deg[kTcasSources + 1];
  float prev_lon_deg[kTcasSources + 1];
  float prev_bearing_deg[kTcasSources + 1];  // true, from own position, at the last cycle
  int32_t level[kTcasSources + 1];            // the threat level of the last cycle (0 other)
  TcasTargetView view[kTcasSources + 1];      // of this frame
  // The source drawn in each display slot (0 none): a target keeps its slot
  // while it stays among those shown, so its symbol does not hop.
  int32_t display_source[kTcasSlots + 1];
};
extern TcasTrackHistory tcas_track;

// One row of the altitude-dependent sensitivity table.
struct TcasSensitivity {
  float ta_time_s, ra_time_s, ra_distance_nm, required_miss_ft, ta_distance_nm;
};
// The row for the captain's altitude and radio altitude, or the TA-only row.
TcasSensitivity tcas_sensitivity(bool ta_only, float radio_alt_ft, float altitude_ft);

struct TcasTargetResult {
  int32_t ra_code;
  float range_time_s;      // 99 none, 100 diverging
  float vertical_time_s;
  float relative_alt_ft;   // own minus intruder
  float level;             // 0..3
  // The intruder's elevation now and as predicted for closest approach, at
  // most the RA time ahead (m): the choice of one sense against several
  // threats.
  float intruder_elev_m;
  float predicted_elev_m;
  // The side an adjust code (7) issued as the first advisory keeps the
  // aircraft on: 1 above the intruder, -1 below; 0 otherwise.
  float adjust_sense;
};

void update_tcas();
// TCAS FAIL: the IRS heading not aligned, or the transponder failed or
// unpowered.
bool tcas_failed();
// Traffic sources the host gives: its target arrays when it has them, else
// its multiplayer planes.
int tcas_source_count();
// One traffic source (1..kTcasSources; out of range does nothing and
// returns zeros). Leaves its view for tcas_place_targets.
TcasTargetResult evaluate_tcas_target(int source, float step_s);
// Gives the display slots, on a cycle frame, to the most threatening and
// nearest sources the frame's evaluation can draw, and draws each slot's
// source on both sides.
void tcas_place_targets();
// The advisory code for several RA threats at once: a sense that passes
// every one of them on the side it is on now by the required miss; else,
// with threats above and below, the maintain (climbing or descending side
// by own vertical speed) that keeps the aircraft between them; else -1,
// the nearest threat's own code stands.
int tcas_multi_threat_sense(const TcasTargetResult* threats, int count);
void tcas_test_pattern();
void tcas_clear_state();
void tcas_resolution_advisory();
void tcas_msgs_reset();
// Start-up state of a new flight: threat state cleared (distance 99), the
// TCAS test flag, the first officer's display flags and the aural flags off.
void tcas_startup_reset();

// Display scale for a range index (0 = 2 ... 7 = 1/64); 0 for anything else.
float tcas_range_scale(float range_index);
// Writes an altitude label ("+04", "-05") for hundreds of feet n.
void tcas_format_label(int n, char* out, int out_size);
