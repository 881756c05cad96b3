// Probe heat and windshield wipers: the per-side wiper sweep state and the
// sweep step the systems frame uses.
#pragma once

// One wiper's sweep. Zero at load.
struct WiperState {
  float phase;   // 0 parked end .. 1 far end
  float target;  // 0 sweeping back, 72 sweeping out
  float rate;    // phase units per second: 2 INT and LOW, 4 HIGH
  float timer;   // s spent at an end of the sweep
};
extern WiperState wiper_state[2];  // left, right

// Phase moved by frame_time x rate, up while target is non-zero, down at 0,
// held to 0..1.
float wiper_phase_step(float phase, float target, float rate);
