# The Windows release: velkorin-<version>-win64.zip, made by CPack from the install rules. Its one
# top folder, named like the zip, holds Velkorin.exe, velkorin-cli.exe, README.txt, CHANGELOG.txt and
# LICENSE.txt.

# Players read the texts in Notepad, whose older versions show a file with LF line ends as one line.
function(velkorin_copy_with_crlf source destination)
  file(READ ${source} text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${destination} "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()

velkorin_copy_with_crlf(${PROJECT_SOURCE_DIR}/README.md ${CMAKE_BINARY_DIR}/package/README.txt)
velkorin_copy_with_crlf(${PROJECT_SOURCE_DIR}/CHANGELOG.md ${CMAKE_BINARY_DIR}/package/CHANGELOG.txt)
velkorin_copy_with_crlf(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/package/LICENSE.txt)
install(FILES ${CMAKE_BINARY_DIR}/package/README.txt ${CMAKE_BINARY_DIR}/package/CHANGELOG.txt
              ${CMAKE_BINARY_DIR}/package/LICENSE.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME velkorin)
set(CPACK_PACKAGE_VENDOR "the Velkorin developers")
set(CPACK_PACKAGE_FILE_NAME velkorin-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# Debug sections of the static runtime are of no use to a player.
set(CPACK_STRIP_FILES ON)
include(CPack)
