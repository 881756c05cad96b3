// Thrust tables: the host throttle ratio <-> N1 tables by host version and
// idle-mode family, the per-engine idle throttle of the newer host, the
// constant thrust-fraction table and the N1/N2 run-down curves.
//
// Everything here is a pure lookup over `thrust_tables` except
// set_thrust_tables (fills it after each load) and compute_idle_n1 (rewrites
// the idle throttles every frame from "sim/weather/sigma").
#pragma once

#include <cstdint>

struct ThrustTables {
  int32_t point_count;        // 8 on host 11, 14 on host 12
  float breakpoints[16];      // throttle-ratio axis
  float ground[6][16];        // idle mode 0 on host 11 (3 temperatures x 2 densities)
  float flight[3][16];        // idle mode 1 (host 11: modes 1 and 2, rows 0..1)
  float approach[3][16];      // idle mode 2 on host 12
  float throttle_max;         // 1.08 host 11, 1.12 host 12
  float reverse_max;          // 0.57 host 11, 0.69 host 12
  float low_density;          // 0.235
  float high_density;         // 1.0
  float idle_throttle[2];     // host 12 only; rewritten every frame
};
extern ThrustTables thrust_tables;

void set_thrust_tables();
void compute_idle_n1(float idle_mode_engine1, float idle_mode_engine2);

// Throttle ratio -> N1 fraction, and its inverse, for a table row and family
// (the engine's idle mode: 0 ground, 1 flight, 2 approach).
float n1_table_lookup_alt(float x, int32_t row, float family);
float n1_table_lookup(float n, int32_t row, float family);

// Lever (0..1) -> host throttle ratio, and back. prop_mode 3 is reverse;
// engine is 0 or 1 (anything else reads as engine 0).
float throttle_to_n1_target(float lever, float family, int32_t prop_mode, int32_t engine);
float throttle_to_n1_fraction(float ratio, float family, int32_t prop_mode, int32_t engine);

// N1 percent <-> thrust fraction over the 58-point table.
float thrust_fraction_from_n1(float n1_percent);
float n1_from_thrust_fraction(float fraction);

// One frame further along the run-down curve after an engine stopped.
float n1_rundown_step(float n1_percent);
float n2_rundown_step(float n2_percent);

// Ground-idle density term of the newer host, in N1 percent.
float ground_idle_density_term(float sigma);
