# Installing the Linux program where Debian's XScreenSaver looks for hacks,
# with its settings description, the desktop entry of the screen savers
# that read those, and the manual page, and packaging that as a .deb with
# CPack (scripts/build.sh --deb). Use the prefix /usr.
include(GNUInstallDirs)
set(INSTALL_FILES ${CMAKE_SOURCE_DIR}/platform/posix/install)

# The hack as its hosts' descriptions name it, said once for all of them.
set(HACK_NAME brackwold)
set(HACK_LABEL "Brackwold!")
set(HACK_SUMMARY "Five cartoon figures take turns on a square stage that drifts across the screen and bounces off its edges.")
set(HACK_DIR ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)

# Debian wants manual pages and changelogs compressed, without a timestamp.
# (Makefile generators do not create a custom command's output folder.)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(MAN_PAGE ${CMAKE_BINARY_DIR}/package/brackwold.6.gz)
set(CHANGELOG ${CMAKE_BINARY_DIR}/package/changelog.gz)
add_custom_command(OUTPUT ${MAN_PAGE} ${CHANGELOG}
  COMMAND gzip -9nc ${INSTALL_FILES}/brackwold.6 > ${MAN_PAGE}
  COMMAND gzip -9nc ${INSTALL_FILES}/changelog > ${CHANGELOG}
  DEPENDS ${INSTALL_FILES}/brackwold.6 ${INSTALL_FILES}/changelog
  COMMENT "Compressing the manual page and the changelog")
add_custom_target(package_docs ALL DEPENDS ${MAN_PAGE} ${CHANGELOG})
configure_file(${INSTALL_FILES}/brackwold.xml.in ${CMAKE_BINARY_DIR}/package/${HACK_NAME}.xml @ONLY)

install(TARGETS brackwold RUNTIME DESTINATION ${HACK_DIR})
install(FILES ${CMAKE_BINARY_DIR}/package/${HACK_NAME}.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
include(cmake/desktop_entry.cmake)
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
edges; they spin, blink and say their voice lines. It runs as a hack of
XScreenSaver, MATE's screen saver or xsecurelock (brackwold --root), or
as a full-screen saver of its own.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The prefix the package installs to, not its staging folder, is what the
# desktop entry's Exec must name: stage through DESTDIR.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX ${CPACK_PACKAGING_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps names the run-time libraries the program links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xscreensaver")
include(CPack)
