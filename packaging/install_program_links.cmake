# Runs at install time: bin/ gets relative symbolic links to the programs. The programs find
# their own folder through the link (the system names the real file), so Help.txt, OutPut,
# Input and SHIP.tmp stay beside the real programs. Expects VEXLOR_PROGRAM_DIR and
# VEXLOR_PROGRAM_NAMES.

set(bin "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin")
file(MAKE_DIRECTORY "${bin}")
foreach(name IN LISTS VEXLOR_PROGRAM_NAMES)
    message(STATUS "Installing: ${bin}/${name} -> ../${VEXLOR_PROGRAM_DIR}/${name}")
    file(CREATE_LINK "../${VEXLOR_PROGRAM_DIR}/${name}" "${bin}/${name}" SYMBOLIC)
endforeach()
