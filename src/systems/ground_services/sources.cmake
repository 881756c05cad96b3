# Sources of systems/ground_services: ground equipment and stand guidance; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/autogate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gse.cpp
)
