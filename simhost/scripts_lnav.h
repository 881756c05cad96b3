// A stand-in for the aircraft scripts' lateral-navigation inputs: each frame
// it hands the plug-in the desired track, the arc values and, in LNAV, the
// selected heading that the scripts would give from the legs they handed
// over and the aircraft's position. See README.md ("The scripts' LNAV
// inputs") for the values and their rules.
#pragma once

namespace simhost {

// Takes the scripts' slot of every frame (after the flight model and the
// host's derived values, before the after-flight-model loops) or gives it up.
void set_scripts_lnav(bool on);
bool scripts_lnav();

// One frame of the stand-in (what the scripts' slot calls).
void scripts_lnav_step(float dt);

}  // namespace simhost
