// The frame's pre-processed values: ground contact, flight-data, option and
// EFIS copies, the debug selectors, SELCAL and attendant chime state. The
// pre-processing steps (aircraft/preprocess.h) write them before the
// subsystems run; every subsystem may read them.
#pragma once

#include <cstdint>

// 1 when any of the first three gear legs touches the ground.
extern int32_t on_ground;
// 1 when the third gear leg (element 2) touches the ground.
extern int32_t gear3_on_ground;

// Per-frame copies of flight data for the route, guidance and models.
struct FrameFlightData {
  float mag_var_deg;       // "sim/flightmodel/position/magnetic_variation"
  float radio_alt_ft;      // captain's radio altitude
  float flap_handle;       // flap handle deploy ratio
  float aoa_deg;           // angle of attack
  float ias_kt;            // captain's indicated airspeed
  float alt_ft;            // captain's altitude
  float alt_fo_ft;         // first officer's altitude
  float min_speed_kt;      // the scripts' "zuvadud/D738/pfd/min_speed"
};
extern FrameFlightData frame_flight_data;

// The scripts' debug selectors "zuvadud/D738/fms/test" and ".../test6".
// fms_debug_selector values: 5555 route decode and path dumps, 99999
// direct-to course log, 9999 and 2222 path build, 3333 bypassed-leg
// distances, 8888 sequencing, 7777 vertical-profile markers.
extern float fms_debug_selector;
extern float fms_test6_copy;

// The scripts' cockpit option values, copied every frame.
struct CockpitOptions {
  float plus_hundred;
  float ra_radio_altimeter;
  float ra_decision_height;
  float ra_minimums;
  float ra_500_1000_baro;
  float missed_app_colour;
  float high_alt_ldg;
  float raas;
  float isfd_rmi;
  float guarded_covers;
};
extern CockpitOptions cockpit_options;

extern float static_pressure_altitude_ft;  // from the ambient pressure
extern float nd_runway_length;             // scripts' "zuvadud/D738/nd_arpt_rw_lenght"

// Per side (0 captain, 1 first officer), copied before the display updates.
struct EfisSideState {
  float map_mode;         // "EFIS_control/<side>/map_mode_pos"
  float vsd_map;          // vertical-situation display shown
  float exp_map;          // expanded map
  float map_range;        // "EFIS/<side>/map_range"
  float data_status;      // data-shown flag
  float track_up;         // "fms/track_up"
  float track_up_active;  // "fms/track_up_active"
  float track_mag_deg;    // magnetic ground track
  float heading_mag_deg;  // magnetic heading
  float bank_deg;         // bank, right positive
};
extern EfisSideState efis_side[2];

// SELCAL: the call timers (COM1, COM2, COM3) and the chime timer live in the
// systems' delay timers (selcal_delay_com1..3, selcal_delay_hf), armed here;
// when one runs out it sets the matching call latch (1.0) or
// selcal_sound_pending. The latches light the SELCAL annunciators and are
// cleared by the reset buttons.
struct SelcalState {
  float call_latch[3];
};
extern SelcalState selcal_state;
extern float selcal_sound_pending;  // 1.0 when a chime is due; consumed here in one frame

// Attendant chime: chimes still to sound (0..6) and the time left of the one
// sounding now; the call button raises both.
extern int32_t attend_chime_count;
extern float attend_chime_timer;
constexpr float attend_chime_length_s = 2.5f;  // one chime sounding
