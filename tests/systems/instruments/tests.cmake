# Instruments: indications, warnings and clocks.
corvane_unit_test(systems_instruments_test ${CMAKE_CURRENT_LIST_DIR}/instruments_test.cpp)
