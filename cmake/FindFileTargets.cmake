# Helpers shared by the areas' CMakeLists.

# ff_host_test(NAME SOURCES... [LIBS libs...]): a native GoogleTest program, one CTest entry.
function(ff_host_test name)
    if(FF_WIN32)
        return()
    endif()
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
    add_test(NAME host.${name} COMMAND ${name})
endfunction()

# ff_test_on_own_screen(TEST GROUP DPI PROGRAM [ARGS...]): a CTest entry that runs a Windows program
# on a screen of its own at DPI (cmake/run-on-own-screen.sh), in the Wine prefix of its group
# (keyboard or dpi, see wine-run-GROUP.sh); no two entries of a group run at a time, but each runs
# beside the tests of the shared screen and those of the other group.
function(ff_test_on_own_screen test group dpi program)
    add_test(NAME ${test}
        COMMAND sh ${FF_ROOT}/cmake/run-on-own-screen.sh ${CMAKE_BINARY_DIR}/wine-run-${group}.sh
                ${CMAKE_BINARY_DIR}/wineprefix-${group} ${dpi} ${program} ${ARGN}
        WORKING_DIRECTORY ${FF_OUT})
    set_tests_properties(${test} PROPERTIES RESOURCE_LOCK wineprefix-${group})
endfunction()

# ff_win32_test(NAME SOURCES... [LIBS libs...] [TIMEOUT s] [ALONE] [WOW64]): a Windows GoogleTest
# program run under Wine, one CTest entry (each Wine start costs about a second, so tests are not
# split per case). ALONE: the test types keys or expects the keyboard focus, which another test's
# window on the same display could take meanwhile; it runs on a screen of its own. WOW64: the
# 32-bit build runs it in a 64-bit prefix, as on 64-bit Windows (alone: with no test beside it).
function(ff_win32_test name)
    if(NOT FF_WIN32)
        return()
    endif()
    cmake_parse_arguments(T "ALONE;WOW64" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main ${FF_WIN32_LIBS})
    set(serial OFF)
    if(T_WOW64 AND EXISTS ${CMAKE_BINARY_DIR}/wine-run-wow64.sh)
        add_test(NAME win32.${name} COMMAND ${CMAKE_BINARY_DIR}/wine-run-wow64.sh --display $<TARGET_FILE:${name}>
            WORKING_DIRECTORY ${FF_OUT})
        set(serial ${T_ALONE})
    elseif(T_ALONE)
        ff_test_on_own_screen(win32.${name} keyboard 96 $<TARGET_FILE:${name}>)
    else()
        add_test(NAME win32.${name} COMMAND ${name} WORKING_DIRECTORY ${FF_OUT})
    endif()
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set_tests_properties(win32.${name} PROPERTIES TIMEOUT ${T_TIMEOUT} RUN_SERIAL ${serial})
endfunction()

# ff_program(NAME [GUI] [NAMED] [STRIPPED] SOURCES... [LIBS libs...] [LINK_OPTIONS opts...]
#            [COMPILE_OPTIONS opts...]): a Windows program in the output folder.
# NAMED: linked twice, first without and then with a table of its functions and source lines in
# its resources (FFSYMBOLS, made from the first image by tools/symbol-table.py), which the
# exception report reads; the build fails if the two images' code differs. STRIPPED: the program
# ships without its debug information, which stays in bin/.debug/NAME.debug (with a debug link).
function(ff_program name)
    cmake_parse_arguments(P "GUI;NAMED;STRIPPED" "" "SOURCES;LIBS;LINK_OPTIONS;COMPILE_OPTIONS" ${ARGN})
    set(kind "")
    if(P_GUI)
        set(kind WIN32)
    endif()
    add_library(${name}_objects OBJECT ${P_SOURCES})
    target_compile_options(${name}_objects PRIVATE ${P_COMPILE_OPTIONS})
    target_link_libraries(${name}_objects PRIVATE ${P_LIBS})
    set(extra "")
    if(P_NAMED)
        add_executable(${name}_unnamed ${kind} $<TARGET_OBJECTS:${name}_objects>)
        set_target_properties(${name}_unnamed PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
        target_link_options(${name}_unnamed PRIVATE ${P_LINK_OPTIONS})
        target_link_libraries(${name}_unnamed PRIVATE ${P_LIBS})
        set(table ${CMAKE_CURRENT_BINARY_DIR}/${name}.sym)
        add_custom_command(OUTPUT ${table}
            COMMAND python3 ${FF_ROOT}/tools/symbol-table.py --tools ${FF_BINUTILS} --root ${FF_ROOT}
                    $<TARGET_FILE:${name}_unnamed> ${table}
            DEPENDS ${name}_unnamed ${FF_ROOT}/tools/symbol-table.py ${FF_ROOT}/tools/varint.py
            COMMENT "Symbol table of ${name}")
        set(extra ${CMAKE_CURRENT_BINARY_DIR}/${name}_symbols.rc)
        file(WRITE ${extra} "FFSYMBOLS RCDATA \"${table}\"\n")
        set_source_files_properties(${extra} PROPERTIES OBJECT_DEPENDS ${table})
    endif()
    add_executable(${name} ${kind} $<TARGET_OBJECTS:${name}_objects> ${extra})
    target_link_options(${name} PRIVATE ${P_LINK_OPTIONS})
    target_link_libraries(${name} PRIVATE ${P_LIBS})
    set(unnamed "-")
    if(P_NAMED)
        set(unnamed $<TARGET_FILE:${name}_unnamed>)
    endif()
    set(strip "")
    if(P_STRIPPED)
        set(strip --strip ${FF_OUT}/.debug)
    endif()
    if(P_NAMED OR P_STRIPPED)
        add_custom_command(TARGET ${name} POST_BUILD
            COMMAND ${FF_ROOT}/tools/finish-program.sh ${FF_BINUTILS} $<TARGET_FILE:${name}> ${unnamed} ${strip}
            VERBATIM)
    endif()
endfunction()
