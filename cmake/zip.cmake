# cdb2xls-VERSION-win64.zip: the program and a short German read-me.
set(CDB2XLS_PAKET ${CMAKE_BINARY_DIR}/cdb2xls-${PROJECT_VERSION}-win64.zip)
add_custom_command(OUTPUT ${CDB2XLS_PAKET}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/paket
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:cdb2xls> ${CDB2XLS_LIESMICH} ${CMAKE_BINARY_DIR}/paket/
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/paket
          ${CMAKE_COMMAND} -E tar cf ${CDB2XLS_PAKET} --format=zip cdb2xls.exe LIESMICH.txt
  DEPENDS cdb2xls ${CDB2XLS_LIESMICH}
  COMMENT "Packing cdb2xls-${PROJECT_VERSION}-win64.zip")
add_custom_target(paket ALL DEPENDS ${CDB2XLS_PAKET})
