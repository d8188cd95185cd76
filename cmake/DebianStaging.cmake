# Run by CPack after installing into its staging folder and before it packs the Debian package:
# compresses the man page and adds the copyright file and the compressed changelog, as Debian's
# policy has them, and lintian's overrides where the build has any.
set(root ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
set(doc ${root}/share/doc/velkorin)
file(MAKE_DIRECTORY ${doc})
file(COPY ${CPACK_DEBIAN_VELKORIN_DOC}/copyright ${CPACK_DEBIAN_VELKORIN_DOC}/changelog DESTINATION ${doc}
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(GLOB pages ${root}/share/man/man1/*.1)
# -n leaves the time and name out, so the same page compresses to the same bytes.
foreach(file IN LISTS pages ITEMS ${doc}/changelog)
  execute_process(COMMAND gzip -9nf ${file} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
if(EXISTS ${CPACK_DEBIAN_VELKORIN_DOC}/overrides)
  file(MAKE_DIRECTORY ${root}/share/lintian/overrides)
  file(COPY_FILE ${CPACK_DEBIAN_VELKORIN_DOC}/overrides ${root}/share/lintian/overrides/velkorin)
  file(CHMOD ${root}/share/lintian/overrides/velkorin PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endif()
