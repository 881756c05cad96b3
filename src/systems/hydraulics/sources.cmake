# Sources of systems/hydraulics: pumps, pressures and quantities; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/hyd_pumps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hydraulics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hydraulic_values.cpp
)
