// Values the per-frame systems step (flaps and slats, bleed air) hands to the
// annunciator pass. They stay 0 until that step's model computes them.
#pragma once

// 1 while the flap and slat logic holds flaps and slats where they are
// because their hydraulic source is lost.
extern float flap_slat_held;

// Bleed model, per side: the bleed air temperature (deg C) that trips the
// side's bleed above 220.
extern float bleed_duct_value[2];

// Bleed isolation valve position, 0 closed .. 1 open, as the bleed model
// leaves it; the pressurisation supply shares the two sides through it.
extern float isolation_valve_pos;
