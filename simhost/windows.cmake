# The Windows host's XPLM_64.dll. Its export list is read from the built
# module's import table, so it follows what the module imports.
set(simhost_gen ${CMAKE_CURRENT_BINARY_DIR}/generated)
add_custom_command(
  OUTPUT ${simhost_gen}/xplm_exports.inc ${simhost_gen}/XPLM_64.def
  COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DMODULE=$<TARGET_FILE:corvane_module>
          -DOUT=${simhost_gen}/xplm_exports.inc -DOUT_DEF=${simhost_gen}/XPLM_64.def
          -P ${CMAKE_CURRENT_SOURCE_DIR}/xplm_exports.cmake
  DEPENDS corvane_module ${CMAKE_CURRENT_SOURCE_DIR}/xplm_exports.cmake
  COMMENT "Reading the module's imports from XPLM_64.dll"
  VERBATIM)

add_library(simhost_xplm SHARED ${CMAKE_CURRENT_SOURCE_DIR}/xplm_dll.cpp ${simhost_gen}/XPLM_64.def)
set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/xplm_dll.cpp PROPERTIES
  OBJECT_DEPENDS ${simhost_gen}/xplm_exports.inc)
target_include_directories(simhost_xplm PRIVATE ${simhost_gen})
target_link_libraries(simhost_xplm PRIVATE corvane_warnings)
target_link_options(simhost_xplm PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(simhost_xplm PROPERTIES
  OUTPUT_NAME XPLM_64
  PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# A host executable exports the host functions (declared dllexport on the host
# side) for XPLM_64.dll to find, and carries its C++ runtime inside.
function(simhost_windows_executable target)
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  add_dependencies(${target} simhost_xplm)
endfunction()
