// Storage of the handling options (see handling_options.h).
#include "core/handling_options.h"

uint8_t handling_options[handling_option_count] = {1, 1, 1, 1, 1};
