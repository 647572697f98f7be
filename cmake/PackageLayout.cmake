# Run by cpack on the staged tree before it packs it (CPACK_PRE_BUILD_SCRIPTS), to lay it out the
# Debian way: the program of a game in /usr/games (it still finds its data as
# ../share/kelmorav), the menu entry starting it from there, manual pages compressed, and the
# package's changelog beside its copyright, compressed. gzip -n leaves no time stamps in the
# files, so the package builds the same each time.
function(layout_fail what)
  message(FATAL_ERROR "PackageLayout: ${what} (staged tree ${CPACK_TEMPORARY_DIRECTORY})")
endfunction()

function(layout_gzip file)
  execute_process(COMMAND gzip -9nf "${file}" RESULT_VARIABLE failed)
  if(failed)
    layout_fail("gzip ${file} failed")
  endif()
endfunction()

file(GLOB roots LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
set(root "")
foreach(candidate ${roots})
  if(EXISTS "${candidate}/${CPACK_KELMORAV_BINDIR}/kelmorav")
    set(root "${candidate}")
  endif()
endforeach()
if(NOT root)
  layout_fail("no ${CPACK_KELMORAV_BINDIR}/kelmorav")
endif()

file(MAKE_DIRECTORY "${root}/games")
file(RENAME "${root}/${CPACK_KELMORAV_BINDIR}/kelmorav" "${root}/games/kelmorav")
file(GLOB left "${root}/${CPACK_KELMORAV_BINDIR}/*")
if(NOT left)
  file(REMOVE_RECURSE "${root}/${CPACK_KELMORAV_BINDIR}")
endif()

set(entry "${root}/${CPACK_KELMORAV_DATADIR}/applications/kelmorav.desktop")
file(READ "${entry}" text)
string(REPLACE "\nExec=kelmorav\n" "\nExec=${CPACK_PACKAGING_INSTALL_PREFIX}/games/kelmorav\n" text
       "${text}")
file(WRITE "${entry}" "${text}")

file(GLOB pages "${root}/${CPACK_KELMORAV_MANDIR}/man6/*.6")
if(NOT pages)
  layout_fail("no manual page")
endif()
foreach(page ${pages})
  layout_gzip("${page}")
endforeach()

set(docdir "${root}/${CPACK_KELMORAV_DOCDIR}")
file(COPY_FILE "${CPACK_KELMORAV_CHANGELOG}" "${docdir}/changelog")
layout_gzip("${docdir}/changelog")
