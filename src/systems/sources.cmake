# Sources of this subsystem; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/system_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/systems_steps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/aircraft_systems.cpp
  ${CMAKE_CURRENT_LIST_DIR}/replay.cpp
  ${CMAKE_CURRENT_LIST_DIR}/delay_timers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/systems_step_outputs.cpp
)
# Each area lists its own sources.
include(${CMAKE_CURRENT_LIST_DIR}/air/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/annunciators/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/apu_start/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/electrical/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/fire/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/flight_controls/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/fuel/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/gear_brakes/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/ground_services/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/hydraulics/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/ice_rain/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/instruments/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/lights/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/radios/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/switches/sources.cmake)
