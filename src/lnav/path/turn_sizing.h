// Turn sizing shared by the fly-by connections and the bypass passes: the
// speed, bank limits, radius and anticipation distance of one turn.
#pragma once

#include <cstdint>

namespace legpath {

struct TurnSizing {
  float speed;       // kt
  float radius;      // nm
  float dta;         // nm
  float max_bank;    // deg
  float abs_change;  // deg, magnitude of the course change
  bool at_max;       // already at the maximum bank
  bool opposite;     // flown against the sign of the course change
  bool retried;      // built by the maximum-bank retry
};

float tan_half(float change_deg);
float tangent_dta(const TurnSizing& t, float radius);
// Bank, radius and anticipation distance of a constructed turn at i toward
// the leg `following` for a signed course change `rel`.
void size_turn(TurnSizing& t, int32_t i, int32_t following, float rel, bool conn5, bool opposite);
// Off a DME arc onto an intercept leg (i "AF", i + 1 "CI"/"VI"): a tight
// turn from the arc's end, at most 145 kt at the maximum bank, no anticipation.
void size_arc_to_intercept(TurnSizing& t, int32_t i);
// The maximum-bank retry's radius and anticipation distance.
void size_retry(TurnSizing& t, int32_t i);
// Side (2 left, 3 right) and opposite flag from leg code_leg's turn demand.
void turn_side(int32_t code_leg, float rel, int32_t& side, bool& opposite);
// First attempt and, when needed, the maximum-bank retry; true when built.
bool build_sized_turn(int32_t i, int32_t target, float out_crs, TurnSizing& t, int32_t side, int32_t mode);
// Stores turn_center_result into slot i and measures its arc around i.
void store_built_turn(int32_t i, int32_t target, int32_t side);

}  // namespace legpath
