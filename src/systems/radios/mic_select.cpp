// Storage of the audio panels' transmitter selection (see mic_select.h).
#include "systems/radios/mic_select.h"

float mic_select[seat_count][mic_key_count];
