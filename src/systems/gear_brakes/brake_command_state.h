// Brake command state shared by the brake, toe brake and parking brake
// commands and the brake model of the systems step. The commands set what
// the pilot asks for; the brake model ramps the host's wheel brakes from it
// and recomputes the brake values below every frame. The parking brake flag
// and the gear selection live with the other saved lever values
// (lever_commands in switch_memory.h).
#pragma once

struct BrakeCommandState {
  float brake_cmd_active;  // 1 while a brake command holds the brakes
  float brake_cmd_value;   // brake ratio of that command
  float brake_cmd_left;    // per-side ratios the brake model ramps from the command
  float brake_cmd_right;
  float pedal_brake_left;  // the brake model's pedal ratios
  float pedal_brake_right;
  float toe_brake_left;    // toe brake button commands
  float toe_brake_right;
  float toe_brake_both;    // both-sides button: the manual maximum while held
  float park_brake_pedals_released;  // pedals let go after the parking brake was set
  float brake_smooth_active;         // 1 while the gentle brake command is held
  // Recomputed by the brake model every frame; the commands copy them as they stand.
  float brake_max_value = 0.28f;
  float brake_regular_value = 0.2f;
  float toe_brake_max_left = 0.28f;
  float toe_brake_max_right = 0.28f;
};
extern BrakeCommandState brake_commands;
