# Installs the desktop entry with the executable named by its full path under
# the prefix of this installation (known only now: `cmake --install --prefix`
# and the package build choose it). KWin answers the interfaces the entry
# lists (the active window) only to a program whose entry names it so.
# SNAPLORN_DESKTOP_SOURCE, SNAPLORN_BINDIR and SNAPLORN_DATADIR are set before this
# runs.
set(installed "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${SNAPLORN_DATADIR}/applications/snaplorn.desktop")
file(READ "${SNAPLORN_DESKTOP_SOURCE}" entry)
string(REGEX REPLACE "\nExec=snaplorn( |\n)" "\nExec=${CMAKE_INSTALL_PREFIX}/${SNAPLORN_BINDIR}/snaplorn\\1"
       entry "${entry}")
message(STATUS "Installing: ${installed}")
file(WRITE "${installed}" "${entry}")
