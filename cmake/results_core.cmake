# The result list's platform-independent parts: cell text, sort keys and the sort.
target_sources(vortilo_core PRIVATE
    results/cell_text.cpp
    results/sort.cpp
)
target_sources(core_tests PRIVATE
    tests/host/cell_text_test.cpp
    tests/host/sort_test.cpp
)

# Run by hand (scripts/bench runs the native one): prints its own figures.
add_executable(sort_bench bench/sort_bench.cpp)
target_compile_options(sort_bench PRIVATE ${VORTILO_WARNINGS} -Wconversion)
target_link_libraries(sort_bench PRIVATE vortilo_core)
