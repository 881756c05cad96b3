# Sources of systems/fire: fire detection and extinguishing; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/fire_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fire.cpp
)
