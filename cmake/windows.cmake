# The Windows program, cross-built with mingw-w64: static runtime, GUI
# subsystem, wide entry point, icon and version record.
enable_language(RC)

# The .ico comes from the same pixel map as the Linux window's icon.
include(cmake/symbol.cmake)
cdb2xls_symbol(${CMAKE_BINARY_DIR}/res/cdb2xls.ico ico)
set_source_files_properties(res/cdb2xls.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_BINARY_DIR}/res/cdb2xls.ico;${CMAKE_BINARY_DIR}/res/version.h")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001 -I${CMAKE_BINARY_DIR}/res -I${CMAKE_SOURCE_DIR}/res")

add_library(cdb2xls_system STATIC
  app/dateien_win32.cpp
  app/text_win32.cpp
  ui/win32/form1.cpp)
target_compile_definitions(cdb2xls_system PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
target_link_libraries(cdb2xls_system PUBLIC cdb2xls_core shell32 gdi32 user32)

add_executable(cdb2xls WIN32 app/main_win32.cpp res/cdb2xls.rc)
target_link_libraries(cdb2xls PRIVATE cdb2xls_system)
target_link_options(cdb2xls PRIVATE -municode)

# No DLLs beside the .exe: it runs on a bare Windows.
add_link_options(-static -static-libgcc -static-libstdc++)
target_link_options(cdb2xls PRIVATE -static -static-libgcc -static-libstdc++)


# cdb2xls-2.03-win64.zip: the program and a short German read-me.
set(CDB2XLS_PAKET ${CMAKE_BINARY_DIR}/cdb2xls-${PROJECT_VERSION}-win64.zip)
add_custom_command(OUTPUT ${CDB2XLS_PAKET}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/paket
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:cdb2xls> ${CMAKE_SOURCE_DIR}/res/LIESMICH.txt ${CMAKE_BINARY_DIR}/paket/
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/paket
          ${CMAKE_COMMAND} -E tar cf ${CDB2XLS_PAKET} --format=zip cdb2xls.exe LIESMICH.txt
  DEPENDS cdb2xls ${CMAKE_SOURCE_DIR}/res/LIESMICH.txt
  COMMENT "Packing cdb2xls-${PROJECT_VERSION}-win64.zip")
add_custom_target(paket ALL DEPENDS ${CDB2XLS_PAKET})
