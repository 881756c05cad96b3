// Route intake from the scripts and the per-frame route pass.
#pragma once

void route_reads();  // the scripts' FMS values of this frame (every frame)
void route_pass();   // decode, path build and sequencing (unpaused frames)
