# Sources of systems/air: bleed, packs, pressurisation, cabin air and oxygen; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/pneumatics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cabin_air.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pressurisation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/oxygen_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/air_values.cpp
)
