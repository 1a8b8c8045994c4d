# Run by "cmake --install": the menu entry under the prefix's share folder,
# starting the program where this install puts it.
set(ORDER_PROGRAM "${CMAKE_INSTALL_PREFIX}/${ORDER_PROGRAMDIR}/orderregistrering")
configure_file("${ORDER_MENU_ENTRY}" "${ORDER_WORK_DIR}/orderregistrering.desktop" @ONLY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${ORDER_DATADIR}/applications" TYPE FILE
     FILES "${ORDER_WORK_DIR}/orderregistrering.desktop")
