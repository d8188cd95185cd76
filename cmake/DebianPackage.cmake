# The Linux release: velkorin_<version>_amd64.deb, made by CPack from the install rules of the native
# build, with /usr as prefix: /usr/bin/velkorin, its man page, and under /usr/share/doc/velkorin the
# copyright in Debian's machine-readable form and a changelog, which Debian's policy asks of every
# package; and lintian's overrides for the static build. The man page and the changelog are compressed after installation into CPack's staging
# folder (DebianStaging.cmake), so that cmake --install keeps installing the plain page.

set(VELKORIN_DEB_MAINTAINER "the Velkorin developers <velkorin@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

# The copyright file holds the licence's text, taken from LICENSE so that the two cannot differ.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE licence_lines)
list(FILTER licence_lines EXCLUDE REGEX "^(MIT License|Copyright .*)$")
set(licence_text "")
set(started OFF)
foreach(line IN LISTS licence_lines)
  if(NOT started AND line STREQUAL "")
    continue()
  endif()
  set(started ON)
  if(line STREQUAL "")
    set(line ".")
  endif()
  string(APPEND licence_text " ${line}\n")
endforeach()
set(deb_doc ${CMAKE_BINARY_DIR}/debian)
file(WRITE ${deb_doc}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: velkorin
Comment: velkorin is linked statically: it carries zlib (Zlib licence), the GNU C library (LGPL-2.1+)
 and the GNU C++ library (GPL-3+ with the GCC runtime library exception), as Debian builds them.

Files: *
Copyright: 2026 the Velkorin developers
License: Expat

License: Expat
${licence_text}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)

# A native package (no Debian revision) keeps its changelog as changelog.gz. The date is the
# configure time's, or SOURCE_DATE_EPOCH's for a reproducible build.
string(TIMESTAMP deb_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE ${deb_doc}/changelog
"velkorin (${PROJECT_VERSION}) unstable; urgency=medium

  * Release ${PROJECT_VERSION}.

 -- ${VELKORIN_DEB_MAINTAINER}  ${deb_date}
")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velkorin)
set(CPACK_PACKAGE_VENDOR "the Velkorin developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VELKORIN_DEB_MAINTAINER})
# A tool for the game's files, not a game: lintian holds "games" to games.
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "AI scripts of Age of Empires II recorded games as source")
# CPack puts the summary first and indents the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"When computer players take part in a match of Age of Empires II: The
Conquerors, the recorded game (.mgl, .mgx, .mgz) carries their AI script in
compiled form. velkorin reads it and writes it out as AI-script source (.per)
that a scripter can study, edit and load into the game again. It lists the
recorded games of a folder with their scripts, and extracts every script of
a folder at once.")
# A static build depends on no shared library; a shared one has its dependencies computed.
if(VELKORIN_STATIC)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
else()
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
# The native preset links statically on purpose (a short run starts faster without binding
# libraries), which lintian would report as errors.
if(VELKORIN_STATIC)
  file(WRITE ${deb_doc}/overrides
"# Linked statically on purpose: a short run starts faster without binding shared libraries.
velkorin: statically-linked-binary [usr/bin/velkorin]
velkorin: embedded-library zlib [usr/bin/velkorin]
")
else()
  file(REMOVE ${deb_doc}/overrides)
endif()
set(CPACK_DEBIAN_VELKORIN_DOC ${deb_doc})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianStaging.cmake)
include(CPack)
