# Long runs and hostile input: the built module through the simulated host.
# Under the sanitizer build the runs are shorter (same phases, fewer frames).
foreach(soak_test flight hostile cycles)
  corvane_integration_test(soak_${soak_test}_test ${CMAKE_CURRENT_LIST_DIR}/${soak_test}_soak_test.cpp)
  if(CORVANE_SANITIZE)
    target_compile_definitions(soak_${soak_test}_test PRIVATE CORVANE_SOAK_SANITIZED=1)
  endif()
endforeach()

# The counting allocator replaces the C library's, which the sanitizers
# replace themselves.
if(NOT CORVANE_SANITIZE)
  corvane_integration_test(soak_frame_allocation_test ${CMAKE_CURRENT_LIST_DIR}/frame_allocation_test.cpp)
endif()
