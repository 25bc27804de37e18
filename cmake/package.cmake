# Installing the Linux program where Debian's XScreenSaver looks for hacks,
# with its settings description and manual page, and packaging that as a
# .deb with CPack (scripts/build.sh --deb). Use the prefix /usr.
include(GNUInstallDirs)
set(INSTALL_FILES ${CMAKE_SOURCE_DIR}/platform/posix/install)

# Debian wants manual pages and changelogs compressed, without a timestamp.
# (Makefile generators do not create a custom command's output folder.)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(SETTINGS_XML ${CMAKE_BINARY_DIR}/package/brackwold.xml)
set(MAN_PAGE ${CMAKE_BINARY_DIR}/package/brackwold.6.gz)
set(CHANGELOG ${CMAKE_BINARY_DIR}/package/changelog.gz)
# The settings' ranges and defaults come from the program's --help, which
# prints the settings table, and the version from the project: written once.
set(FILL_FACTS ${Python3_EXECUTABLE} ${INSTALL_FILES}/facts.py $<TARGET_FILE:brackwold> ${PROJECT_VERSION})
add_custom_command(OUTPUT ${SETTINGS_XML} ${MAN_PAGE}
  COMMAND ${FILL_FACTS} ${INSTALL_FILES}/brackwold.xml ${SETTINGS_XML}
  COMMAND ${FILL_FACTS} ${INSTALL_FILES}/brackwold.6 ${CMAKE_BINARY_DIR}/package/brackwold.6
  COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/package/brackwold.6 > ${MAN_PAGE}
  DEPENDS brackwold ${INSTALL_FILES}/facts.py ${INSTALL_FILES}/brackwold.xml ${INSTALL_FILES}/brackwold.6
  COMMENT "Filling in the settings description and the manual page")
add_custom_command(OUTPUT ${CHANGELOG}
  COMMAND gzip -9nc ${INSTALL_FILES}/changelog > ${CHANGELOG}
  DEPENDS ${INSTALL_FILES}/changelog
  COMMENT "Compressing the changelog")
add_custom_target(package_docs ALL DEPENDS ${SETTINGS_XML} ${MAN_PAGE} ${CHANGELOG})

install(TARGETS brackwold RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
install(FILES ${SETTINGS_XML} DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
install(FILES ${MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${INSTALL_FILES}/copyright ${CHANGELOG} DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brackwold)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Brackwold! developers")
set(CPACK_PACKAGE_CONTACT "The Brackwold! developers <brackwold@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "cartoon figures on a bouncing OpenGL stage (screen saver)")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "\
Five cartoon figures, built every frame from lit OpenGL quadrics, take
turns on a square stage that drifts across the screen and bounces off its
edges; they spin, blink and say their voice lines. It runs as an
XScreenSaver hack (brackwold --root) or as a full-screen saver of its own.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps names the run-time libraries the program links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xscreensaver")
include(CPack)
