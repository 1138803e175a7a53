# What a Windows user downloads: "cpack -G ZIP" makes vexlor-VERSION-windows-x64.zip, the
# programs and their files at the top of the archive, and "cpack -G NSIS" makes
# vexlor-VERSION-setup-x64.exe, an installer with a licence page, a Start-menu entry and an
# uninstaller. An administrator installs for every user into Program Files, anyone else for
# themselves. No file type is registered: .dat files keep whatever program opens them now.
set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/package_file_names.cmake)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)

set(CPACK_PACKAGE_INSTALL_DIRECTORY Vexlor)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Vexlor)
set(CPACK_NSIS_PACKAGE_NAME Vexlor)
set(CPACK_NSIS_DISPLAY_NAME Vexlor)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_PACKAGE_EXECUTABLES vexlor Vexlor)
set(CPACK_NSIS_INSTALLED_ICON_NAME vexlor.exe)
set(CPACK_NSIS_MUI_ICON ${CMAKE_CURRENT_LIST_DIR}/vexlor.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_CURRENT_LIST_DIR}/vexlor.ico)
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# The help file beside the editor, reachable from the Start menu as well.
set(CPACK_NSIS_MENU_LINKS Help.txt "Vexlor Help")
# NSIS makes 32-bit installers unless told otherwise; a 64-bit program gets a 64-bit installer,
# which also runs where no 32-bit Windows layer is (Wine without wine32).
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
# The editor makes OutPut and Input in its folder when it may write there. The uninstaller
# removes them only when empty: what the user exported stays, and so does the folder with it.
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "RMDir \\\"$INSTDIR\\\\OutPut\\\"
  RMDir \\\"$INSTDIR\\\\Input\\\"")
