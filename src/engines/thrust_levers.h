// Thrust levers, autothrottle servo and N1 set: the levers the N1 command
// reads, moved by the pilot's inputs or by the autothrottle servo by speed
// mode; the N1 set knob, bugs and the limit pair handed to the scripts; the
// reversers' servo while they deploy and stow.
#pragma once

void update_thrust_control();
void update_n1_set();
void update_thrust_levers();
// Throttle target of the speed modes (0..1), stepped every 0.1 s.
float autothrottle_speed_target();
