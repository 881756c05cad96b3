// Storage of the frame's shared values (see frame_values.h) and the plug-in's one
// random draw; the frame sequencer in aircraft/frame.cpp moves them.
#include "core/frame_values.h"

#include <cstdint>
#include <cstdlib>
#include <ctime>

float frame_time;
int32_t host_version;
int32_t init_stage;
int32_t load_loop_done;
int32_t frame_done;
int32_t draw_enabled;
float time_since_load;
void (*situation_load_reset)() = nullptr;
float frame_random;
float load_save;
float route_reset_request;
float load_settle_timer;
float restore_settle_timer;
int32_t prev_sim_paused;
int32_t prev_sim_in_replay;
float replay_active;
float half_second_timer;
float five_second_timer;
int32_t map_search_ready;
float script_global[2];
float situation_loaded;
float avitab_flag_armed;
float bp_flag_armed;
int32_t last_livery_index;
int32_t livery_read_count;
int32_t brunner_active;
int32_t brunner_logged;
XPLMProbeRef terrain_probe;

// ---- randomness ------------------------------------------------------------

namespace {
// A whole number uniform over 0 .. 99999. Some runtimes' rand() stops at
// 32767, which alone would leave two thirds of the range unreachable; two
// draws are combined there.
int32_t draw_0_99999() {
  if constexpr (RAND_MAX >= 99999) {
    return static_cast<int32_t>(std::rand() % 100000);
  } else {
    const int64_t wide = static_cast<int64_t>(std::rand()) * (static_cast<int64_t>(RAND_MAX) + 1) + std::rand();
    return static_cast<int32_t>(wide % 100000);
  }
}
}  // namespace

void seed_random_from_calendar() { std::srand(static_cast<unsigned>(std::time(nullptr))); }

float random_fraction() {
  frame_random = static_cast<float>(static_cast<double>(draw_0_99999()) * 0.00001);
  return frame_random;
}
