# Navigation display: map primitives, the draw pass and the route pass.
corvane_unit_test(display_map_primitives_test ${CMAKE_CURRENT_LIST_DIR}/map_primitives_test.cpp)
corvane_unit_test(display_nd_draw_test ${CMAKE_CURRENT_LIST_DIR}/nd_draw_test.cpp)
