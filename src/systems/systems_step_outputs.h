// Values the per-frame systems step (flaps and slats, bleed air) hands to the
// annunciator pass. They stay 0 until that step's model computes them.
#pragma once

// 1 while the flap and slat logic holds flaps and slats where they are
// because their hydraulic source is lost.
extern float flap_slat_held;

// Bleed model, per side: the bleed air temperature (deg C) leaving the
// precooler, which holds it at 214. Above kBleedOvertempDegC the side's bleed
// trips, and its trip cannot be reset until the air is back at or below it.
// The limit sits 40 deg C over the precooler's set point so that a healthy
// precooler at the end of its travel never reaches it, while one that stops
// cooling the high stage's air passes it in under half a minute.
extern float bleed_duct_value[2];
constexpr float kBleedOvertempDegC = 254.0f;

// Bleed isolation valve travel, 0 closed .. 1 open, as the bleed model
// leaves it; the pressurisation supply shares the two sides through it. Not
// the switch (air::isolation_valve_pos, 0 CLOSE, 1 AUTO, 2 OPEN).
extern float isolation_valve_open;
