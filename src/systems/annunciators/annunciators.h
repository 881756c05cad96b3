// The annunciator pass: brightness levels, the light equations of every
// annunciator, the six-pack groups with their memory, recall and master
// caution, the light test and the display test flicker. The lights are the
// published annunciator:: globals (condition x level); this header holds the
// pass's own state, which the master caution and six-pack command handlers
// and the first-frame reset change.
#pragma once

#include <cstdint>

// Brightness levels of this frame.
struct AnnunciatorLevels {
  float day_factor;  // 1 on hosts before 12; by the sun's elevation from 12 on
  float l1;          // main: rheostat 14 x lamp power x day factor
  float l2;          // second: rheostat 13 x lamp power x day factor
  float l0;          // rheostat 14 x lamp power, no day factor ("_annun" lights)
  // MASTER CAUTION and PARKING BRAKE: the second level, dimmed with the
  // others by the bright/dim switch (rheostat 14).
  float l2_dimmed;
  // A lamp fed from outside the aircraft's buses (GRD POWER AVAILABLE, from
  // the cart): rheostat 14 x day factor, no lamp power.
  float unpowered;
};
extern AnnunciatorLevels ann_levels;

// Six-pack groups, in the order of their published lights.
enum SixPackGroupId : int {
  sp_flt_cont,
  sp_irs,
  sp_fuel,
  sp_elec,
  sp_apu,
  sp_fire,
  sp_ice,
  sp_hyd,
  sp_doors,
  sp_eng,
  sp_overhead,
  sp_air_cond,
  sp_group_count
};
constexpr int kSixPackSlots = 18;

struct SixPackGroup {
  int32_t slot[kSixPackSlots];    // conditions filled by the equations this frame
  int32_t memory[kSixPackSlots];  // slot values of the last frame
  int32_t is_new[kSixPackSlots];  // raised since the last master caution reset
  float lamp;                     // group lamp flag 0/1
};

struct AnnunciatorState {
  SixPackGroup six_pack[sp_group_count];
  int32_t recall;          // set while a six-pack is pressed
  // Set during the pass by a fault that alone only a recall shows (one wing
  // pump of a tank, one GPS receiver): the recall lasts while one remains.
  bool recall_shows;
  float ann_test_active;   // 1 while the light test switch is at test and the lamps have power
  float flicker_phase_s[9];
  float dspl_power_test_time;  // s left of the display power-up self-test
  float prev_batbus_status;
  float prev_fire_bell_annun;
  // Whether the annunciator lamps have their power: the light test and the
  // dimming act only through it.
  bool lamps_powered;
  // The dimming (rheostat 14) the lamps last had power for; below 0 until
  // the first frame. The cart's lamp keeps it while the aircraft is dark.
  float held_dim = -1.0f;
};
extern AnnunciatorState ann_state;

// Command effects, for the handlers of the six-pack and master caution
// buttons (side 0 captain, 1 first officer; other sides are ignored).
// Six-pack press: the button is held and the recall raised. Release: the
// memory of all groups is cleared, so every active condition shows again.
void six_pack_press(int side);
void six_pack_release(int side);
// Master caution press, when the light was not already held: the button is
// held, every new flag, every group lamp and the recall are cleared, and the
// host's master caution is cleared once. Release lets go of the button.
void master_caution_press(int side);
void master_caution_release(int side);
// The reset a master caution press makes (new flags, lamps, recall).
void master_caution_reset();
// First-frame reset after a load: six-pack memory, new flags, lamps and
// recall, the SELCAL delays, the unusable-fuel attitude lags, the centre
// pumps' automatic shut-off when the new flight's centre tank holds fuel,
// the recorder state, the bleed trip latches and the REVERSER timers.
void annunciator_first_frame_reset();

// The light-test set: each light and the level it shows during the test.
enum AnnTestLevel : int { test_l1, test_l2, test_l0 };
struct AnnTestLight {
  float* light;
  AnnTestLevel level;
};
extern const AnnTestLight ann_test_lights[];
extern const int ann_test_light_count;

// Shared light filter: a lag toward a 0/1 target with a latch that sets above
// 0.95 and clears below 0.05.
struct LightFilter {
  float value;
  float latch;
};
float light_filter_step(LightFilter& f, float target, float rate);

// The light equations, in the pass's order; each writes its lights and fills
// its six-pack slots. Called by update_annunciators.
void annunciators_electrical();   // electrical panel, hydraulic pumps, fuel pumps, TR unit
void annunciators_flight_controls();  // rudder lights, feel differential, slats, takeoff config
void annunciators_overhead();     // single-condition lights, packs
void annunciators_fire();
void annunciators_doors_radio();
void annunciators_cabin_bleed();
void annunciators_anti_ice();
void annunciators_gear_flight();  // gear, speedbrake, disconnects, below glideslope
void annunciators_fuel_valves();  // fuel valves and ram air doors
void annunciators_recorders();    // FDR, CVR, AUTO FAIL, STAB OUT OF TRIM, generic

void update_annunciators_aux();
