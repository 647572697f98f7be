# Install layout, desktop integration and the Debian package.
#   cmake --install build --prefix DIR               the game under DIR (see below)
#   cpack --config build/CPackConfig.cmake -G DEB    build/kelmorav_<version>_amd64.deb, which
#                                                    installs under /usr
# The version is the project's (CMakeLists.txt); the rest of what describes a release is here.
include(GNUInstallDirs)

set(KELMORAV_APP_ID org.kelmorav.kelmorav)
set(KELMORAV_RELEASE_DATE 2026-12-07)  # the date of PROJECT_VERSION; change the two together
set(KELMORAV_HOMEPAGE "https://kelmorav.org" CACHE STRING
    "Where the game and its screenshot are published (metadata and package)")
set(KELMORAV_MAINTAINER "The KELMORAV developers <developers@kelmorav.org>" CACHE STRING
    "The Maintainer field of the Debian package")
set(KELMORAV_SCREENSHOT_NAME kelmorav-match.png)

set(KELMORAV_DIST ${CMAKE_BINARY_DIR}/dist)
set(KELMORAV_SCREENSHOT ${KELMORAV_DIST}/${KELMORAV_SCREENSHOT_NAME})

# The icons, drawn by the data generator from the game's own art and palettes.
add_custom_command(OUTPUT ${KELMORAV_DIST}/icons.stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KELMORAV_DIST}/icons
  COMMAND kelmorav_datagen --icons ${KELMORAV_DIST}/icons/hicolor
  COMMAND ${CMAKE_COMMAND} -E touch ${KELMORAV_DIST}/icons.stamp
  DEPENDS kelmorav_datagen
  COMMENT "Drawing the desktop icons")

# The software centre's screenshot, from a headless run of the game just built.
configure_file(dist/screenshot.txt.in ${KELMORAV_DIST}/screenshot.txt @ONLY)
add_custom_command(OUTPUT ${KELMORAV_SCREENSHOT}
  COMMAND kelmorav --headless --seed 5 --script ${KELMORAV_DIST}/screenshot.txt
          --data ${CMAKE_BINARY_DIR}
  DEPENDS kelmorav kelmorav_data ${KELMORAV_DIST}/screenshot.txt
  COMMENT "Taking the screenshot of a match")

add_custom_target(kelmorav_dist ALL DEPENDS ${KELMORAV_DIST}/icons.stamp ${KELMORAV_SCREENSHOT})

# The manual page and the metadata carry the version and the addresses.
configure_file(dist/kelmorav.6 ${KELMORAV_DIST}/kelmorav.6 @ONLY)
configure_file(dist/kelmorav.metainfo.xml.in
               ${KELMORAV_DIST}/${KELMORAV_APP_ID}.metainfo.xml @ONLY)

# --- the install tree ----------------------------------------------------------------------
# bin/kelmorav finds its data in ../share/kelmorav, which it never writes into.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS kelmorav RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_BINARY_DIR}/DATA DESTINATION ${CMAKE_INSTALL_DATADIR}/kelmorav
        PATTERN .stamp EXCLUDE)
install(FILES dist/kelmorav.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${KELMORAV_DIST}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${KELMORAV_DIST}/${KELMORAV_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${KELMORAV_DIST}/kelmorav.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES README.md LICENSE dist/copyright ${KELMORAV_SCREENSHOT}
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# --- the Debian package ----------------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelmorav)
set(CPACK_PACKAGE_VENDOR "The KELMORAV developers")
set(CPACK_PACKAGE_CONTACT "${KELMORAV_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})  # the package lands in the build directory
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "board game of the shogi family for two players")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KELMORAV_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KELMORAV_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the game opens at run time besides its libraries: the brush, gothic and Latin faces of
# its texts and a General MIDI sound font for the music.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-aoyagi-kouzan-t, fonts-morisawa-bizud-gothic, fonts-vlgothic, fonts-dejavu-core, timgm6mb-soundfont | sf2-soundfont-gm")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "KELMORAV is a board game of the shogi family for two people who take turns
at one computer with the mouse; there is no computer player. Each side has up
to twenty pieces of eight kinds on a nine by nine board drawn as an isometric
diamond in 256 colours. Captured pieces pay points that buy new pieces to place
on any empty square, and a piece may be promoted in the far three rows. A title
menu burning in rising flames and a closing sequence with the credits in fire
stand around the match.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The package's changelog, and the staged tree laid out the Debian way (cmake/PackageLayout.cmake:
# the game in /usr/games, manual pages and changelog compressed). Variables named CPACK_*
# reach that script.
execute_process(COMMAND date -u -R -d "${KELMORAV_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE KELMORAV_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(dist/changelog.in ${KELMORAV_DIST}/changelog @ONLY)
set(CPACK_KELMORAV_CHANGELOG ${KELMORAV_DIST}/changelog)
set(CPACK_KELMORAV_DOCDIR ${CMAKE_INSTALL_DOCDIR})
set(CPACK_KELMORAV_MANDIR ${CMAKE_INSTALL_MANDIR})
set(CPACK_KELMORAV_BINDIR ${CMAKE_INSTALL_BINDIR})
set(CPACK_KELMORAV_DATADIR ${CMAKE_INSTALL_DATADIR})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageLayout.cmake)
include(CPack)

# The install tree, checked by installing into a temporary prefix.
add_test(NAME Install.Tree
         COMMAND ${CMAKE_SOURCE_DIR}/tests/install/install_tree.sh ${CMAKE_BINARY_DIR}
                 ${PROJECT_VERSION} ${KELMORAV_APP_ID})
