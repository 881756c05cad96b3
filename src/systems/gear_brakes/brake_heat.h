// Brake heating and cooling on the cockpit brake temperature scale (shown
// from 0.1 to 9.9): heat added by braking, heat lost to the air, and the
// displayed value. Reads the host's total mass, ground speed and main gear
// deployment; the systems step applies them to the four brakes.
#pragma once

// Heat one brake takes in this frame from its brake ratio and its main
// wheel's tyre speed; heavier aircraft heat more.
float brake_heat_weight_factor(float brake_ratio, float tyre_speed);
// Heat one brake loses in this frame at a temperature and outside air
// temperature (deg C); side 0 the left main gear, 1 the right.
float brake_heat_from_speed(float temperature, float outside_temp_c, int side);
// Displayed value: rounded to a tenth and held to 0.1..9.9.
float brake_temp_display(float temperature);
