# SPDX-License-Identifier: GPL-3.0-or-later
# Run by cpack on the staged files of the Debian package: Debian keeps the
# programs of its games section in /usr/games (on every user's PATH), so the
# executable moves there from /usr/bin. The data folder stays one level up
# (/usr/share/vortigo), where the program looks for it. The desktop entry
# names the program by its full path, for sessions whose PATH lacks
# /usr/games.
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/vortigo")
if(NOT staged)
  message(FATAL_ERROR "the staged package has no bin/vortigo under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
foreach(program IN LISTS staged)
  get_filename_component(bin "${program}" DIRECTORY)
  get_filename_component(usr "${bin}" DIRECTORY)
  file(MAKE_DIRECTORY "${usr}/games")
  file(RENAME "${program}" "${usr}/games/vortigo")
  file(GLOB left "${bin}/*")
  if(NOT left)
    file(REMOVE_RECURSE "${bin}")
  endif()
  file(GLOB entries "${usr}/share/applications/*.desktop")
  foreach(entry IN LISTS entries)
    file(READ "${entry}" text)
    string(REGEX REPLACE "\nExec=vortigo\n" "\nExec=/usr/games/vortigo\n" text "${text}")
    file(WRITE "${entry}" "${text}")
  endforeach()
endforeach()
