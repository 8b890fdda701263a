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

# ff_win32_test(NAME SOURCES... [LIBS libs...] [TIMEOUT s] [ALONE]): a Windows GoogleTest program run
# under Wine, one CTest entry (each Wine start costs about a second, so tests are not split per case).
# ALONE: the test types keys or expects the keyboard focus, which another test's window on the same
# display could take meanwhile; no other test runs beside it.
function(ff_win32_test name)
    if(NOT FF_WIN32)
        return()
    endif()
    cmake_parse_arguments(T "ALONE" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main ${FF_WIN32_LIBS})
    add_test(NAME win32.${name} COMMAND ${name} WORKING_DIRECTORY ${FF_OUT})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set_tests_properties(win32.${name} PROPERTIES TIMEOUT ${T_TIMEOUT} RUN_SERIAL ${T_ALONE})
endfunction()
