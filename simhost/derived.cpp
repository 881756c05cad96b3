// The host's own consistency: the values a real host derives from its
// aircraft's state, kept in step here after every flight model whoever moved
// the aircraft (the flying aircraft or a scenario's `set`). The rules are
// listed in README.md ("Derived values"). A value written from outside (test
// API, scenario, --set) is pinned: the host leaves it to that writer from
// then on, as the scenario playing the host asked.
//
// Reads: position, attitude, flight path and speeds, pause and replay, the
// weather's sea-level values, the engines' N1/N2/running/oil, the tanks, the
// pressurisation override and the cabin values the plug-in writes, the gear
// legs, the engines' modes and reverser failures, the APU switch and running
// flag, the generic lights' switches, the throttle override and the throttle
// the plug-in writes, the feed selectors and pumps, and the terrain
// stand-in. Writes: the air at the aircraft, the engines' read-only views,
// fuel totals and indications, the cabin indications, ground contact and the
// height above the ground, the gear's view, the load factor, the tyres, the
// reverser sleeves, the APU's rotor, the leading edges and the generic
// lights' brightness; at the start of a flight the gear, the engines' modes,
// the radios, the annunciators' rheostats, the sun and the panel's
// draw pass, and with "start with engines running" the engines, their start
// levers, pumps and feeds.
#include <algorithm>
#include <cmath>
#include <cstddef>

#include "state.h"

