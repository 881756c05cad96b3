// CG reference shift: on a generic aircraft file the host's flight model takes
// the scripts' centre of gravity ("zuvadud/D738/real_cg") through
// "sim/flightmodel/misc/cgz_ref_to_default", lowered on the ground by a shift
// that ramps in and out. The CG-shift handling option switches the write off.
#pragma once

// Ground shift, metres, 0 .. 0.4; carried from frame to frame and not reset
// by a load. It moves for every variant, but only generic files write.
extern float cg_shift;

// Once per unpaused frame, from the main loop.
void update_cg_reference();
