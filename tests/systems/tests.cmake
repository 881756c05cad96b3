# Aircraft systems tests; one line per test program.
corvane_unit_test(systems_delay_timers_test ${CMAKE_CURRENT_LIST_DIR}/delay_timers_test.cpp)
corvane_unit_test(systems_clocks_radio_test ${CMAKE_CURRENT_LIST_DIR}/clocks_radio_test.cpp)
corvane_unit_test(systems_effects_test ${CMAKE_CURRENT_LIST_DIR}/effects_test.cpp)
corvane_integration_test(systems_panels_integration_test ${CMAKE_CURRENT_LIST_DIR}/panels_integration_test.cpp)
corvane_integration_test(systems_integration_test ${CMAKE_CURRENT_LIST_DIR}/systems_integration_test.cpp)
corvane_unit_test(systems_sources_pumps_test ${CMAKE_CURRENT_LIST_DIR}/sources_pumps_test.cpp)
corvane_unit_test(systems_cockpit_sections_test ${CMAKE_CURRENT_LIST_DIR}/cockpit_sections_test.cpp)
corvane_unit_test(systems_bleed_start_test ${CMAKE_CURRENT_LIST_DIR}/bleed_start_test.cpp)
corvane_unit_test(systems_apu_fuel_cabin_test ${CMAKE_CURRENT_LIST_DIR}/apu_fuel_cabin_test.cpp)
corvane_unit_test(systems_effects_gate_test ${CMAKE_CURRENT_LIST_DIR}/effects_gate_test.cpp)
corvane_integration_test(systems_aircraft_systems_integration_test ${CMAKE_CURRENT_LIST_DIR}/aircraft_systems_integration_test.cpp)
corvane_unit_test(systems_ground_controls_test ${CMAKE_CURRENT_LIST_DIR}/ground_controls_test.cpp)
# The replay substitutes of the cockpit indications.
corvane_unit_test(systems_replay_test ${CMAKE_CURRENT_LIST_DIR}/replay_test.cpp)

# Each sub-folder lists its own tests.
foreach(sub air annunciators apu_start electrical fire flight_controls fuel gear_brakes hydraulics ice_rain instruments lights radios switches)
  include(${CMAKE_CURRENT_LIST_DIR}/${sub}/tests.cmake)
endforeach()
