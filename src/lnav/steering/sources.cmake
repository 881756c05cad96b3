# Sources of lnav/steering: lateral steering, the flight director and the servo laws; listed by hand, one per line.
target_sources(corvane_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/lnav_steering.cpp
  ${CMAKE_CURRENT_LIST_DIR}/flight_director.cpp
  ${CMAKE_CURRENT_LIST_DIR}/flight_director_shaping.cpp
  ${CMAKE_CURRENT_LIST_DIR}/controller.cpp
  ${CMAKE_CURRENT_LIST_DIR}/servo_laws.cpp
  ${CMAKE_CURRENT_LIST_DIR}/steering_helpers.cpp
)
