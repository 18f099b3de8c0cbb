# cdb2xls-VERSION.msi, the Windows installer, built with wixl (Debian's
# wixl package) from res/cdb2xls.wxs.in: the files it installs are laid
# out in msi/ beside it, as wixl takes them by name.
find_program(CDB2XLS_WIXL wixl)
if(CDB2XLS_WIXL)
  set(CDB2XLS_MSI_VERSION ${PROJECT_VERSION_MAJOR}.${CDB2XLS_VERSION_NEBEN}.0)
  set(CDB2XLS_MSI_ORDNER ${CMAKE_BINARY_DIR}/msi)
  set(CDB2XLS_MSI ${CMAKE_BINARY_DIR}/cdb2xls-${PROJECT_VERSION}.msi)
  configure_file(res/cdb2xls.wxs.in ${CDB2XLS_MSI_ORDNER}/cdb2xls.wxs @ONLY)
  add_custom_command(OUTPUT ${CDB2XLS_MSI}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:cdb2xls> ${CMAKE_BINARY_DIR}/res/cdb2xls.ico ${CDB2XLS_LIESMICH}
            ${CDB2XLS_MSI_ORDNER}/
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/res/debian/copyright ${CDB2XLS_MSI_ORDNER}/Lizenz.txt
    COMMAND ${CMAKE_COMMAND} -E chdir ${CDB2XLS_MSI_ORDNER} ${CDB2XLS_WIXL} -a x64 -o ${CDB2XLS_MSI} cdb2xls.wxs
    DEPENDS cdb2xls ${CDB2XLS_MSI_ORDNER}/cdb2xls.wxs ${CDB2XLS_LIESMICH} ${CMAKE_SOURCE_DIR}/res/debian/copyright
    COMMENT "Building cdb2xls-${PROJECT_VERSION}.msi")
  add_custom_target(msi ALL DEPENDS ${CDB2XLS_MSI})
endif()
