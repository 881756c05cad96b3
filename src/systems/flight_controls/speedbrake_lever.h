// Speed brake lever detents and the host speed brake ratio they command.
#pragma once

#include <cstdint>

extern int32_t speedbrake_flight_detent_latch;  // 1: the lever stops at the flight detent
extern int32_t speedbrake_enable;               // 1: the lever drives the host ratio
extern float speedbrake_lever_anim_target;

// Where an automatic movement drives the lever: the scripts' value
// "flt_ctrls/speedbrake_target" when they publish it (a non-finite value
// keeps the last target), else the system's own.
float speedbrake_target();
// Sets the target, and the scripts' value with it.
void set_speedbrake_target(float target);

// The detent a lever position stands in: DOWN, ARMED and the start of the
// spoilers' travel take the positions near them, above that the lever stands
// where it is; beyond its travel, its end. A NaN reads DOWN.
float speedbrake_detent(float lever);
// Moves the lever into its detents, then sets the host ratio from it.
void snap_speedbrake_lever();
// The crew's hand on the lever: ends an automatic movement in progress, puts
// the lever at `lever` and snaps it.
void move_speedbrake_lever(float lever);
// A cockpit's lever writes its position every frame, with the small noise of
// a potentiometer: only a change of detent is the crew's hand
// (move_speedbrake_lever); a write within the detent it stood in leaves the
// lever wherever the automatic movements took it. The first write of a
// flight always moves it; a NaN is ignored.
void write_speedbrake_lever(float lever);
void forget_speedbrake_lever_writes();
// Host speed brake ratio from the lever position.
void speedbrake_detents();
// The lever position that gives the host's speed brake ratio `r`, the
// inverse of speedbrake_detents (-0.5 ARMED, 0.99 the flight detent); a NaN
// reads DOWN.
float speedbrake_lever_from_ratio(float r);
