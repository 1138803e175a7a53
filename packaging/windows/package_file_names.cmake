# Read by cpack for each generator: the two downloads have names of their own.
if(CPACK_GENERATOR STREQUAL "ZIP")
    set(CPACK_PACKAGE_FILE_NAME "vexlor-${CPACK_PACKAGE_VERSION}-windows-x64")
elseif(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_PACKAGE_FILE_NAME "vexlor-${CPACK_PACKAGE_VERSION}-setup-x64")
endif()
