# Navigation display: map primitives, the draw pass and the route pass.
corvane_unit_test(display_map_primitives_test ${CMAKE_CURRENT_LIST_DIR}/map_primitives_test.cpp)
corvane_unit_test(display_nd_draw_test ${CMAKE_CURRENT_LIST_DIR}/nd_draw_test.cpp)
# Speed tape aids of the primary flight display.
corvane_unit_test(display_pfd_speed_test ${CMAKE_CURRENT_LIST_DIR}/pfd_speed_test.cpp)
corvane_unit_test(display_nd_holds_test ${CMAKE_CURRENT_LIST_DIR}/nd_holds_test.cpp)
corvane_unit_test(display_nd_route_segments_test ${CMAKE_CURRENT_LIST_DIR}/nd_route_segments_test.cpp)
corvane_unit_test(display_vnav_markers_test ${CMAKE_CURRENT_LIST_DIR}/vnav_markers_test.cpp)
corvane_unit_test(display_fix_overlay_test ${CMAKE_CURRENT_LIST_DIR}/fix_overlay_test.cpp)
corvane_unit_test(display_trend_vector_test ${CMAKE_CURRENT_LIST_DIR}/trend_vector_test.cpp)
corvane_integration_test(display_nd_module_integration_test ${CMAKE_CURRENT_LIST_DIR}/nd_module_integration_test.cpp)
# Thresholds and tables of the display passes, both sides of each bound.
corvane_unit_test(display_values_test ${CMAKE_CURRENT_LIST_DIR}/values_test.cpp)
