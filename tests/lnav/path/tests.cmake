# The leg path builder and path position.
corvane_unit_test(lnav_leg_path_test ${CMAKE_CURRENT_LIST_DIR}/leg_path_test.cpp)
# Arc-leg turns, the direct-to path and hold entries of the leg path builder.
corvane_unit_test(lnav_arc_direct_hold_test ${CMAKE_CURRENT_LIST_DIR}/arc_direct_hold_test.cpp)
# Path position.
corvane_unit_test(lnav_path_position_test ${CMAKE_CURRENT_LIST_DIR}/path_position_test.cpp)
# Course crossings on one meridian in the leg path builder.
corvane_unit_test(lnav_meridian_crossing_test ${CMAKE_CURRENT_LIST_DIR}/meridian_crossing_test.cpp)
# The direct-to turn from the present position.
corvane_unit_test(lnav_direct_turn_path_test ${CMAKE_CURRENT_LIST_DIR}/direct_turn_path_test.cpp)
# Leg path builder and path position values pinned by geometry and worked numbers.
corvane_unit_test(lnav_path_values_test ${CMAKE_CURRENT_LIST_DIR}/path_values_test.cpp)
