// Writers of the cockpit's levers, axes and selectors that do more than store:
// limits, detents, dead zones, commands and immediate hand-over to the host.
// All take the host's write form; the reference value is not used.
#pragma once

void thrust1_leveler_writer(void* refcon, float value);
void thrust2_leveler_writer(void* refcon, float value);
void thrust12_leveler_writer(void* refcon, float value);
void joy_pitch_writer(void* refcon, float value);
void joy_roll_writer(void* refcon, float value);
void joy_heading_writer(void* refcon, float value);
void toe_left_writer(void* refcon, float value);
void toe_right_writer(void* refcon, float value);
void nosewheel_writer(void* refcon, float value);
void reverse_lever1_writer(void* refcon, float value);
void reverse_lever2_writer(void* refcon, float value);
void reverse_lever12_writer(void* refcon, float value);
void nosewheel_steer_ratio_writer(void* refcon, float value);
void speedbrake_lever_writer(void* refcon, float value);
void standby_alt_baro_writer(void* refcon, float value);
void gear_horn_cutout_pos_writer(void* refcon, float value);
void gear_handle_writer(void* refcon, float value);
void landing_alt_writer(void* refcon, float value);
void parking_brake_pos_writer(void* refcon, float value);
void autobrake_pos_writer(void* refcon, float value);
