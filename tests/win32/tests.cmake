# Tests of the Windows build, run under wine in a prefix of the build's own.
# With the program's own resources, so the window gets its icon as in cdb2xls.exe.
add_executable(fenster_test win32/fenster_test.cpp ${PROJECT_SOURCE_DIR}/res/cdb2xls.rc)
target_link_libraries(fenster_test PRIVATE cdb2xls_ui cdb2xls_arbeitsmappe cdb2xls_system version)
target_link_options(fenster_test PRIVATE -municode)

set(WINE_UMGEBUNG CDB2XLS_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix)

add_test(NAME fixtures_wine
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/fixtures.sh ${CMAKE_CURRENT_SOURCE_DIR}/fixtures
          bash ${CMAKE_CURRENT_SOURCE_DIR}/win32/wine.sh $<TARGET_FILE:cdb2xls>)
add_test(NAME fenster_wine
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/win32/fenster.sh $<TARGET_FILE:fenster_test>
          ${CMAKE_CURRENT_SOURCE_DIR}/fixtures $<TARGET_FILE:cdb2xls>)
add_test(NAME kanten_wine
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/win32/kanten.sh $<TARGET_FILE:cdb2xls> ${CMAKE_CURRENT_SOURCE_DIR}/fixtures)
set(CDB2XLS_WINE_TESTS fixtures_wine fenster_wine kanten_wine)
# --xlsx against the Linux program's workbooks, where both are built.
set(CDB2XLS_LINUX_PROGRAMM "" CACHE FILEPATH "cdb2xls built for Linux, whose workbooks the Windows program's must equal")
if(CDB2XLS_WIN_BIBLIOTHEKEN AND CDB2XLS_LINUX_PROGRAMM)
  add_test(NAME xlsx_wine
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/win32/xlsx.sh $<TARGET_FILE:cdb2xls> ${CDB2XLS_LINUX_PROGRAMM}
            ${CMAKE_CURRENT_SOURCE_DIR}/fixtures)
  list(APPEND CDB2XLS_WINE_TESTS xlsx_wine)
endif()
# The installer, where wixl built it.
find_program(MSIINFO msiinfo)
if(CDB2XLS_WIXL AND MSIINFO)
  add_test(NAME msi_wine
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/win32/msi.sh ${CMAKE_BINARY_DIR}/cdb2xls-${PROJECT_VERSION}.msi
            ${CMAKE_CURRENT_SOURCE_DIR}/fixtures)
  list(APPEND CDB2XLS_WINE_TESTS msi_wine)
endif()
# One prefix, one wine server: the tests take turns.
set_tests_properties(${CDB2XLS_WINE_TESTS} PROPERTIES ENVIRONMENT "${WINE_UMGEBUNG}" RESOURCE_LOCK wineprefix)
add_dependencies(fenster_test cdb2xls)  # the icon is made for cdb2xls first

# cdb2xls.exe must run on a bare Windows: no DLLs but the system's own.
find_program(MINGW_OBJDUMP NAMES x86_64-w64-mingw32-objdump)
if(MINGW_OBJDUMP)
  add_test(NAME nur_systembibliotheken
    COMMAND bash -c "dlls=$(${MINGW_OBJDUMP} -p \"$1\" | awk '/DLL Name:/ { print toupper($3) }' | sort | tr '\\n' ' ')
                     echo \"$dlls\"
                     for d in $dlls; do case $d in KERNEL32.DLL|USER32.DLL|GDI32.DLL|SHELL32.DLL|ADVAPI32.DLL|MSVCRT.DLL) ;; *) exit 1 ;; esac; done"
            _ $<TARGET_FILE:cdb2xls>)
endif()
