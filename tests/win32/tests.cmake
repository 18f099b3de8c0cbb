# Tests of the Windows build, run under wine in a prefix of the build's own.
# With the program's own resources, so the window gets its icon as in cdb2xls.exe.
add_executable(fenster_test win32/fenster_test.cpp ${PROJECT_SOURCE_DIR}/res/cdb2xls.rc)
target_link_libraries(fenster_test PRIVATE cdb2xls_win32 version)
target_link_options(fenster_test PRIVATE -municode)

set(WINE_UMGEBUNG CDB2XLS_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix)

add_test(NAME fixtures_wine
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/fixtures.sh ${CMAKE_CURRENT_SOURCE_DIR}/fixtures
          bash ${CMAKE_CURRENT_SOURCE_DIR}/win32/wine.sh $<TARGET_FILE:cdb2xls>)
add_test(NAME fenster_wine
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/win32/fenster.sh $<TARGET_FILE:fenster_test>
          ${CMAKE_CURRENT_SOURCE_DIR}/fixtures $<TARGET_FILE:cdb2xls>)
# One prefix, one wine server: the tests take turns.
set_tests_properties(fixtures_wine fenster_wine PROPERTIES ENVIRONMENT "${WINE_UMGEBUNG}" RESOURCE_LOCK wineprefix)
add_dependencies(fenster_test cdb2xls)  # the icon is made for cdb2xls first
