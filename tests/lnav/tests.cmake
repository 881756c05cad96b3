# Lateral navigation: the leg path builder.
corvane_unit_test(lnav_leg_path_test ${CMAKE_CURRENT_LIST_DIR}/leg_path_test.cpp)
# Autopilot servo laws with the controller step; intercept and arc steering.
corvane_unit_test(lnav_servo_laws_test ${CMAKE_CURRENT_LIST_DIR}/servo_laws_test.cpp)
corvane_unit_test(lnav_steering_helpers_test ${CMAKE_CURRENT_LIST_DIR}/steering_helpers_test.cpp)
# Arc-leg turns, the direct-to path and hold entries of the leg path builder.
corvane_unit_test(lnav_arc_direct_hold_test ${CMAKE_CURRENT_LIST_DIR}/arc_direct_hold_test.cpp)
# LNAV steering and the flight director.
corvane_unit_test(lnav_steering_test ${CMAKE_CURRENT_LIST_DIR}/lnav_steering_test.cpp)
corvane_unit_test(lnav_flight_director_test ${CMAKE_CURRENT_LIST_DIR}/flight_director_test.cpp)
# Path position, route tracking and leg sequencing.
corvane_unit_test(lnav_path_position_test ${CMAKE_CURRENT_LIST_DIR}/path_position_test.cpp)
corvane_unit_test(lnav_sequencing_test ${CMAKE_CURRENT_LIST_DIR}/sequencing_test.cpp)
# Course crossings on one meridian in the leg path builder.
corvane_unit_test(lnav_meridian_crossing_test ${CMAKE_CURRENT_LIST_DIR}/meridian_crossing_test.cpp)
# The direct-to turn from the present position.
corvane_unit_test(lnav_direct_turn_path_test ${CMAKE_CURRENT_LIST_DIR}/direct_turn_path_test.cpp)
# Leg path builder and path position values pinned by geometry and worked numbers.
corvane_unit_test(lnav_path_values_test ${CMAKE_CURRENT_LIST_DIR}/path_values_test.cpp)
# The numbers the route, sequencing, guidance and servo laws depend on: thresholds and table rows.
corvane_unit_test(lnav_steering_values_test ${CMAKE_CURRENT_LIST_DIR}/steering_values_test.cpp)
corvane_unit_test(lnav_route_values_test ${CMAKE_CURRENT_LIST_DIR}/route_values_test.cpp)
