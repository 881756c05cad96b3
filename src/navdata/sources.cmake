# Sources of this subsystem; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/nav_tables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/line_split.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nav_loaders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nav_scans.cpp
  ${CMAKE_CURRENT_LIST_DIR}/geodesy.cpp
  ${CMAKE_CURRENT_LIST_DIR}/air_data.cpp
  ${CMAKE_CURRENT_LIST_DIR}/airport_lookup.cpp
)
