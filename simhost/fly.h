// A simple flying aircraft for the simulated host: enough motion for the
// plug-in's lateral guidance to close its loop, not a flight model. See
// README.md ("Flying aircraft") for what it does and does not do.
#pragma once

namespace simhost {

// Takes the flight-model slot of every frame (replacing any other step set
// with `set_flight_model`) or gives it up. While flying, each unpaused frame
// outside replay moves the aircraft from the host's current values, so a
// scenario may set position, track, speeds or vertical speed at any time.
void set_flying(bool on);
bool flying();

// One frame of the flying aircraft (what the flight-model slot calls).
void fly_step(float dt);

// The flying aircraft's sphere (metres), and the point `angle` radians along
// the great circle that leaves (lat, lon) on `course` (degrees true), its
// longitude within -180..180; with `course2`, the circle's course there
// (degrees true, 0..360).
constexpr double kEarthRadius_m = 6371008.8;
void great_circle_destination(double lat, double lon, double course, double angle, double* lat2, double* lon2,
                              double* course2 = nullptr);

}  // namespace simhost
