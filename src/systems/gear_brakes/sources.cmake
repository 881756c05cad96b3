# Sources of systems/gear_brakes: gear, gear lever and horn, brakes, brake heat and autobrake; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/brakes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gear.cpp
  ${CMAKE_CURRENT_LIST_DIR}/autobrake_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gear_lever.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gear_horn.cpp
  ${CMAKE_CURRENT_LIST_DIR}/brake_heat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/brake_command_state.cpp
)
