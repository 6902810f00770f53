# The UI driver and the end-to-end tests that start the real vortilo.exe.

# The driver: reads and operates the Search window of a running vortilo.exe from another
# process of the same Wine session.
add_library(vortilo_driver STATIC tests/gui/driver.cpp)
target_include_directories(vortilo_driver PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(vortilo_driver PUBLIC ${VORTILO_WIN32_DEFS})
target_compile_options(vortilo_driver PRIVATE ${VORTILO_WARNINGS})
target_link_libraries(vortilo_driver PUBLIC comctl32)

# The driver from the command line (a console program).
add_executable(vdrive tests/gui/vdrive.cpp)
target_compile_options(vdrive PRIVATE ${VORTILO_WARNINGS})
target_link_libraries(vdrive PRIVATE vortilo_driver)
set_target_properties(vdrive PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# A whole search from the real window, driven through the driver (scripts/bench runs it).
# It loads sleep_log.dll into the program to time the program's own sleeps.
add_library(sleep_log SHARED bench/sleep_log.cpp)
target_include_directories(sleep_log PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(sleep_log PRIVATE ${VORTILO_WARNINGS})
set_target_properties(sleep_log PROPERTIES PREFIX "")
add_executable(window_bench bench/window_bench.cpp)
target_compile_options(window_bench PRIVATE ${VORTILO_WARNINGS})
target_link_libraries(window_bench PRIVATE vortilo_driver)
add_dependencies(window_bench vortilo sleep_log)

# The DLL that the release test plants beside the programs under the names of Windows' own.
add_library(planted SHARED tests/release/planted_dll.cpp)
target_compile_definitions(planted PRIVATE WIN32_LEAN_AND_MEAN)
target_compile_options(planted PRIVATE ${VORTILO_WARNINGS})
# Undecorated names, as a program's imports name them.
target_link_options(planted PRIVATE -Wl,--kill-at)
set_target_properties(planted PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# End-to-end tests that share the harness: each a program of its own, run against this build's
# vortilo.exe.
function(vortilo_gui_program name source)
    add_executable(${name} ${source} tests/gui/harness.cpp tests/win32/fixtures.cpp)
    target_compile_options(${name} PRIVATE ${VORTILO_WARNINGS})
    target_link_libraries(${name} PRIVATE vortilo_driver vortilo_search GTest::gtest_main)
    add_dependencies(${name} vortilo)
endfunction()

function(vortilo_gui_test name source)
    vortilo_gui_program(${name} ${source})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "${VORTILO_TEST_ENV};VORTILO_EXE=$<TARGET_FILE:vortilo>"
        TIMEOUT 300)
endfunction()

# The window as start-up builds it, the command line, the keyboard, the ways out.
vortilo_gui_test(gui_tests tests/gui/window_test.cpp)
# Whole searches through the window: rows, cells, cancelling, sorting.
vortilo_gui_test(gui_search_tests tests/gui/search_test.cpp)
# What the controls and keys do: Reset, help, Enter, focus, pickers, opening a file, closing.
vortilo_gui_test(gui_events_tests tests/gui/events_test.cpp)

# Under other languages: one program run twice, each time in the Wine prefix of one locale
# (tests/wine-run) with the tests of that locale's code page. scripts/test starts the Wine
# session of each locale named here (VORTILO_TEST_LOCALES in scripts/lib.sh).
vortilo_gui_program(gui_locale_tests tests/gui/locale_test.cpp)
function(vortilo_locale_test name locale tests)
    add_test(NAME ${name} COMMAND gui_locale_tests --gtest_filter=${tests})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "${VORTILO_TEST_ENV};VORTILO_EXE=$<TARGET_FILE:vortilo>;VORTILO_LOCALE=${locale}"
        TIMEOUT 300)
endfunction()
# Code page 932: double-byte, with second bytes 0x5C and ASCII letters.
vortilo_locale_test(gui_locale_932_tests ja_JP.UTF-8 Cp932.*)
# UTF-8 (65001), which Wine gives a locale without an ANSI code page of its own.
vortilo_locale_test(gui_locale_utf8_tests hi_IN.UTF-8 Utf8.*)

# A window of another program that notes what is dropped on it (gui_events_tests drags there).
add_executable(drop_target tests/gui/drop_target.cpp)
target_include_directories(drop_target PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(drop_target PRIVATE ${VORTILO_WIN32_DEFS})
target_compile_options(drop_target PRIVATE ${VORTILO_WARNINGS})
target_link_libraries(drop_target PRIVATE ole32 shell32)
set_target_properties(drop_target PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
add_dependencies(gui_events_tests drop_target)
