// Aircraft variant and model-family detection from the loaded aircraft file,
// and the per-variant ground-equipment placement offsets chosen with it.
#pragma once

#include <cstdint>

// Start-up detection: variant, model family and ground-equipment offsets,
// from the user's aircraft file name as the host gives it.
void detect_variant();
// The same from a given file name (no folder); null reads as no match.
void detect_variant_from_name(const char* file_name);

// Generic-model detection (acf_model, acf_is_4k); also clears draw_enabled so
// the display waits for the end of the frame. Run by the model watch on its
// first frame and on each livery change.
void detect_acf_model();
void detect_acf_model_from_name(const char* file_name);

extern int32_t variant_index;  // -1, or 0..9 (published as "corvane/b737_variant")
extern float model_family;     // -1, or 0, 1, 2 (published truncated as "zuvadud/D738/73x")
extern int32_t acf_model;      // 0 d738, 1 b739, 2 b737, 999 anything else
extern int32_t acf_is_4k;      // 1 for the "_4k" form of a generic file

// Whether the airframe has the pair of mid-cabin exits (the -900ER and the
// stretched or high-density MAX models): their door lights, their share of
// the DOORS caution and their leak into the cabin. Generic files have none.
bool has_mid_exits();

// Whether the airframe is one of the MAX models (their own files only: the
// generic files fly as the NG).
bool is_max_model();

// The engine's exhaust gas temperature limits, deg C, by model: the take-off
// limit (the red line: 950 on the NG's engine, 1,038 on the MAX's) and the
// top of the indication's range, which reaches beyond that red line so an
// overrun reads as one.
float egt_takeoff_limit_c();
float egt_indication_max_c();

// Placement offsets of the ground-service objects, metres; the de-ice trucks
// also carry a heading offset in degrees from the aircraft's heading. The
// placement turns each (first, second) pair into a distance and a bearing
// relative to the aircraft; the cones have a first offset only.
struct GseOffsets {
  float gpu_m[2];
  float asu_m[2];
  float fuel_truck_m[2];
  float cones_m;
  float de_ice_truck_m[2];
  float de_ice_truck_hdg_deg;
  float de_ice_truck2_m[2];
  float de_ice_truck2_hdg_deg;
  float fuel_truck2_m[2];
};
extern GseOffsets gse_offsets;

// Number of product aircraft files, and their names in variant_index order.
constexpr int32_t variant_count = 10;
extern const char* const variant_file_names[variant_count];
