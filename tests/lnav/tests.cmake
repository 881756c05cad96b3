# Lateral navigation: the leg path builder.
corvane_unit_test(lnav_leg_path_test ${CMAKE_CURRENT_LIST_DIR}/leg_path_test.cpp)
# Autopilot servo laws with the controller step; intercept and arc steering.
corvane_unit_test(lnav_servo_laws_test ${CMAKE_CURRENT_LIST_DIR}/servo_laws_test.cpp)
corvane_unit_test(lnav_steering_helpers_test ${CMAKE_CURRENT_LIST_DIR}/steering_helpers_test.cpp)
