# The desktop entry by which MATE's and Xfce's screen savers list the hack
# (they look in applications/screensavers/ of the XDG data folders). It is
# written when installing: its Exec names the program by its installed
# path, which the prefix given then decides. Reads what package.cmake says
# of the hack (HACK_NAME, HACK_LABEL, HACK_SUMMARY, HACK_DIR).
set(DESKTOP_ENTRY ${CMAKE_BINARY_DIR}/package/${HACK_NAME}.desktop)
install(CODE "
  set(HACK_PATH \"\${CMAKE_INSTALL_PREFIX}/${HACK_DIR}/${HACK_NAME}\")
  set(HACK_LABEL \"${HACK_LABEL}\")
  set(HACK_SUMMARY \"${HACK_SUMMARY}\")
  configure_file(\"${INSTALL_FILES}/brackwold.desktop.in\" \"${DESKTOP_ENTRY}\" @ONLY)")
install(FILES ${DESKTOP_ENTRY} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications/screensavers)
