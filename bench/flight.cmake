# Whole-flight frame cost: the built module loaded into the simulated host,
# with the counting OpenGL stand-in exported ahead of Mesa.
add_executable(flight_frame_bench ${CMAKE_CURRENT_LIST_DIR}/flight_frame_bench.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gl_counting.cpp)
target_link_libraries(flight_frame_bench PRIVATE corvane_warnings
  corvane_runner
  "$<LINK_LIBRARY:WHOLE_ARCHIVE,corvane_simhost>" benchmark::benchmark benchmark::benchmark_main ${CMAKE_DL_LIBS})
target_include_directories(flight_frame_bench PRIVATE ${CMAKE_SOURCE_DIR}/simhost ${CMAKE_SOURCE_DIR}/tests)
target_compile_definitions(flight_frame_bench PRIVATE
  CORVANE_MODULE_PATH="$<TARGET_FILE:corvane_module>"
  CORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
add_dependencies(flight_frame_bench corvane_module)
set_target_properties(flight_frame_bench PROPERTIES ENABLE_EXPORTS ON)
