# Sources of systems/fuel: tanks, pumps and fuel values; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/fuel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fuel_values.cpp
)
