# Sources of systems/lights: exterior, cockpit and cabin lights; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/cabin_light_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cabin_lights.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lights.cpp
)
