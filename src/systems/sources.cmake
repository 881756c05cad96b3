# Sources of this subsystem; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/switch_memory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/systems_steps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/delay_timers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/autobrake_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/switch_targets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/apu_start_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/annunciator_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/comm_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/electric_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/air_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hydraulic_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fuel_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/clock_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fire_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ice_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cabin_light_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/flight_control_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/switch_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/instrument_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gear_lever.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gear_horn.cpp
  ${CMAKE_CURRENT_LIST_DIR}/reverse_levers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/speedbrake_lever.cpp
)
