# Exterior lights.
corvane_unit_test(systems_lights_test ${CMAKE_CURRENT_LIST_DIR}/lights_test.cpp)
