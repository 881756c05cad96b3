// The packed cockpit state the aircraft's scripts keep for a saved flight:
// "zuvadud/D738/system" and "zuvadud/D738/system_sw" (200 floats each, one
// fixed plug-in value per slot) and element 14 of "zuvadud/D738/glare_sw".
// Written whole every frame after the systems have run; read back when the
// scripts report a loaded situation, pushing the values the host also holds.
//
// The slot assignment is an exchange format with the scripts: never move a
// slot. Integer values travel as floats and come back as the nearest of
// their positions.
#pragma once

#include <cstdint>

constexpr int kStateArraySize = 200;
constexpr int kGlareArraySize = 15;
constexpr int kGlareBufferSize = 250;
constexpr int kGlareN1SourceElement = 14;

// Plug-in side buffers of the exchange (scratch between calls).
struct StateArrayBuffers {
  float system[kStateArraySize];
  float system_sw[kStateArraySize];
  float glare[kGlareBufferSize];
};
extern StateArrayBuffers state_buffers;

// Writes both arrays from the globals (unused slots 0).
void save_cockpit_state();
// Reads both arrays back into the globals, the host values and the engine
// values; only the elements the scripts' arrays hold are taken, and of them
// only those within their control's travel. The values every restore of the
// load dropped (this one runs last) are logged in one line, once per load.
void restore_cockpit_state();
// 1 once a load's restore has logged the values it dropped; a new load
// clears it.
extern int32_t state_restore_drop_logged;
// Puts the N1 set source selector into element 14 of "glare_sw", leaving the
// scripts' other elements as they are.
void sync_glare_switch();
// The reverse: the N1 set source selector from element 14, when it holds one
// of the knob's positions.
void read_glare_switches();

// Engine 1 vibration indication for an N1 in percent (0 for NaN).
float n1_vibration(float n1_percent);

// The images save_cockpit_state writes, built from the globals (for the save
// and for tests).
void build_system_image(float image[kStateArraySize]);
void build_system_sw_image(float image[kStateArraySize]);
