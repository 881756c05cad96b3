# Route intake, the route pass and route sets, hold and procedure-turn
# geometry, route geometry queries and leg sequencing.

# Route intake: in-process, and through the host.
corvane_unit_test(lnav_route_intake_test ${CMAKE_CURRENT_LIST_DIR}/route_intake_test.cpp)
corvane_integration_test(lnav_route_intake_integration_test ${CMAKE_CURRENT_LIST_DIR}/route_intake_integration_test.cpp)
# Hold and procedure-turn geometry of the route decode.
corvane_unit_test(lnav_hold_geometry_test ${CMAKE_CURRENT_LIST_DIR}/hold_geometry_test.cpp)
# Route pass after the decode: direct-to and path build, sequencing, the
# second and third routes, profile markers and abeam points.
corvane_unit_test(lnav_route_pass_test
  ${CMAKE_CURRENT_LIST_DIR}/route_pass_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/route_sets_test.cpp)
corvane_integration_test(lnav_route_pass_integration_test ${CMAKE_CURRENT_LIST_DIR}/route_pass_integration_test.cpp)

# Route tracking and leg sequencing.
corvane_unit_test(lnav_sequencing_test ${CMAKE_CURRENT_LIST_DIR}/sequencing_test.cpp)
# The numbers the route, sequencing, guidance and servo laws depend on:
# thresholds and table rows.
corvane_unit_test(lnav_route_values_test ${CMAKE_CURRENT_LIST_DIR}/route_values_test.cpp)

# Route geometry queries: leg courses, points back along the path, display
# routes; and along a procedure turn.
corvane_unit_test(lnav_route_geometry_test ${CMAKE_CURRENT_LIST_DIR}/route_geometry_test.cpp)
corvane_unit_test(lnav_route_geometry_pt_test ${CMAKE_CURRENT_LIST_DIR}/route_geometry_pt_test.cpp)
