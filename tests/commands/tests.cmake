# Command table and registration. The plug-in's command calls pass through a
# recorder in the test (linker wraps) on their way to the simulated host.
corvane_unit_test(commands_unit_test
  ${CMAKE_CURRENT_LIST_DIR}/command_table_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/registration_test.cpp)
foreach(fn XPLMFindCommand XPLMCreateCommand XPLMRegisterCommandHandler XPLMUnregisterCommandHandler
           XPLMCommandOnce XPLMCommandBegin XPLMCommandEnd)
  target_link_options(commands_unit_test PRIVATE "LINKER:--wrap=${fn}")
endforeach()

# The generated command tables and their counts against the shared command
# tables (see gen_bound_check).
if(Python3_Interpreter_FOUND AND EXISTS "${CORVANE_HOST_LISTS}/commands.tsv"
   AND EXISTS "${CORVANE_HOST_LISTS}/host_commands.tsv" AND EXISTS "${CORVANE_HOST_LISTS}/own_commands_issued.tsv")
  add_test(NAME gen_commands_check
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/gen_commands.py --check ${CORVANE_HOST_LISTS} ${CMAKE_SOURCE_DIR})
endif()

# The same through the built module, loaded by the simulated host.
corvane_integration_test(commands_integration_test ${CMAKE_CURRENT_LIST_DIR}/commands_integration_test.cpp)

# Cockpit handlers of the radio, audio, transponder, engine start, air,
# hydraulics and doors, warning and test, and cabin and service areas,
# operated through the simulated host.
corvane_unit_test(cockpit_commands_test
  ${CMAKE_CURRENT_LIST_DIR}/radio_panels_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/audio_panels_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/transponder_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/engine_start_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/air_pressurisation_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hydraulics_doors_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/warnings_tests_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cabin_service_test.cpp)

# Cockpit panel handlers called directly.
corvane_unit_test(cockpit_handlers_test
  ${CMAKE_CURRENT_LIST_DIR}/trim_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/flight_controls_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/overhead_panels_test.cpp)
corvane_integration_test(cockpit_panels_integration_test
  ${CMAKE_CURRENT_LIST_DIR}/cockpit_panels_integration_test.cpp)
# Commands that set a position, one row each.
corvane_unit_test(commands_set_positions_test ${CMAKE_CURRENT_LIST_DIR}/set_positions_test.cpp)
# Positions and thresholds of the cockpit handlers, both sides of each bound.
corvane_unit_test(commands_thresholds_test ${CMAKE_CURRENT_LIST_DIR}/thresholds_test.cpp)
