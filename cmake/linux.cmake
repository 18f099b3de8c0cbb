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

if(CDB2XLS_QT)
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  include(cmake/qt.cmake)
else()
  target_sources(cdb2xls PRIVATE ui/ohne_fenster.cpp)
endif()

install(TARGETS cdb2xls RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT programm)
include(cmake/desktop.cmake)
include(cmake/paket.cmake)
