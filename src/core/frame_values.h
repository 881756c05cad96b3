// The frame's shared values: the frame step, the start-up flags after each
// load, the slow timers and the per-frame random draw. The frame sequencer
// (aircraft/frame.h) writes them; the globals below are read throughout the
// plug-in.
#pragma once

#include <cstdint>

#include "platform/xplm.h"

// ---- frame step and host ----
extern float frame_time;      // s; 0.01 while init_stage is 0, else elapsed, within (0, 0.1]
extern int32_t host_version;  // "sim/version/xplane_internal_version"; >= 120000 is host 12
inline bool newer_host() { return host_version >= 120000; }

// ---- start-up stage after a load ----
extern int32_t init_stage;      // 0 nothing done, 1 first-frame block ran this frame, 2 complete
extern int32_t load_loop_done;  // 1 once the load loop has worked since the last load
extern int32_t frame_done;      // 1 after each completed main-loop frame; 0 after a load
extern int32_t draw_enabled;    // the display draws only while set
extern float time_since_load;   // s, counted on unpaused frames up to a little past 6
// The per-load reset, run by the service channel once the host has loaded a
// situation; installed at start by the top layer, which owns the sequencer
// it resets. Null until then: the channel only asks for the load.
extern void (*situation_load_reset)();

// ---- per-frame values ----
extern float frame_random;         // [0, 0.99999] in steps of 0.00001
extern float load_save;            // scripts' "zuvadud/D738/load_save"; 4.0 = situation loaded
extern float route_reset_request;  // 1.0 during a frame that restores a loaded situation
extern float load_settle_timer;    // s, 2.0 after a load, run down every frame
extern float restore_settle_timer; // s, 5.0 after a load or restore, run down otherwise
extern int32_t prev_sim_paused;    // paused / replay as they were in the previous frame
extern int32_t prev_sim_in_replay;
extern float replay_active;        // 1.0 on replayed frames
extern float half_second_timer;    // s
extern float five_second_timer;    // s
extern int32_t map_search_ready;   // 1 once the scripts' map start-up flag reached 2
extern float script_global[2];     // the scripts' "zuvadud/D738/global" (saved airspeeds)
// 1 from the first frame on which the scripts report a restored situation
// (load_save 4, paused or not; set before that frame's first-frame block) until
// the next load clears it. Only while it is set does the flight director take
// the references saved with the situation (in the first frame after the
// restore), and the first-frame engine state keep what the situation brought
// back instead of applying the cold-and-dark or engines-running preference.
extern float situation_loaded;
inline float& global_state_loaded = situation_loaded;  // the flight director's name for it

// ---- add-on markers kept per load (set by the add-on presence step) ----
extern float avitab_flag_armed;
extern float bp_flag_armed;
extern int32_t last_livery_index;  // -1 at start: the model watch detects on its first frame
extern int32_t livery_read_count;

// ---- force-feedback software ----
extern int32_t brunner_active;  // published "corvane/brunner_active"
extern int32_t brunner_logged;  // never reset while the plug-in is loaded

// The one host terrain probe (the host's Y probe); null until created.
extern XPLMProbeRef terrain_probe;

// ---- randomness and calendar time ----
// Every random draw of the plug-in goes through here: a whole number drawn
// uniformly from 0 to 99999, times 0.00001 (in double, stored as f32); the
// result is also left in frame_random.
float random_fraction();
// Seeds the runtime's generator from the calendar time in whole seconds; the
// plug-in's start does this once, and every draw after it runs on.
void seed_random_from_calendar();
