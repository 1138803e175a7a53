# Runs at install time, when the prefix is known: the desktop entry names the program by its
# full installed path, so the menu finds it whether or not the prefix's bin folder is on PATH.
# Expects VEXLOR_DESKTOP_TEMPLATE and VEXLOR_PROGRAM_PATH (relative to the prefix).

set(program "${CMAKE_INSTALL_PREFIX}/${VEXLOR_PROGRAM_PATH}")
# Quoted as an Exec argument: \ " ` $ take a backslash; then the value's own escaping doubles
# every backslash, and a % is doubled so it is not read as a field code.
string(REPLACE "\\" "\\\\" quoted "${program}")
string(REPLACE "\"" "\\\"" quoted "${quoted}")
string(REPLACE "`" "\\`" quoted "${quoted}")
string(REPLACE "$" "\\$" quoted "${quoted}")
string(REPLACE "\\" "\\\\" quoted "${quoted}")
string(REPLACE "%" "%%" quoted "${quoted}")
set(VEXLOR_DESKTOP_EXEC "\"${quoted}\"")

set(entry "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications/vexlor.desktop")
message(STATUS "Installing: ${entry}")
configure_file("${VEXLOR_DESKTOP_TEMPLATE}" "${entry}" @ONLY)
