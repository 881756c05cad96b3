// The census of what each bus feeds (bus_feeds.h).
#include "systems/electrical/bus_feeds.h"

#include "systems/electrical/electric_values.h"

namespace {

constexpr FeedSource aircraft = FeedSource::aircraft;
constexpr FeedSource kept = FeedSource::kept_as_today;

}  // namespace

// Columns: consumer, name, all of, any of, source, what it is, and the
// description that gives its buses or why none does.
constexpr ConsumerFeed consumer_feeds[kConsumerCount] = {
    {Consumer::capt_displays, "capt_displays", bus_dc_standby, 0, aircraft, "captain's display units, map symbols and display tint", "the aircraft's electrical chapter: the captain's display units on the DC standby bus"},
    {Consumer::fo_displays, "fo_displays", bus_dc2, 0, aircraft, "first officer's display units, map symbols and display tint", "the aircraft's electrical chapter: the first officer's display units on DC bus 2"},
    {Consumer::capt_display_quick_start, "capt_display_quick_start", bus_dc1, 0, kept, "captain's displays finish their start like the first officer's", "not yet read from a description: the buses the model always had"},
    {Consumer::display_self_test, "display_self_test", 0, bus_dc_standby | bus_dc1 | bus_dc2, kept, "display power-up self-test", "not yet read from a description: the buses the model always had"},
    {Consumer::mcp_lights, "mcp_lights", 0, bus_dc_standby | bus_dc1 | bus_dc2, kept, "mode control panel lights", "not yet read from a description: the buses the model always had"},
    {Consumer::panel_lights, "panel_lights", bus_ac_transfer2, 0, kept, "panel and flood lights", "not yet read from a description: the buses the model always had"},
    {Consumer::panel_lights_standby, "panel_lights_standby", bus_direct_battery, 0, kept, "first panel light on the battery with transfer bus 2 lost", "not yet read from a description: the buses the model always had"},
    {Consumer::standby_display_reset, "standby_display_reset", bus_battery | bus_direct_battery, 0, kept, "standby flight display: its alignment and its buttons", "not yet read from a description: the buses the model always had"},
    {Consumer::gear_horn, "gear_horn", bus_battery, 0, kept, "gear warning horn", "not yet read from a description: the buses the model always had"},
    {Consumer::autobrake, "autobrake", bus_dc1, 0, kept, "autobrake and RTO", "not yet read from a description: the buses the model always had"},
    {Consumer::auto_slats, "auto_slats", bus_dc1, 0, kept, "auto slats", "not yet read from a description: the buses the model always had"},
    {Consumer::flap_load_relief, "flap_load_relief", bus_dc1, 0, kept, "flap load relief", "not yet read from a description: the buses the model always had"},
    {Consumer::speedbrake_servo_cues, "speedbrake_servo_cues", 0, bus_ac_transfer1 | bus_ac_transfer2, kept, "speedbrake actuator cues", "not yet read from a description: the buses the model always had"},
    {Consumer::stab_trim_main_elec, "stab_trim_main_elec", bus_ac_transfer1, 0, kept, "main electric stabilizer trim", "not yet read from a description: the buses the model always had"},
    {Consumer::trim_wheel_fast, "trim_wheel_fast", 0, bus_ac_transfer1 | bus_ac_transfer2, kept, "trim wheel fast-run sound", "not yet read from a description: the buses the model always had"},
    {Consumer::fuel_pump_l_fwd, "fuel_pump_l_fwd", bus_ac_transfer2, 0, kept, "left forward fuel pump and its LOW PRESSURE light", "kept: the model's bus; the descriptions at hand give each fuel tank's pumps AC power but do not settle which bus feeds this one"},
    {Consumer::fuel_pump_l_aft, "fuel_pump_l_aft", bus_ac_transfer1, 0, kept, "left aft fuel pump and its LOW PRESSURE light", "kept: the model's bus; the descriptions at hand give each fuel tank's pumps AC power but do not settle which bus feeds this one"},
    {Consumer::fuel_pump_ctr_l, "fuel_pump_ctr_l", bus_ac_transfer1, 0, kept, "left centre fuel pump and its LOW PRESSURE light", "kept: the model's bus; the descriptions at hand give each fuel tank's pumps AC power but do not settle which bus feeds this one"},
    {Consumer::fuel_pump_r_fwd, "fuel_pump_r_fwd", bus_ac_transfer1, 0, kept, "right forward fuel pump and its LOW PRESSURE light", "kept: the model's bus; the descriptions at hand give each fuel tank's pumps AC power but do not settle which bus feeds this one"},
    {Consumer::fuel_pump_r_aft, "fuel_pump_r_aft", bus_ac_transfer2, 0, kept, "right aft fuel pump and its LOW PRESSURE light", "kept: the model's bus; the descriptions at hand give each fuel tank's pumps AC power but do not settle which bus feeds this one"},
    {Consumer::fuel_pump_ctr_r, "fuel_pump_ctr_r", bus_ac_transfer2, 0, kept, "right centre fuel pump and its LOW PRESSURE light", "kept: the model's bus; the descriptions at hand give each fuel tank's pumps AC power but do not settle which bus feeds this one"},
    {Consumer::fuel_cross_feed_valve, "fuel_cross_feed_valve", bus_battery, 0, aircraft, "fuel cross-feed valve motor", "the aircraft's fuel chapter: the cross-feed valve motor on the battery bus"},
    {Consumer::fuel_used_counter, "fuel_used_counter", bus_battery, 0, kept, "fuel used counters", "not yet read from a description: the buses the model always had"},
    {Consumer::fuel_temp_gauge, "fuel_temp_gauge", bus_ac_transfer2, 0, kept, "fuel temperature gauge", "not yet read from a description: the buses the model always had"},
    {Consumer::eng1_anti_ice_valve, "eng1_anti_ice_valve", bus_dc1, 0, kept, "engine 1 cowl anti-ice valve", "not yet read from a description: the buses the model always had"},
    {Consumer::eng2_anti_ice_valve, "eng2_anti_ice_valve", bus_dc2, 0, kept, "engine 2 cowl anti-ice valve", "not yet read from a description: the buses the model always had"},
    {Consumer::wing_anti_ice, "wing_anti_ice", bus_ac_transfer1, 0, kept, "wing anti-ice control and valve motors", "not yet read from a description: the buses the model always had"},
    {Consumer::window_heat_l_fwd_r_side, "window_heat_l_fwd_r_side", bus_ac_transfer1, 0, kept, "window heat, left forward and right side", "not yet read from a description: the buses the model always had"},
    {Consumer::window_heat_l_side_r_fwd, "window_heat_l_side_r_fwd", bus_ac_transfer2, 0, kept, "window heat, left side and right forward", "not yet read from a description: the buses the model always had"},
    {Consumer::capt_probe_heat, "capt_probe_heat", bus_ac_standby, 0, kept, "captain's probe heat", "not yet read from a description: the buses the model always had"},
    {Consumer::fo_probe_heat, "fo_probe_heat", bus_ac_transfer2, 0, kept, "first officer's probe heat", "not yet read from a description: the buses the model always had"},
    {Consumer::left_wiper, "left_wiper", bus_dc1, 0, kept, "left wiper", "not yet read from a description: the buses the model always had"},
    {Consumer::right_wiper, "right_wiper", bus_dc2, 0, kept, "right wiper", "not yet read from a description: the buses the model always had"},
    {Consumer::cabin_utility_left, "cabin_utility_left", bus_main1, 0, kept, "cabin and utility load, left", "not yet read from a description: the buses the model always had"},
    {Consumer::cabin_utility_right, "cabin_utility_right", bus_main2, 0, kept, "cabin and utility load, right", "not yet read from a description: the buses the model always had"},
    {Consumer::recirc_fan_left, "recirc_fan_left", bus_main1, 0, kept, "left recirculation fan", "not yet read from a description: the buses the model always had"},
    {Consumer::recirc_fan_right, "recirc_fan_right", bus_main2, 0, kept, "right recirculation fan", "not yet read from a description: the buses the model always had"},
    {Consumer::retractable_landing_lights, "retractable_landing_lights", bus_battery, 0, kept, "retractable landing light extension", "not yet read from a description: the buses the model always had"},
    {Consumer::logo_light, "logo_light", bus_main1, 0, kept, "logo lights", "not yet read from a description: the buses the model always had"},
    {Consumer::exterior_lights_left, "exterior_lights_left", bus_ac_transfer1, 0, kept, "left runway turnoff, taxi and fixed landing lights", "not yet read from a description: the buses the model always had"},
    {Consumer::exterior_lights_right, "exterior_lights_right", bus_ac_transfer2, 0, kept, "right runway turnoff and fixed landing lights", "not yet read from a description: the buses the model always had"},
    {Consumer::position_strobe_beacon, "position_strobe_beacon", bus_ac_transfer1, 0, kept, "position, strobe and beacon lights", "not yet read from a description: the buses the model always had"},
    {Consumer::compass_dome_lights, "compass_dome_lights", bus_direct_battery, 0, kept, "standby compass and dome lights", "not yet read from a description: the buses the model always had"},
    {Consumer::wing_wheel_well_lights, "wing_wheel_well_lights", bus_ac_transfer2, 0, kept, "wing and wheel well lights", "not yet read from a description: the buses the model always had"},
    {Consumer::emergency_exit_lights_armed, "emergency_exit_lights_armed", bus_dc1, 0, kept, "emergency exit lights stay dark while armed", "not yet read from a description: the buses the model always had"},
    {Consumer::emergency_exit_lights_ac, "emergency_exit_lights_ac", 0, bus_ac_transfer1 | bus_ac_transfer2, kept, "emergency exit lights stay dark while either transfer bus is powered", "not yet read from a description: the buses the model always had"},
    {Consumer::passenger_signs_night, "passenger_signs_night", bus_battery, 0, kept, "passenger cabin night lighting", "not yet read from a description: the buses the model always had"},
    {Consumer::clock_dashes, "clock_dashes", bus_battery, 0, kept, "clocks show dashes", "not yet read from a description: the buses the model always had"},
    {Consumer::clock_power, "clock_power", bus_battery | bus_direct_battery, 0, kept, "clocks and their brightness", "not yet read from a description: the buses the model always had"},
    {Consumer::capt_clock_display, "capt_clock_display", 0, bus_dc_standby | bus_dc1, kept, "captain's clock display (with the clock power)", "not yet read from a description: the buses the model always had"},
    {Consumer::fo_clock_display, "fo_clock_display", 0, bus_dc_standby | bus_dc2, kept, "first officer's clock display (with the clock power)", "not yet read from a description: the buses the model always had"},
    {Consumer::irs2_alignment_timer, "irs2_alignment_timer", bus_ac_transfer2, 0, kept, "IRS 2 on its AC bus", "not yet read from a description: the buses the model always had"},
    {Consumer::mach_warning, "mach_warning", bus_battery, 0, kept, "overspeed clacker", "not yet read from a description: the buses the model always had"},
    {Consumer::yaw_damper, "yaw_damper", bus_ac_transfer1, 0, kept, "yaw damper", "not yet read from a description: the buses the model always had"},
    {Consumer::hyd_elec_pump_a, "hyd_elec_pump_a", bus_ac_transfer2 | bus_dc2, 0, aircraft, "system A electric pump: AC transfer bus 2, control on DC bus 2", "the aircraft's hydraulic chapter: the system A electric pump on AC transfer bus 2, its control on DC bus 2"},
    {Consumer::hyd_elec_pump_b, "hyd_elec_pump_b", bus_ac_transfer1 | bus_dc1, 0, aircraft, "system B electric pump: AC transfer bus 1, control on DC bus 1", "the aircraft's hydraulic chapter: the system B electric pump on AC transfer bus 1, its control on DC bus 1"},
    {Consumer::hyd_elec_pump_a_motor, "hyd_elec_pump_a_motor", bus_ac_transfer2, 0, aircraft, "system A electric pump motor: heats running dry while its pump runs", "the aircraft's hydraulic chapter: the system A electric pump motor on AC transfer bus 2"},
    {Consumer::hyd_elec_pump_b_motor, "hyd_elec_pump_b_motor", bus_ac_transfer1, 0, aircraft, "system B electric pump motor: heats running dry while its pump runs", "the aircraft's hydraulic chapter: the system B electric pump motor on AC transfer bus 1"},
    {Consumer::standby_hydraulics, "standby_hydraulics", bus_dc_standby, 0, kept, "standby hydraulic pump control", "kept: the model's bus for the pump's control; the descriptions at hand give no bus for the standby pump or its control"},
    {Consumer::apu_control, "apu_control", bus_battery, 0, kept, "APU start, run and bleed valve", "kept: the model's bus; the descriptions at hand have the APU need the battery switch on but name no bus for its control"},
    {Consumer::ignition_left, "ignition_left", bus_ac_transfer1, 0, aircraft, "engine 1's left igniter", "the aircraft's engine chapter: each engine's left igniter on its own AC transfer bus, engine 1's on AC transfer bus 1"},
    {Consumer::ignition_right, "ignition_right", bus_ac_transfer2, 0, aircraft, "engine 2's left igniter", "the aircraft's engine chapter: each engine's left igniter on its own AC transfer bus, engine 2's on AC transfer bus 2"},
    {Consumer::ignition_standby, "ignition_standby", bus_ac_standby, 0, aircraft, "both engines' right igniters", "the aircraft's engine chapter: the right igniter of each engine on the AC standby bus"},
    {Consumer::ignition_control, "ignition_control", bus_direct_battery, 0, kept, "ignition selection: without it only the right igniters fire", "kept: a model artifact; the descriptions at hand give no bus for the ignition selection, only for the igniters"},
    {Consumer::engine_start_valve_close, "engine_start_valve_close", bus_direct_battery, 0, kept, "start valve solenoids: without them the valves close at the switch", "kept: the model's bus; the descriptions at hand give no bus for the start valve solenoids"},
    {Consumer::trim_air_valve, "trim_air_valve", bus_direct_battery, 0, kept, "trim air valve", "not yet read from a description: the buses the model always had"},
    {Consumer::zone_mix_valves, "zone_mix_valves", bus_direct_battery, 0, kept, "zone mix valves", "not yet read from a description: the buses the model always had"},
    {Consumer::ram_door_left, "ram_door_left", bus_ac_transfer1, 0, kept, "left ram air door", "not yet read from a description: the buses the model always had"},
    {Consumer::ram_door_right, "ram_door_right", bus_ac_transfer2, 0, kept, "right ram air door", "not yet read from a description: the buses the model always had"},
    {Consumer::pressurisation_auto_1, "pressurisation_auto_1", bus_dc1, 0, kept, "pressurisation controller 1", "not yet read from a description: the buses the model always had"},
    {Consumer::pressurisation_auto_2, "pressurisation_auto_2", bus_dc2, 0, kept, "pressurisation controller 2 (AUTO and ALTN)", "not yet read from a description: the buses the model always had"},
    {Consumer::pressurisation_manual, "pressurisation_manual", bus_direct_battery, 0, kept, "pressurisation MAN", "not yet read from a description: the buses the model always had"},
    {Consumer::pressurisation_display, "pressurisation_display", 0, bus_dc1 | bus_dc2, kept, "cabin pressure display", "not yet read from a description: the buses the model always had"},
    {Consumer::engine1_bleed_valve, "engine1_bleed_valve", bus_dc1, 0, kept, "engine 1 bleed valve: DC bus 1 lost closes it", "not yet read from a description: the buses the model always had"},
    {Consumer::engine2_bleed_valve, "engine2_bleed_valve", bus_dc2, 0, kept, "engine 2 bleed valve: DC bus 2 lost closes it", "not yet read from a description: the buses the model always had"},
    {Consumer::pack_valves, "pack_valves", bus_battery, 0, aircraft, "pack valves move only with their control power", "the aircraft's air conditioning chapter: the pack valves' control on the battery bus"},
    {Consumer::isolation_valve, "isolation_valve", bus_ac_transfer1, 0, kept, "isolation valve motor", "not yet read from a description: the buses the model always had"},
    {Consumer::pack_trip_left, "pack_trip_left", bus_ac_transfer2, 0, kept, "left pack trip latch", "not yet read from a description: the buses the model always had"},
    {Consumer::pack_trip_right, "pack_trip_right", bus_ac_transfer1, 0, kept, "right pack trip latch", "not yet read from a description: the buses the model always had"},
    {Consumer::fire_detection, "fire_detection", bus_battery, 0, aircraft, "engine and APU fire and overheat detection: the fire switch, OVHT, FAULT and APU DET INOP lights, FIRE WARN, the bell and the fire six-pack", "the aircraft's fire protection chapter: engine and APU fire detection on the battery bus"},
    {Consumer::wheel_well_fire_test, "wheel_well_fire_test", 0, bus_ac_transfer1 | bus_ac_transfer2, kept, "wheel well fire test light", "not yet read from a description: the buses the model always had"},
    {Consumer::fo_audio_lamps, "fo_audio_lamps", bus_ac_transfer2, 0, kept, "first officer's microphone selector lamps", "not yet read from a description: the buses the model always had"},
    {Consumer::gpws, "gpws", bus_ac_transfer1, 0, kept, "GPWS computer and its INOP light", "not yet read from a description: the buses the model always had"},
    {Consumer::gpws_self_test, "gpws_self_test", bus_battery | bus_ac_transfer1, 0, kept, "GPWS test", "not yet read from a description: the buses the model always had"},
    {Consumer::anti_skid, "anti_skid", bus_dc1, 0, kept, "anti-skid", "not yet read from a description: the buses the model always had"},
    {Consumer::cabin_entry_lights, "cabin_entry_lights", bus_battery, 0, kept, "cabin and entry lights", "not yet read from a description: the buses the model always had"},
    {Consumer::cabin_entry_lights_dimmer, "cabin_entry_lights_dimmer", bus_ac_transfer1, 0, kept, "cabin and entry lights at full brightness", "not yet read from a description: the buses the model always had"},
    {Consumer::annunciator_lamps, "annunciator_lamps", bus_direct_battery, 0, kept, "annunciator lamp power", "not yet read from a description: the buses the model always had"},
    {Consumer::slat_control, "slat_control", bus_dc1, 0, kept, "leading edge slat control", "not yet read from a description: the buses the model always had"},
    {Consumer::takeoff_config_aural, "takeoff_config_aural", bus_battery, 0, kept, "TAKEOFF CONFIG aural", "not yet read from a description: the buses the model always had"},
    {Consumer::spar_valves, "spar_valves", bus_hot_battery, 0, aircraft, "spar valve motors (held without power)", "the aircraft's fuel chapter: the spar valve motors on the hot battery bus"},
    {Consumer::engine_fuel_valves, "engine_fuel_valves", bus_direct_battery, 0, aircraft, "engine fuel valve motors (held without power)", "the aircraft's fuel chapter: the engine fuel valve motors on the direct battery bus"},
    {Consumer::valve_light_dimming, "valve_light_dimming", bus_battery, 0, kept, "battery-scaled valve lights", "not yet read from a description: the buses the model always had"},
    {Consumer::flight_data_recorder, "flight_data_recorder", bus_ac_transfer1 | bus_direct_battery, 0, kept, "flight data recorder and its test", "not yet read from a description: the buses the model always had"},
    {Consumer::voice_recorder, "voice_recorder", bus_battery, 0, kept, "voice recorder (with DC bus 2 or transfer bus 2)", "not yet read from a description: the buses the model always had"},
    {Consumer::voice_recorder_side, "voice_recorder_side", 0, bus_dc2 | bus_ac_transfer2, kept, "voice recorder (with the battery bus)", "not yet read from a description: the buses the model always had"},
    {Consumer::flap_indicator, "flap_indicator", bus_ac_transfer2, 0, kept, "flap position indicator", "not yet read from a description: the buses the model always had"},
    {Consumer::adf1, "adf1", bus_dc1, 0, kept, "ADF 1 and its RMI needles", "not yet read from a description: the buses the model always had"},
    {Consumer::adf2, "adf2", bus_dc2, 0, kept, "ADF 2 and its RMI needles", "not yet read from a description: the buses the model always had"},
    {Consumer::vor_dme1, "vor_dme1", bus_dc1, 0, kept, "VOR/DME 1", "not yet read from a description: the buses the model always had"},
    {Consumer::vor_dme2, "vor_dme2", bus_dc2, 0, kept, "VOR/DME 2", "not yet read from a description: the buses the model always had"},
    {Consumer::audio_panel_capt, "audio_panel_capt", bus_ac_standby, 0, kept, "captain's and observer's audio panels and radios", "not yet read from a description: the buses the model always had"},
    {Consumer::audio_panel_fo, "audio_panel_fo", bus_ac_transfer2, 0, kept, "first officer's audio panel and radios", "not yet read from a description: the buses the model always had"},
    {Consumer::tcas, "tcas", bus_ac_transfer1, 0, kept, "TCAS and its test", "not yet read from a description: the buses the model always had"},
    {Consumer::attendant_chime, "attendant_chime", bus_battery, 0, kept, "attendant chime", "not yet read from a description: the buses the model always had"},
    {Consumer::stall_test_1, "stall_test_1", bus_dc_standby, 0, kept, "stall warning test 1", "not yet read from a description: the buses the model always had"},
    {Consumer::stall_test_2, "stall_test_2", bus_dc2, 0, kept, "stall warning test 2", "not yet read from a description: the buses the model always had"},
    {Consumer::alternate_flaps_latch, "alternate_flaps_latch", bus_battery, 0, kept, "ALTERNATE FLAPS switch latch", "not yet read from a description: the buses the model always had"},
    {Consumer::selcal, "selcal", bus_battery, 0, kept, "SELCAL", "not yet read from a description: the buses the model always had"},
    {Consumer::gpws_callouts, "gpws_callouts", bus_battery, 0, kept, "GPWS callouts start over when the battery bus returns", "not yet read from a description: the buses the model always had"},
    {Consumer::audio_panel_lamps, "audio_panel_lamps", bus_direct_battery, 0, kept, "audio panel microphone lamps", "not yet read from a description: the buses the model always had"},
    {Consumer::fire_squibs, "fire_squibs", bus_hot_battery, 0, aircraft, "extinguisher bottle squibs: a turned handle fires its bottle", "the aircraft's fire protection chapter: the extinguisher squibs on the hot battery bus"},
    {Consumer::hyd_eng_pump_1_depressurise, "hyd_eng_pump_1_depressurise", bus_dc1, 0, kept, "engine 1 hydraulic pump's depressurising solenoid: without it the pump pressurises at OFF", "kept: no power description of the type names its bus: DC bus 1, where the hydraulic chapter's other engine 1 side DC load, the system B electric pump's control, is"},
    {Consumer::hyd_eng_pump_2_depressurise, "hyd_eng_pump_2_depressurise", bus_dc2, 0, kept, "engine 2 hydraulic pump's depressurising solenoid: without it the pump pressurises at OFF", "kept: no power description of the type names its bus: DC bus 2, where the hydraulic chapter's other engine 2 side DC load, the system A electric pump's control, is"},
    {Consumer::start_switch_hold, "start_switch_hold", bus_direct_battery, 0, kept, "start switches' GRD hold solenoids: without them a switch returns to OFF", "kept: no power description of the type names its bus: the direct battery bus, the model's bus for the start system's other consumer, the start valve solenoids"},
    {Consumer::standby_hydraulic_pump_motor, "standby_hydraulic_pump_motor", bus_ac_transfer1, 0, kept, "standby hydraulic pump motor: the pump runs only with it", "kept: no power description of the type names its bus: AC transfer bus 1, the AC bus that feeds the standby system's side while the generators are on line (it feeds the AC standby bus); the AC standby bus's inverter does not carry a pump motor"},
};

