# Accessor paths of the published datarefs and the cost of publishing them,
# through the simulated host.
corvane_benchmark(publication_bench ${CMAKE_CURRENT_LIST_DIR}/publication_bench.cpp)
target_include_directories(publication_bench PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_compile_definitions(publication_bench PRIVATE CORVANE_MODULE_PATH="$<TARGET_FILE:corvane_module>")
add_dependencies(publication_bench corvane_module)
