// Aircraft variant and model-family detection from the loaded aircraft file.
#pragma once

#include <cstdint>

// Start-up detection: variant, model family and ground-equipment offsets.
void detect_variant();

extern int32_t variant_index;  // -1, or 0..9
extern float model_family;     // -1, or 0, 1, 2
