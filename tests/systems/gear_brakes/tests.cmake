# Brakes, autobrake, steering and landing gear.
corvane_unit_test(systems_gear_brakes_test ${CMAKE_CURRENT_LIST_DIR}/gear_brakes_test.cpp)
