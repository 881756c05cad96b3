// Cabin temperature targets (deg C) the selectors ask for. The zone and pack
// supply temperatures are cabin_temperatures (system_state.h).
#pragma once

struct CabinAirState {
  float cont_cab_target;  // flight deck
  float fwd_cab_target;
  float aft_cab_target;
};
extern CabinAirState cabin_air;

// The 700-series variants have two temperature zones (flight deck and
// passenger cabin) instead of three.
bool two_zone_variant();
