# Each sub-folder lists its own tests.
foreach(sub path route steering)
  include(${CMAKE_CURRENT_LIST_DIR}/${sub}/tests.cmake)
endforeach()
