// Which buses feed each consumer: the census the systems read to decide
// whether their equipment has power. Each consumer names the buses it needs
// all of and, where it can run on any one of several, those; a row's source
// says whether the aircraft's description gives its buses or whether they are
// kept as the model always had them. The bus model itself (electrical.cpp)
// and the lights that monitor the buses (TRANSFER BUS OFF, STANDBY PWR OFF,
// TR UNIT, the meters) read the bus statuses directly: they watch a bus, they
// are not fed by it.
#pragma once

#include <cstdint>

enum BusBit : uint32_t {
  bus_ac_transfer1 = 1u << 0,
  bus_ac_transfer2 = 1u << 1,
  bus_ac_standby = 1u << 2,
  bus_dc1 = 1u << 3,
  bus_dc2 = 1u << 4,
  bus_dc_standby = 1u << 5,
  bus_hot_battery = 1u << 6,
  bus_battery = 1u << 7,
  bus_direct_battery = 1u << 8,
  bus_main1 = 1u << 9,
  bus_main2 = 1u << 10,
};
constexpr int kBusCount = 11;

enum class Consumer : uint8_t {
  capt_displays,
  fo_displays,
  capt_display_quick_start,
  display_self_test,
  mcp_lights,
  panel_lights,
  panel_lights_standby,
  standby_display_reset,
  gear_horn,
  autobrake,
  auto_slats,
  flap_load_relief,
  speedbrake_servo_cues,
  stab_trim_main_elec,
  trim_wheel_fast,
  fuel_pump_l_fwd,
  fuel_pump_l_aft,
  fuel_pump_ctr_l,
  fuel_pump_r_fwd,
  fuel_pump_r_aft,
  fuel_pump_ctr_r,
  fuel_cross_feed_valve,
  fuel_used_counter,
  fuel_temp_gauge,
  eng1_anti_ice_valve,
  eng2_anti_ice_valve,
  wing_anti_ice,
  window_heat_l_fwd_r_side,
  window_heat_l_side_r_fwd,
  capt_probe_heat,
  fo_probe_heat,
  left_wiper,
  right_wiper,
  cabin_utility_left,
  cabin_utility_right,
  recirc_fan_left,
  recirc_fan_right,
  retractable_landing_lights,
  logo_light,
  fixed_landing_light_left,
  fixed_landing_light_right,
  position_lights,
  compass_light,
  wing_lights,
  emergency_exit_lights_armed,
  emergency_exit_lights_ac,
  clock_dashes,
  clock_power,
  capt_clock_display,
  fo_clock_display,
  irs2_alignment_timer,
  irs2_backup,
  mach_warning,
  yaw_damper,
  hyd_elec_pump_a,
  hyd_elec_pump_b,
  hyd_elec_pump_a_motor,
  hyd_elec_pump_b_motor,
  standby_hydraulics,
  apu_control,
  ignition_left,
  ignition_right,
  ignition_standby,
  ignition_control,
  engine_start_valve_close,
  trim_air_valve,
  zone_mix_valves,
  ram_door_left,
  ram_door_right,
  pressurisation_auto_1,
  pressurisation_auto_2,
  pressurisation_manual,
  pressurisation_display,
  engine1_bleed_valve,
  engine2_bleed_valve,
  pack_valves,
  isolation_valve,
  pack_trip_left,
  pack_trip_right,
  fire_detection,
  wheel_well_fire_test,
  fo_audio_lamps,
  gpws,
  gpws_self_test,
  anti_skid,
  cabin_lights,
  cabin_entry_lights_dimmer,
  annunciator_lamps,
  slat_control,
  takeoff_config_aural,
  spar_valves,
  engine_fuel_valves,
  valve_light_dimming,
  flight_data_recorder,
  voice_recorder,
  voice_recorder_side,
  flap_indicator,
  adf1,
  adf2,
  vor_dme1,
  vor_dme2,
  audio_panel_capt,
  audio_panel_fo,
  tcas,
  attendant_chime,
  stall_test_1,
  stall_test_2,
  alternate_flaps_latch,
  selcal,
  gpws_callouts,
  audio_panel_lamps,
  fire_squibs,
  strobe_lights,
  beacon_light,
  turnoff_light_left,
  turnoff_light_right,
  taxi_light,
  retractable_landing_lamp_left,
  retractable_landing_lamp_right,
  dome_lights,
  wheel_well_lights,
  entry_lights,
  ife_seat_power_left,
  ife_seat_power_right,
  transponder,
  cargo_fire_detection,
  extinguisher_test_lights,
  apu_bleed_valve,
  duct_pressure_left,
  duct_pressure_right,
  cabin_temp_indicator,
  wing_body_overheat_left,
  wing_body_overheat_right,
  bleed_trip_left,
  bleed_trip_right,
  engine1_high_stage_valve,
  engine2_high_stage_valve,
  engine1_precooler_valve,
  engine2_precooler_valve,
  alternate_flaps_drive,
  gear_lever_lock,
  hyd_eng_pump_1_depressurise,
  hyd_eng_pump_2_depressurise,
  start_switch_hold,
  standby_hydraulic_pump_motor,
  ac_meter,
  rudder_trim_actuator,
  pax_mask_door_latches,
  aileron_trim_actuator,
  count
};
constexpr int kConsumerCount = static_cast<int>(Consumer::count);

enum class FeedSource : uint8_t { aircraft, kept_as_today };

struct ConsumerFeed {
  Consumer consumer;
  const char* name;
  uint32_t all_of;  // every one of these buses powered
  uint32_t any_of;  // and, when not 0, at least one of these
  FeedSource source;
  const char* what;
  const char* from;  // the description that gives its buses, or why none does
};
extern const ConsumerFeed consumer_feeds[kConsumerCount];

// The buses powered this frame (elec_buses_update has run).
uint32_t buses_powered();
// Whether the consumer has its power with the given buses, or now.
bool fed_by(Consumer c, uint32_t powered);
bool fed(Consumer c);
inline float fed01(Consumer c) { return fed(c) ? 1.0f : 0.0f; }
// The engine and flight displays' values are set and shown while either
// side's display units have their power.
inline bool display_units_powered() { return fed(Consumer::capt_displays) || fed(Consumer::fo_displays); }
