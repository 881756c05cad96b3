// Cabin lighting and light spill set-up (see cabin_lights.h).
#include "systems/lights/cabin_lights.h"

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/variant.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/lights/cabin_light_values.h"
#include "systems/electrical/electric_values.h"

float pax_light_scene[4];

namespace {

constexpr int kEmergencyExitElement = 98;  // generic light the exterior lights set
constexpr float kNightSunPitchDeg = -0.5f;

// One colour row of the spill set-up: elements 0-7, and the size (element 4)
// on host 12, whose spill lights need about nine times the size.
struct SpillRow {
  float values[8];
  float size_host12;
  float* const* arrays;
  int count;
};

using namespace light;
float* const fire_arrays[] = {spill_ratio_parking_brake, spill_ratio_extinguisher_leveler_spill_eng1,
                              spill_ratio_extinguisher_leveler_spill_eng2,
                              spill_ratio_extinguisher_leveler_spill_apu, spill_ratio_fire_warn_spill};
float* const circuit_arrays[] = {spill_ratio_extinguisher_circuit_spill2, spill_ratio_extinguisher_circuit_spill_left,
                                 spill_ratio_extinguisher_circuit_spill_right,
                                 spill_ratio_extinguisher_circuit_spill_apu};
float* const caution_arrays[] = {spill_ratio_master_caution_spill};
float* const cabin_arrays[] = {spill_ratio_cabin_lights_spill};
float* const entry_arrays[] = {spill_ratio_entry_lights_spill};
float* const emergency_arrays[] = {spill_ratio_cabin_emergency_lights_spill};
float* const annunciator_arrays[] = {
    spill_ratio_l_wings_lights_spill,    spill_ratio_r_wings_lights_spill,  spill_ratio_eng1_wings_lights_spill,
    spill_ratio_eng2_wings_lights_spill, spill_ratio_gpu_avail_lights_spill, spill_ratio_eng1_valve_lights_spill,
    spill_ratio_eng2_valve_lights_spill, spill_ratio_eng1_spar_lights_spill, spill_ratio_eng2_spar_lights_spill,
    spill_ratio_ram1_full_lights_spill,  spill_ratio_ram2_full_lights_spill, spill_ratio_crossfeed_lights_spill,
    spill_ratio_gen1_avail_lights_spill, spill_ratio_gen2_avail_lights_spill, spill_ratio_apu_avail_lights_spill};
float* const radio_arrays[] = {
    spill_ratio_radio_com1_lights_spill,     spill_ratio_radio_com2_lights_spill,
    spill_ratio_radio_nav1_lights_spill,     spill_ratio_radio_nav2_lights_spill,
    spill_ratio_radio_mark_lights_spill,     spill_ratio_fo_radio_com1_lights_spill,
    spill_ratio_fo_radio_com2_lights_spill,  spill_ratio_fo_radio_nav1_lights_spill,
    spill_ratio_fo_radio_nav2_lights_spill,  spill_ratio_fo_radio_mark_lights_spill,
    spill_ratio_obs_radio_com1_lights_spill, spill_ratio_obs_radio_com2_lights_spill,
    spill_ratio_obs_radio_nav1_lights_spill, spill_ratio_obs_radio_nav2_lights_spill,
    spill_ratio_obs_radio_mark_lights_spill};

template <int N>
constexpr int count_of(float* const (&)[N]) {
  return N;
}

// Rows: r, g, b, spare, size (host 11), intensity, spares; then the host-12 size.
const SpillRow spill_rows[] = {
    {{1.0f, 0.0f, 0.0f, 0.0f, 0.15f, 1.0f, 0.0f, 0.0f}, 1.35f, fire_arrays, count_of(fire_arrays)},
    {{0.19f, 1.0f, 0.5f, 0.0f, 0.07f, 1.0f, 0.0f, 0.0f}, 0.63f, circuit_arrays, count_of(circuit_arrays)},
    {{1.0f, 1.0f, 0.0f, 0.0f, 0.15f, 1.0f, 0.0f, 0.0f}, 1.35f, caution_arrays, count_of(caution_arrays)},
    {{1.0f, 1.0f, 0.8f, 0.0f, 3.0f, 1.0f, 0.0f, 0.0f}, 27.0f, cabin_arrays, count_of(cabin_arrays)},
    {{1.0f, 1.0f, 0.8f, 0.0f, 3.0f, 1.0f, 0.0f, 0.0f}, 27.0f, entry_arrays, count_of(entry_arrays)},
    {{1.0f, 0.0f, 0.0f, 0.0f, 2.2f, 1.0f, 0.0f, 0.0f}, 19.8f, emergency_arrays, count_of(emergency_arrays)},
    {{0.53f, 0.86f, 0.92f, 0.0f, 0.03f, 1.0f, 0.0f, 0.0f}, 0.27f, annunciator_arrays, count_of(annunciator_arrays)},
    {{0.53f, 0.43f, 0.0f, 0.0f, 0.03f, 1.0f, 0.0f, 0.0f}, 0.27f, radio_arrays, count_of(radio_arrays)},
};

void copy8(float* out, const float* const* in, float power = 1.0f) {
  for (int i = 0; i < 8; ++i) out[i] = *in[i] * power;
}

}  // namespace

void update_cabin_lights() {
  using namespace tarv_cabin;
  const int32_t family = trunc_to_i32(model_family);
  if (family != 0 && family != 2) {
    const float* const first[8] = {&lightsA, &lightsB, &lightsC, &lightsD, &lightsE, &lightsF, &lightsG, &lightsH};
    const float* const second[8] = {&lightsJ, &lightsK, &lightsL, &lightsM, &lightsN, &lightsO, &lightP, &lightsQ};
    const float* const third[8] = {&lightsS, &lightsT, &lightsU, &lightsV, &lightsW, &lightsX, &lightY, &lightsZ};
    // The passenger cabin's zones go dark with the cabin lights' power; the
    // entry area's are not theirs.
    const float power = fed01(Consumer::cabin_lights);
    copy8(lights1, first, power);
    copy8(lights2, second, power);
    copy8(lights3, third);
    copy8(lights4, third);
    return;
  }
  float* pax = tarx_cabin::lights_x;
  float* entry = tarx_cabin::entry_lights_x;
  if (host_mirror.sim_cockpit2_switches_generic_lights_switch[kEmergencyExitElement] != 0.0f) {
    pax[0] = pax[1] = pax[2] = 1.0f;
    pax[4] = 5.0f;
    entry[0] = entry[1] = entry[2] = 1.0f;
    entry[4] = 3.0f;
    return;
  }
  pax[0] = pax_light_scene[0];
  pax[1] = pax_light_scene[1];
  pax[2] = pax_light_scene[2];
  // The cabin glow shows on the outside only at night.
  const bool night = host_mirror.sim_graphics_scenery_sun_pitch_degrees < kNightSunPitchDeg;
  pax[4] = night ? pax_light_scene[3] * fed01(Consumer::cabin_lights) : 0.0f;
  entry[0] = lightsS;
  entry[1] = lightsT;
  entry[2] = lightsU;
  entry[4] = lightsW;
}

void init_light_spill() {
  const bool host12 = host_version >= 120000;
  for (const SpillRow& row : spill_rows) {
    for (int a = 0; a < row.count; ++a) {
      float* arr = row.arrays[a];
      for (int i = 0; i < 8; ++i) arr[i] = row.values[i];
      if (host12) arr[4] = row.size_host12;
    }
  }
}
