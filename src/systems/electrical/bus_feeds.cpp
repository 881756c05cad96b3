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
    {Consumer::capt_display_quick_start, "capt_display_quick_start", bus_dc1, 0, kept, "captain's displays finish their start like the first officer's", "kept: no consumer the descriptions list but the model's start-up timing of the captain's displays, which finish their start as the first officer's do with DC bus 1 up; DC bus 1, as the model always had it"},
    {Consumer::display_self_test, "display_self_test", 0, bus_dc_standby | bus_dc1 | bus_dc2, kept, "display power-up self-test", "kept: the display units' own power-up test, run when the first of their buses comes up; the electrical chapter gives the units' buses (their rows), not the test's: any of the DC standby bus and DC buses 1 and 2, as the model always had it"},
    {Consumer::mcp_lights, "mcp_lights", 0, bus_dc_standby | bus_dc1 | bus_dc2, kept, "mode control panel lights", "kept: no power description of the type names its bus: the mode control panel's lighting, on any DC bus as the model always had it, so one DC bus lost leaves the panel lit"},
    {Consumer::panel_lights, "panel_lights", bus_ac_transfer2, 0, kept, "panel and flood lights", "kept: no power description of the type names its bus: the panel and flood lights, on AC transfer bus 2 as the model always had them"},
    {Consumer::panel_lights_standby, "panel_lights_standby", bus_direct_battery, 0, kept, "first panel light on the battery with transfer bus 2 lost", "kept: no power description of the type names its bus: the model's standby lighting of the first panel channel while AC transfer bus 2 is lost, on the direct battery bus as the model always had it"},
    {Consumer::standby_display_reset, "standby_display_reset", bus_battery | bus_direct_battery, 0, kept, "standby flight display: its alignment and its buttons", "kept: no power description of the type names its bus: the standby flight display, on the battery and direct battery buses as the model always had it"},
    {Consumer::gear_horn, "gear_horn", bus_battery, 0, kept, "gear warning horn", "kept: the descriptions give the aural warning's power as a whole, not the gear horn's own; the battery bus the model always had keeps it sounding on standby power"},
    {Consumer::autobrake, "autobrake", bus_dc1, 0, kept, "autobrake and RTO", "kept: the landing gear chapter gives the autobrake's hydraulic source, not its bus; DC bus 1, on which the model always had it, with DISARM when it is lost"},
    {Consumer::auto_slats, "auto_slats", bus_dc1, 0, kept, "auto slats", "kept: the flight controls chapter gives the auto slats' computers, not their bus; DC bus 1, the bus the model always had for them and for AUTO SLAT FAIL"},
    {Consumer::flap_load_relief, "flap_load_relief", bus_dc1, 0, kept, "flap load relief", "kept: the flight controls chapter gives the flap load relief to the flap/slat electronics, not their bus; DC bus 1, the bus the model always had"},
    {Consumer::speedbrake_servo_cues, "speedbrake_servo_cues", 0, bus_ac_transfer1 | bus_ac_transfer2, kept, "auto speedbrake actuator driving the lever", "kept: the flight controls chapter gives the auto speedbrake actuator, not its bus; either AC transfer bus, as the model always had it"},
    {Consumer::stab_trim_main_elec, "stab_trim_main_elec", bus_ac_transfer1, 0, kept, "main electric stabilizer trim", "kept: the flight controls chapter gives the trim motor and its cutout switches, not its bus; AC transfer bus 1, the bus the model always had"},
    {Consumer::trim_wheel_fast, "trim_wheel_fast", 0, bus_ac_transfer1 | bus_ac_transfer2, kept, "trim wheel fast-run sound", "kept: a sound of the main electric trim at its high rate, which no description powers apart from the trim; the buses the model always had"},
    {Consumer::fuel_pump_l_fwd, "fuel_pump_l_fwd", bus_ac_transfer2, 0, kept, "left forward fuel pump and its LOW PRESSURE light", "not yet read from a description: the buses the model always had"},
    {Consumer::fuel_pump_l_aft, "fuel_pump_l_aft", bus_ac_transfer1, 0, kept, "left aft fuel pump and its LOW PRESSURE light", "not yet read from a description: the buses the model always had"},
    {Consumer::fuel_pump_ctr_l, "fuel_pump_ctr_l", bus_ac_transfer1, 0, kept, "left centre fuel pump and its LOW PRESSURE light", "not yet read from a description: the buses the model always had"},
    {Consumer::fuel_pump_r_fwd, "fuel_pump_r_fwd", bus_ac_transfer1, 0, kept, "right forward fuel pump and its LOW PRESSURE light", "not yet read from a description: the buses the model always had"},
    {Consumer::fuel_pump_r_aft, "fuel_pump_r_aft", bus_ac_transfer2, 0, kept, "right aft fuel pump and its LOW PRESSURE light", "not yet read from a description: the buses the model always had"},
    {Consumer::fuel_pump_ctr_r, "fuel_pump_ctr_r", bus_ac_transfer2, 0, kept, "right centre fuel pump and its LOW PRESSURE light", "not yet read from a description: the buses the model always had"},
    {Consumer::fuel_cross_feed_valve, "fuel_cross_feed_valve", bus_battery, 0, aircraft, "fuel cross-feed valve motor", "the aircraft's fuel chapter: the cross-feed valve motor on the battery bus"},
    {Consumer::fuel_used_counter, "fuel_used_counter", bus_battery, 0, kept, "fuel used counters", "kept: no power description of the type names its bus: the fuel used counters, on the battery bus as the model always had them: lost for more than 2 s, the count starts again"},
    {Consumer::fuel_temp_gauge, "fuel_temp_gauge", bus_ac_transfer2, 0, kept, "fuel temperature gauge", "kept: no power description of the type names its bus: the fuel temperature indicator, on AC transfer bus 2 as the model always had it, the needle falling to its end without it"},
    {Consumer::eng1_anti_ice_valve, "eng1_anti_ice_valve", bus_dc1, 0, kept, "engine 1 cowl anti-ice valve", "no power description of the type names its bus: the anti-ice chapter names the valve and its light, not its bus; DC bus 1, its engine's side, kept"},
    {Consumer::eng2_anti_ice_valve, "eng2_anti_ice_valve", bus_dc2, 0, kept, "engine 2 cowl anti-ice valve", "no power description of the type names its bus: the anti-ice chapter names the valve and its light, not its bus; DC bus 2, its engine's side, kept"},
    {Consumer::wing_anti_ice, "wing_anti_ice", bus_ac_transfer1, 0, kept, "wing anti-ice control and valve motors", "no power description of the type names its bus: the anti-ice chapter names the valves and their lights, not their bus; AC transfer bus 1 kept"},
    {Consumer::window_heat_l_fwd_r_side, "window_heat_l_fwd_r_side", bus_ac_transfer1, 0, kept, "window heat, left forward and right side", "no power description of the type names its bus: the anti-ice chapter names each window's heat and lights, not their bus; AC transfer bus 1 kept, so one transfer bus lost leaves a forward window heated"},
    {Consumer::window_heat_l_side_r_fwd, "window_heat_l_side_r_fwd", bus_ac_transfer2, 0, kept, "window heat, left side and right forward", "no power description of the type names its bus: the anti-ice chapter names each window's heat and lights, not their bus; AC transfer bus 2 kept, so one transfer bus lost leaves a forward window heated"},
    {Consumer::capt_probe_heat, "capt_probe_heat", bus_ac_standby, 0, kept, "captain's probe heat", "no power description of the type names its bus: the anti-ice chapter names the probes and their lights, not their bus; the AC standby bus kept"},
    {Consumer::fo_probe_heat, "fo_probe_heat", bus_ac_transfer2, 0, kept, "first officer's probe heat", "no power description of the type names its bus: the anti-ice chapter names the probes and their lights, not their bus; AC transfer bus 2 kept"},
    {Consumer::left_wiper, "left_wiper", bus_dc1, 0, kept, "left wiper", "no power description of the type names its bus: the rain chapter names the wipers' selectors, not their bus; DC bus 1 kept"},
    {Consumer::right_wiper, "right_wiper", bus_dc2, 0, kept, "right wiper", "no power description of the type names its bus: the rain chapter names the wipers' selectors, not their bus; DC bus 2 kept"},
    {Consumer::cabin_utility_left, "cabin_utility_left", bus_main1, 0, aircraft, "cabin and utility load, left", "the aircraft's electrical chapter: the cabin and utility loads the CAB/UTIL switch powers ride on the main AC buses, shed with them; the left side's on main bus 1"},
    {Consumer::cabin_utility_right, "cabin_utility_right", bus_main2, 0, aircraft, "cabin and utility load, right", "the aircraft's electrical chapter: the cabin and utility loads the CAB/UTIL switch powers ride on the main AC buses, shed with them; the right side's on main bus 2"},
    {Consumer::recirc_fan_left, "recirc_fan_left", bus_main1, 0, kept, "left recirculation fan", "no power description of the type names its bus: the air conditioning chapter says when the fan runs, not from which bus; AC main bus 1 kept"},
    {Consumer::recirc_fan_right, "recirc_fan_right", bus_main2, 0, kept, "right recirculation fan", "no power description of the type names its bus: the air conditioning chapter says when the fan runs, not from which bus; AC main bus 2 kept"},
    {Consumer::retractable_landing_lights, "retractable_landing_lights", bus_battery, 0, kept, "retractable landing light extension and retraction motors", "the operations manual's lights chapter gives no bus for the extension motors: kept on the bus the model always had"},
    {Consumer::logo_light, "logo_light", bus_main1, 0, kept, "logo lights", "the operations manual's lights chapter gives no bus for the logo lights: kept on the bus the model always had"},
    {Consumer::fixed_landing_light_left, "fixed_landing_light_left", bus_ac_transfer1, 0, kept, "left fixed landing light", "the operations manual's lights chapter gives no bus for the fixed landing lights: kept on the bus the model always had"},
    {Consumer::fixed_landing_light_right, "fixed_landing_light_right", bus_ac_transfer2, 0, kept, "right fixed landing light", "the operations manual's lights chapter gives no bus for the fixed landing lights: kept on the bus the model always had"},
    {Consumer::position_lights, "position_lights", bus_ac_transfer1, 0, kept, "position lights", "the operations manual's lights chapter gives no bus for the position lights: kept on the bus the model always had"},
    {Consumer::compass_light, "compass_light", bus_direct_battery, 0, kept, "standby compass light", "the operations manual's lights chapter gives no bus for the standby compass light: kept on the bus the model always had"},
    {Consumer::wing_lights, "wing_lights", bus_ac_transfer2, 0, kept, "wing illumination lights", "the operations manual's lights chapter gives no bus for the wing lights: kept on the bus the model always had"},
    {Consumer::emergency_exit_lights_armed, "emergency_exit_lights_armed", bus_dc1, 0, aircraft, "emergency exit lights stay dark while armed", "the aircraft's lights chapter: armed, the emergency lights come on when DC bus 1 loses its power"},
    {Consumer::emergency_exit_lights_ac, "emergency_exit_lights_ac", 0, bus_ac_transfer1 | bus_ac_transfer2, aircraft, "emergency exit lights stay dark while either transfer bus is powered", "the aircraft's lights chapter: armed, the emergency lights come on when AC power is lost, both transfer buses"},
    {Consumer::passenger_signs_night, "passenger_signs_night", bus_battery, 0, kept, "passenger cabin's glow seen from outside at night", "no description gives it: the cabin's glow on the outside model is the model's own; kept on the bus the model always had"},
    {Consumer::clock_dashes, "clock_dashes", bus_battery, 0, kept, "clocks show dashes", "kept: dashes are what a clock shows with its power lost, no consumer a description lists; they follow the battery bus, as the model always had them"},
    {Consumer::clock_power, "clock_power", bus_battery | bus_direct_battery, 0, kept, "clocks and their brightness", "kept: no power description of the type names its bus: what keeps the clocks' time, on the battery and direct battery buses as the model always had it, so the time runs on the battery alone"},
    {Consumer::capt_clock_display, "capt_clock_display", 0, bus_dc_standby | bus_dc1, kept, "captain's clock display (with the clock power)", "kept: no power description of the type names its bus: the captain's clock face, on the DC standby bus or DC bus 1 as the model always had it"},
    {Consumer::fo_clock_display, "fo_clock_display", 0, bus_dc_standby | bus_dc2, kept, "first officer's clock display (with the clock power)", "kept: no power description of the type names its bus: the first officer's clock face, on the DC standby bus or DC bus 2 as the model always had it"},
    {Consumer::irs2_alignment_timer, "irs2_alignment_timer", bus_ac_transfer2, 0, aircraft, "IRS 2 on its AC bus", "the aircraft's navigation chapter: the right IRS on AC transfer bus 2"},
    {Consumer::mach_warning, "mach_warning", bus_battery, 0, kept, "overspeed clacker and its test", "kept: the descriptions give the aural warning's power as a whole, not the clacker's own; the battery bus the model always had"},
    {Consumer::yaw_damper, "yaw_damper", bus_ac_transfer1, 0, aircraft, "yaw damper", "the aircraft's flight controls and electrical chapters: the yaw damper disengages with AC transfer bus 1"},
    {Consumer::hyd_elec_pump_a, "hyd_elec_pump_a", bus_ac_transfer2 | bus_dc2, 0, aircraft, "system A electric pump: AC transfer bus 2, control on DC bus 2", "the aircraft's hydraulic chapter: the system A electric pump on AC transfer bus 2, its control on DC bus 2"},
    {Consumer::hyd_elec_pump_b, "hyd_elec_pump_b", bus_ac_transfer1 | bus_dc1, 0, aircraft, "system B electric pump: AC transfer bus 1, control on DC bus 1", "the aircraft's hydraulic chapter: the system B electric pump on AC transfer bus 1, its control on DC bus 1"},
    {Consumer::hyd_elec_pump_a_motor, "hyd_elec_pump_a_motor", bus_ac_transfer2, 0, aircraft, "system A electric pump motor heating", "the aircraft's hydraulic chapter: the system A electric pump motor on AC transfer bus 2"},
    {Consumer::hyd_elec_pump_b_motor, "hyd_elec_pump_b_motor", bus_ac_transfer1, 0, aircraft, "system B electric pump motor heating", "the aircraft's hydraulic chapter: the system B electric pump motor on AC transfer bus 1"},
    {Consumer::standby_hydraulics, "standby_hydraulics", bus_dc_standby, 0, kept, "standby hydraulic pump control", "not yet read from a description: the buses the model always had"},
    {Consumer::apu_control, "apu_control", bus_battery, 0, kept, "APU start, run and bleed valve", "not yet read from a description: the buses the model always had"},
    {Consumer::ignition_left, "ignition_left", bus_ac_transfer1, 0, kept, "left igniters from transfer bus 1", "not yet read from a description: the buses the model always had"},
    {Consumer::ignition_right, "ignition_right", bus_ac_transfer2, 0, kept, "right igniters from transfer bus 2", "not yet read from a description: the buses the model always had"},
    {Consumer::ignition_standby, "ignition_standby", bus_ac_standby, 0, kept, "igniters from the AC standby bus", "not yet read from a description: the buses the model always had"},
    {Consumer::ignition_control, "ignition_control", bus_direct_battery, 0, kept, "ignition selection", "not yet read from a description: the buses the model always had"},
    {Consumer::engine_start_valve_close, "engine_start_valve_close", bus_direct_battery, 0, kept, "start valves close at the switch", "not yet read from a description: the buses the model always had"},
    {Consumer::trim_air_valve, "trim_air_valve", bus_direct_battery, 0, kept, "trim air valve", "no power description of the type names its bus: the air conditioning chapter names the trim air valve's switch, not its power; the direct battery bus kept"},
    {Consumer::zone_mix_valves, "zone_mix_valves", bus_direct_battery, 0, kept, "zone mix valves", "no power description of the type names its bus: the air conditioning chapter names the mix valves' controllers, not their power; the direct battery bus kept"},
    {Consumer::ram_door_left, "ram_door_left", bus_ac_transfer1, 0, kept, "left ram air door", "no power description of the type names its bus: the air conditioning chapter says when the doors move, not their power; AC transfer bus 1 kept"},
    {Consumer::ram_door_right, "ram_door_right", bus_ac_transfer2, 0, kept, "right ram air door", "no power description of the type names its bus: the air conditioning chapter says when the doors move, not their power; AC transfer bus 2 kept"},
    {Consumer::pressurisation_auto_1, "pressurisation_auto_1", bus_dc1, 0, kept, "pressurisation controller 1", "no power description of the type names its bus: the pressurisation chapter names the two controllers, not their bus; DC bus 1 kept"},
    {Consumer::pressurisation_auto_2, "pressurisation_auto_2", bus_dc2, 0, kept, "pressurisation controller 2 (AUTO and ALTN)", "no power description of the type names its bus: the pressurisation chapter names the two controllers, not their bus; DC bus 2 kept"},
    {Consumer::pressurisation_manual, "pressurisation_manual", bus_direct_battery, 0, kept, "pressurisation MAN", "no power description of the type names its bus: the pressurisation chapter names MAN and its outflow valve switch, not their bus; the direct battery bus kept"},
    {Consumer::pressurisation_display, "pressurisation_display", 0, bus_dc1 | bus_dc2, kept, "cabin pressure display", "kept: no power description of the type names its bus: the cabin pressure display apart from its controllers, on either DC bus as the model always had it, dashes with both lost"},
    {Consumer::engine1_bleed_valve, "engine1_bleed_valve", bus_dc1, 0, kept, "engine 1 bleed valve: DC bus 1 lost closes it", "no power description of the type names its bus: the bleed chapter names the valve and its trip light, not its bus; DC bus 1, its engine's side, kept"},
    {Consumer::engine2_bleed_valve, "engine2_bleed_valve", bus_dc2, 0, kept, "engine 2 bleed valve: DC bus 2 lost closes it", "no power description of the type names its bus: the bleed chapter names the valve and its trip light, not its bus; DC bus 2, its engine's side, kept"},
    {Consumer::pack_valves, "pack_valves", bus_battery, 0, aircraft, "pack valves move only with their control power", "the aircraft's air conditioning chapter: the pack valves' control on the battery bus"},
    {Consumer::isolation_valve, "isolation_valve", bus_ac_transfer1, 0, kept, "isolation valve motor", "no power description of the type names its bus: the bleed chapter names the isolation valve and its switch, not its bus; AC transfer bus 1 kept"},
    {Consumer::pack_trip_left, "pack_trip_left", bus_ac_transfer2, 0, kept, "left pack trip latch", "no description gives it: the pack tripping off with AC transfer bus 2 lost is the model's own, the light lit because that bus went"},
    {Consumer::pack_trip_right, "pack_trip_right", bus_ac_transfer1, 0, kept, "right pack trip latch", "no description gives it: the pack tripping off with AC transfer bus 1 lost is the model's own, the light lit because that bus went"},
    {Consumer::fire_detection, "fire_detection", bus_battery, 0, aircraft, "engine and APU fire and overheat detection: the fire switch, OVHT, FAULT and APU DET INOP lights, FIRE WARN, the bell and the fire six-pack", "the aircraft's fire protection chapter: engine and APU fire detection on the battery bus"},
    {Consumer::wheel_well_fire_test, "wheel_well_fire_test", 0, bus_ac_transfer1 | bus_ac_transfer2, kept, "wheel well fire test light", "kept: the descriptions read give no bus for the wheel well fire test light; the model's either transfer bus stays"},
    {Consumer::fo_audio_lamps, "fo_audio_lamps", bus_ac_transfer2, 0, kept, "first officer's microphone selector lamps", "kept: the descriptions read give no bus for the first officer's and observer's audio panel lamps; the model's AC transfer bus 2 stays"},
    {Consumer::gpws, "gpws", bus_ac_transfer1, 0, aircraft, "GPWS computer and its INOP light", "the aircraft's GPWS description: the GPWS computer on AC transfer bus 1"},
    {Consumer::gpws_self_test, "gpws_self_test", bus_battery | bus_ac_transfer1, 0, kept, "GPWS test", "kept: the test is the GPWS computer's own (AC transfer bus 1); the battery bus beside it is the model's, and no description read gives the test another"},
    {Consumer::anti_skid, "anti_skid", bus_dc1, 0, kept, "anti-skid, whose loss lights ANTISKID INOP", "kept: the landing gear chapter gives the anti-skid's channels, not their bus; DC bus 1, the bus the model always had"},
    {Consumer::cabin_lights, "cabin_lights", bus_battery, 0, kept, "cabin lights, as their light reaches the flight deck", "the operations manual's lights chapter gives no bus for the cabin lights: kept on the bus the model always had"},
    {Consumer::cabin_entry_lights_dimmer, "cabin_entry_lights_dimmer", bus_ac_transfer1, 0, kept, "cabin and entry lights at full brightness", "no description gives it: the flicker of the cabin and entry lights and their fixed level with transfer bus 1 lost are the model's own; kept on the bus it always had"},
    {Consumer::annunciator_lamps, "annunciator_lamps", bus_direct_battery, 0, kept, "annunciator lamp power", "kept: no power description of the type names its bus: the annunciator lamps' supply, on the direct battery bus as the model always had it, so the lamps and their test work on the battery alone"},
    {Consumer::slat_control, "slat_control", bus_dc1, 0, kept, "leading edge slat control, whose loss lights AUTO SLAT FAIL", "kept: the flight controls chapter gives AUTO SLAT FAIL for a failed auto slat system, not its bus; DC bus 1, the bus the model always had"},
    {Consumer::takeoff_config_aural, "takeoff_config_aural", bus_battery, 0, kept, "TAKEOFF CONFIG aural", "kept: the descriptions give the aural warning's power as a whole, not this aural's own; the battery bus the model always had"},
    {Consumer::spar_valves, "spar_valves", bus_hot_battery, 0, aircraft, "spar valve motors (held without power)", "the aircraft's fuel chapter: the spar valve motors on the hot battery bus"},
    {Consumer::engine_fuel_valves, "engine_fuel_valves", bus_direct_battery, 0, aircraft, "engine fuel valve motors (held without power)", "the aircraft's fuel chapter: the engine fuel valve motors on the direct battery bus"},
    {Consumer::valve_light_dimming, "valve_light_dimming", bus_battery, 0, kept, "spar valve lights, whose brightness goes with the battery bus", "kept: no power description of the type names its bus: the spar valve lights, on the battery bus as the model always had them, their brightness going with it"},
    {Consumer::flight_data_recorder, "flight_data_recorder", bus_ac_transfer1 | bus_direct_battery, 0, kept, "flight data recorder and its test", "kept: the descriptions read give no bus for the flight data recorder; the model's AC transfer bus 1 with the direct battery bus stay"},
    {Consumer::voice_recorder, "voice_recorder", bus_battery, 0, kept, "voice recorder (with DC bus 2 or transfer bus 2)", "kept: the descriptions read give no bus for the voice recorder; the model's battery bus stays"},
    {Consumer::voice_recorder_side, "voice_recorder_side", 0, bus_dc2 | bus_ac_transfer2, kept, "voice recorder (with the battery bus)", "kept: the descriptions read give no bus for the voice recorder; the model's DC bus 2 or AC transfer bus 2 stays"},
    {Consumer::flap_indicator, "flap_indicator", bus_ac_transfer2, 0, kept, "flap position indicator", "kept: no power description of the type names its bus: the flap position indicator, on AC transfer bus 2 as the model always had it: without it the needles stay where they are"},
    {Consumer::adf1, "adf1", bus_dc1, 0, kept, "ADF 1 and its RMI needles", "kept: the descriptions read give no bus for ADF 1; the model's DC bus 1 stays"},
    {Consumer::adf2, "adf2", bus_dc2, 0, kept, "ADF 2 and its RMI needles", "kept: the descriptions read give no bus for ADF 2; the model's DC bus 2 stays"},
    {Consumer::vor_dme1, "vor_dme1", bus_dc1, 0, kept, "VOR/DME 1", "kept: the descriptions read give no bus for VOR/DME 1; the model's DC bus 1 stays"},
    {Consumer::vor_dme2, "vor_dme2", bus_dc2, 0, kept, "VOR/DME 2", "kept: the descriptions read give no bus for VOR/DME 2; the model's DC bus 2 stays"},
    {Consumer::audio_panel_capt, "audio_panel_capt", bus_ac_standby, 0, kept, "captain's and observer's audio panels and radios", "kept: the descriptions read give no bus for the captain's and observer's audio panels; the model's AC standby bus stays"},
    {Consumer::audio_panel_fo, "audio_panel_fo", bus_ac_transfer2, 0, kept, "first officer's audio panel and radios", "kept: the descriptions read give no bus for the first officer's audio panel; the model's AC transfer bus 2 stays"},
    {Consumer::tcas, "tcas", bus_ac_transfer1, 0, kept, "TCAS and its test", "kept: the descriptions read give no bus for the TCAS computer; the model's AC transfer bus 1 stays"},
    {Consumer::attendant_chime, "attendant_chime", bus_battery, 0, kept, "attendant chime", "kept: the descriptions read give no bus for the attendant chime; the model's battery bus stays"},
    {Consumer::stall_test_1, "stall_test_1", bus_dc_standby | bus_ac_transfer1, 0, kept, "stall warning test 1: its computer, after four minutes on its AC bus", "kept: the flight controls chapter gives two stall management computers, not their buses; the DC standby bus and AC transfer bus 1 the model always read for the test"},
    {Consumer::stall_test_2, "stall_test_2", bus_dc2 | bus_ac_transfer2, 0, kept, "stall warning test 2: its computer, after four minutes on its AC bus", "kept: the flight controls chapter gives two stall management computers, not their buses; DC bus 2 and AC transfer bus 2 the model always read for the test"},
    {Consumer::alternate_flaps_latch, "alternate_flaps_latch", bus_battery, 0, kept, "ALTERNATE FLAPS switch held at UP", "kept: the flight controls chapter gives the switch's positions, not the bus that holds it at UP; the battery bus the model always had"},
    {Consumer::selcal, "selcal", bus_battery, 0, kept, "SELCAL", "kept: the descriptions read give no bus for the SELCAL decoder; the model's battery bus stays"},
    {Consumer::gpws_callouts, "gpws_callouts", bus_battery, 0, kept, "GPWS callouts start over when the battery bus returns", "kept: not a supply but the model's memory of the callouts made, cleared when the battery bus returns; no description gives it a bus"},
    {Consumer::audio_panel_lamps, "audio_panel_lamps", bus_direct_battery, 0, kept, "audio panel microphone lamps", "kept: the descriptions read give no bus for the audio panel microphone lamps; the model's direct battery bus, the annunciator lamps' own, stays"},
    {Consumer::fire_squibs, "fire_squibs", bus_hot_battery, 0, aircraft, "extinguisher bottle squibs: a turned handle fires its bottle", "the aircraft's fire protection chapter: the extinguisher squibs on the hot battery bus"},
    {Consumer::strobe_lights, "strobe_lights", bus_ac_transfer1, 0, kept, "wing and tail strobe lights", "the operations manual's lights chapter gives no bus for the strobe lights: kept on the bus the model always had"},
    {Consumer::beacon_light, "beacon_light", bus_ac_transfer1, 0, kept, "anti-collision beacons", "the operations manual's lights chapter gives no bus for the beacons: kept on the bus the model always had"},
    {Consumer::turnoff_light_left, "turnoff_light_left", bus_ac_transfer1, 0, kept, "left runway turnoff light", "the operations manual's lights chapter gives no bus for the runway turnoff lights: kept on the bus the model always had"},
    {Consumer::turnoff_light_right, "turnoff_light_right", bus_ac_transfer2, 0, kept, "right runway turnoff light", "the operations manual's lights chapter gives no bus for the runway turnoff lights: kept on the bus the model always had"},
    {Consumer::taxi_light, "taxi_light", bus_ac_transfer1, 0, kept, "taxi light", "the operations manual's lights chapter gives no bus for the taxi light: kept on the bus the model always had"},
    {Consumer::retractable_landing_lamp_left, "retractable_landing_lamp_left", bus_ac_transfer2, 0, kept, "left retractable landing light lamp, fed across from the right side", "the operations manual's lights chapter gives no bus for the retractable landing lights: kept on the bus the model always had"},
    {Consumer::retractable_landing_lamp_right, "retractable_landing_lamp_right", bus_ac_transfer1, 0, kept, "right retractable landing light lamp, fed across from the left side", "the operations manual's lights chapter gives no bus for the retractable landing lights: kept on the bus the model always had"},
    {Consumer::dome_lights, "dome_lights", bus_direct_battery, 0, kept, "flight deck dome lights", "the operations manual's lights chapter gives no bus for the dome lights: kept on the bus the model always had"},
    {Consumer::wheel_well_lights, "wheel_well_lights", bus_ac_transfer2, 0, kept, "wheel well lights", "the operations manual's lights chapter gives no bus for the wheel well lights: kept on the bus the model always had"},
    {Consumer::entry_lights, "entry_lights", bus_battery, 0, kept, "forward entry lights, as their light reaches the flight deck", "the operations manual's lights chapter gives no bus for the entry lights: kept on the bus the model always had"},
    {Consumer::ife_seat_power_left, "ife_seat_power_left", bus_main1, 0, kept, "in-flight entertainment and passenger seat power, left", "the aircraft's electrical chapter names the IFE/PASS SEAT switch but no bus for its loads: kept on the bus the model always had"},
    {Consumer::ife_seat_power_right, "ife_seat_power_right", bus_main2, 0, kept, "in-flight entertainment and passenger seat power, right", "the aircraft's electrical chapter names the IFE/PASS SEAT switch but no bus for its loads: kept on the bus the model always had"},
    {Consumer::transponder, "transponder", bus_ac_standby, 0, kept, "ATC transponder: the mode the host's transponder is in", "kept: no power description of the type names its bus; the transponder is the captain's side radio the model has one of, so it stays with the captain's radios on the AC standby bus"},
    {Consumer::cargo_fire_detection, "cargo_fire_detection", bus_battery, 0, kept, "cargo smoke detection and its test: the cargo fire lights and the bell the test rings", "kept: no power description of the type names its bus; the cargo detection is taken with the engine and APU fire detection on the battery bus"},
    {Consumer::extinguisher_test_lights, "extinguisher_test_lights", bus_hot_battery, 0, kept, "extinguisher circuit test lights, engine, APU and cargo", "kept: no power description of the type names the lights' bus; they show the continuity of the squib circuits, so they are taken on the squibs' own hot battery bus"},
    {Consumer::apu_bleed_valve, "apu_bleed_valve", bus_battery, 0, kept, "APU bleed valve: its command lost closes it", "no power description of the type names its bus: the bleed chapter names the APU bleed valve and its switch, not its bus; the battery bus of the APU's own control, which always drove it, kept"},
    {Consumer::duct_pressure_left, "duct_pressure_left", bus_dc1, 0, kept, "left needle of the duct pressure gauge", "no power description of the type names its bus: the bleed chapter names the gauge, not its bus; DC bus 1, the bus of the left bleed valve and trip, kept"},
    {Consumer::duct_pressure_right, "duct_pressure_right", bus_dc2, 0, kept, "right needle of the duct pressure gauge", "no power description of the type names its bus: the bleed chapter names the gauge, not its bus; DC bus 2, the bus of the right bleed valve and trip, kept"},
    {Consumer::cabin_temp_indicator, "cabin_temp_indicator", bus_direct_battery, 0, kept, "cabin temperature indicator", "no power description of the type names its bus: the air conditioning chapter names the indicator and its selector, not its bus; the direct battery bus of the panel's trim air and mix valves kept"},
    {Consumer::wing_body_overheat_left, "wing_body_overheat_left", bus_dc1, 0, kept, "left WING-BODY OVERHEAT detection and its test", "no power description of the type names its bus: the bleed chapter names the overheat light and its test, not their bus; DC bus 1, the bus of the left bleed valve, kept"},
    {Consumer::wing_body_overheat_right, "wing_body_overheat_right", bus_dc2, 0, kept, "right WING-BODY OVERHEAT detection and its test", "no power description of the type names its bus: the bleed chapter names the overheat light and its test, not their bus; DC bus 2, the bus of the right bleed valve, kept"},
    {Consumer::bleed_trip_left, "bleed_trip_left", bus_dc1, 0, kept, "engine 1 bleed trip sensing and its TRIP RESET", "no power description of the type names its bus: the bleed chapter names the trip light and TRIP RESET, not their bus; DC bus 1, the bus of the valve the trip closes, kept"},
    {Consumer::bleed_trip_right, "bleed_trip_right", bus_dc2, 0, kept, "engine 2 bleed trip sensing and its TRIP RESET", "no power description of the type names its bus: the bleed chapter names the trip light and TRIP RESET, not their bus; DC bus 2, the bus of the valve the trip closes, kept"},
    {Consumer::engine1_high_stage_valve, "engine1_high_stage_valve", bus_dc1, 0, kept, "engine 1 high-stage valve (held without power)", "no power description of the type names its bus: the bleed chapter names the high-stage valve, not its bus; DC bus 1, its engine's bleed valve's, kept"},
    {Consumer::engine2_high_stage_valve, "engine2_high_stage_valve", bus_dc2, 0, kept, "engine 2 high-stage valve (held without power)", "no power description of the type names its bus: the bleed chapter names the high-stage valve, not its bus; DC bus 2, its engine's bleed valve's, kept"},
    {Consumer::engine1_precooler_valve, "engine1_precooler_valve", bus_dc1, 0, kept, "engine 1 precooler control valve (held without power)", "no power description of the type names its bus: the bleed chapter names the precooler and its valve, not their bus; DC bus 1, its engine's bleed valve's, kept"},
    {Consumer::engine2_precooler_valve, "engine2_precooler_valve", bus_dc2, 0, kept, "engine 2 precooler control valve (held without power)", "no power description of the type names its bus: the bleed chapter names the precooler and its valve, not their bus; DC bus 2, its engine's bleed valve's, kept"},
    {Consumer::alternate_flaps_drive, "alternate_flaps_drive", bus_battery, 0, kept, "alternate flaps drive: the trailing edge electric motor and its call on the standby system to extend the leading edges", "no power description of the type names its bus: the flight controls chapter gives the alternate drive's electric motor and its switches, not their bus; the battery bus, on which the model has the alternate flaps switch held at UP"},
    {Consumer::gear_lever_lock, "gear_lever_lock", bus_battery, 0, kept, "gear lever lock solenoid: released in the air, locked without power", "no power description of the type names its bus: the landing gear chapter gives the lock solenoid and its release by air/ground sensing, not its bus; the battery bus, on which the model has the gear warning horn, so that the lever comes free in the air on standby power as it always did"},
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
