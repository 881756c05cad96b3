// The gear lever's ground lock: the lowest position the lever may take now.
#pragma once

#include <cstdint>

// 1 once the lever has stood at or above the OFF detent on the ground.
extern int32_t gear_lever_latch;

// Lower stop of the lever: 0.5 (OFF) while the ground lock holds, else 0.
// It reads the lever where it stands: ask it before moving the lever.
float gear_handle_logic();
