# The release archive of a Windows build: pixtor.exe, pixtor-cli.exe and a
# read-me, as pixtor-<version>-win32.zip (i686) or -win64.zip (x86_64).
# tools/release makes both; `cpack` in a build folder makes that one.
install(TARGETS pixtor pixtor-cli RUNTIME DESTINATION .)
# Notepad of every Windows version shows the read-me with its line ends.
configure_file(${CMAKE_CURRENT_LIST_DIR}/README-windows.txt ${CMAKE_BINARY_DIR}/README.txt @ONLY
               NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)
# pixtor-cli's manual, as text with Windows line ends: no manual reader there.
set(PIXTOR_MANUAL ${PROJECT_SOURCE_DIR}/tools/cli/pixtor-cli.1)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/pixtor-cli.txt
    COMMAND sh -c "groff -man -Tascii -P-cbou '${PIXTOR_MANUAL}' | sed 's/$/\r/' > '${CMAKE_BINARY_DIR}/pixtor-cli.txt'"
    DEPENDS ${PIXTOR_MANUAL} VERBATIM)
add_custom_target(pixtor-cli-manual ALL DEPENDS ${CMAKE_BINARY_DIR}/pixtor-cli.txt)
install(FILES ${CMAKE_BINARY_DIR}/pixtor-cli.txt DESTINATION .)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(PIXTOR_ARCHIVE_ARCH win32)
else()
    set(PIXTOR_ARCHIVE_ARCH win64)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME pixtor)
set(CPACK_PACKAGE_VENDOR Pixtor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME pixtor-${PROJECT_VERSION}-${PIXTOR_ARCHIVE_ARCH})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/release)
include(CPack)
