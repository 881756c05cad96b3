# Sources of systems/ice_rain: anti-ice, window heat, probes, wipers, rain and ice effects; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/probe_wipers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/effects.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_heat_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wiper_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ice_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/anti_ice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rain.cpp
)
