# Guarded switches and their covers.
corvane_unit_test(systems_switches_test ${CMAKE_CURRENT_LIST_DIR}/switches_test.cpp)
