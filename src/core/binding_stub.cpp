// Placeholder binding: every handle null, every mirror 0.
#include "core/binding.h"

XPLMDataRef bound_handles[bound::COUNT];
int sim_paused;
int sim_in_replay;

void bind_outside_datarefs() {}
void bind_host_datarefs() {}
void bind_librain_datarefs() {}
void bind_terrain_radar_datarefs() {}
void bind_addon_datarefs() {}
void bind_script_datarefs() {}
void poll_host_datarefs() {}
void poll_script_datarefs() {}
float mirror_f(bound::Id) { return 0.0f; }
int mirror_i(bound::Id) { return 0; }
double mirror_d(bound::Id) { return 0.0; }
const float* mirror_vf(bound::Id, int* count) {
  if (count) *count = 0;
  return nullptr;
}
const int* mirror_vi(bound::Id, int* count) {
  if (count) *count = 0;
  return nullptr;
}
void set_mirror_f(bound::Id, float) {}
void set_mirror_i(bound::Id, int) {}
