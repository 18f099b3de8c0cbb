# The program's icon in every size a platform needs, made at build time from
# its one source, res/cdb2xls.xpm, by a small tool of ours (res/symbol.cpp)
# built for the build machine, also when the program is cross-built.
find_program(CDB2XLS_HOST_CXX NAMES c++ g++ REQUIRED)
set(CDB2XLS_SYMBOL ${CMAKE_BINARY_DIR}/host/symbol)
set(CDB2XLS_XPM ${CMAKE_SOURCE_DIR}/res/cdb2xls.xpm)
add_custom_command(OUTPUT ${CDB2XLS_SYMBOL}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
  COMMAND ${CDB2XLS_HOST_CXX} -std=c++20 -O2 -o ${CDB2XLS_SYMBOL} ${CMAKE_SOURCE_DIR}/res/symbol.cpp
  DEPENDS ${CMAKE_SOURCE_DIR}/res/symbol.cpp
  COMMENT "Building the icon tool for the build machine")

# cdb2xls_symbol(AUSGABE ART [GROESSE]): the icon as AUSGABE (png, svg or ico).
function(cdb2xls_symbol ausgabe art)
  get_filename_component(ordner ${ausgabe} DIRECTORY)
  add_custom_command(OUTPUT ${ausgabe}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ordner}
    COMMAND ${CDB2XLS_SYMBOL} ${CDB2XLS_XPM} ${art} ${ARGN} ${ausgabe}
    DEPENDS ${CDB2XLS_SYMBOL} ${CDB2XLS_XPM}
    VERBATIM)
endfunction()
