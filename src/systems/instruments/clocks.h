// The captain's and first officer's clocks: elapsed-time counter, chronograph
// with its seconds needle, the date display cycle, the reset on power loss,
// and the clock display brightness channels of the host's instrument
// brightness array (elements 8, 18, 21, 22).
#pragma once

struct ClockState {
  float chrono_brightness_capt;  // knob, 0..1 (stepped 0.1 by the brightness commands)
  float chrono_brightness_fo;
  float date_cycle_timer_capt;   // s
  float date_cycle_timer_fo;
};
extern ClockState clock_state;

// Every unpaused, live frame after the radio panels.
void update_clocks();

// The clocks keep their time only with both battery buses.
bool clocks_powered();

enum ClockFace : int { clock_captain = 0, clock_first_officer = 1 };
// A clock's face is lit, and the clock takes its buttons, with that time
// kept and the face's own bus; out of range reads as no face.
bool clock_face_powered(int side);

// Display brightness fraction for a knob value: never darker than 0.25.
float clock_brightness_fraction(float knob);
