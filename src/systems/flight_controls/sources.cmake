# Sources of systems/flight_controls: flaps, trims, speedbrake and reverse levers; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/flaps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trim_axes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/elec_trim_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/flight_control_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/reverse_levers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/speedbrake_lever.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trim_command_state.cpp
)