namespace simhost {
namespace {

enum Slot : size_t {
  kElevation, kTrueAirspeed, kPaused, kReplay,
  kSeaLevelPa, kSeaLevelInHg, kSeaLevelTemp12, kSeaLevelTemp11,
  kBaroInHg, kBaroPa, kTempAmbient11, kTempAmbient12, kOat, kTempLe11, kTempLe12, kOatLe,
  kRho, kSigma, kSoundSpeed11, kSoundSpeed12,
  kEngN1, kN1View, kEngN2, kN2View, kEngRunning, kBurningView, kEngOil, kOilView,
  kTankMass, kFuelTotal, kFuelView,
  kOverride, kCabinAlt, kCabinRate, kCabinDiff, kCabinIndicator, kCabinSetOld, kCabinSetNew, kCabinRateSet,
  kLatitude, kLongitude, kPitch, kBank, kPathAngle, kGroundSpeed,
  kGearDeploy, kGearRatio, kGearHandle, kWheelOnGround, kOnGroundAny, kOnGroundAll, kTyreSpeed, kLoadFactor,
  kPropMode, kReverserRatio, kReverserInop1, kReverserInop2, kReverserDeploy1, kReverserDeploy2,
  kApuSwitch, kApuN1, kApuRunning,
  kCom1StandbyMhz, kCom1StandbyKhz, kCom2StandbyMhz, kCom2StandbyKhz, kNav1StandbyHz, kNav2StandbyHz,
  kCom1Mhz, kCom1Khz, kCom2Mhz, kCom2Khz, kNav1Hz, kNav2Hz, kAdf1Hz, kAdf1StandbyHz, kAdf2Hz, kAdf2StandbyHz,
  kMixture, kIgniter, kThrottle, kEngFuelFlow, kFuelFlowView, kFuelFlowOverride, kFeedLeft, kFeedRight,
  kYawDamperSwitch, kYawDamperLight, kGeneratorOn, kGeneratorOffLight, kGpuOn, kExternalPowerLight,
  kPrecip12, kPrecip11, kWingIceL, kWingIceR, kTailIceL, kTailIceR, kInletIce, kWindowIce,
  kWingHeatL, kWingHeatR, kInletHeat, kWindowHeat, kWindowHeatPerWindow,
  kFlapRequest12, kFlapRequest11, kFlapDeploy, kFlapExtendTime, kFlapRetractTime, kFlap1Deg, kFlap2Deg,
  kParkingBrake, kLeftBrake, kRightBrake, kTotalMass,
  kHeightAgl, kRadioAltPilot, kRadioAltCopilot,
  kPsi, kHpath, kMagPsi, kMagVar, kHeadingPilot, kHeadingCopilot, kTrackPilot, kTrackCopilot,
  kRollAharsPilot, kRollAharsCopilot, kRollElectricPilot, kPitchAharsPilot, kPitchAharsCopilot, kPitchElectricPilot,
  kIas, kAirspeedPilot, kAirspeedCopilot, kCasPilot, kCasCopilot, kOverrideIas, kMach,
  kThrottleUsed, kPaxOxyLight, kPaxOxyFailure, kEngFail1, kEngFail2, kEngSep1, kEngSep2, kBirdStrike, kFadecOn,
  kGenericSwitch, kGenericBrightness, kSunPitch, kPanelRenderType, kTankPumps,
  kSlat1, kSlat2, kOverrideThrottles, kThrottleUse, kStartupRunning, kFlapActuatorL, kFlapActuatorR,
  kOverrideSteering, kPedals, kAxisAssigned, kAxisValue, kSteerCommand, kSteerActual,
  kSlotCount
};

constexpr const char* kNames[kSlotCount] = {
    "sim/flightmodel/position/elevation",
    "sim/flightmodel/position/true_airspeed",
    "sim/time/paused",
    "sim/time/is_in_replay",
    "sim/weather/region/sealevel_pressure_pas",
    "sim/weather/barometer_sealevel_inhg",
    "sim/weather/region/sealevel_temperature_c",
    "sim/weather/temperature_sealevel_c",
    "sim/weather/barometer_current_inhg",
    "sim/weather/aircraft/barometer_current_pas",
    "sim/weather/temperature_ambient_c",
    "sim/weather/aircraft/temperature_ambient_deg_c",
    "sim/cockpit2/temperature/outside_air_temp_degc",
    "sim/weather/temperature_le_c",
    "sim/weather/aircraft/temperature_leadingedge_deg_c",
    "sim/cockpit2/temperature/outside_air_LE_temp_degc",
    "sim/weather/rho",
    "sim/weather/sigma",
    "sim/weather/speed_sound_ms",
    "sim/weather/aircraft/speed_sound_ms",
    "sim/flightmodel/engine/ENGN_N1_",
    "sim/flightmodel2/engines/N1_percent",
    "sim/flightmodel/engine/ENGN_N2_",
    "sim/flightmodel2/engines/N2_percent",
    "sim/flightmodel/engine/ENGN_running",
    "sim/flightmodel2/engines/engine_is_burning_fuel",
    "sim/flightmodel/engine/ENGN_oil_quan",
    "sim/cockpit2/engine/indicators/oil_quantity_ratio",
    "sim/flightmodel/weight/m_fuel",
    "sim/flightmodel/weight/m_fuel_total",
    "sim/cockpit2/fuel/fuel_quantity",
    "sim/operation/override/override_pressurization",
    "sim/cockpit/pressure/cabin_altitude_actual_m_msl",   // feet, whatever the name says
    "sim/cockpit/pressure/cabin_vvi_actual_m_msec",       // ft/min
    "sim/cockpit/pressure/cabin_pressure_differential_psi",
    "sim/cockpit2/pressurization/indicators/cabin_altitude_ft",
    "sim/cockpit/pressure/cabin_altitude_set_m_msl",      // feet
    "sim/cockpit2/pressurization/actuators/cabin_altitude_ft",
    "sim/cockpit/pressure/cabin_vvi_set_m_msec",          // ft/min
    "sim/flightmodel/position/latitude",
    "sim/flightmodel/position/longitude",
    "sim/flightmodel/position/theta",
    "sim/flightmodel/position/phi",
    "sim/flightmodel/position/vpath",
    "sim/flightmodel/position/groundspeed",
    "sim/aircraft/parts/acf_gear_deploy",
    "sim/flightmodel2/gear/deploy_ratio",
    "sim/cockpit/switches/gear_handle_status",
    "sim/flightmodel2/gear/on_ground",
    "sim/flightmodel/failures/onground_any",
    "sim/flightmodel/failures/onground_all",
    "sim/flightmodel/parts/tire_speed_now",
    "sim/flightmodel/forces/g_nrml",
    "sim/cockpit2/engine/actuators/prop_mode",
    "sim/flightmodel2/engines/thrust_reverser_deploy_ratio",
    "sim/operation/failures/rel_revers0",
    "sim/operation/failures/rel_revers1",
    "sim/operation/failures/rel_revdep0",
    "sim/operation/failures/rel_revdep1",
    "sim/cockpit/engine/APU_switch",
    "sim/cockpit2/electrical/APU_N1_percent",
    "sim/cockpit/engine/APU_running",
    "sim/cockpit2/radios/actuators/com1_standby_frequency_Mhz",
    "sim/cockpit2/radios/actuators/com1_standby_frequency_khz",
    "sim/cockpit2/radios/actuators/com2_standby_frequency_Mhz",
    "sim/cockpit2/radios/actuators/com2_standby_frequency_khz",
    "sim/cockpit2/radios/actuators/nav1_standby_frequency_hz",
    "sim/cockpit2/radios/actuators/nav2_standby_frequency_hz",
    "sim/cockpit2/radios/actuators/com1_frequency_Mhz",
    "sim/cockpit2/radios/actuators/com1_frequency_khz",
    "sim/cockpit2/radios/actuators/com2_frequency_Mhz",
    "sim/cockpit2/radios/actuators/com2_frequency_khz",
    "sim/cockpit2/radios/actuators/nav1_frequency_hz",
    "sim/cockpit2/radios/actuators/nav2_frequency_hz",
    "sim/cockpit2/radios/actuators/adf1_frequency_hz",
    "sim/cockpit2/radios/actuators/adf1_standby_frequency_hz",
    "sim/cockpit2/radios/actuators/adf2_frequency_hz",
    "sim/cockpit2/radios/actuators/adf2_standby_frequency_hz",
    "sim/cockpit2/engine/actuators/mixture_ratio",
    "sim/cockpit2/engine/actuators/igniter_on",
    "sim/cockpit2/engine/actuators/throttle_ratio",
    "sim/flightmodel/engine/ENGN_FF_",
    "sim/cockpit2/engine/indicators/fuel_flow_kg_sec",
    "sim/operation/override/override_fuel_flow",
    "sim/cockpit2/fuel/fuel_tank_selector_left",
    "sim/cockpit2/fuel/fuel_tank_selector_right",
    "sim/cockpit2/switches/yaw_damper_on",
    "sim/cockpit2/annunciators/yaw_damper",
    "sim/cockpit2/electrical/generator_on",
    "sim/cockpit2/annunciators/generator_off",
    "sim/cockpit/electrical/gpu_on",
    "sim/cockpit2/annunciators/external_power_on",
    "sim/weather/aircraft/precipitation_on_aircraft_ratio",
    "sim/weather/precipitation_on_aircraft_ratio",
    "sim/flightmodel/failures/frm_ice",
    "sim/flightmodel/failures/frm_ice2",
    "sim/flightmodel/failures/tail_ice",
    "sim/flightmodel/failures/tail_ice2",
    "sim/flightmodel/failures/inlet_ice_per_engine",
    "sim/flightmodel/failures/window_ice",
    "sim/cockpit2/ice/ice_surfce_heat_left_on",
    "sim/cockpit2/ice/ice_surfce_heat_right_on",
    "sim/cockpit2/ice/ice_inlet_heat_on_per_engine",
    "sim/cockpit2/ice/ice_window_heat_on",
    "sim/cockpit2/ice/ice_window_heat_on_window",
    "sim/cockpit2/controls/flap_handle_request_ratio",
    "sim/cockpit2/controls/flap_ratio",
    "sim/cockpit2/controls/flap_handle_deploy_ratio",
    "sim/aircraft2/engine/flap_extension_time_sec",
    "sim/aircraft2/engine/flap_retraction_time_sec",
    "sim/flightmodel2/wing/flap1_deg",
    "sim/flightmodel2/wing/flap2_deg",
    "sim/cockpit2/controls/parking_brake_ratio",
    "sim/cockpit2/controls/left_brake_ratio",
    "sim/cockpit2/controls/right_brake_ratio",
    "sim/flightmodel/weight/m_total",
    "sim/flightmodel/position/y_agl",
    "sim/cockpit2/gauges/indicators/radio_altimeter_height_ft_pilot",
    "sim/cockpit2/gauges/indicators/radio_altimeter_height_ft_copilot",
    "sim/flightmodel/position/psi",
    "sim/flightmodel/position/hpath",
    "sim/flightmodel/position/mag_psi",
    "sim/flightmodel/position/magnetic_variation",
    "sim/cockpit2/gauges/indicators/heading_AHARS_deg_mag_pilot",
    "sim/cockpit2/gauges/indicators/heading_AHARS_deg_mag_copilot",
    "sim/cockpit2/gauges/indicators/ground_track_mag_pilot",
    "sim/cockpit2/gauges/indicators/ground_track_mag_copilot",
    "sim/cockpit2/gauges/indicators/roll_AHARS_deg_pilot",
    "sim/cockpit2/gauges/indicators/roll_AHARS_deg_copilot",
    "sim/cockpit2/gauges/indicators/roll_electric_deg_pilot",
    "sim/cockpit2/gauges/indicators/pitch_AHARS_deg_pilot",
    "sim/cockpit2/gauges/indicators/pitch_AHARS_deg_copilot",
    "sim/cockpit2/gauges/indicators/pitch_electric_deg_pilot",
    "sim/flightmodel/position/indicated_airspeed",
    "sim/cockpit2/gauges/indicators/airspeed_kts_pilot",
    "sim/cockpit2/gauges/indicators/airspeed_kts_copilot",
    "sim/cockpit2/gauges/indicators/calibrated_airspeed_kts_pilot",
    "sim/cockpit2/gauges/indicators/calibrated_airspeed_kts_copilot",
    "sim/operation/override/override_ias",
    "sim/flightmodel/misc/machno",
    "sim/flightmodel2/engines/throttle_used_ratio",
    "sim/cockpit/warnings/annunciators/passenger_oxy_on",
    "sim/operation/failures/rel_pass_o2_on",
    "sim/operation/failures/rel_engfai0",
    "sim/operation/failures/rel_engfai1",
    "sim/operation/failures/rel_engsep0",
    "sim/operation/failures/rel_engsep1",
    "sim/operation/failures/rel_bird_strike",
    "sim/cockpit2/engine/actuators/fadec_on",
    "sim/cockpit2/switches/generic_lights_switch",
    "sim/flightmodel2/lights/generic_lights_brightness_ratio",
    "sim/graphics/scenery/sun_pitch_degrees",
    "sim/graphics/view/panel_render_type",
    "sim/cockpit2/fuel/fuel_tank_pump_on",
    "sim/flightmodel2/controls/slat1_deploy_ratio",
    "sim/flightmodel2/controls/slat2_deploy_ratio",
    "sim/operation/override/override_throttles",
    "sim/flightmodel/engine/ENGN_thro_use",
    "sim/operation/prefs/startup_running",
    "sim/operation/failures/rel_fc_L_flp",
    "sim/operation/failures/rel_fc_R_flp",
    "sim/operation/override/override_wheel_steer",
    "sim/cockpit2/controls/yoke_heading_ratio",
    "sim/joystick/joy_mapped_axis_avail",
    "sim/joystick/joy_mapped_axis_value",
    "sim/flightmodel2/gear/tire_steer_command_deg",
    "sim/flightmodel2/gear/tire_steer_actual_deg",
};

// Standard atmosphere (SI) and units.
constexpr double kP0_pa = 101325.0;
constexpr double kT0_c = 15.0;
constexpr double kKelvin = 273.15;
constexpr double kLapse_k_per_m = 0.0065;
constexpr double kTropopause_m = 11000.0;
constexpr double kPressureExponent = 5.255877;   // g / (R L)
constexpr double kGasConstant = 287.053;         // J / (kg K), dry air
constexpr double kG = 9.80665;
constexpr double kRho0 = 1.225;
constexpr double kGamma = 1.4;
constexpr double kCp = 1004.7;                   // J / (kg K), for the ram rise
constexpr double kPaPerInHg = 3386.389;
constexpr double kPaPerPsi = 6894.757;
constexpr double kFtPerM = 3.28083989501;
constexpr double kPi = 3.14159265358979323846;

// The host's engines: a running engine above idle has its core (N2) tied to
// its fan (N1) on a straight line from idle to full power.
constexpr double kIdleN1 = 20.0, kIdleN2 = 60.0, kFullN1 = 100.0, kFullN2 = 100.0;
constexpr int kEngines = 2;
// An engine lights once fuel (start lever at IDLE: mixture from half up) and
// an igniter meet a core turning at 11 % N2, as fast as the air alone turns
// a windmilling core in the relight envelope, and goes out when the lever
// cuts the fuel (mixture below 0.1). Until the core passes the starter's
// cut-out (55 % N2) the fan turns with it (N1 = N2 / 3, 20 % at 60 %), or
// faster where the air through it windmills it (below); from there a
// lit engine runs on its own toward the thrust lever's N1, idle to full
// power, or in reverse idle to 80 %, at 15 % a second up and 10 % down
// (*chosen*: the host's lists give no spool times). Idle rises in thinner
// air, as the engine's control holds its core up: 20 % at sea level, 25 %
// more at zero density (37 % at 35,000 ft; *chosen*).
constexpr double kLightOffN2 = 11.0, kSelfSustainingN2 = 55.0, kFuelOn = 0.5, kFuelOff = 0.1;
// In flight the air through a fan turns it as a windmill, lit or not, in
// proportion to the flight Mach number: 18 % at Mach 0.55 (*chosen*: the
// host's lists give no windmill speeds). A core lighting from the windmill
// range so keeps its fan turning as it accelerates to idle.
constexpr double kWindmillN1PerMach = 32.5;
constexpr double kReverseN1 = 80.0;
constexpr double kIdleRiseN1 = 25.0;
constexpr double kN1Up_pct_s = 15.0, kN1Down_pct_s = 10.0;
// Fuel flow (kg/s per engine): 0.085 at idle to about 1.1 at full power at
// sea level, falling with the ambient pressure to half of that at 35,000 ft
// (*chosen*: a 737-class engine's figures).
constexpr double kIdleFlow_kg_s = 0.085, kFullFlowRise_kg_s = 1.05;
// The feed selectors the plug-in writes: 0 none, 1 left, 2 centre, 3 right,
// 4 all: in equal shares each tank with fuel whose pump is on, and with no
// such pump the engine's own side's tank by suction. None, "aft" (5: this
// aircraft has no aft tank) or an empty tank gives the engine nothing: it
// runs on for the fuel still in its line (*chosen*: 10 s, the host's lists
// give no line volume), then flames out, and lights again only once a tank
// with fuel feeds it.
constexpr int kFeedAll = 4, kFeedSelectorCount = 6;
constexpr float kLineFuel_s = 10.0f;
// Once a lit core is past the starter's cut-out it follows its fan's line at
// the fan's own rates along it, so a core handed over from a start (or a
// relight from any windmill speed) joins the line without a step.
constexpr double kN2PerN1 = (kFullN2 - kIdleN2) / (kFullN1 - kIdleN1);
constexpr double kStartOil = 1.0;                   // ratio of a full tank
constexpr double kStartFuel_kg[3] = {3000.0, 0.0, 3000.0};   // left, centre, right
constexpr double kCabinRateWhenNone_fpm = 500.0;

// The aircraft on its wheels: nose, left and right main gear (host gear 0, 1,
// 2). The position's elevation is the main wheels' contact height; the nose
// wheel is the wheelbase ahead, raised by the pitch. A leg carries the
// aircraft only locked down; a wheel within a centimetre of the terrain (the
// terrain's own float rounding) is on it.
constexpr int kGear = 3;
constexpr double kWheelbase_m = 15.6;
constexpr double kLegDown = 0.99;
constexpr double kContact_m = 0.01;
// Tyre rolling radii: nose 27 x 7.75R15, mains H44.5 x 16.5-21.
constexpr double kTyreRadius_m[kGear] = {0.343, 0.565, 0.565};
constexpr double kTyreSpinDown_rps2 = 10.0;   // a wheel off the ground slows by this (rad/s per s)
// ... and a braked main wheel by this much more at full brake: the brake's
// torque on the wheel's own inertia stops it in a fraction of a second.
constexpr double kBrakedSpinDown_rps2 = 2000.0;
constexpr double kReverserTravel_s = 2.0;     // stowed to deployed
constexpr int kPropReverse = 3;
constexpr int kPropNormal = 1;
constexpr int kFailed = 6;                    // a failure item's "inoperative" value
// The APU: START lights it, the rotor runs up to 100 % in 40 s and counts as
// running from 95 %; OFF stops it, the rotor running down in 20 s.
constexpr double kApuSpoolUp_pct_s = 100.0 / 40.0;
constexpr double kApuSpoolDown_pct_s = 100.0 / 20.0;
constexpr double kApuRunningN1 = 95.0;
constexpr int kApuOff = 0, kApuOn = 1, kApuStart = 2;
// Ice: in precipitation below freezing every unheated surface gathers ice,
// 0.0004 of its ratio a second at a full precipitation ratio (*chosen*: the
// host's lists give no rate); a heated one gathers none.
constexpr double kIcing_per_s = 0.0004;
// Flaps: the surfaces travel toward the handle's request, the whole travel in
// the extension or retraction time the aircraft gives the host (10 s when it
// gives none, *chosen*), and stand at the aircraft's own angles for its
// detents (handle 0 to 1 in eighths: flaps 0, 1, 2, 5, 10, 15, 25, 30, 40).
// The plug-in's flap placards, landing-flap test and 0..49 degree gauges
// place flaps 5 at 11 degrees, 10 at 14, 15 at 17, 25 at 27, 30 at 33 and
// 40 at 49; flaps 1 and 2 stand in proportion below flaps 5 (*chosen*).
constexpr double kFlapDetentDeg[9] = {0.0, 2.2, 4.4, 11.0, 14.0, 17.0, 27.0, 33.0, 49.0};
constexpr double kFlapTimeWhenNone_s = 10.0;
// The leading edges (both slat ratios) are driven with the flaps, so they
// travel as the flaps do: out to the intermediate position (0.5) over the
// handle's first eighth, there from flaps 1 to 5, on to full extension (1)
// between flaps 5 and 10 and full from flaps 10 on. The aircraft file here
// gives the host no positions of its own, so these are the -800's schedule;
// both sets follow it. The schedule never moves the leading edges faster
// than four times the flaps, and neither does a return to it (after the
// plug-in let go of a position it held), so they never jump. A ratio the
// plug-in writes stands for that frame: the host leaves it while the
// plug-in keeps writing it.
constexpr double kSlatMid = 0.5;
constexpr double kSlatsPerFlap = 4.0;
// Radios at power-up: tuned, as a real host's are, the standby on the
// lowest channel of each band (118.000 MHz, 108.00 MHz in the host's 10 kHz
// units, 190 kHz) and the active a little above it (118.100, 108.10, 200),
// so that a transfer shows. A radio at 0 would hand a panel's transfer
// switch a frequency no receiver has.
constexpr int kComStandbyMhz = 118, kComStandbyKhz = 0, kNavStandby10Khz = 10800, kAdfStandbyKhz = 190;
constexpr int kComActiveMhz = 118, kComActiveKhz = 100, kNavActive10Khz = 10810, kAdfActiveKhz = 200;
// The annunciators' two rheostats (generic lights 13 and 14) stand where the
// aircraft's scripts put them at a powered start, full bright; a flight
// starts in daylight well above the sun height at which the annunciators
// reach full brightness (*chosen*: the host here has no sun of its own).
constexpr size_t kAnnunciatorRheostats[2] = {13, 14};
constexpr double kRheostatStart = 1.0;
constexpr double kDaylightSunPitch_deg = 45.0;
// The draw pass the panel is drawn in: the lit 3-D panel, the one the
// cockpit's displays are drawn into.
constexpr int kLitPanelPass = 2;

// The host's own nose-wheel steering (*chosen*: the aircraft file gives no
// steering angles, these are the type's): the tiller, the axis of role 37,
// up to 78 degrees either way, the rudder pedals up to 7.
constexpr size_t kTillerRole = 37;
constexpr double kTillerSteer_deg = 78.0;
constexpr double kPedalSteer_deg = 7.0;

bool finite(double v) { return std::isfinite(v); }

// Element e of a host array, 0 when the array is absent, shorter or holds no
// number there.
double element(const Dataref* d, size_t e) {
  return d && e < d->array.size() && finite(d->array[e]) ? d->array[e] : 0.0;
}

double standard_temp_k(double h_m) {
  return kT0_c + kKelvin - kLapse_k_per_m * std::min(h_m, kTropopause_m);
}

double standard_pressure_pa(double h_m) {
  if (h_m <= kTropopause_m) return kP0_pa * std::pow(standard_temp_k(h_m) / (kT0_c + kKelvin), kPressureExponent);
  const double p11 = standard_pressure_pa(kTropopause_m);
  return p11 * std::exp(-kG * (h_m - kTropopause_m) / (kGasConstant * standard_temp_k(kTropopause_m)));
}

// The altitude (m) at which the standard atmosphere has this pressure.
double pressure_altitude_m(double p_pa) {
  const double p11 = standard_pressure_pa(kTropopause_m);
  if (p_pa >= p11) return (1.0 - std::pow(p_pa / kP0_pa, 1.0 / kPressureExponent)) * (kT0_c + kKelvin) / kLapse_k_per_m;
  return kTropopause_m + std::log(p11 / p_pa) * kGasConstant * standard_temp_k(kTropopause_m) / kG;
}

void resolve(Host& h) {
  resolve_slots(h, kSlotCount, [](size_t s) { return std::string(kNames[s]); }, true, h.derived_slots,
                h.derived_generation);
}

Dataref* at(Host& h, Slot s) { return slot_dataref(h, h.derived_slots, s); }

double in(Host& h, Slot s, double fallback) {
  const Dataref* d = at(h, s);
  return d && finite(d->scalar) ? d->scalar : fallback;
}

void out(Host& h, Slot s, double v) {
  Dataref* d = at(h, s);
  if (d && !d->pinned) d->scalar = v;
}

bool failed(Host& h, Slot s) { return in(h, s, 0.0) == kFailed; }

// One weather value under two names (the newer host's and the older one, in
// `factor` older units per newer unit): the newer name holds it unless only
// the older one was set from outside; both then agree. A value outside
// (lowest, highest] reads as the standard one.
double weather_pair(Host& h, Slot newer, Slot older, double factor, double standard, double lowest,
                    double highest) {
  Dataref* n = at(h, newer);
  Dataref* o = at(h, older);
  double v = standard;
  if (n && !(o && o->pinned && !n->pinned)) {
    v = n->scalar;
  } else if (o) {
    v = o->scalar / factor;
  }
  if (!(v > lowest && v <= highest)) v = standard;
  if (n && !n->pinned) n->scalar = v;
  if (o && !o->pinned) o->scalar = v * factor;
  return v;
}

// A read-only array view follows the value it shows, element by element.
void follow(Host& h, Slot source, Slot view) {
  const Dataref* s = at(h, source);
  Dataref* v = at(h, view);
  if (!s || !v || v->pinned) return;
  const size_t n = std::min(s->array.size(), v->array.size());
  std::copy(s->array.begin(), s->array.begin() + static_cast<long>(n), v->array.begin());
}

void derive_air(Host& h, double* ambient_pa, double* sigma) {
  const double p_sl = weather_pair(h, kSeaLevelPa, kSeaLevelInHg, 1.0 / kPaPerInHg, kP0_pa, 0.0, 2.0 * kP0_pa);
  const double t_sl = weather_pair(h, kSeaLevelTemp12, kSeaLevelTemp11, 1.0, kT0_c, -kKelvin, 100.0);
  // Anything from the deepest valley to well above any aircraft's ceiling.
  const double h_m = std::clamp(in(h, kElevation, 0.0), -2000.0, 80000.0);
  const double p = standard_pressure_pa(h_m) * p_sl / kP0_pa;
  const double t_k = std::max(1.0, standard_temp_k(h_m) + (t_sl - kT0_c));
  const double tas = std::clamp(in(h, kTrueAirspeed, 0.0), -1000.0, 1000.0);
  const double t_le_k = t_k + tas * tas / (2.0 * kCp);
  const double rho = p / (kGasConstant * t_k);
  const double sound = std::sqrt(kGamma * kGasConstant * t_k);
  out(h, kBaroInHg, p / kPaPerInHg);
  out(h, kBaroPa, p);
  for (Slot s : {kTempAmbient11, kTempAmbient12, kOat}) out(h, s, t_k - kKelvin);
  for (Slot s : {kTempLe11, kTempLe12, kOatLe}) out(h, s, t_le_k - kKelvin);
  out(h, kRho, rho);
  out(h, kSigma, rho / kRho0);
  *sigma = rho / kRho0;
  out(h, kSoundSpeed11, sound);
  out(h, kSoundSpeed12, sound);
  out(h, kMach, tas / sound);
  *ambient_pa = p;
}

double wrap360(double a) {
  a = std::fmod(a, 360.0);
  return a < 0.0 ? a + 360.0 : a;
}

// The instruments the host drives from its aircraft's attitude and air
// data, wherever the aircraft was put or flown: heading and track made
// magnetic by the variation where it is (the host's sign: magnetic = true +
// variation, an easterly variation negative), bank and pitch on the attitude
// and electric gyros, the airspeed indicators from the indicated airspeed. While the
// plug-in overrides the indicated airspeed, the indicators are its own.
void derive_gauges(Host& h) {
  Dataref* variation = at(h, kMagVar);
  if (variation && !variation->pinned) variation->scalar = variation_at(h, in(h, kLatitude, 0.0), in(h, kLongitude, 0.0));
  const double var = in(h, kMagVar, 0.0);
  const double heading = wrap360(in(h, kPsi, 0.0) + var);
  const double track = wrap360(in(h, kHpath, 0.0) + var);
  for (Slot s : {kMagPsi, kHeadingPilot, kHeadingCopilot}) out(h, s, heading);
  for (Slot s : {kTrackPilot, kTrackCopilot}) out(h, s, track);
  const double bank = in(h, kBank, 0.0);
  for (Slot s : {kRollAharsPilot, kRollAharsCopilot, kRollElectricPilot}) out(h, s, bank);
  const double pitch = in(h, kPitch, 0.0);
  for (Slot s : {kPitchAharsPilot, kPitchAharsCopilot, kPitchElectricPilot}) out(h, s, pitch);
  const double ias = in(h, kIas, 0.0);
  for (Slot s : {kCasPilot, kCasCopilot}) out(h, s, ias);
  if (in(h, kOverrideIas, 0.0) == 0.0)
    for (Slot s : {kAirspeedPilot, kAirspeedCopilot}) out(h, s, ias);
}

// The feed selector's value as a selector position; anything else is none.
int feed_selector(Host& h, Slot s) {
  const double v = in(h, s, 0.0);
  return v >= 0.0 && v < kFeedSelectorCount ? static_cast<int>(v) : 0;
}

// The tanks engine e draws from now, each with its share of the burn; none
// when nothing with fuel in it reaches the engine. Without tanks at all the
// host has nothing to run dry and the engine counts as fed.
bool feeding_tanks(Host& h, size_t e, const Dataref* tanks, bool from[3], int* count) {
  from[0] = from[1] = from[2] = false;
  *count = 0;
  if (!tanks) return true;
  const Dataref* pumps = at(h, kTankPumps);
  const size_t n = std::min<size_t>(3, tanks->array.size());
  auto has_fuel = [&](size_t t) { return t < n && finite(tanks->array[t]) && tanks->array[t] > 0.0; };
  const int feed = feed_selector(h, e == 0 ? kFeedLeft : kFeedRight);
  if (feed >= 1 && feed <= 3) {
    const size_t t = static_cast<size_t>(feed - 1);
    from[t] = has_fuel(t);
  } else if (feed == kFeedAll) {
    for (size_t t = 0; t < n; ++t) from[t] = has_fuel(t) && element(pumps, t) != 0.0;
    if (!from[0] && !from[1] && !from[2]) {
      const size_t own = e == 0 ? 0 : 2;
      from[own] = has_fuel(own);
    }
  }
  for (size_t t = 0; t < 3; ++t) *count += from[t] ? 1 : 0;
  return *count > 0;
}

// The host's engines: lit by fuel and an igniter on a turning core, their fan
// following the thrust lever from idle (or, with the throttles overridden,
// the throttle the plug-in writes), burning fuel from the tanks their feed
// selectors name and going out when none reaches them. An engine whose fan
// speed a scenario plays (either N1 name pinned) is left to it, fuel and all.
void derive_engines(Host& h, double ambient_pa, double sigma, bool running_frame, float dt) {
  Dataref* n1 = at(h, kEngN1);
  const Dataref* n1_view = at(h, kN1View);
  Dataref* n2 = at(h, kEngN2);
  Dataref* run = at(h, kEngRunning);
  const Dataref* mixture = at(h, kMixture);
  const Dataref* igniter = at(h, kIgniter);
  // The host's own description of the override: the engines then take the
  // throttle written to "ENGN_thro_use" instead of the levers.
  const bool throttles_overridden = in(h, kOverrideThrottles, 0.0) != 0.0;
  const Dataref* throttle = at(h, throttles_overridden ? kThrottleUse : kThrottle);
  const Dataref* mode = at(h, kPropMode);
  Dataref* flow = at(h, kEngFuelFlow);
  Dataref* tanks = at(h, kTankMass);
  const bool flow_overridden = in(h, kFuelFlowOverride, 0.0) != 0.0;
  const double windmill_n1 = kWindmillN1PerMach * std::clamp(in(h, kMach, 0.0), 0.0, 1.0);
  double burnt = 0.0;
  // A failed engine (power lost, or the engine gone) stops, whoever said it
  // ran, and does not light while it stays failed. The host's bird strike
  // fails engine 2, as its description of the failure says.
  bool failed_engine[kEngines] = {false, false};
  for (size_t e = 0; e < static_cast<size_t>(kEngines); ++e) {
    failed_engine[e] = failed(h, e == 0 ? kEngFail1 : kEngFail2) || failed(h, e == 0 ? kEngSep1 : kEngSep2) ||
                       (e == 1 && failed(h, kBirdStrike));
    if (failed_engine[e] && run && e < run->array.size()) run->array[e] = 0.0;
  }
  const bool fan_played = !n1 || n1->pinned || (n1_view && n1_view->pinned);
  if (n1 && n2 && run && !fan_played) {
    for (size_t e = 0; e < static_cast<size_t>(kEngines) && e < n1->array.size(); ++e) {
      bool lit = element(run, e) != 0.0;
      const double core = element(n2, e);
      bool from[3];
      int feeding = 0;
      const bool fed = feeding_tanks(h, e, tanks, from, &feeding);
      float& unfed_s = h.unfed_s[e];
      if (fed || !lit) unfed_s = 0.0f;
      if (!run->pinned && running_frame && e < run->array.size()) {
        if (!lit && !failed_engine[e] && fed && element(mixture, e) >= kFuelOn && element(igniter, e) != 0.0 &&
            core >= kLightOffN2)
          lit = true;
        if (lit && element(mixture, e) < kFuelOff) lit = false;
        if (lit && !fed) {
          unfed_s += dt;
          if (unfed_s > kLineFuel_s) lit = false;
        }
        if (!lit) unfed_s = 0.0f;
        run->array[e] = lit ? 1.0 : 0.0;
      }
      double target = std::max(core * kIdleN1 / kIdleN2, windmill_n1);
      const double idle = kIdleN1 + kIdleRiseN1 * (1.0 - std::clamp(sigma, 0.0, 1.0));
      if (lit && core >= kSelfSustainingN2) {
        const double lever = std::clamp(element(throttle, e), 0.0, 1.0);
        const double top = element(mode, e) == kPropReverse ? kReverseN1 : kFullN1;
        target = idle + lever * (top - idle);
      } else if (lit) {
        // A lit core drives its fan with it from the windmill speed to idle
        // at the cut-out, so a relight's fan accelerates with its core.
        const double r = std::clamp((core - kLightOffN2) / (kSelfSustainingN2 - kLightOffN2), 0.0, 1.0);
        target = std::max(target, windmill_n1 + r * (idle - windmill_n1));
      }
      double& fan = n1->array[e];
      if (!finite(fan)) fan = 0.0;
      if (running_frame) fan += std::clamp(target - fan, -kN1Down_pct_s * dt, kN1Up_pct_s * dt);
      if (flow && !flow->pinned && !flow_overridden && e < flow->array.size()) {
        const double r = std::clamp((fan - kIdleN1) / (kFullN1 - kIdleN1), 0.0, 1.0);
        flow->array[e] = lit ? (kIdleFlow_kg_s + kFullFlowRise_kg_s * r * r) * (0.35 + 0.65 * ambient_pa / kP0_pa) : 0.0;
      }
      // The burn comes out of the fuel masses even where a scenario loaded
      // them: loading fuel is not flying the engines. An unfed engine's last
      // seconds burn what is left in its line, not a tank.
      if (!lit || !tanks || !running_frame || feeding == 0) continue;
      const double share = element(flow, e) * dt / feeding;
      for (size_t t = 0; t < 3 && t < tanks->array.size(); ++t) {
        if (!from[t]) continue;
        const double taken = std::min(std::max(tanks->array[t], 0.0), share);
        tanks->array[t] -= taken;
        burnt += taken;
      }
    }
  }
  // The aircraft is lighter by the fuel burnt, whoever set its weight.
  Dataref* mass = at(h, kTotalMass);
  if (mass && burnt > 0.0 && finite(mass->scalar)) mass->scalar = std::max(0.0, mass->scalar - burnt);
  follow(h, kEngN1, kN1View);
  const Dataref* fan_view = at(h, kN1View);
  if (n2 && run && fan_view && !n2->pinned) {
    const size_t n = std::min({n2->array.size(), run->array.size(), fan_view->array.size()});
    for (size_t e = 0; e < n; ++e) {
      const double fan = fan_view->array[e];
      double& core = n2->array[e];
      if (run->array[e] == 0.0 || !finite(fan) || fan < kIdleN1) continue;
      const double line = kIdleN2 + (fan - kIdleN1) * kN2PerN1;
      // A played fan carries its core with it as it stands; below the
      // starter's cut-out the core is still the start's.
      if (fan_played || !finite(core) || !running_frame) {
        if (fan_played || !finite(core)) core = line;
        continue;
      }
      if (core < kSelfSustainingN2) continue;
      core += std::clamp(line - core, -kN1Down_pct_s * kN2PerN1 * dt, kN1Up_pct_s * kN2PerN1 * dt);
    }
  }
  follow(h, kEngN2, kN2View);
  follow(h, kEngRunning, kBurningView);
  // What the engines' controls pass on of the thrust levers: the levers as
  // they stand (the host's lists give no control schedule), or the throttle
  // the plug-in writes while it overrides them.
  const Dataref* levers = at(h, in(h, kOverrideThrottles, 0.0) != 0.0 ? kThrottleUse : kThrottle);
  Dataref* used = at(h, kThrottleUsed);
  if (levers && used && !used->pinned)
    for (size_t e = 0; e < used->array.size() && e < levers->array.size(); ++e)
      used->array[e] = finite(levers->array[e]) ? std::clamp(levers->array[e], 0.0, 1.0) : 0.0;
  follow(h, kEngOil, kOilView);
  follow(h, kEngFuelFlow, kFuelFlowView);
}

void derive_fuel(Host& h) {
  const Dataref* tanks = at(h, kTankMass);
  if (!tanks) return;
  double total = 0.0;
  for (double kg : tanks->array) total += finite(kg) ? kg : 0.0;
  out(h, kFuelTotal, total);
  follow(h, kTankMass, kFuelView);
}

// With the pressurisation overridden the cabin indication shows what the
// plug-in writes; otherwise the host's controller holds the commanded cabin
// altitude (never above the aircraft's), moving at the commanded rate.
void derive_cabin(Host& h, double ambient_pa, float dt) {
  if (in(h, kOverride, 0.0) != 0.0) {
    out(h, kCabinIndicator, in(h, kCabinAlt, 0.0));
    return;
  }
  const double commanded = weather_pair(h, kCabinSetNew, kCabinSetOld, 1.0, 0.0, -1e5, 1e5);
  const double rate = std::fabs(in(h, kCabinRateSet, 0.0));
  const double aircraft_ft = pressure_altitude_m(ambient_pa) * kFtPerM;
  const double cabin = in(h, kCabinAlt, 0.0);
  const bool running = dt > 0.0f && in(h, kPaused, 0.0) == 0.0 && in(h, kReplay, 0.0) == 0.0;
  double next = cabin;
  if (running) {
    const double step = (rate > 0.0 ? rate : kCabinRateWhenNone_fpm) / 60.0 * dt;
    next += std::clamp(std::min(commanded, aircraft_ft) - cabin, -step, step);
  }
  next = std::min(next, aircraft_ft);
  out(h, kCabinAlt, next);
  if (running) out(h, kCabinRate, (next - cabin) / dt * 60.0);
  out(h, kCabinIndicator, next);
  out(h, kCabinDiff, (standard_pressure_pa(next / kFtPerM) - ambient_pa) / kPaPerPsi);
}

bool running_frame(Host& h, float dt) {
  return dt > 0.0f && std::isfinite(dt) && in(h, kPaused, 0.0) == 0.0 && in(h, kReplay, 0.0) == 0.0;
}

// Elements 0 .. n-1 of a host array the host keeps itself (absent, pinned or
// shorter ones are left alone or cut short).
void put_elements(Host& h, Slot s, size_t n, double v) {
  Dataref* d = at(h, s);
  if (!d || d->pinned) return;
  for (size_t i = 0; i < n && i < d->array.size(); ++i) d->array[i] = v;
}

// The terrain stand-in's height under the aircraft (local y, metres).
double terrain_under(Host& h) {
  double x = 0, y = 0, z = 0;
  XPLMWorldToLocal(in(h, kLatitude, 0.0), in(h, kLongitude, 0.0), in(h, kElevation, 0.0), &x, &y, &z);
  return terrain_height(h, x, z);
}

bool at_ground(Host& h) { return in(h, kElevation, 0.0) <= terrain_under(h) + kContact_m; }

// Ground contact from the height: each wheel on a locked leg that reaches
// the terrain, the airframe itself when no leg is down. Per-wheel values set
// from outside stand, and the summaries follow them.
void derive_ground(Host& h, bool wheel[kGear], bool* any_contact) {
  const double height = in(h, kElevation, 0.0) - terrain_under(h);
  const double pitch = std::clamp(in(h, kPitch, 0.0), -90.0, 90.0);
  const Dataref* legs = at(h, kGearDeploy);
  bool leg_down = false;
  for (int i = 0; i < kGear; ++i) {
    const bool down = legs && static_cast<size_t>(i) < legs->array.size() && legs->array[static_cast<size_t>(i)] >= kLegDown;
    const double raised = i == 0 ? kWheelbase_m * std::sin(pitch * kPi / 180.0) : 0.0;
    wheel[i] = down && height + raised <= kContact_m;
    leg_down = leg_down || down;
  }
  if (Dataref* w = at(h, kWheelOnGround)) {
    for (size_t i = 0; i < static_cast<size_t>(kGear) && i < w->array.size(); ++i) {
      if (w->pinned) {
        wheel[i] = w->array[i] != 0.0;
      } else {
        w->array[i] = wheel[i] ? 1.0 : 0.0;
      }
    }
  }
  const bool all = wheel[0] && wheel[1] && wheel[2];
  const bool any = wheel[0] || wheel[1] || wheel[2] || (!leg_down && height <= kContact_m);
  out(h, kOnGroundAny, any ? 1.0 : 0.0);
  out(h, kOnGroundAll, all ? 1.0 : 0.0);
  *any_contact = any;
  // The height above the terrain, and the radio altimeters' reading of it,
  // wherever the aircraft was put: a parked or placed aircraft has them too.
  const double agl = std::max(0.0, height);
  out(h, kHeightAgl, agl);
  out(h, kRadioAltPilot, agl * kFtPerM);
  out(h, kRadioAltCopilot, agl * kFtPerM);
}

// The normal load: 1 g standing or rolling, the steady flight path's in the
// air (cos path / cos bank), and a landing's load in the frame it meets the
// ground (fly.cpp).
void derive_load(Host& h, bool on_ground) {
  double n = 1.0;
  if (!on_ground) {
    const double bank = std::clamp(in(h, kBank, 0.0), -85.0, 85.0) * kPi / 180.0;
    const double path = std::clamp(in(h, kPathAngle, 0.0), -90.0, 90.0) * kPi / 180.0;
    n = std::cos(path) / std::cos(bank);
  }
  if (h.touchdown_g > n) n = h.touchdown_g;
  h.touchdown_g = 0.0f;
  out(h, kLoadFactor, n);
}

// A wheel on the ground rolls at the ground speed (rad/s); off it, it spins down.
void derive_tyres(Host& h, const bool wheel[kGear], bool running, float dt) {
  Dataref* t = at(h, kTyreSpeed);
  if (!t || t->pinned) return;
  const double gs = std::clamp(in(h, kGroundSpeed, 0.0), 0.0, 1000.0);
  for (size_t i = 0; i < static_cast<size_t>(kGear) && i < t->array.size(); ++i) {
    double& w = t->array[i];
    if (!finite(w)) w = 0.0;
    if (wheel[i]) {
      w = gs / kTyreRadius_m[i];
    } else if (running) {
      // The mains have brakes (left, right); the parking brake holds both.
      double brake = 0.0;
      if (i > 0) brake = std::max(in(h, kParkingBrake, 0.0), in(h, i == 1 ? kLeftBrake : kRightBrake, 0.0));
      w = std::max(0.0, w - (kTyreSpinDown_rps2 + kBrakedSpinDown_rps2 * std::clamp(brake, 0.0, 1.0)) * dt);
    }
  }
}

// Each engine's reverser sleeves travel out while its mode is reverse and
// back otherwise; an inoperative reverser stays where it is, a failed
// deployment goes out whatever the mode.
void derive_reversers(Host& h, bool running, float dt) {
  Dataref* r = at(h, kReverserRatio);
  const Dataref* mode = at(h, kPropMode);
  if (!r || r->pinned || !mode) return;
  const double step = running ? dt / kReverserTravel_s : 0.0;
  const Slot inop[2] = {kReverserInop1, kReverserInop2};
  const Slot deploy[2] = {kReverserDeploy1, kReverserDeploy2};
  const size_t n = std::min(r->array.size(), mode->array.size());
  for (size_t e = 0; e < n; ++e) {
    double& v = r->array[e];
    if (!finite(v)) v = 0.0;
    const bool failed_out = e < 2 && failed(h, deploy[e]);
    if (e < 2 && failed(h, inop[e]) && !failed_out) continue;
    const double target = failed_out || mode->array[e] == kPropReverse ? 1.0 : 0.0;
    v += std::clamp(target - v, -step, step);
  }
}

// The APU's rotor: lit by START (the switch or the host's START command),
// put out by OFF; the running flag once on speed. A running flag written
// from elsewhere (a restored situation) is an APU brought there at once, its
// switch at ON.
void derive_apu(Host& h, bool running, float dt) {
  Dataref* n1 = at(h, kApuN1);
  Dataref* flag = at(h, kApuRunning);
  if (!n1) return;
  if (flag && finite(flag->scalar) && flag->scalar != h.apu_running_written) {
    h.apu_lit = flag->scalar != 0.0;
    if (h.apu_lit && !n1->pinned) n1->scalar = 100.0;
    if (h.apu_lit && in(h, kApuSwitch, 0.0) == kApuOff) out(h, kApuSwitch, kApuOn);
  }
  const double sw = in(h, kApuSwitch, 0.0);
  if (sw == kApuStart) h.apu_lit = true;
  if (sw == kApuOff) h.apu_lit = false;
  if (!n1->pinned) {
    double v = finite(n1->scalar) ? std::clamp(n1->scalar, 0.0, 100.0) : 0.0;
    if (running) v += std::clamp((h.apu_lit ? 100.0 : 0.0) - v, -kApuSpoolDown_pct_s * dt, kApuSpoolUp_pct_s * dt);
    n1->scalar = v;
  }
  out(h, kApuRunning, h.apu_lit && n1->scalar >= kApuRunningN1 ? 1.0 : 0.0);
  if (flag) h.apu_running_written = static_cast<float>(flag->scalar);
}

// Ice from the weather: precipitation on the aircraft below freezing builds
// ice on the wings, the tail, each engine's inlet and the windows, except
// where the host's own anti-ice heats them (the switches the plug-in writes).
// What the aircraft does about the ice is the plug-in's.
void derive_ice(Host& h, bool running, float dt) {
  const double wet = weather_pair(h, kPrecip12, kPrecip11, 1.0, 0.0, -1.0, 1.0);
  const double t_c = in(h, kTempAmbient12, in(h, kTempAmbient11, kT0_c));
  if (!running || !(wet > 0.0) || t_c >= 0.0) return;
  const double add = kIcing_per_s * wet * dt;
  auto grow = [&](Slot ice, bool heated) {
    if (!heated) out(h, ice, std::min(1.0, std::max(0.0, in(h, ice, 0.0)) + add));
  };
  grow(kWingIceL, in(h, kWingHeatL, 0.0) != 0.0);
  grow(kWingIceR, in(h, kWingHeatR, 0.0) != 0.0);
  grow(kTailIceL, false);
  grow(kTailIceR, false);
  // The windshield ice is the pilot's (its description's words): heated by
  // the windshield switch, or on host 12 also by the pilot's forward window
  // (element 0) of the per-window switches; the host's descriptions give
  // both the same meaning and neither replaces the other.
  grow(kWindowIce, in(h, kWindowHeat, 0.0) != 0.0 || element(at(h, kWindowHeatPerWindow), 0) != 0.0);
  Dataref* inlet = at(h, kInletIce);
  const Dataref* heat = at(h, kInletHeat);
  if (!inlet || inlet->pinned) return;
  for (size_t e = 0; e < static_cast<size_t>(kEngines) && e < inlet->array.size(); ++e) {
    const bool heated = element(heat, e) != 0.0;
    double& v = inlet->array[e];
    if (!heated) v = std::min(1.0, (finite(v) ? std::max(0.0, v) : 0.0) + add);
  }
}

// The whole flap travel's time that way, as the aircraft gives it.
double flap_time_s(Host& h, bool extending) {
  const double time_s = in(h, extending ? kFlapExtendTime : kFlapRetractTime, 0.0);
  return time_s > 0.0 ? time_s : kFlapTimeWhenNone_s;
}

// Where the leading edges stand for a flap deploy ratio.
double slat_schedule(double flaps) {
  constexpr double kFlaps1 = 0.125, kFlaps5 = 0.375, kFlaps10 = 0.5;
  if (flaps <= kFlaps1) return kSlatMid * std::max(0.0, flaps) / kFlaps1;
  if (flaps <= kFlaps5) return kSlatMid;
  if (flaps < kFlaps10) return kSlatMid + (1.0 - kSlatMid) * (flaps - kFlaps5) / (kFlaps10 - kFlaps5);
  return 1.0;
}

// The leading edges toward their schedule for the flaps at r (at once where
// the flight is placed), unless the plug-in wrote them since the host last
// looked or a scenario plays them.
void derive_slats(Host& h, double r, bool running, float dt, bool placing) {
  const Slot slats[2] = {kSlat1, kSlat2};
  for (size_t i = 0; i < 2; ++i) {
    Dataref* d = at(h, slats[i]);
    if (!d) continue;
    const bool written = d->counts.writes != h.slat_writes_seen[i];
    h.slat_writes_seen[i] = d->counts.writes;
    if (d->pinned || (written && !placing)) continue;
    const double target = slat_schedule(r);
    double v = finite(d->scalar) ? std::clamp(d->scalar, 0.0, 1.0) : 0.0;
    if (placing) {
      v = target;
    } else if (running) {
      const double step = kSlatsPerFlap * dt / flap_time_s(h, target > v);
      v += std::clamp(target - v, -step, step);
    }
    d->scalar = v;
  }
}

// The flaps follow their handle's request at the aircraft's flap speed, the
// leading edges with them. A side whose flap actuator has failed stays
// where it is while the other follows: the degree arrays hold one element
// per wing, the left wing's at the even places and the right's at the odd
// ones, as the host numbers its wings.
void derive_flaps(Host& h, bool running, float dt, bool placing) {
  Dataref* deploy = at(h, kFlapDeploy);
  if (!deploy) return;
  const double request =
      std::clamp(at(h, kFlapRequest12) ? in(h, kFlapRequest12, 0.0) : in(h, kFlapRequest11, 0.0), 0.0, 1.0);
  double r = finite(deploy->scalar) ? std::clamp(deploy->scalar, 0.0, 1.0) : 0.0;
  if (running && !deploy->pinned) {
    const double time_s = flap_time_s(h, request > r);
    r += std::clamp(request - r, -dt / time_s, dt / time_s);
    deploy->scalar = r;
  }
  derive_slats(h, r, running, dt, placing);
  const double at8 = r * 8.0;
  const int k = std::min(7, static_cast<int>(at8));
  const double deg = kFlapDetentDeg[k] + (at8 - k) * (kFlapDetentDeg[k + 1] - kFlapDetentDeg[k]);
  const bool stuck[2] = {!placing && failed(h, kFlapActuatorL), !placing && failed(h, kFlapActuatorR)};
  for (Slot s : {kFlap1Deg, kFlap2Deg}) {
    Dataref* d = at(h, s);
    if (!d || d->pinned) continue;
    for (size_t i = 0; i < d->array.size(); ++i)
      if (!stuck[i % 2]) d->array[i] = deg;
  }
}

// The host steers the nose wheel itself unless a plug-in overrides it: from
// the rudder pedals and the tiller (while an axis is assigned to it),
// whichever turns it further.
void derive_steering(Host& h) {
  if (in(h, kOverrideSteering, 0.0) != 0.0) return;
  const double pedals = std::clamp(in(h, kPedals, 0.0), -1.0, 1.0) * kPedalSteer_deg;
  const double tiller = element(at(h, kAxisAssigned), kTillerRole) > 0.0
                            ? std::clamp(element(at(h, kAxisValue), kTillerRole), -1.0, 1.0) * kTillerSteer_deg
                            : 0.0;
  const double deg = std::fabs(pedals) > std::fabs(tiller) ? pedals : tiller;
  for (Slot s : {kSteerCommand, kSteerActual}) {
    Dataref* d = at(h, s);
    if (d && !d->pinned && !d->array.empty()) d->array[0] = deg;
  }
}

// The host's own status lights: the yaw damper's shows it engaged, each
// generator's OFF that it is not on line (switched off, or its engine below
// idle or stopped), the external power's that the ground power is on.
void derive_status_lights(Host& h) {
  out(h, kYawDamperLight, in(h, kYawDamperSwitch, 0.0) != 0.0 ? 1.0 : 0.0);
  out(h, kExternalPowerLight, in(h, kGpuOn, 0.0) != 0.0 ? 1.0 : 0.0);
  // The passenger oxygen: lit while the masks are out (the host's failure
  // item the aircraft sets to deploy them).
  out(h, kPaxOxyLight, failed(h, kPaxOxyFailure) ? 1.0 : 0.0);
  Dataref* off = at(h, kGeneratorOffLight);
  const Dataref* on = at(h, kGeneratorOn);
  const Dataref* core = at(h, kN2View);
  const Dataref* run = at(h, kEngRunning);
  if (!off || off->pinned) return;
  for (size_t e = 0; e < static_cast<size_t>(kEngines) && e < off->array.size(); ++e) {
    const bool switched = element(on, e) != 0.0;
    const bool turning = element(run, e) != 0.0 && element(core, e) >= kSelfSustainingN2;
    off->array[e] = switched && turning ? 0.0 : 1.0;
  }
}

// Each generic light shines at its switch's intensity (the aircraft's own
// power to it is the aircraft's business, not the host's).
void derive_generic_lights(Host& h) {
  const Dataref* sw = at(h, kGenericSwitch);
  Dataref* lit = at(h, kGenericBrightness);
  if (!sw || !lit || lit->pinned) return;
  for (size_t i = 0; i < lit->array.size() && i < sw->array.size(); ++i)
    lit->array[i] = finite(sw->array[i]) ? std::clamp(sw->array[i], 0.0, 1.0) : 0.0;
}

// The gear where a flight starts: handle and legs down on the ground, up in
// the air.
void place_gear(Host& h) {
  const double down = at_ground(h) ? 1.0 : 0.0;
  put_elements(h, kGearDeploy, kGear, down);
  out(h, kGearHandle, down);
}

// The engines where a flight starts with the user's "start with engines
// running": both lit at idle for the air there, start levers at IDLE
// (mixture 1), every tank's pumps on and both feeds from all tanks, whether
// a plug-in runs or not; an aircraft plug-in then takes its controls from
// there. Values set from outside stand, a played fan's core with it.
void start_engines_running(Host& h) {
  if (in(h, kStartupRunning, 0.0) != 1.0) return;
  double ambient_pa = kP0_pa, sigma = 1.0;
  derive_air(h, &ambient_pa, &sigma);
  const double idle = kIdleN1 + kIdleRiseN1 * (1.0 - std::clamp(sigma, 0.0, 1.0));
  put_elements(h, kMixture, kEngines, 1.0);
  put_elements(h, kEngRunning, kEngines, 1.0);
  // A fan a scenario plays (either N1 name set) is its own, core and all.
  const Dataref* n1 = at(h, kEngN1);
  const Dataref* n1_view = at(h, kN1View);
  if (n1 && !n1->pinned && !(n1_view && n1_view->pinned)) {
    put_elements(h, kEngN1, kEngines, idle);
    put_elements(h, kEngN2, kEngines, kIdleN2 + (idle - kIdleN1) * kN2PerN1);
  }
  put_elements(h, kTankPumps, 3, 1.0);
  out(h, kFeedLeft, kFeedAll);
  out(h, kFeedRight, kFeedAll);
}

}  // namespace

double indicated_altitude_ft(double elevation_m, double sea_level_inhg, double setting_inhg) {
  const double standard_inhg = kP0_pa / kPaPerInHg;
  auto sane = [&](double inhg) { return std::isfinite(inhg) && inhg >= 25.0 && inhg <= 35.0 ? inhg : standard_inhg; };
  const double h_m = std::clamp(std::isfinite(elevation_m) ? elevation_m : 0.0, -2000.0, 80000.0);
  // The altimeter sees the ambient pressure scaled by sea level over setting;
  // a setting on the day's sea-level pressure (within a float's rounding)
  // reads the elevation itself.
  const double ratio = sane(sea_level_inhg) / sane(setting_inhg);
  if (std::fabs(ratio - 1.0) < 1e-6) return h_m * kFtPerM;
  return pressure_altitude_m(standard_pressure_pa(h_m) * ratio) * kFtPerM;
}

void start_values(Host& h) {
  resolve(h);
  out(h, kSeaLevelPa, kP0_pa);
  out(h, kSeaLevelInHg, kP0_pa / kPaPerInHg);
  out(h, kSeaLevelTemp12, kT0_c);
  out(h, kSeaLevelTemp11, kT0_c);
  if (Dataref* oil = at(h, kEngOil))
    for (size_t e = 0; e < oil->array.size() && e < kEngines; ++e) oil->array[e] = kStartOil;
  if (Dataref* tanks = at(h, kTankMass))
    for (size_t i = 0; i < tanks->array.size() && i < 3; ++i) tanks->array[i] = kStartFuel_kg[i];
  place_gear(h);
  put_elements(h, kPropMode, kEngines, kPropNormal);
  // The aircraft's engines have their FADEC, as its aircraft file gives them.
  put_elements(h, kFadecOn, kEngines, 1.0);
  for (Slot s : {kCom1StandbyMhz, kCom2StandbyMhz}) out(h, s, kComStandbyMhz);
  for (Slot s : {kCom1StandbyKhz, kCom2StandbyKhz}) out(h, s, kComStandbyKhz);
  for (Slot s : {kNav1StandbyHz, kNav2StandbyHz}) out(h, s, kNavStandby10Khz);
  for (Slot s : {kAdf1StandbyHz, kAdf2StandbyHz}) out(h, s, kAdfStandbyKhz);
  for (Slot s : {kCom1Mhz, kCom2Mhz}) out(h, s, kComActiveMhz);
  for (Slot s : {kCom1Khz, kCom2Khz}) out(h, s, kComActiveKhz);
  for (Slot s : {kNav1Hz, kNav2Hz}) out(h, s, kNavActive10Khz);
  for (Slot s : {kAdf1Hz, kAdf2Hz}) out(h, s, kAdfActiveKhz);
  h.apu_running_written = static_cast<float>(in(h, kApuRunning, 0.0));
  if (Dataref* sw = at(h, kGenericSwitch))
    for (size_t i : kAnnunciatorRheostats)
      if (i < sw->array.size()) sw->array[i] = kRheostatStart;
  out(h, kSunPitch, kDaylightSunPitch_deg);
  out(h, kPanelRenderType, kLitPanelPass);
  derive_generic_lights(h);
}

void start_of_flight(Host& h) {
  resolve(h);
  place_gear(h);
  start_engines_running(h);
  derive_values(h, 0.0f);
  derive_flaps(h, false, 0.0f, true);
}

double terrain_height(const Host& h, double x, double z) {
  const double t = h.terrain ? h.terrain(static_cast<float>(x), static_cast<float>(z)) : 0.0;
  return std::isfinite(t) ? t : 0.0;
}

void derive_values(Host& h, float dt) {
  resolve(h);
  double ambient_pa = kP0_pa;
  const bool running = running_frame(h, dt);
  double sigma = 1.0;
  derive_air(h, &ambient_pa, &sigma);
  derive_gauges(h);
  derive_engines(h, ambient_pa, sigma, running, dt);
  derive_fuel(h);
  derive_cabin(h, ambient_pa, dt);
  follow(h, kGearDeploy, kGearRatio);
  bool wheel[kGear] = {false, false, false};
  bool on_ground = false;
  derive_ground(h, wheel, &on_ground);
  derive_load(h, on_ground);
  derive_tyres(h, wheel, running, dt);
  derive_reversers(h, running, dt);
  derive_apu(h, running, dt);
  derive_status_lights(h);
  derive_generic_lights(h);
  derive_ice(h, running, dt);
  derive_flaps(h, running, dt, false);
  derive_steering(h);
}

}  // namespace simhost
