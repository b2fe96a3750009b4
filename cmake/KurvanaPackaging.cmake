# The Windows packages: tools/package.sh runs CPack on the cross build for
#   kurvana-<version>-setup.exe  (NSIS: Japanese, Start-menu shortcut,
#                                 uninstall entry, /S for silent installs)
#   kurvana-<version>-win32.zip  (the same files, for use without setup)
# Both hold the "program" component (kurvana.exe, eval.dll, the examples,
# a Japanese read-me) and the "sdk" component (the eval SDK and its
# example), which the installer offers as an option.

install(FILES ${PROJECT_SOURCE_DIR}/examples/circle.kvn
              ${PROJECT_SOURCE_DIR}/examples/folium.kvn
              ${PROJECT_SOURCE_DIR}/examples/gallery.kvn
              ${PROJECT_SOURCE_DIR}/examples/lissajous.kvn
              ${PROJECT_SOURCE_DIR}/examples/rose.kvn
              ${PROJECT_SOURCE_DIR}/examples/sine.kvn
              ${PROJECT_SOURCE_DIR}/examples/waves.kvn
        DESTINATION examples COMPONENT program)
install(FILES ${PROJECT_SOURCE_DIR}/examples/sdk/CMakeLists.txt
              ${PROJECT_SOURCE_DIR}/examples/sdk/table.c
              ${PROJECT_SOURCE_DIR}/examples/sdk/table.py
        DESTINATION examples/sdk COMPONENT sdk)

# Notepad reads the read-me as UTF-8 by its byte-order mark; lines end in
# CR LF for the editors that still need it.
configure_file(${PROJECT_SOURCE_DIR}/app/resources/readme-ja.txt
               ${PROJECT_BINARY_DIR}/readme.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${PROJECT_BINARY_DIR}/readme.txt DESTINATION .
        COMPONENT program)

set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME Kurvana)
set(CPACK_PACKAGE_VENDOR Kurvana)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "関数グラフ描画ソフト")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Kurvana)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Kurvana)
# Per-generator file names.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/KurvanaCPackOptions.cmake)

set(CPACK_COMPONENTS_ALL program sdk)
set(CPACK_COMPONENT_PROGRAM_DISPLAY_NAME "Kurvana 本体")
set(CPACK_COMPONENT_PROGRAM_DESCRIPTION
    "プログラム、数式ライブラリ、サンプル、説明書")
set(CPACK_COMPONENT_PROGRAM_REQUIRED ON)
set(CPACK_COMPONENT_SDK_DISPLAY_NAME "開発用ファイル")
set(CPACK_COMPONENT_SDK_DESCRIPTION
    "数式ライブラリを C、C++ などから使うためのヘッダー、インポート ライブラリ、CMake と pkg-config の設定、サンプル")
set(CPACK_COMPONENT_SDK_DISABLED ON)

# The project's template (Japanese only) is found on CMAKE_MODULE_PATH.
set(CPACK_NSIS_PACKAGE_NAME Kurvana)
set(CPACK_NSIS_DISPLAY_NAME "Kurvana ${PROJECT_VERSION}")
# Not CPACK_NSIS_BRANDING_TEXT: the makensis built for Linux refuses the
# /TRIM option that CPack adds to it.
set(CPACK_NSIS_DEFINES "BrandingText \"Kurvana ${PROJECT_VERSION}\"")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/app/resources/icons/program.ico)
set(CPACK_NSIS_MUI_UNIICON ${CPACK_NSIS_MUI_ICON})
set(CPACK_NSIS_INSTALLED_ICON_NAME kurvana.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_CREATE_ICONS_EXTRA
    "CreateShortCut '$SMPROGRAMS\\$STARTMENU_FOLDER\\Kurvana.lnk' '$INSTDIR\\kurvana.exe'")
set(CPACK_NSIS_DELETE_ICONS_EXTRA "Delete '$SMPROGRAMS\\$MUI_TEMP\\Kurvana.lnk'")
# The program registers its document type itself, with its own path, and
# removes it again before its files go.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "ExecWait '\"$INSTDIR\\kurvana.exe\" -r'")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "ExecWait '\"$INSTDIR\\kurvana.exe\" -u'")

include(CPack)
