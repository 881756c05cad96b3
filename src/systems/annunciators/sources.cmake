# Sources of systems/annunciators: annunciator lights, their power and test; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/annunciators_frame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/annunciators_test_set.cpp
  ${CMAKE_CURRENT_LIST_DIR}/annunciators_power.cpp
  ${CMAKE_CURRENT_LIST_DIR}/annunciators_controls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/annunciators_panels.cpp
  ${CMAKE_CURRENT_LIST_DIR}/annunciator_values.cpp
)
