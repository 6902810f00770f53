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

add_executable(gui_tests tests/gui/window_test.cpp tests/win32/fixtures.cpp)
target_compile_options(gui_tests PRIVATE ${VORTILO_WARNINGS})
target_link_libraries(gui_tests PRIVATE vortilo_driver vortilo_engine GTest::gtest_main)

# The tests start the program that this build makes.
if(TARGET vortilo)
    add_dependencies(gui_tests vortilo)
    set(VORTILO_EXE_UNDER_TEST $<TARGET_FILE:vortilo>)
else()
    set(VORTILO_EXE_UNDER_TEST ${CMAKE_BINARY_DIR}/vortilo.exe)
endif()
add_test(NAME gui_tests COMMAND gui_tests)
set_tests_properties(gui_tests PROPERTIES
    ENVIRONMENT "${VORTILO_TEST_ENV};VORTILO_EXE=${VORTILO_EXE_UNDER_TEST}"
    TIMEOUT 300)

# Whole searches through the window: rows, cells, cancelling, sorting.
add_executable(gui_search_tests tests/gui/search_test.cpp tests/gui/harness.cpp
                                tests/win32/fixtures.cpp)
target_compile_options(gui_search_tests PRIVATE ${VORTILO_WARNINGS})
target_link_libraries(gui_search_tests PRIVATE vortilo_driver vortilo_engine GTest::gtest_main)
add_dependencies(gui_search_tests vortilo)
add_test(NAME gui_search_tests COMMAND gui_search_tests)
set_tests_properties(gui_search_tests PROPERTIES
    ENVIRONMENT "${VORTILO_TEST_ENV};VORTILO_EXE=$<TARGET_FILE:vortilo>"
    TIMEOUT 300)

# What the controls and keys do: Reset, help, Enter, focus, opening a file, closing, Alt keys.
add_executable(gui_events_tests tests/gui/events_test.cpp tests/gui/harness.cpp
                                tests/win32/fixtures.cpp)
target_compile_options(gui_events_tests PRIVATE ${VORTILO_WARNINGS})
target_link_libraries(gui_events_tests PRIVATE vortilo_driver vortilo_engine GTest::gtest_main)
add_dependencies(gui_events_tests vortilo)
add_test(NAME gui_events_tests COMMAND gui_events_tests)
set_tests_properties(gui_events_tests PROPERTIES
    ENVIRONMENT "${VORTILO_TEST_ENV};VORTILO_EXE=$<TARGET_FILE:vortilo>"
    TIMEOUT 300)
