// Air-data models of the path builder and the plug-in core: true airspeed
// from an indicated speed or Mach number, the speed step toward a target
// speed, pressure altitude from static pressure, and the intercept angle that
// lateral steering turns a cross-track offset into.
//
// Speeds in knots; a speed value below 100 is a Mach number, 100 or more an
// indicated airspeed. Altitudes in feet, pressures in psi. The atmosphere is
// the simple model T = 15 - 0.002 h (deg C), speed of sound 39 sqrt(T + 273.15)
// kt, and TAS = IAS (1 + 0.02 h / 1000).
//
// Reads the host's ground speed mirror (intercept_angle_for_offset only).
#pragma once

// True airspeed of a Mach number or indicated airspeed at an altitude; 145
// when the model temperature falls below absolute zero.
float tas_from_speed(float speed, float altitude_ft);
// True airspeed of a Mach number at an altitude.
float tas_from_mach(float mach, float altitude_ft);
// One step of a speed toward a target through true airspeed. `current_tas` is
// a true airspeed (0 taken as 145); the target and limit are IAS or Mach (a
// limit of 0 means 340 kt; Mach is capped at 0.82, IAS at 340); `step` / 0.128
// is the true-airspeed increment. Returns the next speed as IAS (145..340) or
// Mach (capped at 0.82).
float speed_step(float current_tas, float target, float limit, float altitude_ft, float step);
// Pressure altitude, feet, of a static pressure in psi; 0 for a pressure not
// above 0.
float pressure_altitude_ft(float static_psi);
// Signed intercept angle, degrees, for a cross-track offset (nm) at a bank
// (degrees): negative for a positive offset, `max_angle_deg` once the offset
// exceeds the turn radius at the aircraft's ground speed.
float intercept_angle_for_offset(float offset_nm, float bank_deg, float gain, float max_angle_deg);
// The same operation under the name some callers use.
inline float turn_radius_for_speed(float offset_nm, float bank_deg, float gain, float max_angle_deg) {
  return intercept_angle_for_offset(offset_nm, bank_deg, gain, max_angle_deg);
}
