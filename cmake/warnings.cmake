# One warning policy for every target of the project.
add_library(corvane_warnings INTERFACE)
target_compile_options(corvane_warnings INTERFACE -Wall -Wextra -Wshadow -Werror)
# GCC 12 at -O3 reports std::string's own inlined copies as overlapping
# (-Wrestrict false positive inside libstdc++); keep the warning, not the error.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
   AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(corvane_warnings INTERFACE -Wno-error=restrict)
endif()
