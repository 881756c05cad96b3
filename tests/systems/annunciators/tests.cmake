# The annunciator pass and its light equations.
corvane_unit_test(systems_annunciators_test ${CMAKE_CURRENT_LIST_DIR}/annunciators_test.cpp)
corvane_unit_test(systems_annunciator_lights_test ${CMAKE_CURRENT_LIST_DIR}/annunciator_lights_test.cpp)
