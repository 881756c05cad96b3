// Oxygen panel state that the oxygen commands set and the systems and
// annunciator steps read on the next frame.
#pragma once

#include <cstdint>

extern float oxy_test_active;  // 1 while any of the four crew oxygen test buttons is held
extern int32_t pax_oxy_state;  // 6 after the passenger oxygen switch went ON, 0 after NORMAL
