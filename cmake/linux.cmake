# The Linux program: the command line, and the drop window when Qt is there.
add_library(cdb2xls_system STATIC app/dateien_posix.cpp)
target_link_libraries(cdb2xls_system PUBLIC cdb2xls_core)

add_executable(cdb2xls app/main_posix.cpp)
target_link_libraries(cdb2xls PRIVATE cdb2xls_system)

include(GNUInstallDirs)
if(CDB2XLS_QT)
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  include(cmake/qt.cmake)
else()
  target_sources(cdb2xls PRIVATE ui/ohne_fenster.cpp)
endif()

install(TARGETS cdb2xls RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
