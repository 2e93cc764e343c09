# Run by CPack before it packs: gzips the manual page and the changelog in the staging tree,
# as Debian's policy asks (reproducibly: no name or time stamp in the gzip header).
file(GLOB_RECURSE docs ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/feedline-host.1
     ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/changelog)
if(NOT docs)
  message(FATAL_ERROR "no manual page or changelog under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
foreach(doc IN LISTS docs)
  execute_process(COMMAND gzip -9n ${doc} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot gzip ${doc}")
  endif()
endforeach()
