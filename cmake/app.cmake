# The program itself: vortilo.exe and what tests its start-up code directly.

add_library(vortilo_app STATIC
    app/process.cpp
    app/dialog.cpp
    app/modal.cpp
    app/window.cpp
    app/events.cpp
    app/drag_out.cpp
    app/row_actions.cpp
    app/shell_menu.cpp
    app/exports.cpp
    app/hints.cpp
)
target_include_directories(vortilo_app PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(vortilo_app PRIVATE ${VORTILO_WARNINGS})
target_link_libraries(vortilo_app PUBLIC vortilo_results vortilo_pickers comctl32 ole32 oleaut32
                                         shell32 uuid)

# The .def file names the two exports and their ordinals. CMake passes a .def among the
# sources only for DLLs, so programs get it on the link line. On x86_64 there is one calling
# convention and the names carry no @ suffix.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(VORTILO_DEF ${CMAKE_SOURCE_DIR}/app/vortilo64.def)
else()
    set(VORTILO_DEF ${CMAKE_SOURCE_DIR}/app/vortilo.def)
endif()

# The version resource, filled in from project()'s version and this build's bitness.
enable_language(RC)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(VORTILO_FLAVOUR 64-bit)
else()
    set(VORTILO_FLAVOUR 32-bit)
endif()
configure_file(${CMAKE_SOURCE_DIR}/app/version.rc.in ${CMAKE_BINARY_DIR}/version.rc @ONLY)
# The manifest, named from app/manifest.rc by its path in the source tree.
set_source_files_properties(app/manifest.rc PROPERTIES
                            OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/app/vortilo.manifest)

# The program's icon: app/vortilo.svg rendered at each size Windows asks for, the largest kept
# as PNG, into one .ico that app/icon.rc links in and the downloads ship beside the program.
find_program(VORTILO_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(VORTILO_ICOTOOL icotool REQUIRED)
set(VORTILO_ICON ${CMAKE_BINARY_DIR}/vortilo.ico)
set(icon_commands)
set(icon_images)
foreach(size 16 20 24 32 40 48 64 256)
    set(image ${CMAKE_BINARY_DIR}/icon/${size}.png)
    list(APPEND icon_commands COMMAND ${VORTILO_RSVG_CONVERT} -w ${size} -h ${size} -o ${image}
                              ${CMAKE_SOURCE_DIR}/app/vortilo.svg)
    if(size EQUAL 256)
        list(APPEND icon_images -r ${image})
    else()
        list(APPEND icon_images ${image})
    endif()
endforeach()
add_custom_command(OUTPUT ${VORTILO_ICON}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icon
                   ${icon_commands}
                   COMMAND ${VORTILO_ICOTOOL} -c -b 32 -o ${VORTILO_ICON} ${icon_images}
                   DEPENDS ${CMAKE_SOURCE_DIR}/app/vortilo.svg
                   VERBATIM)
set_source_files_properties(app/icon.rc PROPERTIES OBJECT_DEPENDS ${VORTILO_ICON}
                                                   INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR})

# A GUI program (-mwindows).
add_executable(vortilo WIN32 app/main.cpp app/icon.rc ${VORTILO_ICON} app/manifest.rc
                             ${CMAKE_BINARY_DIR}/version.rc)
target_compile_options(vortilo PRIVATE ${VORTILO_WARNINGS})
target_link_libraries(vortilo PRIVATE vortilo_app)
# The walk goes one call deeper for each folder level, about a kilobyte each; paths of 32,767
# characters nest some 16,000 folders, past the default 2 MB of stack.
target_link_options(vortilo PRIVATE ${VORTILO_DEF} -Wl,--stack,33554432)
# The 32-bit program may use the whole 4 GB that 64-bit Windows gives a 32-bit process: nothing
# in it takes an address for a signed number. An x86_64 program is large-address-aware already.
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
    target_link_options(vortilo PRIVATE -Wl,--large-address-aware)
endif()
set_target_properties(vortilo PROPERTIES LINK_DEPENDS ${VORTILO_DEF})
set_target_properties(vortilo PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# Stand-ins for COMCTL32.DLL, with and without InitCommonControlsEx, beside app_tests.exe.
foreach(fake fake_comctl32_ex fake_comctl32_old)
    add_library(${fake} SHARED tests/win32/fake_comctl32.cpp)
    target_compile_options(${fake} PRIVATE ${VORTILO_WARNINGS})
    # Undecorated names, as GetProcAddress looks them up.
    target_link_options(${fake} PRIVATE -Wl,--kill-at)
    set_target_properties(${fake} PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endforeach()
target_compile_definitions(fake_comctl32_ex PRIVATE FAKE_COMCTL32_INIT_EX)

# Linked with the same .def, so the test can look the exports up by name and ordinal.
add_executable(app_tests tests/win32/app_test.cpp app/manifest.rc)
target_compile_options(app_tests PRIVATE ${VORTILO_WARNINGS})
# version: the test reads each file's version again on its own.
target_link_libraries(app_tests PRIVATE vortilo_app GTest::gtest_main version)
target_link_options(app_tests PRIVATE ${VORTILO_DEF})
set_target_properties(app_tests PROPERTIES LINK_DEPENDS ${VORTILO_DEF})
# It reads vortilo.exe's manifest.
add_dependencies(app_tests vortilo fake_comctl32_ex fake_comctl32_old)
add_test(NAME app_tests COMMAND app_tests)
set_tests_properties(app_tests PROPERTIES ENVIRONMENT "${VORTILO_TEST_ENV}" TIMEOUT 300)

# The machine type, exports and imports of the real program, read from its file by this build's
# own objdump.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(VORTILO_PE_FORMAT pei-x86-64)
else()
    set(VORTILO_PE_FORMAT pei-i386)
endif()
add_test(NAME app_pe_tables
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win32/pe_tables_test.sh $<TARGET_FILE:vortilo>
                 ${CMAKE_OBJDUMP} ${VORTILO_PE_FORMAT})
set_tests_properties(app_pe_tables PROPERTIES TIMEOUT 60)

# Whole searches run in process on the real Search window.
add_executable(search_window_tests tests/win32/search_window_test.cpp tests/win32/fixtures.cpp)
target_compile_options(search_window_tests PRIVATE ${VORTILO_WARNINGS})
target_link_libraries(search_window_tests PRIVATE vortilo_app GTest::gtest_main)
add_test(NAME search_window_tests COMMAND search_window_tests)
set_tests_properties(search_window_tests PROPERTIES ENVIRONMENT "${VORTILO_TEST_ENV}" TIMEOUT 300)
