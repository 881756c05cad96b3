# Sources of systems/instruments: clocks and instrument indications; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/indications.cpp
  ${CMAKE_CURRENT_LIST_DIR}/clock_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/instrument_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/clocks.cpp
)
