# The Linux program: the command line, and the drop window when Qt is there.
include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Release builds are what the package ships: hardened as Debian builds its own.
if(CMAKE_BUILD_TYPE STREQUAL "Release")
  add_compile_options(-D_FORTIFY_SOURCE=2 -fstack-protector-strong -fstack-clash-protection -fcf-protection)
  add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()

add_library(cdb2xls_system STATIC app/dateien_posix.cpp)
target_link_libraries(cdb2xls_system PUBLIC cdb2xls_core)

add_executable(cdb2xls app/main_posix.cpp)
target_link_libraries(cdb2xls PRIVATE cdb2xls_system)

# The modules (the window, the workbook writer) lie beside the program in
# the build, and in a private folder under the multiarch library folder
# once installed, as Debian keeps plugins.
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(CDB2XLS_MODUL_ORDNER lib/${CMAKE_LIBRARY_ARCHITECTURE}/cdb2xls)
else()
  set(CDB2XLS_MODUL_ORDNER lib/cdb2xls)
endif()
# Without /proc and without the path it was started by, the program knows
# only the folders it was built for: the one under its install prefix and the
# one the Debian package puts the modules in.
set(CDB2XLS_MODUL_PFADE "\"${CMAKE_INSTALL_PREFIX}/${CDB2XLS_MODUL_ORDNER}\"")
if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  string(APPEND CDB2XLS_MODUL_PFADE ", \"/usr/${CDB2XLS_MODUL_ORDNER}\"")
endif()
target_sources(cdb2xls PRIVATE app/module_posix.cpp)
target_compile_definitions(cdb2xls PRIVATE CDB2XLS_MODUL_ORDNER="${CDB2XLS_MODUL_ORDNER}"
  "CDB2XLS_MODUL_PFADE=${CDB2XLS_MODUL_PFADE}")
target_link_libraries(cdb2xls PRIVATE ${CMAKE_DL_LIBS})

# --xlsx: the workbook, written by libxlsxwriter (Debian's libxlsxwriter-dev)
# in a module of its own, so that a plain run does not load it.
option(CDB2XLS_XLSX "Write Excel workbooks with --xlsx (libxlsxwriter)" ON)
add_library(cdb2xls_zelltext STATIC app/zelltext.cpp)
target_include_directories(cdb2xls_zelltext PUBLIC ${CMAKE_SOURCE_DIR})
set_target_properties(cdb2xls_zelltext PROPERTIES POSITION_INDEPENDENT_CODE ON)
if(CDB2XLS_XLSX)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
  find_package(ZLIB REQUIRED)
  add_library(cdb2xls_xlsx MODULE app/arbeitsmappe_xlsx.cpp app/mappenpruefung.cpp)
  target_link_libraries(cdb2xls_xlsx PRIVATE cdb2xls_zelltext PkgConfig::XLSXWRITER ZLIB::ZLIB)
  set_target_properties(cdb2xls_xlsx PROPERTIES PREFIX "" OUTPUT_NAME cdb2xls-xlsx
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR} CXX_VISIBILITY_PRESET hidden)
  target_sources(cdb2xls PRIVATE app/arbeitsmappe_laden.cpp)
  add_dependencies(cdb2xls cdb2xls_xlsx)
  install(TARGETS cdb2xls_xlsx LIBRARY DESTINATION ${CDB2XLS_MODUL_ORDNER} COMPONENT programm)
else()
  target_sources(cdb2xls PRIVATE app/arbeitsmappe_ohne.cpp)
endif()

if(CDB2XLS_QT)
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  include(cmake/qt.cmake)
else()
  target_sources(cdb2xls PRIVATE ui/ohne_fenster.cpp)
endif()

install(TARGETS cdb2xls RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT programm)
include(cmake/desktop.cmake)
include(cmake/paket.cmake)
