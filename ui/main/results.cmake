# The results list and the result actions.
#   ff_results_core - portable: rows and cell texts, sorting, the line filter, the shell-answer cache
#   ff_results      - Win32: the list control, the shell context menu and default verb
add_library(ff_results_core STATIC
    ${CMAKE_CURRENT_LIST_DIR}/ResultRows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ResultRowsFound.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LineFilter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ShellInfoCache.cpp)
target_link_libraries(ff_results_core PUBLIC ff_platform_headers)

if(FF_WIN32)
    add_library(ff_results STATIC
        ${CMAKE_CURRENT_LIST_DIR}/ItemProp.cpp
        ${CMAKE_CURRENT_LIST_DIR}/LineFilterWin32.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ResultsList.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ResultsListView.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ResultsListShell.cpp)
    target_link_libraries(ff_results PUBLIC ff_results_core ff_platform ${FF_WIN32_LIBS})
endif()
