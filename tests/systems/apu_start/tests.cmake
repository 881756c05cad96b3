# The APU and the engine start switching.
corvane_unit_test(systems_apu_start_test ${CMAKE_CURRENT_LIST_DIR}/apu_start_test.cpp)
