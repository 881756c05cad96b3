# Flight controls: the yoke's split electric trim.
corvane_unit_test(systems_split_trim_test ${CMAKE_CURRENT_LIST_DIR}/split_trim_test.cpp)
# Flaps, speed brake, control axes, reverse levers and the trim wheel.
corvane_unit_test(systems_flight_controls_test ${CMAKE_CURRENT_LIST_DIR}/flight_controls_test.cpp)
