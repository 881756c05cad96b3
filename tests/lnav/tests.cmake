# Each sub-folder lists its own tests.
foreach(sub path route steering)
  include(${CMAKE_CURRENT_LIST_DIR}/${sub}/tests.cmake)
endforeach()

# The path's invariance census: each geometry of invariance_census.tsv flown
# at every placement of the table, one test per geometry.
corvane_integration_test(lnav_invariance_census_test COST 5000 ${CMAKE_CURRENT_LIST_DIR}/invariance_census_test.cpp)
target_link_libraries(lnav_invariance_census_test PRIVATE corvane_runner)
if(CORVANE_SANITIZE)
  target_compile_definitions(lnav_invariance_census_test PRIVATE CORVANE_LNAV_CENSUS_SANITIZED=1)
endif()
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/invariance_census_test.cpp PROPERTIES
  OBJECT_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/invariance_census.tsv)
