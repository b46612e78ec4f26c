# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package of the game, made from the install rules:
#   cpack -G DEB        (in the build folder, after building)
# The libraries come from dpkg-shlibdeps; the two font packages are loaded by
# the game at run time, so no library scan can find them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vortigo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Vortigo authors")
set(CPACK_PACKAGE_CONTACT "${VORTIGO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "word-search puzzle game in Italian")
set(CPACK_PACKAGE_DESCRIPTION
"Each round of Vortigo hides 4 to 20 words from an Italian, English or Latin
dictionary in a grid of letters, in eight directions, crossing where their
letters agree. The player clicks every letter of a word, in any order, before
the time runs out and without running out of errors; the grid grows round
after round. The 50 best results are kept. The interface is in Italian.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VORTIGO_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wine, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Games live in /usr/games in a Debian package.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/debian_games_folder.cmake)

include(CPack)
