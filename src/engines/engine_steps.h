// Engines and thrust: the per-frame steps the frame sequencer calls and the
// lifecycle resets of the engine code's carried state. Each step lives in the
// module of its concern; this header gathers them for the sequencer.
#pragma once

#include <cstdint>

#include "engines/engine_eicas.h"
#include "engines/engine_forces.h"
#include "engines/engine_indications.h"
#include "engines/engine_start.h"
#include "engines/n1_command.h"
#include "engines/thrust_levers.h"
#include "engines/thrust_tables.h"

// Host idle ratios for a generic aircraft file (every 0.5 s).
void update_idle_ratios();

// The host's idle ratios: read from the host at each load, then what
// update_idle_ratios last wrote.
extern float acf_low_idle_ratio;
extern float acf_high_idle_ratio;

// Plug-in start: the throttle-ratio buffer of the N1 command.
void n1_command_clear_start_values();
// A frame that restores a loaded situation: the last-written flap
// coefficients, so the flight-model adjustments are written again.
void n1_command_restore_reset();
// End of the start-up work after a load: held requests cleared, spool-down
// flags set.
void n1_command_stage2_reset();
// Per load: in-flight start envelope flags, lift-off factor and previous
// idle modes of the N1 command, density offset.
void engines_reset_on_load();
