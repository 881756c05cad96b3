# Fire protection.
corvane_unit_test(systems_fire_test ${CMAKE_CURRENT_LIST_DIR}/fire_test.cpp)
