# Run by `cmake --install`: writes the desktop entry with the program path of this
# installation (the prefix is known only now; DESTDIR stages it without changing it).
# Expects KD_VORLAGE (the .desktop.in), KD_BINDIR and KD_DATADIR (relative to the prefix).
file(READ "${KD_VORLAGE}" kd_inhalt)
set(kd_programm "${CMAKE_INSTALL_PREFIX}/${KD_BINDIR}/kdformel")
# An Exec argument in double quotes: ", `, $ and \ escaped, % doubled, then every
# backslash escaped once more for the string value.
string(REPLACE "\\" "\\\\" kd_arg "${kd_programm}")
string(REPLACE "\"" "\\\"" kd_arg "${kd_arg}")
string(REPLACE "`" "\\`" kd_arg "${kd_arg}")
string(REPLACE "$" "\\$" kd_arg "${kd_arg}")
string(REPLACE "%" "%%" kd_arg "${kd_arg}")
string(REPLACE "\\" "\\\\" kd_arg "${kd_arg}")
string(REPLACE "@KD_EXEC@" "\"${kd_arg}\"" kd_inhalt "${kd_inhalt}")
set(kd_ziel "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${KD_DATADIR}/applications/kdformel.desktop")
message(STATUS "Installing: ${kd_ziel}")
file(WRITE "${kd_ziel}" "${kd_inhalt}")
