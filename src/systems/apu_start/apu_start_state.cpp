// APU start switch state (see the header).
#include "systems/apu_start/apu_start_state.h"

float apu_on_latch;
float apu_start_lock;
float apu_start_ready;
