// Shared frame of the leg sequencing modules: publishing the sequencing
// values, leg identifiers and types by slot, the 8888 trace lines and the
// turn tests that decide when an arc must be started or left.
#pragma once

#include <cstdint>

#include "core/binding.h"
#include "core/own_aircraft.h"
#include "lnav/route/route_intake.h"

namespace seqint {

void publish_nav_mode();
void publish_vnav_idx();
// Publishes vnav_idx_seq, then sets and publishes vnav_idx_seq_prev.
void publish_seq_leg();

// Identifier and two-letter type of a slot; "" outside the tables.
const char* ident(int32_t k);
bool ident_is(int32_t k, const char* s);
bool is_arc_leg(int32_t k);   // "AF" or "RF"
bool is_hold_leg(int32_t k);  // "HM", "HA" or "HF"
bool is_alt_term_leg(int32_t k);  // "FA", "VA" or "CA"
bool bypassed(int32_t k);

// Trace lines of the sequencing family (selector 8888).
bool tracing();
void trace(const char* fmt, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Frame values.
float heading_ref();  // true heading, [0, 360)
float mag_var();
// A true course in the magnetic reference the steering commands are sent in.
float magnetic(float true_crs);
float idx_corr();   // present straight command
bool straight_sent();  // false until a straight command has been sent
float idx_corr2();  // present arc command

// Bank lead distance before a turn of radius r (nm): r x (2 pi / 360) x bank
// x 0.35, bank = atan(V^2 / (r x 68620)) in degrees within 0..35; 0 for r 0.
float lead_distance(float r_nm, float speed_kt);

// Arc command of the capture test on the arc about (lat, lon): the tangent
// course at the aircraft's radial plus the variation, the cross-track to the
// arc (negated unless `raw_xtrack`), flown by arc_steer.
float capture_command(double ctr_lat, double ctr_lon, float radius, float side, bool raw_xtrack = false);
// Capture test: the command `cmd` lies on the turn side of the arc command.
bool capture_due(double ctr_lat, double ctr_lon, float radius, float side, float cmd);
// Release test: the arc command (no cross-track) and `cmd` both lie short of
// `next_crs` (true) on the turn side.
bool release_due(double ctr_lat, double ctr_lon, float radius, float side, float cmd, float next_crs);
// on_turn_side with a float side code (0 and 2 left).
bool turn_side(float a, float b, float side);

}  // namespace seqint
