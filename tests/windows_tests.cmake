# Tests of the Windows build, run under Wine: the unit tests cross-built, the export and import
# tables, and the shared plug-in cases driven by a native test program that starts the feed
# server and runs the Windows test host under Wine. The tool-chain file names the Wine loader and
# wineserver of the build's bitness; every test that runs Wine carries the label "wine", so that
# a machine that cannot run that Wine can still check the export and import tables.
include(ExternalProject)

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(FEEDLINE_WINE_ENV
  WINELOADER=${FEEDLINE_WINE_LOADER}
  WINESERVER=${FEEDLINE_WINE_SERVER}
  WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix
  WINEDEBUG=-all
  WINEDLLOVERRIDES=mscoree,mshtml=)

# Creates the Wine prefix once, before any test uses it.
add_test(NAME wine_prefix COMMAND ${FEEDLINE_WINE_LOADER} wineboot --init)
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine LABELS wine
                     ENVIRONMENT "${FEEDLINE_WINE_ENV}")

function(feedline_wine_test name)
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine LABELS wine
                       ENVIRONMENT "${FEEDLINE_WINE_ENV}")
endfunction()

add_executable(feedline_unit_tests
  unit/agent_name_test.cpp
  unit/agent_name_windows_test.cpp
  unit/body_inflater_test.cpp
  unit/check_report_test.cpp
  unit/download_outcome_test.cpp
  unit/entry_selection_test.cpp
  unit/item_selection_test.cpp
  unit/number_parse_test.cpp
  unit/fetch_call_test.cpp
  unit/text_search_test.cpp)
target_link_libraries(feedline_unit_tests PRIVATE feedline_core feedline_download feedline_inflate
                      feedline_check_report feedline_compressed_bodies gtest_main)
add_test(NAME feedline_unit_tests COMMAND feedline_unit_tests)
feedline_wine_test(feedline_unit_tests)
set_property(TEST feedline_unit_tests APPEND PROPERTY LABELS unit)

add_test(NAME feedline_exports
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/check_exports.sh windows $<TARGET_FILE:feedline>
          ${CMAKE_OBJDUMP} ${FEEDLINE_WINDOWS_ARCH})

# The DLL's version resource, read back as Windows shows it in the file's Properties.
add_executable(feedline_version_check integration/version_check_windows.cpp)
target_compile_definitions(feedline_version_check PRIVATE FEEDLINE_VERSION="${PROJECT_VERSION}")
target_link_libraries(feedline_version_check PRIVATE version)
add_dependencies(feedline_version_check feedline)
add_test(NAME feedline_version_resource
  COMMAND feedline_version_check $<TARGET_FILE:feedline> feedline.dll)
feedline_wine_test(feedline_version_resource)
add_test(NAME feedline_check_version_resource
  COMMAND feedline_version_check $<TARGET_FILE:feedline-check> feedline-check.exe)
feedline_wine_test(feedline_check_version_resource)

add_executable(feedline_test_host
  integration/windows_test_host.cpp
  integration/plugin_loader_windows.cpp
  integration/plugin_script.cpp
  support/process_memory_windows.cpp)
target_link_libraries(feedline_test_host PRIVATE feedline_common)
add_dependencies(feedline_test_host feedline)

# A plug-in that ends its process or floods debug lines, for the checker's tests.
add_library(feedline_misbehaving_dll MODULE integration/misbehaving_dll_windows.cpp)
set_target_properties(feedline_misbehaving_dll PROPERTIES PREFIX "")
target_link_options(feedline_misbehaving_dll PRIVATE -static -Wl,--kill-at)

# The native side: the integration test program built for this machine.
ExternalProject_Add(native_integration_tests
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/native
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON
  BUILD_COMMAND ${CMAKE_COMMAND} --build . --target feedline_integration_tests
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)
# In a network of its own, with a Wine prefix of its own whose wineserver starts in there too.
add_test(NAME feedline_integration_wine
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/isolated-network ${CMAKE_CURRENT_SOURCE_DIR}/wine-in-namespace
          ${CMAKE_BINARY_DIR}/native/tests/feedline_integration_tests --gtest_filter=Cases/UnderWine.*)
# feedline-check.exe against the same server, from the table the Linux host's --check runs.
add_test(NAME feedline_checker_wine
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/isolated-network ${CMAKE_CURRENT_SOURCE_DIR}/wine-in-namespace
          ${CMAKE_BINARY_DIR}/native/tests/feedline_integration_tests
          --gtest_filter=CheckCases/WineCheck.*:WineChecker.*)
add_dependencies(feedline-check feedline_misbehaving_dll)
set_tests_properties(feedline_checker_wine PROPERTIES LABELS "wine;network" SKIP_RETURN_CODE 77 ENVIRONMENT
  "WINELOADER=${FEEDLINE_WINE_LOADER};WINESERVER=${FEEDLINE_WINE_SERVER};WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-check;WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=;FEEDLINE_WINE_CHECKER=$<TARGET_FILE:feedline-check>;FEEDLINE_WINE_MISBEHAVING_DLL=$<TARGET_FILE:feedline_misbehaving_dll>")
set_tests_properties(feedline_integration_wine PROPERTIES LABELS "wine;network;slow" SKIP_RETURN_CODE 77 ENVIRONMENT
  "WINELOADER=${FEEDLINE_WINE_LOADER};WINESERVER=${FEEDLINE_WINE_SERVER};WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-network;WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=;FEEDLINE_WINE_HOST=$<TARGET_FILE:feedline_test_host>")
