# The Win32 part of the build: one library a folder, each linking only the folders below it
# (win32/ at the ground, then search/, then results/ and pickers/, app/ on top), the program,
# and its tests run under Wine.
set(VORTILO_WIN32_DEFS STRICT NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0501 WINVER=0x0501
                       _WIN32_IE=0x0600)
target_compile_definitions(vortilo_core PUBLIC ${VORTILO_WIN32_DEFS})

# The ground: helpers over the ANSI calls, handle owners, the Search window's operations.
add_library(vortilo_win32 STATIC
    win32/win.cpp
    win32/search_window.cpp
    win32/date_text.cpp
    win32/wide_path.cpp
    win32/system_dll.cpp
    win32/taskbar.cpp
)
target_include_directories(vortilo_win32 PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(vortilo_win32 PUBLIC ${VORTILO_WIN32_DEFS})
target_compile_options(vortilo_win32 PRIVATE ${VORTILO_WARNINGS})
# The core: the code page's characters, which bounded copies keep whole. No winmm or version:
# their few functions come from the system folder at run time (win32/system_dll.h). ole32 and
# uuid: the taskbar object.
target_link_libraries(vortilo_win32 PUBLIC vortilo_core comctl32 ole32 uuid)

add_library(vortilo_search STATIC
    search/state.cpp
    search/pump.cpp
    search/walker.cpp
    search/start.cpp
    search/summary.cpp
)
target_compile_options(vortilo_search PRIVATE ${VORTILO_WARNINGS})
target_link_libraries(vortilo_search PUBLIC vortilo_core vortilo_win32)

add_library(vortilo_results STATIC results/cells.cpp results/icons.cpp)
target_compile_options(vortilo_results PRIVATE ${VORTILO_WARNINGS})
# shell32: the system's icons of the files.
target_link_libraries(vortilo_results PUBLIC vortilo_search shell32)

add_executable(win32_tests
    tests/win32/fixtures.cpp
    tests/win32/date_text_test.cpp
    tests/win32/walker_test.cpp
    tests/win32/search_test.cpp
)
target_compile_options(win32_tests PRIVATE ${VORTILO_WARNINGS})
target_link_libraries(win32_tests PRIVATE vortilo_search GTest::gtest_main)

set(VORTILO_TEST_ENV VORTILO_BUILD=${CMAKE_BINARY_DIR})
foreach(t core_tests win32_tests)
    add_test(NAME ${t} COMMAND ${t})
    set_tests_properties(${t} PROPERTIES ENVIRONMENT "${VORTILO_TEST_ENV}" TIMEOUT 600)
endforeach()

add_executable(walk_bench bench/walk_bench.cpp)
target_compile_options(walk_bench PRIVATE ${VORTILO_WARNINGS})
# psapi: the private bytes that a row costs.
target_link_libraries(walk_bench PRIVATE vortilo_search psapi)

include(cmake/pickers.cmake)
include(cmake/app.cmake)
include(cmake/gui_tests.cmake)
