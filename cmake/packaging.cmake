# cmake --install and CPack. Windows: a zip with the DLL and the checker of each bitness (x86/,
# x64/), a note for users and the licence. Linux: an install that works from any prefix, and a Debian package.
if(WIN32)
  install(TARGETS feedline feedline-check LIBRARY DESTINATION ${FEEDLINE_WINDOWS_ARCH}
          RUNTIME DESTINATION ${FEEDLINE_WINDOWS_ARCH})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/README-windows.txt DESTINATION . RENAME README.txt)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
  # The zip gathers the installs of both Windows builds (the presets name both build trees), so
  # cpack in either tree makes the same zip once both are built.
  set(FEEDLINE_ZIP_BUILDS ${CMAKE_BINARY_DIR} CACHE STRING
      "Windows build trees whose DLLs go into the zip")
  set(CPACK_INSTALL_CMAKE_PROJECTS "")
  foreach(build IN LISTS FEEDLINE_ZIP_BUILDS)
    list(APPEND CPACK_INSTALL_CMAKE_PROJECTS ${build} ${PROJECT_NAME} ALL /)
  endforeach()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME feedline-${PROJECT_VERSION}-windows)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_STRIP_FILES ON)
  include(CPack)
  return()
endif()

include(GNUInstallDirs)
install(TARGETS feedline LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/feedline
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(TARGETS feedline-host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
file(GLOB sample_feeds ${PROJECT_SOURCE_DIR}/examples/*.xml)
install(FILES ${sample_feeds} DESTINATION ${CMAKE_INSTALL_DATADIR}/feedline/examples)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/feedline-host.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
              ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${CMAKE_BINARY_DIR}/changelog @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/changelog DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME feedline)
set(CPACK_PACKAGE_VENDOR "the feedline authors")
set(CPACK_PACKAGE_CONTACT "the feedline authors <feedline@example.org>")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION news)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The download refuses to run without the protocol allow-lists, which libcurl has from 7.85.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcurl4 (>= 7.85.0)")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://feedline.example.org/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "rotating news line from a feed for terminals and status bars")
# CPack puts the summary first and indents the rest; an empty line becomes " .".
set(CPACK_PACKAGE_DESCRIPTION "feedline-host shows one item of a news feed at a time, title and link, and
moves on to the next item at a set interval, downloading the feed again at
another. It prints clean text in the format of the status bar it feeds
(tmux, i3blocks, polybar, waybar) or into a file (conky, scripts), escaped
so that no feed text becomes markup there, and opens the shown item's link
on a click.

The news line comes from the feedline plug-in, which the package installs
in a private directory.")
# Debian keeps manual pages and changelogs gzipped in the package.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/gzip-docs.cmake)
include(CPack)
