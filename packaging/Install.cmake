# Installing and packaging: `cmake --install` lays out an installed Ramvel, CPack makes a Debian
# package of it (scripts/package.sh). The installed program finds its share folder beside bin
# (../share/ramvel) and keeps the user's files in the user's data folder (engine/UrwProgDirs.h).

# ramvel-mkicon renders the icon's PNG from the SVG the windows carry, so that the two never differ.
add_executable(ramvel-mkicon ${CMAKE_SOURCE_DIR}/tools/icon/MkIconMain.cpp)
target_link_libraries(ramvel-mkicon PRIVATE ramvel_ui)
ramvel_warnings(ramvel-mkicon)

set(RAMVEL_ICON_PNG ${CMAKE_BINARY_DIR}/desktop/ramvel.png)
set(RAMVEL_MAN_CLI ${CMAKE_BINARY_DIR}/desktop/ramvel-cli.1)
set(RAMVEL_MAN ${CMAKE_BINARY_DIR}/desktop/ramvel.1)
add_custom_command(
  OUTPUT ${RAMVEL_ICON_PNG}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/desktop
  COMMAND ramvel-mkicon ${RAMVEL_ICON_PNG} 256
  DEPENDS ramvel-mkicon ${CMAKE_SOURCE_DIR}/packaging/ramvel.svg
  COMMENT "Rendering the icon")
add_custom_command(
  OUTPUT ${RAMVEL_MAN_CLI}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/desktop
  COMMAND ${CMAKE_COMMAND} -DPROG=$<TARGET_FILE:ramvel-cli> -DNAME=ramvel-cli
          "-DSUMMARY=the command-line companion of Ramvel"
          "-DSYNOPSIS=COMMAND ARGS..." -DOUT=${RAMVEL_MAN_CLI}
          -P ${CMAKE_SOURCE_DIR}/scripts/manpage.cmake
  DEPENDS ramvel-cli ${CMAKE_SOURCE_DIR}/scripts/manpage.cmake
  COMMENT "Writing the man page of ramvel-cli")
add_custom_command(
  OUTPUT ${RAMVEL_MAN}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/desktop
  COMMAND ${CMAKE_COMMAND} -DPROG=$<TARGET_FILE:ramvel> -DNAME=ramvel
          "-DSUMMARY=railway layout designer and timetable simulator"
          "-DSYNOPSIS=[BOARD]" -DOUT=${RAMVEL_MAN}
          -P ${CMAKE_SOURCE_DIR}/scripts/manpage.cmake
  DEPENDS ramvel ${CMAKE_SOURCE_DIR}/scripts/manpage.cmake
  COMMENT "Writing the man page of ramvel")
add_custom_target(ramvel_desktop ALL DEPENDS ${RAMVEL_ICON_PNG} ${RAMVEL_MAN_CLI} ${RAMVEL_MAN})

# What is installed is built by scripts/package.sh (or the whole build) beforehand; installing
# does not build the tests first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS ramvel ramvel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
set(RAMVEL_SHARE ${CMAKE_INSTALL_DATADIR}/ramvel)
install(FILES ${CMAKE_SOURCE_DIR}/data/rw_panel.txt ${CMAKE_SOURCE_DIR}/data/rw_tbl.txt
        DESTINATION ${RAMVEL_SHARE})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/help DESTINATION ${RAMVEL_SHARE})
# Each sample board is a board folder of the share folder, as beside the executable in a build.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/boards/ DESTINATION ${RAMVEL_SHARE})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/ramvel.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/ramvel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${RAMVEL_ICON_PNG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES ${RAMVEL_MAN_CLI} ${RAMVEL_MAN} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# ---- The Debian package ------------------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ramvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Ramvel developers <ramvel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "railway layout designer and timetable simulator")
# One string: set() would join several with ";".
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Ramvel lets you draw a railway on a terrain, design its stations track by track, give its\n"
    "trains timetables free of conflicts and watch them run. The interface is Japanese.\n"
    "ramvel-cli checks, draws and converts boards from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
# The Qt and C++ libraries come from what the binaries link (dpkg-shlibdeps); the rest are what
# they load at run time: the platform plugins to open a window, the font the drawing asks for and
# Qt's own Japanese texts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-gothic, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
include(CPack)
