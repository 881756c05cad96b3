# LNAV steering, the flight director, the controller and the servo laws.

# Autopilot servo laws with the controller step; intercept and arc steering.
corvane_unit_test(lnav_servo_laws_test ${CMAKE_CURRENT_LIST_DIR}/servo_laws_test.cpp)
corvane_unit_test(lnav_steering_helpers_test ${CMAKE_CURRENT_LIST_DIR}/steering_helpers_test.cpp)
# LNAV steering and the flight director.
corvane_unit_test(lnav_steering_test ${CMAKE_CURRENT_LIST_DIR}/lnav_steering_test.cpp)
corvane_unit_test(lnav_flight_director_test ${CMAKE_CURRENT_LIST_DIR}/flight_director_test.cpp)
# Thresholds and worked values of guidance and the servo laws.
corvane_unit_test(lnav_steering_values_test ${CMAKE_CURRENT_LIST_DIR}/steering_values_test.cpp)
