// Where the cockpit's guards, start selectors and the yaw damper switch are
// moving to. Commands set the targets; the systems and cover steps move the
// published positions toward them; the panel-state apply sets a position and
// its target together. All 0 closed / off, 1 open / on unless said.
#pragma once

// A guard below this is down on its switch: it holds the switch in its
// guarded position, and the switch's own commands cannot reach it.
constexpr float kGuardDownBelow = 0.3f;
inline bool guard_down(float cover_pos) { return cover_pos < kGuardDownBelow; }

// Guarded switch covers, each the target of its published *_cover_pos.
extern float flt_ctr_A_cover_target;
extern float flt_ctr_B_cover_target;
extern float spoiler_A_cover_target;
extern float spoiler_B_cover_target;
extern float alt_flaps_cover_target;
extern float gpws_flap_cover_target;
extern float gpws_gear_cover_target;
extern float gpws_terr_cover_target;
extern float gpws_xraas_cover_target;
extern float fdr_cover_target;
extern float stab_trim_overide_cover_target;
// Manual gear extension: its cover ("emergency/landgear_cover_pos") and its
// handle ("emergency/landgear_pos").
extern float man_gear_cover_target;
extern float man_gear_handle_target;

// The 11 numbered button-switch covers ("button_switch/cover_position") and
// the switches the guarded ones hold.
constexpr int cover_count = 11;
constexpr int kBatteryCover = 2;
constexpr int kStandbyPowerCover = 3;
constexpr int kBusTransferCover = 6;
constexpr int kPaxOxyCover = 7;
constexpr int kEltCover = 8;
constexpr int kEmerExitCover = 9;
constexpr int kNoseSteerCover = 10;
// A numbered cover down on its switch (guard_down of its position).
bool numbered_guard_down(int cover);
extern float cover_target[cover_count];

// Engine start selectors: the position (0 GRD, 1 OFF, 2 CONT, 3 FLT) the
// knob animation turns toward.
extern float starter1_knob_target;
extern float starter2_knob_target;

// Yaw damper switch: 2 while its command is held on, 1 on, 0 off.
extern float yaw_damper_switch_state;
