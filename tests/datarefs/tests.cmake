corvane_integration_test(published_census_integration_test ${CMAKE_CURRENT_LIST_DIR}/published_census_integration_test.cpp)
# The reference of every published dataref and command (docs/reference/) must
# be what tools/gen_reference.py makes of the registration tables, and those
# tables what the loaded module registers: a dataref or command added without
# regenerating the reference fails here.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  add_test(NAME reference_docs_check
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/gen_reference.py --check
      --sim $<TARGET_FILE:corvane-sim> ${CMAKE_SOURCE_DIR})
else()
  message(WARNING "Python 3 not found: the dataref and command reference is not checked")
endif()