namespace {

constexpr bool rows_in_order() {
  for (int i = 0; i < kConsumerCount; ++i) {
    if (static_cast<int>(consumer_feeds[i].consumer) != i) return false;
  }
  return true;
}

uint32_t bit_if(float status, uint32_t bit) { return status != 0.0f ? bit : 0u; }

}  // namespace

uint32_t buses_powered() {
  return bit_if(electric::ac_tnsbus1_status, bus_ac_transfer1) | bit_if(electric::ac_tnsbus2_status, bus_ac_transfer2) |
         bit_if(electric::ac_stdbus_status, bus_ac_standby) | bit_if(electric::dc_bus1_status, bus_dc1) |
         bit_if(electric::dc_bus2_status, bus_dc2) | bit_if(electric::dc_stdbus_status, bus_dc_standby) |
         bit_if(electric::hot_batbus_status, bus_hot_battery) | bit_if(electric::batbus_status, bus_battery) |
         bit_if(electric::dir_batbus_status, bus_direct_battery) | bit_if(electric::main_bus1, bus_main1) |
         bit_if(electric::main_bus2, bus_main2);
}

bool fed_by(Consumer c, uint32_t powered) {
  static_assert(rows_in_order(), "consumer_feeds rows follow the Consumer order");
  const int i = static_cast<int>(c);
  if (i < 0 || i >= kConsumerCount) return false;
  const ConsumerFeed& row = consumer_feeds[i];
  return (powered & row.all_of) == row.all_of && (row.any_of == 0u || (powered & row.any_of) != 0u);
}

bool fed(Consumer c) { return fed_by(c, buses_powered()); }
