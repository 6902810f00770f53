# The start-folder picker and the file picker.

add_library(vortilo_pickers STATIC
    pickers/folder_picker.cpp
    pickers/file_picker.cpp
)
target_include_directories(vortilo_pickers PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(vortilo_pickers PRIVATE ${VORTILO_WARNINGS})
target_link_libraries(vortilo_pickers PUBLIC vortilo_search shell32 comdlg32 ole32)

# The real dialogs, opened in process and driven from a second thread.
add_executable(pickers_tests
    tests/win32/fixtures.cpp
    tests/win32/pickers_test.cpp
)
target_compile_options(pickers_tests PRIVATE ${VORTILO_WARNINGS})
target_link_libraries(pickers_tests PRIVATE vortilo_pickers GTest::gtest_main)
add_test(NAME pickers_tests COMMAND pickers_tests)
set_tests_properties(pickers_tests PROPERTIES ENVIRONMENT "${VORTILO_TEST_ENV}" TIMEOUT 600)
