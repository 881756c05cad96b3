// Writers of the cockpit's switches and selectors whose commands do more
// than move them: a position written from outside (a cockpit builder's
// hardware, a script) acts as the switch's own commands do. Each takes the
// nearest of its positions (beyond the travel, the end) and ignores a NaN;
// it acts when the position written changes, so hardware writing the same
// value every frame moves the switch once. All take the host's write form;
// the reference value is not used.
#pragma once

void air_valve_ctrl_writer(void* refcon, float value);
void n1_set_source_writer(void* refcon, float value);
void spd_ref_writer(void* refcon, float value);
void standby_bat_pos_writer(void* refcon, float value);
void battery_pos_writer(void* refcon, float value);
void yaw_dumper_pos_writer(void* refcon, float value);
void starter1_pos_writer(void* refcon, float value);
void starter2_pos_writer(void* refcon, float value);
void ap_trim_pos_writer(void* refcon, float value);
void el_trim_lock_pos_writer(void* refcon, float value);
void window_ovht_test_writer(void* refcon, float value);
// The duct pressure gauge's values: a write is the duct's pressure until the
// next systems step replaces it, as the gauge's needle.
void duct_press_l_writer(void* refcon, float value);
void duct_press_r_writer(void* refcon, float value);
void fuel_flow_pos_writer(void* refcon, float value);
void flt_dk_door_writer(void* refcon, float value);

// A spring-loaded switch written to a held position is its command held:
// each frame its handler gets the continue phase, as the host gives a held
// command; a write back to rest releases it. A switch moved off its held
// position some other way (a load, a restore) is let go without a release.
void hold_written_switches();

// A new flight: the next write of each switch acts again, whatever was
// written before, and no switch is held by a write.
void forget_written_switches();
