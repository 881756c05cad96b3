// Reverse lever logic (placeholder until the reverser model lands).
#include "systems/reverse_levers.h"

void reverse_lever_logic() {}
void reverse_lever_logic_eng2() {}
