# Sources of systems/electrical: buses, sources, meters and panel brightness; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/brightness.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bus_feeds.cpp
  ${CMAKE_CURRENT_LIST_DIR}/elec_sources.cpp
  ${CMAKE_CURRENT_LIST_DIR}/electrical.cpp
  ${CMAKE_CURRENT_LIST_DIR}/electric_values.cpp
)
