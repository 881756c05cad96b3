# Sources of this subsystem; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/command_settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/command_hold.cpp
  ${CMAKE_CURRENT_LIST_DIR}/command_presses.cpp
  ${CMAKE_CURRENT_LIST_DIR}/registration.cpp
  ${CMAKE_CURRENT_LIST_DIR}/command_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trim.cpp
  ${CMAKE_CURRENT_LIST_DIR}/flight_controls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gear_brakes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/electrical_panel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/exterior_lights.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cabin_signs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/display_sources.cpp
  ${CMAKE_CURRENT_LIST_DIR}/clocks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fire_protection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_heat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/radio_panels.cpp
  ${CMAKE_CURRENT_LIST_DIR}/audio_panels.cpp
  ${CMAKE_CURRENT_LIST_DIR}/transponder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/engine_start.cpp
  ${CMAKE_CURRENT_LIST_DIR}/air_pressurisation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hydraulics_doors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/warnings_tests.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cabin_service.cpp
)
